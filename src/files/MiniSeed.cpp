#include "files/MiniSeed.h"

#include <libmseed.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "state/AtomicFile.h"
#include "state/SettingsFile.h"

namespace q24 {

namespace {

constexpr int kRecordLength = 4096;
constexpr flag kBigEndian = 1;
// Steim-2 holds differences of at most 30 bits; values kept within the same
// range so the first difference of a record (from zero) fits too.
constexpr double kSteim2Max = (1 << 29) - 1, kSteim2Min = -(1 << 29);

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// What libmseed last said, for the reason of a failure.
std::string& lastLog() {
    static std::string text;
    return text;
}

void keepLog(char* message) { lastLog() = Trimmed(message != nullptr ? message : ""); }

void appendRecord(char* record, int length, void* out) {
    if (record != nullptr && length > 0)
        static_cast<std::string*>(out)->append(record, static_cast<std::size_t>(length));
}

bool fitsSteim2(const std::vector<float>& v) {
    double previous = 0;
    for (const float f : v) {
        const double x = f;
        if (!(x >= kSteim2Min && x <= kSteim2Max) || x != std::floor(x)) return false;  // NaN fails too
        if (x - previous > kSteim2Max || x - previous < kSteim2Min) return false;
        previous = x;
    }
    return true;
}

// Packs `n` samples from `first` as one stretch; appends the records to `out`.
// Returns "" or the reason.
std::string packStretch(const float* first, long long n, bool steim2, const MseedCodes& codes,
                        const std::string& station, int64_t start, double rate, std::string& out) {
    MSTrace* mst = mst_init(nullptr);
    if (mst == nullptr) return "out of memory";
    std::strncpy(mst->network, codes.network.c_str(), sizeof mst->network - 1);
    std::strncpy(mst->station, station.c_str(), sizeof mst->station - 1);
    std::strncpy(mst->location, codes.location.c_str(), sizeof mst->location - 1);
    std::strncpy(mst->channel, codes.channel.c_str(), sizeof mst->channel - 1);
    mst->dataquality = 'D';
    mst->starttime = start;
    mst->samprate = rate;
    mst->numsamples = mst->samplecnt = n;
    const auto bytes = static_cast<std::size_t>(n) * 4;
    mst->datasamples = std::malloc(bytes);  // the trace owns its samples and frees them
    if (mst->datasamples == nullptr) {
        mst_free(&mst);
        return "out of memory";
    }
    if (steim2) {
        auto* values = static_cast<int32_t*>(mst->datasamples);
        for (long long k = 0; k < n; ++k) values[k] = static_cast<int32_t>(first[k]);
        mst->sampletype = 'i';
    } else {
        std::memcpy(mst->datasamples, first, bytes);
        mst->sampletype = 'f';
    }
    lastLog().clear();
    int64_t packed = 0;
    const int records = mst_pack(mst, appendRecord, &out, kRecordLength, steim2 ? DE_STEIM2 : DE_FLOAT32, kBigEndian,
                                 &packed, 1, 0, nullptr);
    mst_free(&mst);
    if (records < 0 || packed != n)
        return "the samples could not be packed" + (lastLog().empty() ? std::string() : " (" + lastLog() + ")");
    return {};
}

// The rate the data text's interval gives; a whole number of hertz when it
// is one within rounding.
double rateOf(double intervalUsec) {
    if (!(intervalUsec > 0) || !std::isfinite(intervalUsec)) return 0;
    const double rate = 1e6 / intervalUsec;
    return std::abs(rate - std::round(rate)) <= rate * 1e-9 ? std::round(rate) : rate;
}

}  // namespace

std::string CheckMseedCode(const std::string& key, const std::string& value) {
    std::size_t lowest = 1, highest = 0;
    if (key == "network") highest = 2;
    else if (key == "station") highest = 3;  // two digits of the trace number follow
    else if (key == "location") lowest = 0, highest = 2;
    else if (key == "channel") lowest = highest = 3;
    else {
        std::string shown = key.substr(0, 20);  // the file may hold anything
        for (char& c : shown)
            if (!std::isprint(static_cast<unsigned char>(c))) c = '?';
        return "unknown key \"" + shown + "\"";
    }
    if (value.size() < lowest || value.size() > highest) {
        const std::string length =
            lowest == highest ? std::to_string(lowest) : std::to_string(lowest) + " to " + std::to_string(highest);
        return key + " must have " + length + " characters";
    }
    for (const char c : value)
        if (!std::isdigit(static_cast<unsigned char>(c)) && !(c >= 'A' && c <= 'Z'))
            return key + " may hold only letters A to Z and digits";
    return {};
}

std::string DefaultMseedChannel(double sampleRate) {
    const char band = sampleRate >= 1000 ? 'G' : sampleRate >= 250 ? 'D' : sampleRate >= 80 ? 'E' : 'S';
    return std::string(1, band) + "PZ";
}

MseedSettings ReadMseedSettings(const std::string& path) {
    MseedSettings out;
    out.notes = ReadSettings(path, kMseedSettingsFile, "the default codes are used",
                             [&](const std::string& key, const std::string& raw) {
                                 const std::string value = upper(raw);
                                 if (std::string why = CheckMseedCode(key, value); !why.empty()) return why;
                                 if (key == "network") out.codes.network = value;
                                 else if (key == "station") out.codes.station = value;
                                 else if (key == "location") out.codes.location = value;
                                 else out.codes.channel = value;
                                 return std::string();
                             });
    return out;
}

std::string MseedBytes(const DataTextContent& data, const MseedCodes& given, const MseedTiming& timing,
                       std::string* why) {
    auto fail = [why](const std::string& reason) {
        if (why != nullptr) *why = reason;
        return std::string();
    };
    ms_loginit(keepLog, nullptr, keepLog, nullptr);  // libmseed's words go to the reason, not to stderr
    MseedCodes codes = given;
    if (codes.channel.empty()) codes.channel = DefaultMseedChannel(timing.sampleRate);
    for (const auto& [key, value] : {std::pair{"network", codes.network},
                                     {"station", codes.station},
                                     {"location", codes.location},
                                     {"channel", codes.channel}})
        if (std::string bad = CheckMseedCode(key, value); !bad.empty()) return fail(bad);
    if (!(timing.sampleRate > 0) || !std::isfinite(timing.sampleRate)) return fail("the sampling rate is unknown");
    if (timing.startsUtc.empty()) return fail("the start of the recording is unknown");
    if (data.blocks.size() > 99) return fail("more than 99 traces");
    if (data.samples <= 0 || data.blocks.empty()) return fail("the recording holds no samples");

    std::string out;
    const long long n = data.samples;
    const long long block = timing.blockSamples > 0 ? timing.blockSamples : n;
    for (std::size_t t = 0; t < data.blocks.size(); ++t) {
        const std::vector<float>& v = data.blocks[t];
        if (static_cast<long long>(v.size()) != n) return fail("a trace holds fewer samples than announced");
        const std::string station = codes.station + (t + 1 < 10 ? "0" : "") + std::to_string(t + 1);
        const bool steim2 = fitsSteim2(v);
        int64_t start = timing.startsUtc.front();
        for (long long first = 0, b = 0; first < n; first += block, ++b) {
            if (b > 0) {
                const auto i = static_cast<std::size_t>(b);
                start = i < timing.startsUtc.size()
                            ? timing.startsUtc[i]
                            : start + std::llround(static_cast<double>(block) * 1e6 / timing.sampleRate);
            }
            const long long count = std::min(block, n - first);
            const std::size_t before = out.size();
            std::string err =
                packStretch(v.data() + first, count, steim2, codes, station, start, timing.sampleRate, out);
            if (!err.empty() && steim2) {  // never expected: the values were checked; FLOAT32 keeps them too
                out.resize(before);
                err = packStretch(v.data() + first, count, false, codes, station, start, timing.sampleRate, out);
            }
            if (!err.empty()) return fail(err);
        }
    }
    if (why != nullptr) why->clear();
    return out;
}

std::string WriteMseedFromDataText(const std::string& dataPath, const std::string& mseedPath, const MseedCodes& codes,
                                   std::vector<int64_t> startsUtc, long long blockSamples) {
    std::string why;
    const auto data = ReadDataText(dataPath, &why);
    if (!data) return why;
    const MseedTiming timing{rateOf(data->intervalUsec), std::move(startsUtc), blockSamples};
    const std::string bytes = MseedBytes(*data, codes, timing, &why);
    if (!why.empty()) return why;
    return WriteFileAtomically(mseedPath, bytes);
}

int64_t UtcMicrosNow() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace q24
