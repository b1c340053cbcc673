// quelda24-cli timed --home DIR --port PATH --fs 125|250|500 --minutes M
//                    [--save NAME [--folder DIR] [--mseed]]
// A timed recording without windows: starts as the program does (ini.txt from
// DIR, the port opened, one parameter command, a unit reset), sets the
// sampling frequency as the parameters dialog would, moves the line to the
// high rate as "Continuous sampling" does, records M minutes of every
// selected channel slot, writes data.txt in DIR and, with --save, runs the
// converter on it for NAME.sg2 in the folder given (DIR/Data when none) and
// waits for it;
// --mseed also writes NAME.mseed beside it (codes from DIR/mseed.ini). The
// units are reset at the end.
//
// Printed: the program's status lines, "progress: N %" every tenth,
// "block B channel C: Error on UnitU" for each burst that did not arrive, and
// a closing summary. Status 0 when every burst arrived and the file was
// written, 1 when units failed or nothing could be recorded or saved, 2 for
// wrong arguments.
#include <QFileInfo>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>

#include "Command.h"
#include "Start.h"
#include "acquisition/TimedMode.h"
#include "files/DataTextFile.h"
#include "files/Saving.h"
#include "state/Regional.h"
#include "program/TextOperator.h"

namespace q24::cli {
namespace {

constexpr const char* kUsage =
    "timed --home DIR --port PATH --fs 125|250|500 --minutes M [--save NAME [--folder DIR] [--mseed]]";

// Frequency bar position of each low rate.
int PositionOf(int fs) { return fs == 125 ? 1 : fs == 250 ? 2 : fs == 500 ? 3 : 0; }

// The timed save: what `save` does after each recording.
class TimedOperator : public TextOperator {
public:
    std::function<SaveResult()> save;
    Task<SaveResult> saveTimed() override { co_return save(); }
};

int runTimed(const QStringList& args) {
    // The converter is started by its full path: the folders are made absolute.
    const QString home = QFileInfo(HomeFolder(args)).absoluteFilePath();
    const QString path = OptionValue(args, "--port");
    bool fsOk = false, minutesOk = false;
    const int fs = OptionValue(args, "--fs").toInt(&fsOk);
    const int minutes = OptionValue(args, "--minutes").toInt(&minutesOk);
    const QString name = OptionValue(args, "--save");
    const bool mseed = HasFlag(args, "--mseed");
    const QString folder =
        QFileInfo(OptionValue(args, "--folder", QString::fromStdString(DataFolder(home.toStdString())))).absoluteFilePath();
    if (path.isEmpty() || !fsOk || PositionOf(fs) == 0 || !minutesOk || minutes < TimedMode::kMinutesMin ||
        minutes > TimedMode::kMinutesMax || (HasFlag(args, "--save") && name.isEmpty()) ||
        (mseed && name.isEmpty())) {
        std::fprintf(stderr, "usage: quelda24-cli %s  (M from 1 to 59)\n", kUsage);
        return 2;
    }

    TimedOperator op;
    Session session("timed", op, home.toStdString(), path.toStdString());
    return session.exec([&]() -> Task<int> {
        if (!co_await session.start()) co_return 1;
        State* s = &session.s;
        Link& link = session.program.link();
        ChannelSettings& channels = session.program.channels();

        // The frequency as the parameters dialog sets it; the high line rate
        // decides which low rates it offers.
        if (AcqParameters::FrequencyAt(PositionOf(fs), s->Baud_rate_high) != fs) {
            std::fprintf(stderr, "%d Hz needs a higher line rate for continuous sampling than %d (Baud_rate_high)\n",
                         fs, static_cast<int>(s->Baud_rate_high));
            co_await link.Reset_units();
            co_return 1;
        }
        session.program.parameters().setFreqPosition(PositionOf(fs));
        s->Finestra_tempo = static_cast<int16_t>(minutes);

        TimedMode& mode = session.program.timed();
        std::string status;
        mode.changed = [&] {
            const TimedMode::Controls& c = mode.controls();
            if (c.Label3_visible && c.Label3 != status && c.Label3.rfind("Error on Unit", 0) != 0)
                std::printf("%s\n", c.Label3.c_str());
            status = c.Label3;
            op.setValue(Ctl::ProgressBar1, c.ProgressBar1);
        };
        op.showProgress = true;
        std::map<int, long> failures;  // unit -> bursts lost
        mode.burstRead = [&](int block, int ch, int unit, bool ok) {
            if (ok) return;
            ++failures[unit];
            std::printf("block %d channel %d: Error on Unit%d\n", block + 1, ch, unit);
            std::fflush(stdout);
        };

        std::vector<std::string> texts;
        for (int k = 1; k <= s->N_Geofoni; ++k) texts.push_back(channels.text(k));
        bool recorded = false, saved = false;
        op.save = [&] {
            recorded = true;
            const FilesEnv env = session.files();
            if (name.isEmpty()) {
                const std::string data = env.home + "/" + kDataFile;
                const std::string err = WriteTimedDataText(*s, texts, data, env.regional);
                if (!err.empty()) {
                    std::fprintf(stderr, "%s could not be written: %s\n", data.c_str(), err.c_str());
                    return SaveResult::Failed;
                }
                std::printf("data.txt written: %s\n", data.c_str());
                saved = true;
                return SaveResult::Closed;  // no converter: the dialog stays as it was
            }
            const SaveResult r = TimedSaveOk(*s, session.program.panel(), env, folder.toStdString(),
                                             name.toStdString(), texts, mseed);
            saved = r == SaveResult::Saved;
            return r;
        };

        // "Continuous sampling": the line to the high rate, the dialog set up.
        co_await link.Set_baud(s->Baud_rate_high);
        std::printf("recording %d minute(s) at %d Hz, %d channel(s)\n", minutes, s->Sampling_freq,
                    static_cast<int>(s->N_Geofoni));
        std::fflush(stdout);
        mode.Prepare();
        co_await mode.Start_acq_Click();  // a recording ends with a unit reset
        if (session.signalled()) co_return 1;
        if (!recorded) {  // START refused it (the message said why): EXIT resets
            co_await mode.Command2_Click();
            co_return 1;
        }

        long lost = 0;
        for (const auto& [unit, n] : failures) {
            std::printf("unit %d: %ld burst(s) lost\n", unit, n);
            lost += n;
        }
        std::printf("recorded %d samples per channel\n", s->N_samples_cont);
        const std::string mseedPath = mseed ? (folder + "/" + name + ".mseed").toStdString() : std::string();
        const bool copied = ReportRecording(s->Record_start_utc, mseedPath, "timed");
        std::fflush(stdout);
        co_return saved && copied && lost == 0 ? 0 : 1;
    });
}

CommandRegistration timed{"timed", kUsage, runTimed};

}  // namespace
}  // namespace q24::cli
