// quelda24-cli passive --home DIR --port PATH --fs 125|250|500 --minutes M
//                      [--save NAME --folder DIR [--mseed]] [--record-over]
//
// A passive (ambient-noise) recording from a terminal: starts as the program
// does (ini.txt from DIR, the port opened, one parameter command, a unit
// reset), records every channel position for M minutes in blocks of 8192
// samples at the given rate into DIR/temp_data<k>.txt, merges them into
// DIR/data.txt and, with --save, converts that to FOLDER/NAME.sg2 (FOLDER is
// DIR/Data when not given) as the trigger save dialog does, waiting for the
// converter, and with --mseed
// also to FOLDER/NAME.mseed (codes from DIR/mseed.ini). One line per
// block recorded:
//
//   block 1 of 37 recorded
//
// Temporary files holding a recording that was not saved are kept (status 1)
// unless --record-over is given. A recording that ends early keeps its whole
// blocks; with --save they are merged and saved all the same.
// Status 0 when every block was recorded (and saved, when asked), 1 when the
// recording could not start or ended early, 2 for wrong arguments.
#include <cstdio>
#include <functional>
#include <memory>

#include "Command.h"
#include "Start.h"
#include "acquisition/PassiveSeismic.h"
#include "files/DataTextFile.h"
#include "program/TextOperator.h"

namespace q24::cli {
namespace {

constexpr const char* kUsage =
    "passive --home DIR --port PATH --fs 125|250|500 --minutes M [--save NAME --folder DIR [--mseed]] [--record-over]";

// Answers "Record over it?" as --record-over says, and saves when a name is given.
class PassiveOperator : public TextOperator {
public:
    explicit PassiveOperator(bool recordOver) : recordOver_(recordOver) {}
    std::function<SaveResult()> save;
    Answer answer(Question q, Buttons b) override {
        return q == Question::RecordOver ? (recordOver_ ? Answer::Yes : Answer::No) : TextOperator::answer(q, b);
    }
    Task<SaveResult> saveTrigger() override { co_return save ? save() : SaveResult::Closed; }

private:
    bool recordOver_;
};

int runPassive(const QStringList& args) {
    const std::string home = HomeFolder(args).toStdString();
    const QString path = OptionValue(args, "--port");
    bool fsOk = false, minutesOk = false;
    const int fs = OptionValue(args, "--fs").toInt(&fsOk);
    const int minutes = OptionValue(args, "--minutes").toInt(&minutesOk);
    const std::string name = OptionValue(args, "--save").toStdString();
    const bool mseed = HasFlag(args, "--mseed");
    const std::string folder = OptionValue(args, "--folder", QString::fromStdString(DataFolder(home))).toStdString();
    if (path.isEmpty() || !fsOk || (fs != 125 && fs != 250 && fs != 500) || !minutesOk || minutes < 1 ||
        minutes > 59 || (HasFlag(args, "--save") && name.empty()) || (mseed && name.empty())) {
        std::fprintf(stderr, "usage: quelda24-cli %s  (M from 1 to 59)\n", kUsage);
        return 2;
    }

    PassiveOperator op(HasFlag(args, "--record-over"));
    Session session("passive", op, home, path.toStdString());
    return session.exec([&]() -> Task<int> {
        if (!co_await session.start()) co_return 1;
        State* s = &session.s;
        PassiveSeismic& passive = session.program.passive();
        passive.blockDone = [](int block, int blocks) {
            std::printf("block %d of %d recorded\n", block, blocks);
            std::fflush(stdout);
        };
        if (!name.empty())
            op.save = [&] {
                return TriggerSaveDone(*s, session.program.panel(), session.files(), folder, name, mseed);
            };
        passive.Form_Load();
        s->Finestra_tempo = static_cast<int16_t>(minutes);
        passive.SelectFrequency(fs);
        co_await passive.Command2_Click();

        const PassiveSeismic::Outcome& out = passive.outcome();
        if (out.end == PassiveSeismic::End::None || out.end == PassiveSeismic::End::Kept ||
            out.end == PassiveSeismic::End::FileError || session.signalled())
            co_return 1;
        std::printf("recorded %d of %d blocks (%lld samples per channel at %d Hz)\n", out.blocks, out.planned,
                    static_cast<long long>(out.blocks) * PassiveSeismic::kBlock, fs);
        if (out.merged) std::printf("data file %s/%s\n", home.c_str(), kDataFile);
        if (out.save == SaveResult::Saved) std::printf("saved %s\n", s->File_path.c_str());
        const bool complete = out.end == PassiveSeismic::End::Complete && out.merged;
        const bool saved = name.empty() || out.save == SaveResult::Saved;
        const bool copied = ReportRecording(s->Record_start_utc, mseed ? folder + "/" + name + ".mseed" : "", "passive");
        co_return complete && saved && copied ? 0 : 1;
    });
}

CommandRegistration passive{"passive", kUsage, runPassive};

}  // namespace
}  // namespace q24::cli
