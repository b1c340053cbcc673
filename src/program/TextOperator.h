#pragma once
// The operator of the command-line tool: status texts, unit failures and
// messages become lines on standard output; questions are answered by rules
// set in advance (answer()), and each question and its answer is printed
// too. A terminal has no forms: each is answered here as a text front end
// must, and a subcommand overrides the ones it acts on (the shot's save, the
// timed recording's save).
#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "acquisition/Operator.h"

namespace q24 {

class TextOperator : public Operator {
public:
    explicit TextOperator(std::FILE* out = stdout) : out_(out) {}

    // The answer to question `q`; OK or Yes unless a subcommand says otherwise.
    virtual Answer answer(Question q, Buttons buttons);
    // What becomes of hit `hit` of a reviewed stacking series; added unless a
    // subcommand says otherwise.
    virtual HitChoice choice(int) { return HitChoice::Add; }

    void setText(Ctl control, const std::string& text) override;
    std::string text(Ctl control) const override;
    void setEnabled(Ctl, bool) override {}
    void setVisible(Ctl control, bool visible) override;  // nothing to show on a terminal
    void setValue(Ctl control, int value) override;
    void message(const std::string& text, const std::optional<std::string>& title = {}) override;
    Answer ask(Question q, const std::string& text, Buttons buttons,
               const std::optional<std::string>& title = {}) override;

    // Forms: no window, a picture 0 pixels wide, no port dialog (the line is
    // given on the command line), no geometry dialog (ini.txt's geometry
    // stands), nothing saved, a hit under review decided by choice() and
    // printed, "Wait for data display..." printed, no timed
    // or passive dialog (the subcommands drive those recordings), and no
    // Abort.
    void showMainWindow() override {}
    int pictureWidth() const override { return 0; }
    void choosePort() override {}
    Task<void> geometry() override { co_return; }
    Task<SaveResult> saveTrigger() override { co_return SaveResult::Closed; }
    Task<SaveResult> saveTimed() override { co_return SaveResult::Closed; }
    Task<HitChoice> reviewHit(int hit, const TraceArray& traces) override;
    void waitMessage(bool shown) override;
    Task<void> timedSampling() override { co_return; }
    Task<void> passiveSeismic() override { co_return; }
    void endProgram() override {}

    // Print progress lines (every 10 %) when the progress bar moves.
    bool showProgress = false;

private:
    std::FILE* out_;
    std::map<Ctl, std::string> texts_;
    int lastProgress_ = -1;
};

}  // namespace q24
