#pragma once
// miniSEED copies of timed and passive recordings, for ambient-noise tools
// that read miniSEED with absolute time stamps. The copy is made from the
// data text file the converter reads, so it holds exactly the values of the
// .sg2 (the data text values as float32).
//
// The file: SEED 2.4 data records of 4096 bytes, big-endian, quality "D", one
// channel per trace. Every trace is a station of its own: the station code is
// the station prefix followed by the trace number in two digits (trace 1 of
// prefix "Q24" is station "Q2401"), so tools that pair stations tell the
// geophones of a spread apart; network, location and channel are the same
// for every trace. A trace whose every value is an integer that Steim-2
// compression represents (values and their differences within 30 bits) is
// Steim-2 compressed; any other trace is stored as FLOAT32. Either keeps
// every value exactly.
//
// The codes come from `mseed.ini` in the program folder, key=value lines
// ("#" or ";" starts a comment):
//
//   network=XX     1 or 2 characters             (default "XX")
//   station=Q24    the prefix, 1 to 3 characters  (default "Q24")
//   location=      0 to 2 characters             (default empty)
//   channel=DPZ    3 characters                  (default: band code by the
//                  sampling rate, "P" for a geophone, "Z" vertical: "EPZ" below
//                  250 Hz, "DPZ" from 250 Hz, "GPZ" from 1000 Hz)
//
// Codes are upper-case letters and digits (lower case is taken as upper
// case). A missing file gives the defaults; a value that breaks these rules,
// an unknown key or a line that is not key=value is ignored with a note, and
// the default stays.
#include <cstdint>
#include <string>
#include <vector>

#include "files/Seg2Writer.h"

namespace q24 {

inline constexpr const char* kMseedSettingsFile = "mseed.ini";

struct MseedCodes {
    std::string network = "XX";
    std::string station = "Q24";  // the prefix; two digits of the trace number follow
    std::string location;
    std::string channel;  // empty: chosen by the sampling rate
};

struct MseedSettings {
    MseedCodes codes;
    std::string notes;  // what was ignored and why, one line each; empty when all was taken
};

// Reads the settings file at `path`; never fails (see the notes).
MseedSettings ReadMseedSettings(const std::string& path);

// "" when `value` may be the code `key` ("network", "station", "location",
// "channel"), else the reason.
std::string CheckMseedCode(const std::string& key, const std::string& value);

// The channel code for a rate when the settings give none.
std::string DefaultMseedChannel(double sampleRate);

// When the samples were taken: `startsUtc[i]` is the time on the PC clock
// (UTC, microseconds since 1970) of sample i x blockSamples of every trace.
// blockSamples 0 means one stretch without a break from startsUtc[0]. A block
// without its own start follows the previous one without a gap.
struct MseedTiming {
    double sampleRate = 0;
    std::vector<int64_t> startsUtc;
    long long blockSamples = 0;
};

// The miniSEED image of a data text file; "" in `why` or the reason (then the
// image is empty).
std::string MseedBytes(const DataTextContent& data, const MseedCodes& codes, const MseedTiming& timing,
                       std::string* why);

// Reads the data text file at `dataPath` and writes `mseedPath` (replacing it
// only once complete, a failed write leaves no file). The rate is the one the
// data text's interval gives, as the .sg2 has it. Returns "" or the reason.
std::string WriteMseedFromDataText(const std::string& dataPath, const std::string& mseedPath, const MseedCodes& codes,
                                   std::vector<int64_t> startsUtc, long long blockSamples);

// The PC clock now, UTC microseconds since 1970.
int64_t UtcMicrosNow();

}  // namespace q24
