#include "program/TextOperator.h"

namespace q24 {

namespace {
// The labels whose texts a field crew wants to follow on a terminal.
const char* reported(Ctl c) {
    switch (c) {
        case Ctl::testo: return "";
        case Ctl::Unita_errata1: return "unit: ";
        case Ctl::Frame_error: return "frame: ";
        case Ctl::Trigger_lbl: return "trigger: ";
        case Ctl::Baudrate_lbl: return "line: ";
        case Ctl::numero_acquisizione: return "stack: ";
        default: return nullptr;
    }
}
}  // namespace

void TextOperator::setText(Ctl control, const std::string& text) {
    // A failure label is set once per failure, even with the same text: each
    // is a line. Status labels print when they change.
    const bool failure = control == Ctl::Unita_errata1 || control == Ctl::Frame_error;
    const bool changed = failure || texts_[control] != text;
    texts_[control] = text;
    if (const char* prefix = reported(control); prefix && changed && !text.empty())
        std::fprintf(out_, "%s%s\n", prefix, text.c_str());
    std::fflush(out_);
}

std::string TextOperator::text(Ctl control) const {
    auto it = texts_.find(control);
    return it == texts_.end() ? std::string() : it->second;
}

void TextOperator::setVisible(Ctl, bool) {}

void TextOperator::setValue(Ctl control, int value) {
    if (!showProgress || control != Ctl::ProgressBar1) return;
    const int tenth = value / 10;
    if (tenth != lastProgress_) {
        lastProgress_ = tenth;
        std::fprintf(out_, "progress: %d %%\n", value);
        std::fflush(out_);
    }
}

void TextOperator::message(const std::string& text, const std::optional<std::string>&) {
    std::fprintf(out_, "message: %s\n", text.c_str());
    std::fflush(out_);
}

Answer TextOperator::answer(Question, Buttons buttons) {
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
}

Task<HitChoice> TextOperator::reviewHit(int hit, const TraceArray&) {
    const HitChoice c = choice(hit);
    static const char* names[] = {"add", "add reversed", "reject"};
    std::fprintf(out_, "review: hit %d -> %s\n", hit, names[static_cast<int>(c)]);
    std::fflush(out_);
    co_return c;
}

void TextOperator::waitMessage(bool shown) {
    if (!shown) return;
    std::fprintf(out_, "Wait for data display...\n");
    std::fflush(out_);
}

Answer TextOperator::ask(Question q, const std::string& text, Buttons buttons, const std::optional<std::string>&) {
    const Answer a = answer(q, buttons);
    static const char* names[] = {"OK", "Cancel", "Yes", "No"};
    std::fprintf(out_, "question: %s -> %s\n", text.c_str(), names[static_cast<int>(a)]);
    std::fflush(out_);
    return a;
}

}  // namespace q24
