#include "state/Config.h"

#include <fstream>
#include <functional>
#include <vector>

#include "state/AtomicFile.h"
#include "state/NumberFormat.h"

namespace q24 {

namespace {

// One line of the file: how to take a number into its variable and how to
// write the variable back.
struct Item {
    std::function<void(double)> take;  // leaves the variable unchanged when it does not fit
    std::function<std::string()> text;
};

Item int16Item(int16_t& v) {
    return {[&v](double x) { if (auto i = ToInt16(x)) v = *i; },
            [&v] { return FreeFormat(static_cast<long long>(v)); }};
}
Item int32Item(int32_t& v) {
    return {[&v](double x) { if (auto i = ToInt32(x)) v = *i; },
            [&v] { return FreeFormat(static_cast<long long>(v)); }};
}
Item floatItem(float& v) {
    return {[&v](double x) {
                if (std::abs(x) <= 3.4028234663852886e38) v = static_cast<float>(x);
            },
            [&v] { return FreeFormat(v); }};
}

// The fixed line order. `s` is not const: the items refer to its variables.
std::vector<Item> items(State& s) {
    std::vector<Item> it;
    it.reserve(kConfigLines);
    it.push_back(int32Item(s.N_samples));
    it.push_back(int32Item(s.Sampling_freq));
    it.push_back(int16Item(s.N_Geofoni));
    it.push_back(int16Item(s.Trigger_unit));
    for (int i = 1; i <= 240; ++i) it.push_back(int16Item(s.Ch_param[i]));
    it.push_back(floatItem(s.Dist_geofoni));
    it.push_back(floatItem(s.Pos_source));
    it.push_back(int16Item(s.Ini_spare1));
    it.push_back(int16Item(s.Finestra_tempo));
    it.push_back(int16Item(s.Ini_spare2));
    // The first speed is a tagged value: it holds whatever number was read.
    it.push_back({[&s](double x) { s.Baud_rate = x; },
                  [&s] { return s.Baud_rate ? FreeFormat(*s.Baud_rate) : std::string(); }});
    it.push_back(int32Item(s.Baud_rate_high));
    it.push_back(int16Item(s.Running_Fs));
    it.push_back(int16Item(s.Running_N));
    it.push_back(int16Item(s.Trg_correction));
    return it;
}

// Next line of the stream without its end (CR LF, LF or CR). Lines longer than
// any number are cut: they cannot parse, and a huge line costs no memory.
bool nextLine(std::istream& in, std::string& line) {
    line.clear();
    int c = in.get();
    if (c == EOF) return false;
    while (c != EOF && c != '\n' && c != '\r') {
        if (line.size() < 80) line.push_back(static_cast<char>(c));
        c = in.get();
    }
    if (c == '\r' && in.peek() == '\n') in.get();
    return true;
}

bool isKnownSpeed(double v) {
    // 125000 is offered by the speed dialog itself, so it is kept like the others.
    return v == 125000 || v == 250000 || v == 500000 || v == 1000000;
}

std::string configPath(const std::string& folder) { return folder + "/ini.txt"; }

}  // namespace

void ReadConfigItems(State& s, std::istream& in) {
    std::string line;
    for (Item& item : items(s)) {
        if (!nextLine(in, line)) return;  // end of file: this item and all later keep their values
        if (auto v = ParseNumber(line)) item.take(*v);
    }
}

std::string ConfigText(const State& s) {
    std::string out;
    for (Item& item : items(const_cast<State&>(s))) out += item.text() + "\r\n";
    return out;
}

void ApplyStartRules(State& s, Panel& panel) {
    if (s.Sampling_freq <= 500) s.Sampling_freq = 4000;
    if (s.N_samples == 0) s.N_samples = 128;
    s.N_Geofoni = static_cast<int16_t>(ClampTraceCount(s.N_Geofoni, 1));
    if (s.Trigger_unit == 0) s.Trigger_unit = 1;
    if (!s.Baud_rate || !isKnownSpeed(*s.Baud_rate)) {
        panel.message("Missing Baud_rate, automatically set to 250000");
        s.Baud_rate = 250000;
    }
    if (!isKnownSpeed(s.Baud_rate_high)) {
        panel.message("Missing Baud_rate_high, automatically set to 250000");
        s.Baud_rate_high = 250000;
    }
    if (s.Running_Fs == 0) s.Running_Fs = 2000;
    if (s.Running_N == 0) s.Running_N = 256;
    panel.setText(Ctl::Label5, "Running N = " + FreeFormat(static_cast<long long>(s.Running_N)));
    panel.setText(Ctl::Label2, "Running Fs = " + FreeFormat(static_cast<long long>(s.Running_Fs)));
}

void LoadConfiguration(State& s, Panel& panel, const std::string& folder) {
    s.File_path = configPath(folder);
    { std::ofstream create(s.File_path, std::ios::app | std::ios::binary); }
    std::ifstream in(s.File_path, std::ios::binary);
    if (in) ReadConfigItems(s, in);
    ApplyStartRules(s, panel);
}

std::string SaveConfiguration(State& s, const std::string& folder) {
    s.File_path = configPath(folder);
    return WriteFileAtomically(s.File_path, ConfigText(s));
}

}  // namespace q24
