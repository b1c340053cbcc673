#pragma once
// The channel settings `Channels_setting`: 24 slots on screen, each a unit
// number box (`Text1`..`Text24`), a selection box (`Check1`..`Check24`) and a
// trigger choice (`Option1`..`Option24`), mapped by the group buttons `a`,
// `b`, `c`, `d` onto channel positions 1-24, 25-48, 49-72 or 73-96. Every edit
// goes straight into the program state (Ch_param, Ch_enabled, Trigger_unit).
//
// This object is the dialog without its widgets: it holds what the slots
// show and runs their handlers; the dialog mirrors it and forwards the
// operator's typing and clicks. The acquisitions see the slots through
// ChannelSlots only.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "state/BusyGuard.h"
#include "state/State.h"

namespace q24 {

struct SlotColour {
    uint8_t r = 255, g = 255, b = 255;
    friend bool operator==(const SlotColour&, const SlotColour&) = default;
};
inline constexpr SlotColour kSlotWhite{255, 255, 255};
inline constexpr SlotColour kSlotRed{255, 0, 0};
inline constexpr SlotColour kSlotGreen{0, 192, 0};

// What the acquisitions read and show on the channel slots (slot i = 1..24):
// at the low rates the unit to ask is the number typed in slot i's box
// (`Text_ch`(i)), a timed recording takes the slots whose box is checked and
// marks each with "OK" or "ERROR".
class ChannelSlots {
public:
    virtual ~ChannelSlots() = default;
    virtual std::string text(int slot) const = 0;  // "" outside 1..24
    virtual bool checked(int slot) const = 0;      // false outside 1..24
    virtual void setCheckCaption(int slot, const std::string& caption, SlotColour background) = 0;
};

// The numeric value of a slot text as a 16-bit unit number: blanks around the
// number are allowed, fractions are rounded (halves to even); a text that is
// no number or does not fit 16 bits has none.
std::optional<int16_t> SlotNumber(const std::string& text);

// The unit asked for channel position `ch` at 500 Hz and below (bursts): the
// number typed in the position's box (positions 1 to 24 have one); a box that
// holds no number, and every later position, asks the unit the channel
// settings assigned. The trigger shot, running mode and timed sampling all
// follow this one rule.
int UnitOfSlot(const State& s, const ChannelSlots& slots, int ch);

class ChannelSettings : public ChannelSlots {
public:
    static constexpr int kSlots = 24;
    static constexpr int kGroups = 4;

    struct Slot {
        std::string text;  // Text<i>
        bool textEnabled = true;
        SlotColour textBackground = kSlotWhite;
        bool checked = false;  // Check<i>
        bool checkEnabled = true;
        std::string checkCaption;         // "OK" / "ERROR" after a timed recording
        std::optional<SlotColour> checkBackground;  // none: the box's own colour
        bool option = false;  // Option<i>, one selected at most
        bool optionEnabled = true;
    };

    explicit ChannelSettings(State& s);

    // Start-up step 3: load the dialog hidden (Form_Load on first use).
    void Load() { ensureLoaded(); }
    bool loaded() const { return loaded_; }

    const Slot& slot(int i);  // i = 1..24 (clamped)
    int group();              // 0 = a, 1 = b, 2 = c, 3 = d
    bool groupEnabled(int g);
    bool settAll();
    // Channel position that slot i stands for in the selected group.
    int position(int i) { return i + kSlots * group(); }

    // What the operator (or the program) does to the controls. Each runs the
    // control's handler only when its value changes, as the controls do.
    void setText(int i, const std::string& text);  // Text<i>_Change
    void setChecked(int i, bool checked);          // Check<i>_Click
    void setSettAll(bool checked);                 // sett_all_Click
    void selectGroup(int g);                       // a_Click .. d_Click
    // The operator clicks slot i's trigger choice: it becomes the selected one;
    // slots 1, 6, 12, 18 and 24 also run their handler (Option<i>_Click).
    void clickOption(int i);
    void OK();  // Command1_Click: settle the trigger; the dialog then hides
    // FIND UNITS: the units found, in the order given, to channel positions
    // 1, 2, ... as typing them into the slots and ticking (or not, as
    // `ticked` says) would, group after group; later positions are unticked
    // (their numbers stay), so the spread holds exactly the units found and
    // no unit twice. Every other setting stays. Returns how many did not fit
    // the 96 positions.
    int FillFound(const std::vector<std::pair<int, bool>>& units);

    // Trigger_unit from the selected slot choice; a slot whose box is empty
    // (or holds no 16-bit number) leaves Trigger_unit as it was.
    void SetTriggerFromSlots();
    // Groups and slots enabled for N_Geofoni.
    void RefreshChannelSlots();
    // Start-up step 15: Ch_param of slots 1 to 24 into the boxes.
    void FillSlots();
    // The CHANNELS menu's preparation before the dialog is shown.
    void PrepareForShow();
    // Selects channel positions 1..N_Geofoni. The dialog is loaded at start-up
    // before ini.txt is read, when N_Geofoni is still 0; this completes its
    // load once the stored trace count is known.
    void SelectPositionsUpToTraceCount();

    // ChannelSlots
    std::string text(int slot) const override;
    bool checked(int slot) const override;
    void setCheckCaption(int slot, const std::string& caption, SlotColour background) override;

    // Told after every change so an open dialog can refresh itself.
    std::function<void()> changed;

private:
    void ensureLoaded();
    void Form_Load();
    void Text_Change(int i);
    void Check_Click(int i);
    void sett_all_Click();
    void Group_Click();
    void Option_Click(int i);
    void highlightTrigger(bool clearOptions);
    void selectOption(int i);
    int tracesInUse() const;  // N_Geofoni kept within 0..kTracePositions
    // Changes nest (a group click checks boxes, which runs their handlers);
    // `changed` is told once, when the outermost batch ends.
    BusyGuard startBatch();
    int depth_ = 0;

    State& s_;
    bool loaded_ = false;
    std::array<Slot, kSlots + 1> slots_{};  // 1..24
    int group_ = 0;
    std::array<bool, kGroups> groupEnabled_{true, true, true, true};
    bool settAll_ = false;
};

}  // namespace q24
