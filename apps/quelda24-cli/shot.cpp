// quelda24-cli shot --home DIR --port PATH [--stack N] [--pretrigger N]
//                   [--trigger-timeout S] [--save NAME [--folder DIR] [--overwrite]]
//
// Opens the units' line as the program's start-up does (250000 baud, then the
// working speed of DIR/ini.txt, one parameter command, a reset), runs one
// trigger shot with the settings of DIR/ini.txt (or N stacked shots, answering
// "Keep on Stacking?" by itself), answers "Press to Continue" by itself,
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
// came within S seconds, the data file or the save failed.
#include <QDir>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>

#include "Command.h"
#include "Start.h"
#include "acquisition/TriggerAcquisition.h"
#include "acquisition/TriggerUnits.h"
#include "state/NumberFormat.h"
#include "program/TextOperator.h"

namespace q24::cli {
namespace {

// The text operator of a shot: remembers the last message as the reason of
// a failure, answers "Keep on Stacking?" until the series holds the hits
// asked for and "... already exists" as --overwrite says, and saves as the
// save dialog's DONE (EXIT without a name).
class ShotOperator : public TextOperator {
public:
    std::string lastMessage;
    int stack = 0;
    bool overwrite = false;
    std::function<SaveResult()> save;

    void message(const std::string& text, const std::optional<std::string>& title) override {
        lastMessage = text;
        TextOperator::message(text, title);
    }
    Answer answer(Question q, Buttons b) override {
        switch (q) {
            case Question::KeepOnStacking: return state && state->N_stack < stack ? Answer::Yes : Answer::No;
            case Question::EraseFile: return overwrite ? Answer::Yes : Answer::No;
            case Question::EndProject: return Answer::No;
            default: return TextOperator::answer(q, b);
        }
    }
    Task<SaveResult> saveTrigger() override { co_return save(); }
    const State* state = nullptr;  // the series' hits so far: N_stack
};

int Fail(const std::string& reason) {
    std::fprintf(stderr, "quelda24-cli shot: %s\n", reason.c_str());
    return 1;
}

int runShot(const QStringList& args) {
    const std::string port = OptionValue(args, "--port").toStdString();
    const std::string home = HomeFolder(args).toStdString();
    bool ok = true;
    const int stack = OptionValue(args, "--stack", "0").toInt(&ok);
    const int pretrigger = ok ? OptionValue(args, "--pretrigger", "0").toInt(&ok) : 0;
    const double timeout = ok ? OptionValue(args, "--trigger-timeout", "0").toDouble(&ok) : 0;
    std::string name = OptionValue(args, "--save").toStdString();
    const std::string folder = OptionValue(args, "--folder", QString::fromStdString(DataFolder(home))).toStdString();
    const bool overwrite = HasFlag(args, "--overwrite");
    if (port.empty() || !ok || stack < 0 || pretrigger < AcqParameters::kPreMin ||
        pretrigger > AcqParameters::kPreMax || !(timeout >= 0) || (HasFlag(args, "--save") && name.empty())) {
        std::fprintf(stderr, "usage: quelda24-cli %s\n", Commands()["shot"].usage.c_str());
        return 2;
    }
    if (!QDir(QString::fromStdString(home)).exists()) return Fail("the folder " + home + " does not exist");

    ShotOperator op;
    op.showProgress = true;
    op.stack = stack;
    op.overwrite = overwrite;
    Session session("shot", op, home, port);
    return session.exec([&]() -> Task<int> {
        if (!co_await session.start()) co_return 1;
        State* s = &session.s;
        op.state = s;
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
        s->Stack_series = false;
        co_await trigger.puls_trigger_Click();

        if (session.signalled()) co_return 1;
        // The trigger unit is named: a dead one and a hammer not hit look alike.
        if (timedOut)
            co_return Fail("no trigger within " + FreeFormat(timeout) + " seconds from trigger unit " +
                           Unit_letter(*s));
        if (trigger.lastShot() != TriggerAcquisition::ShotEnd::Done)
            co_return Fail(op.lastMessage.empty() ? "the shot was not recorded" : op.lastMessage);
        if (stack > 0 && s->N_stack != 0) co_return Fail(op.lastMessage);  // the stacked record was not written
        if (!name.empty() && saved != SaveResult::Saved)
            co_return Fail(saved == SaveResult::Declined ? folder + "/" + name + ".sg2 exists (--overwrite replaces it)"
                                                         : op.lastMessage);
        co_return 0;
    });
}

CommandRegistration shotCommand{
    "shot",
    "shot --home DIR --port PATH [--stack N] [--pretrigger N] [--trigger-timeout S] [--save NAME|auto [--folder DIR] "
    "[--overwrite]]",
    runShot};

}  // namespace
}  // namespace q24::cli
