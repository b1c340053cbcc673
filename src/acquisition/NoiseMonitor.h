#pragma once
// The noise monitor of running mode: for every selected channel position, the
// RMS and the peak of what its last sweep read, in dB of the converter's full
// scale (dBFS), against a threshold the operator sets. The window shows it as
// bars (acquisition/forms/Noise_monitor.h); `quelda24-cli run --threshold DB`
// marks the noisy channels in its lines.
//
// The samples are the 24-bit converter's counts with their mean removed, as
// the readers leave them in Dati: full scale is 2^23 counts, so a sine
// touching full scale reads -3 dBFS RMS and a square wave there 0 dBFS. A
// silent channel (RMS 0) reads the floor, -160 dBFS, never minus infinity.
//
// The threshold (dBFS, -140 to 0, default -40) is kept between runs in
// `monitor.ini` in the program folder, one line:
//
//   threshold_db=-40
//
// ("#" or ";" starts a comment). A missing file gives the default; a line
// that is not a threshold in range is ignored with a note, and the default
// stays. The file is written, whole or not at all, only when the operator
// changes the threshold; ini.txt is never touched.
#include <functional>
#include <string>
#include <vector>

#include "state/State.h"

namespace q24 {

inline constexpr const char* kMonitorSettingsFile = "monitor.ini";
inline constexpr double kFullScaleCounts = 8388608.0;  // 2^23
inline constexpr double kNoiseFloorDb = -160.0;
inline constexpr double kThresholdLowestDb = -140.0, kThresholdHighestDb = 0.0, kThresholdDefaultDb = -40.0;

struct NoiseLevel {
    double rmsDb = kNoiseFloorDb;
    double peakDb = kNoiseFloorDb;
};

// RMS and peak of `n` samples in dBFS, each at least the floor.
NoiseLevel LevelOf(const float* samples, int n);

// A threshold as typed ("-40", "-37.5", "-40 dB"; a comma may stand for the
// point): "" and `db` set (rounded to 0.1 dB), or why it is refused.
std::string ParseThreshold(const std::string& text, double& db);

struct MonitorSettings {
    double threshold = kThresholdDefaultDb;
    std::string notes;  // what was ignored and why; empty when all was taken
};
// Reads the settings file at `path`; never fails (see the notes).
MonitorSettings ReadMonitorSettings(const std::string& path);
// The same, from the file's text.
MonitorSettings MonitorSettingsOf(const std::string& text);
// Replaces the file at `path` with the threshold; "" or the reason.
std::string WriteMonitorSettings(const std::string& path, double threshold);
// The threshold as the box and the file show it ("-40", "-37.5").
std::string ThresholdText(double db);

class NoiseMonitor {
public:
    enum class Reading { NotRead, Level, NotWorking };
    struct Channel {
        int position = 0;
        int unit = 0;
        Reading reading = Reading::NotRead;
        NoiseLevel level;
    };

    // `settingsPath`: where the operator's threshold is kept; empty: nowhere.
    explicit NoiseMonitor(std::string settingsPath = {});

    // The positions a sweep reads: the selected ones up to the trace count,
    // with their units. Those that stay (same unit) keep their reading.
    void follow(const State& s);
    // Running mode starts: every position back to "not read yet".
    void restart(const State& s);
    // A sweep starts (the positions followed) and the sweep count grows.
    void sweepStarts(const State& s);
    // What one channel's read left: its samples, or nothing (the unit did not answer).
    void read(int position, int unit, const float* samples, int n);
    void notWorking(int position, int unit);

    const std::vector<Channel>& channels() const { return channels_; }
    const Channel* channel(int position) const;
    int sweeps() const { return sweeps_; }
    // Over the threshold: a level read whose RMS lies above it.
    bool over(const Channel& c) const;
    // "24 channels: 1 over the threshold, 1 not working".
    std::string summary() const;

    double threshold() const { return threshold_; }
    void setThreshold(double db) { threshold_ = db, tell(); }
    // The settings file read (the operator switched the view on): its notes,
    // or "".
    std::string load();
    // The operator's typing: taken and saved; or refused, the threshold
    // unchanged. "" or what to tell the operator.
    std::string typeThreshold(const std::string& text);

    // Told after every change, for a view to repaint.
    std::function<void()> changed;

private:
    Channel* find(int position);
    void tell() const {
        if (changed) changed();
    }

    std::string path_;
    std::vector<Channel> channels_;
    double threshold_ = kThresholdDefaultDb;
    int sweeps_ = 0;
};

}  // namespace q24
