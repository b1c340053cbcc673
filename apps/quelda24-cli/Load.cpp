// quelda24-cli load FILE [--samples]: loads a record file or a SEG-2 file as
// the load dialog does and prints what it put in the program state, one
// name=value a line; with --samples every trace's samples follow, one trace a
// line, separated by blanks. "Erroneous file!" or "File too Large" on
// standard error and a non-zero status when the dialog would say so.
#include <cstdio>
#include <memory>

#include "Command.h"
#include "files/Loading.h"
#include "files/WriteForm.h"
#include "state/NumberFormat.h"
#include "program/TextOperator.h"

namespace q24::cli {
namespace {

int runLoad(const QStringList& args) {
    QStringList rest = args;
    const bool samples = rest.removeAll("--samples") > 0;
    if (rest.size() != 1) {
        std::fprintf(stderr, "usage: quelda24-cli load FILE [--samples]\n");
        return 2;
    }
    auto s = std::make_unique<State>();
    TextOperator panel(stderr);  // status and messages on standard error
    std::string why;
    const LoadResult r = LoadFile(*s, panel, rest.front().toStdString(), Regional::fromSystem(), [] {}, &why);
    if (r != LoadResult::Loaded) {
        if (!why.empty()) std::fprintf(stderr, "(%s)\n", why.c_str());
        return 1;
    }
    std::printf("N_Geofoni=%d\nN_samples=%d\nSampling_freq=%d\nDist_geofoni=%s\nPos_source=%s\n", s->N_Geofoni,
                s->N_samples, s->Sampling_freq, FreeFormat(s->Dist_geofoni).c_str(),
                FreeFormat(s->Pos_source).c_str());
    if (samples)
        for (int t = 0; t < s->N_Geofoni; ++t) {
            std::string line;
            for (int j = 0; j < s->N_samples; ++j) {
                if (j) line += ' ';
                line += WriteFormSingle(s->Dati(t, j));
            }
            std::printf("%s\n", line.c_str());
        }
    return 0;
}

CommandRegistration load{"load", "load FILE [--samples]", runLoad};

}  // namespace
}  // namespace q24::cli
