#pragma once
// The tests' operator: remembers every text, state and value set, records
// the messages and questions in order, answers questions from a script, and
// opens each form as the test sets it (nothing otherwise).
#include <deque>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "acquisition/Operator.h"

namespace q24::test {

class FakePanel : public Operator {
public:
    std::map<Ctl, std::string> texts;
    std::map<Ctl, bool> enabled, visible;
    std::map<Ctl, int> values;
    std::vector<std::string> messages;   // every message box text, in order
    std::vector<std::string> questions;  // every question text, in order
    std::deque<Answer> answers;          // scripted answers, taken in order
    std::vector<double> zeroLine;        // every placement of the pre-trigger line
    // The trace picture: every call in order, as "clear", "plot t style" and
    // "background r g b".
    std::vector<std::string> picture;

    void setText(Ctl c, const std::string& t) override { texts[c] = t; }
    std::string text(Ctl c) const override {
        auto it = texts.find(c);
        return it == texts.end() ? std::string() : it->second;
    }
    void setEnabled(Ctl c, bool e) override { enabled[c] = e; }
    void setVisible(Ctl c, bool v) override { visible[c] = v; }
    void setValue(Ctl c, int v) override { values[c] = v; }
    void message(const std::string& t, const std::optional<std::string>&) override { messages.push_back(t); }
    void placeZeroLine(double fraction) override { zeroLine.push_back(fraction); }
    Answer ask(Question, const std::string& t, Buttons, const std::optional<std::string>&) override {
        questions.push_back(t);
        if (answers.empty()) throw std::logic_error("unexpected question: " + t);
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void clearPicture() override { picture.push_back("clear"); }
    void plotTrace(int t, int style) override {
        picture.push_back("plot " + std::to_string(t) + " " + std::to_string(style));
    }
    void setPictureBackground(int r, int g, int b) override {
        picture.push_back("background " + std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b));
    }

    std::function<Task<void>()> onGeometry, onTimedSampling, onPassiveSeismic;
    std::function<Task<SaveResult>()> onSaveTrigger, onSaveTimed;
    std::function<Task<HitChoice>(int hit, const TraceArray&)> onReviewHit;  // none: closed, the hit rejected
    std::function<void()> onEndProgram;
    int width = 1000;  // of the trace picture

    void showMainWindow() override {}
    int pictureWidth() const override { return width; }
    void choosePort() override {}
    Task<void> geometry() override { return Open(onGeometry); }
    Task<SaveResult> saveTrigger() override { return Open(onSaveTrigger, SaveResult::Closed); }
    Task<SaveResult> saveTimed() override { return Open(onSaveTimed, SaveResult::Closed); }
    Task<HitChoice> reviewHit(int hit, const TraceArray& traces) override {
        co_return onReviewHit ? co_await onReviewHit(hit, traces) : HitChoice::Reject;
    }
    void waitMessage(bool) override {}
    Task<void> timedSampling() override { return Open(onTimedSampling); }
    Task<void> passiveSeismic() override { return Open(onPassiveSeismic); }
    void endProgram() override {
        if (onEndProgram) onEndProgram();
    }

private:
    static Task<void> Open(const std::function<Task<void>()>& form) {
        if (form) co_await form();
    }
    static Task<SaveResult> Open(const std::function<Task<SaveResult>()>& form, SaveResult none) {
        co_return form ? co_await form() : none;
    }
};

}  // namespace q24::test
