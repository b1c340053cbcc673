#include "files/RecordFile.h"

#include <cmath>
#include <limits>

#include "files/WriteForm.h"
#include "state/AtomicFile.h"
#include "state/NumberFormat.h"

namespace q24 {

std::string RecordFileText(const State& s, std::string* why) {
    if (s.N_Geofoni < 0 || s.N_Geofoni > s.Dati.rows() || s.N_samples < 0 ||
        (s.N_Geofoni > 0 && s.N_samples > s.Dati.cols())) {
        if (why) *why = "the trace or sample count lies outside the trace array";
        return {};
    }
    std::string out;
    out.reserve(64 + static_cast<std::size_t>(s.N_Geofoni) * static_cast<std::size_t>(s.N_samples) * 10);
    auto line = [&out](const std::string& v) {
        out += v;
        out += kLineEnd;
    };
    line(WriteFormInteger(s.N_samples));
    line(WriteFormInteger(s.Sampling_freq));
    line(WriteFormSingle(s.Dist_geofoni));
    line(WriteFormSingle(s.Pos_source));
    line(WriteFormInteger(s.N_Geofoni));
    for (int k = 1; k <= s.N_Geofoni; ++k) {
        const float* row = s.Dati.row(k - 1);
        for (int j = 0; j < s.N_samples; ++j) line(WriteFormSingle(row[j]));
    }
    return out;
}

std::string WriteRecordFile(const State& s, const std::string& path) {
    std::string why;
    std::string text = RecordFileText(s, &why);
    if (!why.empty()) return why;
    return WriteFileAtomically(path, text);
}

namespace {
std::optional<float> toSingle(double v) {
    if (std::fabs(v) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(v);
}
}  // namespace

std::optional<LoadedData> ReadRecordFile(std::string_view text, const State& current, std::string* why) {
    auto fail = [why](const char* reason) -> std::optional<LoadedData> {
        if (why) *why = reason;
        return std::nullopt;
    };
    WriteFormReader in(text);
    LoadedData d;
    d.N_samples = current.N_samples;
    d.Sampling_freq = current.Sampling_freq;
    d.N_Geofoni = current.N_Geofoni;
    d.Dist_geofoni = current.Dist_geofoni;
    d.Pos_source = current.Pos_source;

    // Each header value only while the file has not ended; the integers are
    // rounded as the program rounds, halves to even.
    bool bad = false;
    auto header = [&](auto& target, auto convert) {
        if (bad || in.atEnd()) return;
        const auto v = in.next();
        const auto c = v ? convert(*v) : std::nullopt;
        if (c) target = *c;
        else bad = true;
    };
    header(d.N_samples, ToInt32);
    if (bad) return fail("the sample count is not a whole number");
    header(d.Sampling_freq, ToInt32);
    if (bad) return fail("the sampling frequency is not a whole number");
    header(d.Dist_geofoni, toSingle);
    if (bad) return fail("the geophone spacing is not a number");
    header(d.Pos_source, toSingle);
    if (bad) return fail("the source position is not a number");
    header(d.N_Geofoni, ToInt16);
    if (bad) return fail("the trace count is not a whole number");
    if (d.N_Geofoni < 0 || d.N_Geofoni > kMaxTraces) return fail("the trace count lies outside the trace array");
    if (d.N_samples < 0 || d.N_samples > kMaxSamples) return fail("the sample count lies outside the trace array");
    if (d.Sampling_freq <= 0) return fail("the sampling frequency is not positive");

    d.traces.assign(static_cast<std::size_t>(d.N_Geofoni), std::vector<float>(static_cast<std::size_t>(d.N_samples)));
    for (auto& row : d.traces)
        for (float& x : row) {
            const auto v = in.next();
            const auto f = v ? toSingle(*v) : std::nullopt;
            if (!f) return fail(v ? "a sample lies outside the single-precision range"
                                  : "the file ends early or holds a sample that is not a number");
            x = *f;
        }
    return d;
}

}  // namespace q24
