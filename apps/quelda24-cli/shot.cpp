// quelda24-cli shot --home DIR --port PATH [--stack N [--review LIST]] [--pretrigger N]
//                   [--trigger-timeout S] [--save NAME [--folder DIR] [--overwrite]]
//
// Opens the units' line as the program's start-up does (250000 baud, then the
// working speed of DIR/ini.txt, one parameter command, a reset), runs one
// trigger shot with the settings of DIR/ini.txt (or N stacked shots, answering
// "Keep on Stacking?" by itself), answers "Press to Continue" by itself,
// reviews each hit of the series as LIST says when --review is given (a
// comma list of add, reverse and reject, one per hit; hits past its end are
// added) and only the added hits count,
// writes DIR/data_trigger.txt and prints the status texts and unit failures
// as lines. With --save the shot is saved as the save dialog's DONE does: the
// converter DIR/Sg2Maker makes NAME.sg2 (the command waits for it) and the
// record file NAME.txt is written beside it, in DIR/Data unless --folder says
// otherwise; an existing NAME.sg2 is replaced only with --overwrite.
// --save auto takes the name the save dialog proposes: the next free one
// after the newest .sg2 of the folder ("shot001" in a folder without any).
// --pretrigger N records N samples before the trigger, as the parameters
// dialog's bar sets it (at most half the samples); the .sg2 then says so in
// its DELAY.
//
// Exit status 0 once the shot is recorded (and saved); otherwise non-zero with
// a one-line reason on standard error: the port cannot be opened, no trigger
// came within S seconds, the data file or the save failed, no hit was added.
#include <QDir>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "Command.h"
#include "Start.h"
#include "acquisition/TriggerAcquisition.h"
#include "acquisition/TriggerUnits.h"
#include "state/NumberFormat.h"
#include "program/TextOperator.h"

namespace q24::cli {
namespace {

// The text operator of a shot: remembers the last message as the reason of
// a failure, answers "Keep on Stacking?" until the series has taken the hits
// asked for (added or not), reviews each hit by the list given, answers
// "... already exists" as --overwrite says, and saves as the save dialog's
// DONE (EXIT without a name).
class ShotOperator : public TextOperator {
public:
    std::string lastMessage;
    int stack = 0;
    bool overwrite = false;
    std::vector<HitChoice> review;
    std::function<SaveResult()> save;

    void message(const std::string& text, const std::optional<std::string>& title) override {
        lastMessage = text;
        TextOperator::message(text, title);
    }
    Answer answer(Question q, Buttons b) override {
        switch (q) {
            case Question::KeepOnStacking: return ++hits_ < stack ? Answer::Yes : Answer::No;
            case Question::EraseFile: return overwrite ? Answer::Yes : Answer::No;
            case Question::EndProject: return Answer::No;
            default: return TextOperator::answer(q, b);
        }
    }
    HitChoice choice(int hit) override {
        return hit <= static_cast<int>(review.size()) ? review[static_cast<std::size_t>(hit - 1)] : HitChoice::Add;
    }
    Task<SaveResult> saveTrigger() override { co_return save(); }

private:
    int hits_ = 0;  // "Keep on Stacking?" asked so far: one per hit
};

// --review's list; nothing when a word is not add, reverse or reject, or
// when there is no stack to review.
std::optional<std::vector<HitChoice>> ReviewList(const QString& list, int stack) {
    std::vector<HitChoice> choices;
    if (list.isEmpty()) return choices;
    if (stack < 1) return std::nullopt;
    for (const QString& word : list.split(',')) {
        if (word == "add") choices.push_back(HitChoice::Add);
        else if (word == "reverse") choices.push_back(HitChoice::AddReversed);
        else if (word == "reject") choices.push_back(HitChoice::Reject);
        else return std::nullopt;
    }
    return choices;
}

int Fail(const std::string& reason) {
    std::fprintf(stderr, "quelda24-cli shot: %s\n", reason.c_str());
    return 1;
}

struct ShotArgs {
    std::string port, home, name, folder;
    int stack = 0, pretrigger = 0;
    double timeout = 0;
    bool overwrite = false;
    std::vector<HitChoice> review;
};

// The command line; nothing when it breaks the usage.
std::optional<ShotArgs> ParseShotArgs(const QStringList& args) {
    ShotArgs a;
    a.port = OptionValue(args, "--port").toStdString();
    a.home = HomeFolder(args).toStdString();
    bool ok = true;
    a.stack = OptionValue(args, "--stack", "0").toInt(&ok);
    a.pretrigger = ok ? OptionValue(args, "--pretrigger", "0").toInt(&ok) : 0;
    a.timeout = ok ? OptionValue(args, "--trigger-timeout", "0").toDouble(&ok) : 0;
    a.name = OptionValue(args, "--save").toStdString();
    a.folder = OptionValue(args, "--folder", QString::fromStdString(DataFolder(a.home))).toStdString();
    a.overwrite = HasFlag(args, "--overwrite");
    const auto review = ReviewList(OptionValue(args, "--review"), a.stack);
    if (a.port.empty() || !ok || a.stack < 0 || !review || a.pretrigger < AcqParameters::kPreMin ||
        a.pretrigger > AcqParameters::kPreMax || !(a.timeout >= 0) || (HasFlag(args, "--save") && a.name.empty()))
        return std::nullopt;
    a.review = *review;
    return a;
}

// The exit status of a series that ran to its end: the reason of a failure
// on standard error.
int Outcome(const TriggerAcquisition& trigger, const ShotOperator& op, const State& s, const ShotArgs& a,
            const std::string& name, SaveResult saved) {
    if (trigger.lastShot() != TriggerAcquisition::ShotEnd::Done)
        return Fail(op.lastMessage.empty() ? "the shot was not recorded" : op.lastMessage);
    // The stacked record was not written, or no hit was added.
    if (a.stack > 0 && (s.N_stack != 0 || op.lastMessage == kNoHitAdded)) return Fail(op.lastMessage);
    if (!name.empty() && saved != SaveResult::Saved)
        return Fail(saved == SaveResult::Declined ? a.folder + "/" + name + ".sg2 exists (--overwrite replaces it)"
                                                  : op.lastMessage);
    return 0;
}

int runShot(const QStringList& args) {
    const std::optional<ShotArgs> parsed = ParseShotArgs(args);
    if (!parsed) {
        std::fprintf(stderr, "usage: quelda24-cli %s\n", Commands()["shot"].usage.c_str());
        return 2;
    }
    const ShotArgs& a = *parsed;
    const std::string &port = a.port, &home = a.home, &folder = a.folder;
    const int stack = a.stack, pretrigger = a.pretrigger;
    const double timeout = a.timeout;
    std::string name = a.name;
    if (!QDir(QString::fromStdString(home)).exists()) return Fail("the folder " + home + " does not exist");

    ShotOperator op;
    op.showProgress = true;
    op.stack = stack;
    op.overwrite = a.overwrite;
    op.review = a.review;
    Session session("shot", op, home, port);
    return session.exec([&]() -> Task<int> {
        if (!co_await session.start()) co_return 1;
        State* s = &session.s;
        if (pretrigger > s->N_samples / 2)
            co_return Fail("--pretrigger " + std::to_string(pretrigger) + " is more than half of the " +
                           std::to_string(s->N_samples) + " samples");
        session.program.parameters().setPretriggerPosition(pretrigger);
        FilesEnv env = session.files();
        SaveResult saved = SaveResult::Closed;
        TriggerAcquisition& trigger = session.program.shot();
        // No trigger within the limit counts as "Exit from Trigger".
        bool timedOut = false;
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, [&] {
            if (trigger.phase() != ShotPhase::Armed) return;
            timedOut = true;
            trigger.ExitFromTrigger();
        });
        trigger.hooks.phaseChanged = [&](ShotPhase p) {
            if (p == ShotPhase::Armed && timeout > 0) limit.start(static_cast<int>(std::ceil(timeout * 1000)));
        };
        op.save = [&] {
            if (name.empty()) {
                TriggerSaveExit(*s);
                return SaveResult::Closed;
            }
            if (name == "auto") {
                const std::string proposed = ProposedName(folder);
                name = proposed.empty() ? "shot001" : proposed;
                std::printf("saving as %s\n", name.c_str());
            }
            return saved = TriggerSaveDone(*s, session.program.panel(), env, folder, name);
        };
        s->Stacking = stack > 0;
        s->Review_hits = !a.review.empty();
        s->Stack_series = false;
        co_await trigger.puls_trigger_Click();

        if (session.signalled()) co_return 1;
        // The trigger unit is named: a dead one and a hammer not hit look alike.
        if (timedOut)
            co_return Fail("no trigger within " + FreeFormat(timeout) + " seconds from trigger unit " +
                           Unit_letter(*s));
        co_return Outcome(trigger, op, *s, a, name, saved);
    });
}

CommandRegistration shotCommand{"shot",
                                "shot --home DIR --port PATH [--stack N [--review add,reverse,reject...]] "
                                "[--pretrigger N] [--trigger-timeout S] [--save NAME|auto [--folder DIR] "
                                "[--overwrite]]",
                                runShot};

}  // namespace
}  // namespace q24::cli
