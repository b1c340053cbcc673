// The ini.txt reader on any text, then the start rules; the file written for
// the state read must read back to the same file.
#include <cstdlib>
#include <memory>
#include <sstream>

#include "state/Config.h"

namespace {
class QuietPanel : public q24::Panel {
public:
    void setText(q24::Ctl, const std::string&) override {}
    std::string text(q24::Ctl) const override { return {}; }
    void setEnabled(q24::Ctl, bool) override {}
    void setVisible(q24::Ctl, bool) override {}
    void setValue(q24::Ctl, int) override {}
    void message(const std::string&, const std::optional<std::string>&) override {}
    q24::Answer ask(q24::Question, const std::string&, q24::Buttons, const std::optional<std::string>&) override {
        return q24::Answer::Ok;
    }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The state is large: two are kept, and every item is put back to its
    // start value before each input by reading a default state's file.
    static const auto s = std::make_unique<q24::State>(), again = std::make_unique<q24::State>();
    static const std::string start = q24::ConfigText(*s);
    const auto read = [](q24::State& into, const std::string& text) {
        std::istringstream in(text);
        q24::ReadConfigItems(into, in);
    };
    read(*s, start);
    read(*s, std::string(reinterpret_cast<const char*>(data), size));
    QuietPanel panel;
    q24::ApplyStartRules(*s, panel);
    const std::string text = q24::ConfigText(*s);
    read(*again, start);
    read(*again, text);
    if (q24::ConfigText(*again) != text) std::abort();
    return 0;
}
