#pragma once
// The data text file: the converter's input, written under a fixed name in
// the program folder (data_trigger.txt for trigger shots, data.txt for timed
// and passive recordings). A 16-line header, then one labelled block of
// samples per channel. Every writer goes through DataTextWriter, which writes
// into a temporary file beside the target and renames it over the target only
// when the file is complete: a failed or abandoned recording leaves the
// previous file as it was.
#include <cstdint>
#include <string>
#include <vector>

#include "state/Regional.h"
#include "state/State.h"

namespace q24 {

inline constexpr const char* kTriggerDataFile = "data_trigger.txt";
inline constexpr const char* kDataFile = "data.txt";
inline constexpr const char* kInstrument = "Strumento: QUELDA24";
inline constexpr const char* kTimedInstrument = "Strumento: QUELDATR24";

// A moment on the wall clock, as the header shows it.
struct Stamp {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    static Stamp now();
};

struct DataHeader {
    std::string instrument = kInstrument;  // line 2
    long long channels = 0;                // line 7: N_Geofoni
    double intervalUsec = 0;               // line 9
    long long samples = 0;                 // line 11: samples of every block
    float spacing = 0;                     // line 13: Dist_geofoni
    float source = 0;                      // Pos_source as stored; line 15 holds it negated
};

// The sampling interval in microseconds as the trigger and timed headers give
// it: 1000 times the interval in milliseconds that the parameters dialog shows.
double IntervalUsec(int32_t samplingFreq);

// Headers of the writers, from the program state.
DataHeader TriggerHeader(const State& s);                    // unstacked and stacked shots
DataHeader TimedHeader(const State& s);                      // timed sampling save
DataHeader PassiveHeader(const State& s, int passiveFreq, long long samples);

// Lines 1 to 16, CR LF after each.
std::string DataHeaderText(const DataHeader& h, const Regional& regional, const Stamp& when);
// "Canale numero " + number, the label of trigger, stacked and passive blocks.
std::string ChannelLabel(long long number);
// One channel block: the label as a write-form string, then n write-form Singles.
std::string ChannelBlockText(const std::string& label, const float* samples, long long n);

class DataTextWriter {
public:
    DataTextWriter() = default;
    ~DataTextWriter();  // abandons an unfinished file
    DataTextWriter(const DataTextWriter&) = delete;
    DataTextWriter& operator=(const DataTextWriter&) = delete;

    // Starts the file at `path` with its header. Returns "" or the reason the
    // file cannot be made; then nothing is left behind.
    std::string begin(const std::string& path, const DataHeader& header, const Regional& regional,
                      const Stamp& when = Stamp::now());
    // Appends one channel block of header.samples values. Samples beyond the
    // array given are never read: `available` is how many the array holds.
    void appendChannel(const std::string& label, const float* samples, long long available);
    // Completes the file and puts it in place of the target. Returns "" or
    // the first write error met since begin(); on an error the target keeps
    // its previous content.
    std::string finish();
    // Drops the unfinished file; the target keeps its previous content.
    void abandon();

    bool open() const { return fd_ >= 0; }
    const std::string& error() const { return error_; }
    int channelsWritten() const { return channels_; }

private:
    void write(const std::string& text);
    void flush();

    int fd_ = -1;
    std::string path_, temp_, buffer_, error_;
    long long samples_ = 0;
    int channels_ = 0;
};

// The stacked series written whole: every active trace 1 .. N_Geofoni, labelled
// by its trace number. Returns "" or the reason.
std::string WriteStackedDataText(const State& s, const std::string& path, const Regional& regional,
                                 const Stamp& when = Stamp::now());
// The timed sampling save: every trace 1 .. N_Geofoni from Dati_cont,
// N_samples_cont samples each, labelled "Canale " + the trace's channel text
// (channelText[k - 1]; missing texts are empty).
std::string WriteTimedDataText(const State& s, const std::vector<std::string>& channelText,
                               const std::string& path, const Regional& regional,
                               const Stamp& when = Stamp::now());

// ---- Temporary channel files of a passive recording: temp_data<k>.txt in the
// program folder, one write-form Single a line, appended block by block.

std::string TempChannelPath(const std::string& home, int channel);

class TempChannelFiles {
public:
    ~TempChannelFiles();
    // Creates (empties) temp_data1.txt .. temp_data<channels>.txt. Returns ""
    // or the reason; then none is kept open.
    std::string create(const std::string& home, int channels);
    // Appends n samples to channel k's file (1-based).
    void append(int channel, const float* samples, long long n);
    // Writes out what every file has buffered, so the caller knows what is on
    // disk; returns "" or the first error met.
    std::string flush();
    // Writes out and closes every file; returns "" or the first error met.
    std::string close();
    const std::string& error() const { return error_; }

private:
    struct File {
        int fd = -1;
        std::string path, buffer;
    };
    void flush(File& f);
    std::vector<File> files_;
    std::string error_;
};

// The passive recording's data.txt: header at the passive frequency, then for
// k = 1 .. N_Geofoni the label "Canale numero k" and exactly `samples` values
// copied from temp_data<k>.txt. A temporary file that is missing or holds
// fewer values is an error, and data.txt is left as it was.
std::string WritePassiveDataText(const State& s, const std::string& home, int passiveFreq,
                                 long long samples, const std::string& path, const Regional& regional,
                                 const Stamp& when = Stamp::now());

}  // namespace q24
