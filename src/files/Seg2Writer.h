#pragma once
// The converter's two halves: reading a data text file of any writer
// (trigger, stacked, timed, passive) and writing it as a SEG-2 revision 1
// file: little-endian, float32 samples (format code 4) right after each trace
// descriptor, whose strings end in a run of three zero bytes.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace q24 {

struct DataTextContent {
    std::string instrument;  // after "Strumento: "
    std::string date, time;  // as the header shows them
    long long channels = 0;  // line 7
    double intervalUsec = 0; // line 9
    long long samples = 0;   // line 11
    double spacing = 0;      // line 13, metres
    double source = 0;       // line 15: the source relative to the first geophone, metres
    std::vector<std::string> labels;           // channel labels without their quotes
    std::vector<std::vector<float>> blocks;  // one per label, `samples` values each
};

// Reads the data text file. Both decimal separators are taken in the header;
// every block must hold exactly the announced sample count. Nothing, with the
// reason, for a file that breaks the layout.
std::optional<DataTextContent> ParseDataText(std::string_view text, std::string* why = nullptr);

// The SEG-2 image of a data text file.
std::string Seg2Bytes(const DataTextContent& data);

// The whole conversion: reads `dataPath`, writes `sg2Path` (replacing it only
// once complete). Returns "" or the reason.
std::string ConvertDataText(const std::string& dataPath, const std::string& sg2Path);

// The converter's one argument "DATA|OUT.sg2" split in two. The separator is
// the first "|" whose left side names an existing file, else the first "|".
std::optional<std::pair<std::string, std::string>> SplitConverterArgument(const std::string& argument);

}  // namespace q24
