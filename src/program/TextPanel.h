#pragma once
// The Panel of the command-line tool: status texts, unit failures and
// messages become lines on standard output; questions are answered by rules
// set in advance, and each question and its answer is printed too.
#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "state/Panel.h"

namespace q24 {

class TextPanel : public Panel {
public:
    explicit TextPanel(std::FILE* out = stdout) : out_(out) {}

    // The answer to a question; by default OK or Yes.
    std::function<Answer(const std::string& text, Buttons buttons)> answer;

    void setText(Ctl control, const std::string& text) override;
    std::string text(Ctl control) const override;
    void setEnabled(Ctl, bool) override {}
    void setVisible(Ctl control, bool visible) override;  // nothing to show on a terminal
    void setValue(Ctl control, int value) override;
    void message(const std::string& text, const std::optional<std::string>& title = {}) override;
    Answer ask(const std::string& text, Buttons buttons, const std::optional<std::string>& title = {}) override;

    // Print progress lines (every 10 %) when the progress bar moves.
    bool showProgress = false;

private:
    std::FILE* out_;
    std::map<Ctl, std::string> texts_;
    int lastProgress_ = -1;
};

}  // namespace q24
