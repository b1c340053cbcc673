// quelda24-cli detect --home DIR --port PATH: starts as the program does
// (ini.txt from DIR, the port opened, one parameter command, a units reset),
// runs FIND UNITS and prints the units that answered, in ascending order:
//
//   unit 1
//   unit 3
//   unit 7: line errors
//
// The program's status lines and messages go to standard error. Status 0 when
// at least one unit answered, 1 with "no unit answered" when none did (or the
// line could not be opened, or the probe was ended), 2 for wrong arguments.
#include <cstdio>

#include "Command.h"
#include "Start.h"
#include "program/TextOperator.h"

namespace q24::cli {
namespace {

// Status lines stay off standard output; only the probe's progress is left
// out altogether (a line per unit number).
class DetectOperator : public TextOperator {
public:
    DetectOperator() : TextOperator(stderr) {}
    void setText(Ctl control, const std::string& text) override {
        if (control == Ctl::testo && text.rfind("Finding the units: ", 0) == 0) return;
        TextOperator::setText(control, text);
    }
};

int runDetect(const QStringList& args) {
    const QString home = HomeFolder(args);
    const QString path = OptionValue(args, "--port");
    if (path.isEmpty()) {
        std::fprintf(stderr, "usage: quelda24-cli detect --home DIR --port PATH\n");
        return 2;
    }
    DetectOperator op;
    Session session("detect", op, home.toStdString(), path.toStdString());
    return session.exec([&]() -> Task<int> {
        if (!co_await session.start()) co_return 1;
        ProbeResult result;
        bool ended = false;
        session.program.findUnits([&](const ProbeResult& r) {
            result = r;
            ended = true;
        });
        while (!ended && !session.signalled()) co_await session.program.waits().seconds(0.05);
        if (!result.complete) co_return 1;
        for (const FoundUnit& u : result.units)
            std::printf(u.answer == UnitAnswer::Answered ? "unit %d\n" : "unit %d: line errors\n", u.address);
        std::fflush(stdout);
        if (!result.units.empty()) co_return 0;
        std::fprintf(stderr, "no unit answered\n");
        co_return 1;
    });
}

CommandRegistration detect{"detect", "detect --home DIR --port PATH", runDetect};

}  // namespace
}  // namespace q24::cli
