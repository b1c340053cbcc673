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
    // The source relative to the first geophone, metres, positive into the
    // spread as the geometry dialog places it; line 15 holds it negated.
    double source = 0;
    std::vector<std::string> labels;           // channel labels without their quotes
    std::vector<std::vector<float>> blocks;  // one per label, `samples` values each
};

// Reads the data text file. Both decimal separators are taken in the header;
// every block must hold exactly the announced sample count. Nothing, with the
// reason, for a file that breaks the layout.
std::optional<DataTextContent> ParseDataText(std::string_view text, std::string* why = nullptr);
// The data text file at `path`, read and parsed; the reason names the file.
std::optional<DataTextContent> ReadDataText(const std::string& path, std::string* why);

// What a record holds beyond its data text file, given to the converter on
// its command line (the text file keeps its layout): DELAY, the first
// sample's time relative to the trigger in seconds (minus the pre-trigger
// time), STACK, the hits summed in it, and SHOT_SEQUENCE_NUMBER.
struct Seg2Record {
    double delaySeconds = 0;
    long long stack = 1;
    long long shot = 1;
};

// The shot number a file name carries: its trailing number ("line3_007" is
// shot 7), else 1.
long long ShotNumberOf(const std::string& name);

// The SEG-2 image of a data text file. Every trace descriptor holds
// CHANNEL_NUMBER, DELAY, RECEIVER_LOCATION, RECEIVER_STATION_NUMBER (the
// geophone's place in the spread, from 1), SAMPLE_INTERVAL, SHOT_SEQUENCE_NUMBER,
// SOURCE_LOCATION, SOURCE_STATION_NUMBER (the source's place on the same
// station numbering: 1 + source / spacing), STACK and NOTE (the label).
std::string Seg2Bytes(const DataTextContent& data, const Seg2Record& record = {});

// The whole conversion: reads `dataPath`, writes `sg2Path` (replacing it only
// once complete). Returns "" or the reason.
std::string ConvertDataText(const std::string& dataPath, const std::string& sg2Path, const Seg2Record& record = {});

// The converter's command line: one argument "DATA|OUT.sg2" or two, DATA and
// OUT.sg2, and the options --delay SECONDS, --stack N and --shot N (by default
// the number OUT's name ends in). Nothing, with the reason, when it is wrong.
struct ConverterCommand {
    std::string data, sg2;
    Seg2Record record;
};
std::optional<ConverterCommand> ParseConverterCommand(const std::vector<std::string>& args, std::string* why);
// The options that give the converter what a record holds beyond its text.
std::vector<std::string> ConverterOptions(const Seg2Record& record);

// The converter's one argument "DATA|OUT.sg2" split in two. The separator is
// the first "|" whose left side names an existing file, else the first "|".
std::optional<std::pair<std::string, std::string>> SplitConverterArgument(const std::string& argument);

}  // namespace q24
