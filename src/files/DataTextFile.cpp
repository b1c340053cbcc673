#include "files/DataTextFile.h"

#include <QDateTime>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "files/WriteForm.h"

namespace q24 {

namespace {
constexpr std::size_t kFlushAt = 1 << 20;

// Writes all of `data` to fd; returns 0 or errno.
int writeAll(int fd, const std::string& data) {
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return 0;
}
}  // namespace

Stamp Stamp::now() {
    const QDateTime t = QDateTime::currentDateTime();
    return {t.date().year(), t.date().month(), t.date().day(),
            t.time().hour(), t.time().minute(), t.time().second()};
}

double IntervalUsec(int32_t samplingFreq) {
    if (samplingFreq <= 0) return 0;
    return 1000.0 * (1000.0 / samplingFreq);
}

DataHeader TriggerHeader(const State& s) {
    DataHeader h;
    h.channels = s.N_Geofoni;
    h.intervalUsec = IntervalUsec(s.Sampling_freq);
    h.samples = s.N_samples;
    h.spacing = s.Dist_geofoni;
    h.source = s.Pos_source;
    return h;
}

DataHeader TimedHeader(const State& s) {
    DataHeader h = TriggerHeader(s);
    h.instrument = kTimedInstrument;
    h.samples = s.N_samples_cont;
    return h;
}

DataHeader PassiveHeader(const State& s, int passiveFreq, long long samples) {
    DataHeader h = TriggerHeader(s);
    h.intervalUsec = passiveFreq > 0 ? 1000000.0 / passiveFreq : 0;
    h.samples = samples;
    return h;
}

std::string DataHeaderText(const DataHeader& h, const Regional& r, const Stamp& when) {
    std::string out;
    auto line = [&out](const std::string& text) { out += text + kLineEnd; };
    line("Ditta MIRANDEL");
    line(h.instrument);
    line("I dati numerici sono in formato floating point");
    line("DATA: " + r.date(when.year, when.month, when.day));
    line("ORA: " + r.time(when.hour, when.minute, when.second));
    line("Numero di canali=");
    line(PrintFormInteger(h.channels));
    line("Intervallo di campionamento=");
    line(RegionalDouble(h.intervalUsec, r) + " usec");
    line("Numero di campioni=");
    line(PrintFormInteger(h.samples));
    line("Distanza tra geofoni=");
    line(RegionalSingle(h.spacing, r) + " m");
    line("Posizione source rispetto 1\xC2\xB0 geofono=");
    line(RegionalSingle(-h.source, r) + " m");
    line(WriteFormString("NOTE:"));
    return out;
}

std::string ChannelLabel(long long number) { return "Canale numero " + std::to_string(number); }

std::string ChannelBlockText(const std::string& label, const float* samples, long long n) {
    std::string out = WriteFormString(label) + kLineEnd;
    for (long long j = 0; j < n; ++j) out += WriteFormSingle(samples[j]) + kLineEnd;
    return out;
}

// ---- DataTextWriter

DataTextWriter::~DataTextWriter() { abandon(); }

std::string DataTextWriter::begin(const std::string& path, const DataHeader& header, const Regional& regional,
                                  const Stamp& when) {
    abandon();
    error_.clear();
    channels_ = 0;
    if (header.samples < 0) return error_ = "negative sample count";
    path_ = path;
    temp_ = path + ".XXXXXX";
    fd_ = mkstemp(temp_.data());
    if (fd_ < 0) {
        error_ = std::strerror(errno);
        temp_.clear();
        return error_;
    }
    fchmod(fd_, 0644);
    samples_ = header.samples;
    buffer_.clear();
    write(DataHeaderText(header, regional, when));
    return error_;
}

void DataTextWriter::write(const std::string& text) {
    if (fd_ < 0 || !error_.empty()) return;
    buffer_ += text;
    if (buffer_.size() >= kFlushAt) flush();
}

void DataTextWriter::flush() {
    if (fd_ < 0 || buffer_.empty()) return;
    if (error_.empty())
        if (int err = writeAll(fd_, buffer_)) error_ = std::strerror(err);
    buffer_.clear();
}

void DataTextWriter::appendChannel(const std::string& label, const float* samples, long long available) {
    if (fd_ < 0) return;
    if (available < samples_ || (samples_ > 0 && samples == nullptr)) {
        if (error_.empty()) error_ = "a channel holds fewer samples than the header announces";
        return;
    }
    write(WriteFormString(label) + kLineEnd);
    std::string chunk;
    for (long long j = 0; j < samples_; ++j) {
        chunk += WriteFormSingle(samples[j]);
        chunk += kLineEnd;
        if (chunk.size() >= kFlushAt) {
            write(chunk);
            chunk.clear();
        }
    }
    write(chunk);
    ++channels_;
}

std::string DataTextWriter::finish() {
    if (fd_ < 0) return error_.empty() ? "the file was not started" : error_;
    flush();
    if (error_.empty() && fsync(fd_) != 0 && errno != EINVAL) error_ = std::strerror(errno);
    if (::close(fd_) != 0 && error_.empty()) error_ = std::strerror(errno);
    fd_ = -1;
    if (error_.empty() && std::rename(temp_.c_str(), path_.c_str()) != 0) error_ = std::strerror(errno);
    if (!error_.empty()) unlink(temp_.c_str());
    temp_.clear();
    return error_;
}

void DataTextWriter::abandon() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    unlink(temp_.c_str());
    temp_.clear();
    buffer_.clear();
}

// ---- whole-file writers

namespace {
std::string checkTraces(long long traces, long long samples, const TraceArray& a) {
    if (traces < 0 || traces > a.rows()) return "the trace count is outside the trace array";
    if (samples < 0 || (traces > 0 && samples > a.cols())) return "the sample count is outside the trace array";
    return {};
}
}  // namespace

std::string WriteStackedDataText(const State& s, const std::string& path, const Regional& regional,
                                 const Stamp& when) {
    const DataHeader h = TriggerHeader(s);
    if (std::string err = checkTraces(s.N_Geofoni, h.samples, s.Dati); !err.empty()) return err;
    DataTextWriter w;
    if (std::string err = w.begin(path, h, regional, when); !err.empty()) return err;
    for (int k = 1; k <= s.N_Geofoni; ++k)
        if (s.Ch_enabled[static_cast<std::size_t>(k)]) w.appendChannel(ChannelLabel(k), s.Dati.row(k - 1), s.Dati.cols());
    return w.finish();
}

std::string WriteTimedDataText(const State& s, const std::vector<std::string>& channelText, const std::string& path,
                               const Regional& regional, const Stamp& when) {
    const DataHeader h = TimedHeader(s);
    if (std::string err = checkTraces(s.N_Geofoni, h.samples, s.Dati_cont); !err.empty()) return err;
    DataTextWriter w;
    if (std::string err = w.begin(path, h, regional, when); !err.empty()) return err;
    for (int k = 1; k <= s.N_Geofoni; ++k) {
        const auto i = static_cast<std::size_t>(k - 1);
        const std::string text = i < channelText.size() ? channelText[i] : std::string();
        w.appendChannel("Canale " + text, s.Dati_cont.row(k - 1), s.Dati_cont.cols());
    }
    return w.finish();
}

// ---- temporary channel files

std::string TempChannelPath(const std::string& home, int channel) {
    return home + "/temp_data" + std::to_string(channel) + ".txt";
}

TempChannelFiles::~TempChannelFiles() { close(); }

std::string TempChannelFiles::create(const std::string& home, int channels) {
    close();
    error_.clear();
    for (int k = 1; k <= channels; ++k) {
        File f;
        f.path = TempChannelPath(home, k);
        f.fd = ::open(f.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (f.fd < 0) {
            error_ = f.path + ": " + std::strerror(errno);
            close();
            return error_;
        }
        files_.push_back(std::move(f));
    }
    return {};
}

void TempChannelFiles::flush(File& f) {
    if (f.fd < 0 || f.buffer.empty()) return;
    if (int err = writeAll(f.fd, f.buffer); err && error_.empty()) error_ = f.path + ": " + std::strerror(err);
    f.buffer.clear();
}

void TempChannelFiles::append(int channel, const float* samples, long long n) {
    if (channel < 1 || static_cast<std::size_t>(channel) > files_.size() || samples == nullptr) return;
    File& f = files_[static_cast<std::size_t>(channel - 1)];
    for (long long j = 0; j < n; ++j) {
        f.buffer += WriteFormSingle(samples[j]);
        f.buffer += kLineEnd;
    }
    if (f.buffer.size() >= kFlushAt) flush(f);
}

std::string TempChannelFiles::flush() {
    for (File& f : files_) flush(f);
    return error_;
}

std::string TempChannelFiles::close() {
    for (File& f : files_) {
        flush(f);
        if (f.fd >= 0 && ::close(f.fd) != 0 && error_.empty()) error_ = f.path + ": " + std::strerror(errno);
        f.fd = -1;
    }
    files_.clear();
    return error_;
}

std::string WritePassiveDataText(const State& s, const std::string& home, int passiveFreq, long long samples,
                                 const std::string& path, const Regional& regional, const Stamp& when) {
    if (s.N_Geofoni < 0 || s.N_Geofoni > 96) return "the trace count is out of range";
    if (samples < 0) return "negative sample count";
    // The temporary files are opened all at once before the copy.
    std::vector<std::ifstream> inputs;
    for (int k = 1; k <= s.N_Geofoni; ++k) {
        inputs.emplace_back(TempChannelPath(home, k), std::ios::binary);
        if (!inputs.back()) return TempChannelPath(home, k) + ": " + std::strerror(errno);
    }
    DataTextWriter w;
    if (std::string err = w.begin(path, PassiveHeader(s, passiveFreq, samples), regional, when); !err.empty())
        return err;
    std::vector<float> values;
    for (int k = 1; k <= s.N_Geofoni; ++k) {
        std::ostringstream text;
        text << inputs[static_cast<std::size_t>(k - 1)].rdbuf();
        const std::string all = text.str();
        WriteFormReader reader(all);
        values.clear();
        for (long long j = 0; j < samples; ++j) {
            const auto v = reader.next();
            if (!v) {
                w.abandon();
                return TempChannelPath(home, k) + " holds fewer samples than the recording (" + std::to_string(j) +
                       " of " + std::to_string(samples) + ")";
            }
            values.push_back(static_cast<float>(*v));
        }
        w.appendChannel(ChannelLabel(k), values.data(), static_cast<long long>(values.size()));
    }
    return w.finish();
}

}  // namespace q24
