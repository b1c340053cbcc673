#pragma once
// The record file: name + ".txt" beside each saved .sg2. Five header values
// (N_samples, Sampling_freq, Dist_geofoni, Pos_source as stored, N_Geofoni),
// then every trace's samples, one write-form value a line, CR LF.
#include <string>
#include <string_view>

#include "files/LoadedData.h"
#include "state/State.h"

namespace q24 {

// The whole text of the record file for the traces in hand; empty text and a
// reason when the counts lie outside the trace array.
std::string RecordFileText(const State& s, std::string* why = nullptr);
// Writes it at `path`, replacing any file there only once complete. Returns
// "" or the reason.
std::string WriteRecordFile(const State& s, const std::string& path);

// Reads a record file. Header values missing at the end of the file keep the
// values of `current`; then exactly N_Geofoni x N_samples samples must follow.
// Nothing when the file breaks a rule (a count outside the trace array, a
// sampling frequency that is not positive, a value that is not a number, too
// few samples); `why` then says which.
std::optional<LoadedData> ReadRecordFile(std::string_view text, const State& current, std::string* why = nullptr);

}  // namespace q24
