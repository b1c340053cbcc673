// A fault campaign: quelda24-cli against the emulated units on a
// pseudo-terminal, run after run, each with one fault drawn from the seed: a
// unit that never answers, a dropped block, a slow unit, units stuck at
// another speed, stray bytes, a unit whose answers arrive with framing
// errors, the line hung up, or none. Shots (single and stacked, saved or
// not) until N shots were fired, running-mode sweeps, timed minutes and
// passive blocks.
//
//   fault_campaign [--seed S] [--shots N] [--jobs J] [--keep] [--verbose]
//
// The runs are drawn from the seed first, then J of them (4 by default) run
// at a time, each in a program folder of its own: most of a run is the units'
// reset time, so the commands mostly sleep.
// Each run must go on printing (a command silent for 100 s hangs and is
// killed), must not die on a signal (a crash), must name the unit of a unit
// fault in what it prints when it fails (else an unnamed failure), must
// leave every file saved before it as it was and every file it saved whole
// and readable (else a damaged file), and its counts must add up: a shot's
// file holds one trace per channel that arrived, a run prints one line per
// sweep and channel, a passive recording one line per block. One line per
// fault kind, then the totals; status 1 when any run hung, crashed, failed
// unnamed, damaged a file or miscounted.
#include <unistd.h>

#include <QCoreApplication>
#include <QProcess>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <memory>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "files/Seg2Reader.h"
#include "program/Program.h"
#include "state/Config.h"
#include "units/PtyUnits.h"

using namespace q24;
namespace fs = std::filesystem;

namespace {

constexpr int kChannels = 6;

enum class Fault { None, Silent, Dropped, Slow, Speed, Stray, Framing, HangUp };
constexpr const char* kFaultNames[] = {"none", "silent unit", "dropped block", "slow unit",
                                       "speed mismatch", "stray bytes", "framing errors", "line hung up"};
enum class Mode { Shot, Running, Timed, Passive };
constexpr const char* kModeNames[] = {"shot", "running", "timed", "passive"};
constexpr const char* kCommands[] = {"shot", "run", "timed", "passive"};

struct Tally {
    int runs = 0, ok = 0, namedFailures = 0, unnamed = 0, hangs = 0, crashes = 0, damaged = 0, miscounted = 0;
    double seconds = 0;
    void add(const Tally& t) {
        runs += t.runs, ok += t.ok, namedFailures += t.namedFailures, unnamed += t.unnamed;
        hangs += t.hangs, crashes += t.crashes, damaged += t.damaged, miscounted += t.miscounted;
        seconds += t.seconds;
    }
};

struct Run {
    Mode mode = Mode::Shot;
    Fault fault = Fault::None;
    int unit = 0;  // the unit at fault, 0 for the whole line
    int stack = 1;
    bool save = false;
    units::UnitsConfig units;
};

Run Draw(std::mt19937& rng, Mode mode) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    Run r;
    r.mode = mode;
    r.fault = static_cast<Fault>(pick(0, 7));
    r.stack = mode == Mode::Shot ? pick(1, 4) : 1;
    r.save = mode != Mode::Running && pick(0, 1) == 1;
    units::UnitsConfig& c = r.units;
    for (int a = 1; a <= kChannels; ++a) c.addresses.push_back(a);
    c.seed = static_cast<uint32_t>(rng());
    c.triggerDelay = 0.05;
    c.clockScale = mode == Mode::Shot || mode == Mode::Running ? 4 : 40;
    c.paced = pick(0, 3) == 0;
    switch (r.fault) {
        case Fault::None: break;
        case Fault::Silent: c.silent.insert(r.unit = pick(1, kChannels)); break;
        case Fault::Dropped: c.dropped[r.unit = pick(1, kChannels)].insert(pick(0, 3)); break;
        case Fault::Slow: c.slow[r.unit = pick(1, kChannels)] = real(0.2, 2.5); break;
        case Fault::Speed: c.stuckBaud = pick(0, 1) ? 250000 : 500000; break;
        case Fault::Stray: c.strayChance = real(0.01, 0.2); break;
        case Fault::Framing: c.damaged.insert(r.unit = pick(1, kChannels)); break;
        case Fault::HangUp: c.hangUpAfter = real(0.1, 3.0); break;
    }
    return r;
}

struct Outcome {
    bool finished = false, crashed = false;
    int status = -1;
    std::string out;
    double seconds = 0;
};

// A run hangs when it prints nothing for this long: the longest wait of any
// mode is a passive block's 70 s for its reply. A run that keeps printing may
// take long (a timed minute whose units all fail waits out every burst's
// limit) but not for ever.
constexpr int kQuietMs = 100000;
constexpr double kLongestSeconds = 3600;

Outcome Execute(const std::string& program, const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    const auto t0 = std::chrono::steady_clock::now();
    auto since = [](auto t) { return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count(); };
    p.start(QString::fromStdString(program), args);
    Outcome o;
    if (!p.waitForStarted(10000)) return o;
    auto heard = t0;
    while (!(o.finished = p.waitForFinished(1000))) {
        const QByteArray more = p.readAll();
        if (!more.isEmpty()) heard = std::chrono::steady_clock::now(), o.out += more.toStdString();
        if (since(heard) * 1000 > kQuietMs || since(t0) > kLongestSeconds) break;
    }
    if (!o.finished) {
        p.kill();
        p.waitForFinished(5000);
    }
    o.seconds = since(t0);
    o.out += p.readAll().toStdString();
    o.crashed = o.finished && p.exitStatus() == QProcess::CrashExit;
    if (o.finished && !o.crashed) o.status = p.exitCode();
    return o;
}

// Every regular file of the folder with its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
        if (!e.is_regular_file()) continue;
        std::ifstream in(e.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[e.path().filename().string()] = bytes.str();
    }
    return files;
}

int Count(const std::string& text, const std::regex& line) {
    return static_cast<int>(std::distance(std::sregex_iterator(text.begin(), text.end(), line), std::sregex_iterator()));
}

// True when the output names `unit` as the one that failed.
bool Names(const std::string& out, int unit) {
    const std::regex named("[Uu]nit ?" + std::to_string(unit) + "\\b");
    return std::regex_search(out, named);
}

// A program folder with ini.txt for the spread, and its Data folder.
bool MakeHome(const fs::path& home) {
    fs::create_directories(home / "Data");
    auto s = std::make_unique<State>();
    SimulatedSpread(*s, kChannels);
    s->Sampling_freq = 1000;
    s->N_samples = 1024;
    s->Running_Fs = 2000;
    s->Running_N = 256;
    return SaveConfiguration(*s, home.string()).empty();
}

// What a run that succeeded printed and saved agrees with its spread;
// `traces` is the saved file's count (-1: the printed lines only).
bool CountsAddUp(const Run& r, const std::string& out, long long traces) {
    const int failed = Count(out, std::regex("Unit \\d+ Not Working"));
    switch (r.mode) {
        case Mode::Shot:  // a stacked record holds every channel, summed or not
            return traces < 0 || traces == (r.stack > 1 ? kChannels : kChannels - failed);
        case Mode::Running:
            return Count(out, std::regex("sweep \\d+ channel \\d+ unit \\d+ (rms|not working)")) == 5 * kChannels;
        case Mode::Timed: return traces < 0 || traces == kChannels;
        case Mode::Passive: return traces >= 0 || Count(out, std::regex("block (\\d+) of \\1 recorded")) == 1;
    }
    return true;
}

// One run in `home`: its tally (one run of its fault kind) and, when it went
// wrong, what was wrong and what the command printed.
Tally Perform(const Run& r, int index, const fs::path& home, const std::string& cli, std::string& report) {
    const fs::path data = home / "Data";
    units::PtyUnits units(r.units);
    std::string error;
    if (!units.open(error)) {
        std::fprintf(stderr, "fault_campaign: no pseudo-terminal: %s\n", error.c_str());
        std::exit(2);
    }
    units.start();
    const std::string name = "run" + std::to_string(index);
    QStringList args{kCommands[static_cast<int>(r.mode)], "--home", QString::fromStdString(home.string()), "--port",
                     QString::fromStdString(units.path())};
    switch (r.mode) {
        case Mode::Shot:
            if (r.stack > 1) args << "--stack" << QString::number(r.stack);
            args << "--trigger-timeout" << "8";
            break;
        case Mode::Running: args << "--sweeps" << "5"; break;
        case Mode::Timed: args << "--fs" << "125" << "--minutes" << "1"; break;
        case Mode::Passive: args << "--fs" << "500" << "--minutes" << "1" << "--record-over"; break;
    }
    if (r.save) args << "--save" << QString::fromStdString(name) << "--folder" << QString::fromStdString(data.string());
    const auto before = Snapshot(data);
    const Outcome o = Execute(cli, args);
    units.stop();

    Tally t;
    t.runs = 1;
    t.seconds = o.seconds;
    std::string why;
    if (!o.finished) ++t.hangs, why = "hang";
    else if (o.crashed) ++t.crashes, why = "crash";
    else if (o.status == 0) ++t.ok;
    else if (o.status == 1 && (r.unit == 0 ? r.fault != Fault::None : Names(o.out, r.unit))) ++t.namedFailures;
    else ++t.unnamed, why = "unnamed failure (status " + std::to_string(o.status) + ")";

    const auto after = Snapshot(data);
    for (const auto& [file, bytes] : before) {
        auto it = after.find(file);
        if (it == after.end() || it->second != bytes) ++t.damaged, why += " damaged " + file;
    }
    for (const auto& [file, bytes] : after) {
        if (before.count(file)) continue;
        if (file.find(".sg2.") != std::string::npos || file.find(".txt.") != std::string::npos ||
            file.find(".mseed.") != std::string::npos)
            ++t.damaged, why += " left " + file;
        if (file.size() > 4 && file.substr(file.size() - 4) == ".sg2") {
            std::string reason;
            const auto sg2 = ParseSeg2(bytes, {.maxTraces = kChannels, .maxSamples = 1 << 20}, &reason);
            if (!sg2) ++t.damaged, why += " unreadable " + file + ": " + reason;
            else if (o.status == 0 && !CountsAddUp(r, o.out, static_cast<long long>(sg2->traces.size())))
                ++t.miscounted, why += " " + std::to_string(sg2->traces.size()) + " traces";
        }
    }
    if (o.finished && o.status == 0 && !CountsAddUp(r, o.out, -1)) ++t.miscounted, why += " counts";
    char line[256];
    std::snprintf(line, sizeof line, "run %d %s%s fault %s unit %d: %s %.1f s", index,
                  kModeNames[static_cast<int>(r.mode)], r.stack > 1 ? (" x" + std::to_string(r.stack)).c_str() : "",
                  kFaultNames[static_cast<int>(r.fault)], r.unit,
                  !o.finished ? "killed" : o.crashed ? "crashed" : ("status " + std::to_string(o.status)).c_str(),
                  o.seconds);
    report = line;
    if (!why.empty()) report += " -- " + why + "\n" + o.out;
    return t;
}

int Report(const std::map<Fault, Tally>& tallies, const std::vector<Run>& runs) {
    Tally all;
    for (const auto& [fault, t] : tallies) {
        all.add(t);
        std::printf("%-15s runs %4d ok %4d named failures %4d unnamed %d hangs %d crashes %d damaged files %d "
                    "miscounted %d  (%.1f s a run)\n",
                    kFaultNames[static_cast<int>(fault)], t.runs, t.ok, t.namedFailures, t.unnamed, t.hangs,
                    t.crashes, t.damaged, t.miscounted, t.seconds / t.runs);
    }
    int shots = 0, shotRuns = 0, sweeps = 0, timed = 0, passive = 0;
    for (const Run& r : runs) {
        if (r.mode == Mode::Shot) shots += r.stack, ++shotRuns;
        sweeps += r.mode == Mode::Running ? 5 : 0;
        timed += r.mode == Mode::Timed;
        passive += r.mode == Mode::Passive;
    }
    std::printf("runs %d (shots %d in %d shot runs, %d sweeps, %d timed minutes, %d passive recordings): "
                "hangs %d crashes %d unnamed failures %d damaged files %d miscounted %d\n",
                all.runs, shots, shotRuns, sweeps, timed, passive, all.hangs, all.crashes, all.unnamed, all.damaged,
                all.miscounted);
    return all.hangs + all.crashes + all.unnamed + all.damaged + all.miscounted ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    unsigned seed = 1;
    int shots = 1000, jobs = 4;
    bool keep = false, verbose = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seed" && i + 1 < argc) seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        else if (a == "--shots" && i + 1 < argc) shots = std::atoi(argv[++i]);
        else if (a == "--jobs" && i + 1 < argc) jobs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--keep") keep = true;
        else if (a == "--verbose") verbose = true;
        else {
            std::fprintf(stderr, "usage: fault_campaign [--seed S] [--shots N] [--jobs J] [--keep] [--verbose]\n");
            return 2;
        }
    }
    const std::string cli = Q24_BIN_DIR "/quelda24-cli";
    if (!fs::exists(cli) || !fs::exists(Q24_BIN_DIR "/Sg2Maker")) {
        std::fprintf(stderr, "fault_campaign: build quelda24-cli and Sg2Maker first\n");
        return 2;
    }
    // Every tenth run is another mode in turn: running, timed, passive.
    std::mt19937 rng(seed);
    std::vector<Run> runs;
    for (int fired = 0; fired < shots;) {
        const int index = static_cast<int>(runs.size()) + 1;
        runs.push_back(Draw(rng, index % 10 ? Mode::Shot : static_cast<Mode>(1 + (index / 10) % 3)));
        fired += runs.back().mode == Mode::Shot ? runs.back().stack : 0;
    }
    const fs::path top = fs::temp_directory_path() / ("q24-campaign-" + std::to_string(::getpid()));
    std::printf("fault campaign: seed %u, %d shots in %zu runs, %d at a time, folders in %s\n", seed, shots,
                runs.size(), jobs, top.c_str());
    std::fflush(stdout);

    std::mutex mutex;
    std::map<Fault, Tally> tallies;
    std::size_t next = 0;
    std::vector<std::thread> workers;
    for (int j = 0; j < jobs; ++j)
        workers.emplace_back([&, j] {
            const fs::path home = top / ("job" + std::to_string(j + 1));
            if (!MakeHome(home)) {
                std::fprintf(stderr, "fault_campaign: cannot write %s/ini.txt\n", home.c_str());
                std::exit(2);
            }
            for (;;) {
                std::size_t i;
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    if (next == runs.size()) return;
                    i = next++;
                }
                std::string report;
                const Tally t = Perform(runs[i], static_cast<int>(i) + 1, home, cli, report);
                std::lock_guard<std::mutex> lock(mutex);
                tallies[runs[i].fault].add(t);
                if (verbose || report.find(" -- ") != std::string::npos) std::printf("%s\n", report.c_str());
                std::fflush(stdout);
            }
        });
    for (auto& w : workers) w.join();
    const int status = Report(tallies, runs);
    if (!keep) fs::remove_all(top);
    return status;
}
