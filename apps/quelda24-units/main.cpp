// quelda24-units: the acquisition units, emulated, on a pseudo-terminal.
// Prints the device path on the first line of stdout, then serves the line
// until it is interrupted (SIGINT, SIGTERM).
//
//   quelda24-units [--pattern | --noise] [--paced] [--units 1-24] [--trigger-delay S]
//                  [--trigger-time T] [--silent U] [--drop U:K] [--slow U:S]
//                  [--stuck-baud B] [--noisy U[:DB]] [--damaged U] [--stray P]
//                  [--hang-up S] [--link PATH] [--time-scale X]
//                  [--spread V1,V2,DEPTH] [--source X] [--spacing D]
//
// The shot gather: two flat layers (V1 over V2 m/s, the top of the second
// DEPTH m down), unit 1 at 0 m and the others every D m (5) along the line,
// the source at X m on that line (-2.5: 2.5 m before unit 1).
//
// --noisy U[:DB] adds noise of DB dB of full scale (RMS, -160 to 0; -20 when
// not given) to unit U's samples, as a loose geophone would.
// --damaged U sends unit U's answers with framing errors, --stray P puts a
// stray byte before an answer with chance P, --hang-up S makes the line
// vanish S seconds after the start.
// --time-scale X runs the units' sampling clock X times faster than real
// time, so tests can take a minute of continuous recording in seconds.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "state/Version.h"
#include "units/PtyUnits.h"

namespace {

constexpr const char* kUsage =
    "quelda24-units [--pattern|--noise] [--paced] [--units A-B] [--trigger-delay S] [--trigger-time T] "
    "[--silent U] [--drop U:K] [--slow U:S] [--stuck-baud B] [--noisy U[:DB]] [--damaged U] [--stray P] "
    "[--hang-up S] [--link PATH] [--time-scale X] [--spread V1,V2,DEPTH] [--source X] [--spacing D]";

void Usage() { std::fprintf(stderr, "usage: %s\n", kUsage); }

// "V1,V2,DEPTH": speeds that grow with depth, a depth above zero.
bool Layers(const std::string& text, q24::units::Spread& s) {
    double v1 = 0, v2 = 0, depth = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%lf,%lf,%lf%c", &v1, &v2, &depth, &tail) != 3) return false;
    if (!(v1 > 0) || !(v2 > v1) || !(depth > 0) || v2 > 1e5 || depth > 1e4) return false;
    s.v1 = v1;
    s.v2 = v2;
    s.depth = depth;
    return true;
}

// A finite number, within `limit` of zero.
bool Number(const std::string& text, double limit, double& out) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(std::fabs(v) <= limit)) return false;
    out = v;
    return true;
}

bool Range(const std::string& text, int& a, int& b) {
    const auto dash = text.find('-');
    a = std::atoi(text.c_str());
    b = dash == std::string::npos ? a : std::atoi(text.c_str() + dash + 1);
    return a >= 0 && b >= a && b <= 16319;
}

// "U" or "U:DB" of --noisy.
bool Noisy(const std::string& text, int& unit, double& db) {
    char* end = nullptr;
    const long u = std::strtol(text.c_str(), &end, 10);
    db = -20;
    if (*end == ':') {
        const char* given = end + 1;
        db = std::strtod(given, &end);
        if (end == given) return false;
    }
    if (end == text.c_str() || *end != '\0' || u < 0 || u > 16319 || !(db >= -160 && db <= 0)) return false;
    unit = static_cast<int>(u);
    return true;
}

// A fault asked for: --silent U, --damaged U, --stray P, --hang-up S,
// --noisy U[:DB], --drop U:K, --slow U:S. False when the value is not one.
bool Fault(const std::string& option, const std::string& v, q24::units::UnitsConfig& c) {
    if (option == "--silent" || option == "--damaged") {
        (option == "--silent" ? c.silent : c.damaged).insert(std::atoi(v.c_str()));
        return true;
    }
    if (option == "--stray" || option == "--hang-up") {
        (option == "--stray" ? c.strayChance : c.hangUpAfter) = std::atof(v.c_str());
        return true;
    }
    if (option == "--noisy") {
        int unit = 0;
        double db = 0;
        if (!Noisy(v, unit, db)) return false;
        c.noisy[unit] = db;
        return true;
    }
    const auto colon = v.find(':');
    if (colon == std::string::npos) return false;
    const int unit = std::atoi(v.c_str());
    if (option == "--drop") c.dropped[unit].insert(std::atoi(v.c_str() + colon + 1));
    else c.slow[unit] = std::atof(v.c_str() + colon + 1);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (q24::AnswerVersionOrHelp(argc, argv, "quelda24-units", kUsage)) return 0;
    q24::units::UnitsConfig c;
    std::string link;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                Usage();
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--pattern") c.data = q24::units::DataKind::Pattern;
        else if (a == "--noise") c.data = q24::units::DataKind::Noise;
        else if (a == "--paced") c.paced = true;
        else if (a == "--trigger-delay") c.triggerDelay = std::atof(next().c_str());
        else if (a == "--trigger-time") c.triggerTime = std::atoi(next().c_str());
        else if (a == "--stuck-baud") c.stuckBaud = std::atoi(next().c_str());
        else if (a == "--link") link = next();
        else if (a == "--time-scale") {
            c.clockScale = std::atof(next().c_str());
            if (!(c.clockScale > 0)) return Usage(), 2;
        } else if (a == "--spread") {
            if (!Layers(next(), c.spread)) return Usage(), 2;
        } else if (a == "--source") {
            double x = 0;
            if (!Number(next(), 1e5, x)) return Usage(), 2;
            c.spread.sourceOffset = -x;  // the source to unit 1, which stands at 0
        } else if (a == "--spacing") {
            double d = 0;
            if (!Number(next(), 1e4, d) || !(d > 0)) return Usage(), 2;
            c.spread.spacing = d;
        } else if (a == "--units") {
            int from = 0, to = 0;
            if (!Range(next(), from, to)) return Usage(), 2;
            c.addresses.clear();
            for (int u = from; u <= to; ++u) c.addresses.push_back(u);
        } else if (a == "--silent" || a == "--noisy" || a == "--drop" || a == "--slow" || a == "--damaged" ||
                   a == "--stray" || a == "--hang-up") {
            if (!Fault(a, next(), c)) return Usage(), 2;
        } else {
            Usage();
            return 2;
        }
    }
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);  // the serving thread never sees them

    q24::units::PtyUnits units(c);
    std::string error;
    if (!units.open(error)) {
        std::fprintf(stderr, "quelda24-units: %s\n", error.c_str());
        return 1;
    }
    if (!link.empty()) {
        ::unlink(link.c_str());
        if (::symlink(units.path().c_str(), link.c_str()) != 0)
            std::fprintf(stderr, "quelda24-units: cannot link %s: %s\n", link.c_str(), std::strerror(errno));
    }
    std::printf("%s\n", units.path().c_str());
    std::fflush(stdout);
    units.start();
    // Serve until a signal comes.
    pthread_sigmask(SIG_UNBLOCK, &stop, nullptr);
    static volatile sig_atomic_t done = 0;
    struct sigaction sa {};
    sa.sa_handler = [](int) { done = 1; };
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    while (!done) poll(nullptr, 0, 1000);
    units.stop();
    if (!link.empty()) ::unlink(link.c_str());
    return 0;
}
