#pragma once
// The passive recording on the emulated units, in a program folder of its own.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "acquisition/PassiveSeismic.h"
#include "files/WriteForm.h"
#include "support/AcqRig.h"
#include "support/FakePanel.h"
#include "support/PatternTrace.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"
#include "support/UnitsRig.h"

namespace q24::test {

using namespace q24::units;

// The pattern of `unit` over one block, mean removed, in write form.
inline std::vector<std::string> PatternBlock(int unit) {
    std::vector<std::string> out;
    for (float x : PatternBlockTrace(unit, PassiveSeismic::kBlock)) out.push_back(WriteFormSingle(x));
    return out;
}

// A panel that can act when a question comes (the disk gets space again).
struct AskingPanel : FakePanel {
    std::function<void()> onAsk;
    Answer ask(Question q, const std::string& t, Buttons b, const std::optional<std::string>& title) override {
        if (onAsk) onAsk();
        return FakePanel::ask(q, t, b, title);
    }
};

struct Rig : UnitsRig<AskingPanel> {
    TempDir home;
    PassiveSeismic passive;
    int saves = 0;
    bool savedPassive = true;  // every save came with Passive_mode set
    SaveResult saveResult = SaveResult::Saved;

    explicit Rig(int units = 3)
        : UnitsRig(config(units)), passive(*s, gated, panel, link, FilesEnv{home.path(), Regional{}}, owner) {
        s->Trigger_unit = 1000, s->Dist_geofoni = 5, s->Pos_source = 10, s->N_Geofoni = static_cast<int16_t>(units);
        for (int ch = 1; ch <= units; ++ch) s->Ch_param[ch] = static_cast<int16_t>(ch);
        if (openLine() != 1) throw std::runtime_error("the emulated line did not open");
        panel.onSaveTrigger = [this] {
            return ++saves, savedPassive = savedPassive && s->Passive_mode, Ready(saveResult);
        };
        passive.Form_Load();
    }
    static UnitsConfig config(int units) {
        std::vector<int> addresses;
        for (int u = 1; u <= units; ++u) addresses.push_back(u);
        return PatternUnits(std::move(addresses));
    }
    // START with the rate and minutes given, the answers in order, run to its end.
    void start(int hz, int minutes, std::initializer_list<Answer> answers) {
        s->Finestra_tempo = static_cast<int16_t>(minutes);
        passive.SelectFrequency(hz);
        panel.answers.assign(answers.begin(), answers.end());
        line.run(passive.Command2_Click());
    }
    std::vector<std::string> temp(int k) const { return Lines(ReadFile(home / ("temp_data" + std::to_string(k) + ".txt"))); }
    bool exists(const std::string& name) const { return std::filesystem::exists(home / name); }
    int count(uint8_t byte) const { return static_cast<int>(CountByte(line.port.written, byte)); }
    int parameterCommands() const {
        int n = 0;
        const auto& w = line.port.written;
        for (std::size_t i = 0; i + 2 < w.size(); ++i) n += w[i] == 0x80 && w[i + 1] == 0 && w[i + 2] == 0x1A;
        return n;
    }
    // Open descriptors of this process on the temporary files.
    int openTempFiles() const {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code ec;
            const auto target = std::filesystem::read_symlink(e.path(), ec).string();
            n += target.find(home.path() + "/temp_data") == 0;
        }
        return n;
    }
};

}  // namespace q24::test
