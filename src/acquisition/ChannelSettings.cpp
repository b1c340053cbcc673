#include "acquisition/ChannelSettings.h"

#include <algorithm>

#include "state/NumberFormat.h"

namespace q24 {

namespace {
bool validSlot(int i) { return i >= 1 && i <= ChannelSettings::kSlots; }
// Only these slot choices have a handler of their own; choosing any other
// slot takes effect at "OK".
bool hasOptionHandler(int i) { return i == 1 || i == 6 || i == 12 || i == 18 || i == 24; }
}  // namespace

int UnitOfSlot(const State& s, const ChannelSlots& slots, int ch) {
    const int16_t assigned =
        ch >= 0 && ch < static_cast<int>(s.Ch_param.size()) ? s.Ch_param[static_cast<std::size_t>(ch)] : int16_t{0};
    if (ch < 1 || ch > 24) return assigned;
    return SlotNumber(slots.text(ch)).value_or(assigned);
}

std::optional<int16_t> SlotNumber(const std::string& text) {
    const std::optional<double> v = ParseNumber(text);
    if (!v) return std::nullopt;
    return ToInt16(*v);
}

ChannelSettings::ChannelSettings(State& s) : s_(s) {}

BusyGuard ChannelSettings::startBatch() {
    return BusyGuard(depth_, [this] {
        if (changed) changed();
    });
}

void ChannelSettings::ensureLoaded() {
    if (!loaded_) {
        const BusyGuard batch = startBatch();
        loaded_ = true;
        Form_Load();
    }
}

static_assert(ChannelSettings::kGroups * ChannelSettings::kSlots == kTracePositions);
int ChannelSettings::tracesInUse() const { return ClampTraceCount(s_.N_Geofoni); }

void ChannelSettings::Form_Load() {
    for (int p = 0; p <= tracesInUse(); ++p) s_.Ch_enabled[p] = true;
    setSettAll(true);
}

const ChannelSettings::Slot& ChannelSettings::slot(int i) {
    ensureLoaded();
    return slots_[std::clamp(i, 1, kSlots)];
}

int ChannelSettings::group() {
    ensureLoaded();
    return group_;
}

bool ChannelSettings::groupEnabled(int g) {
    ensureLoaded();
    return g >= 0 && g < kGroups && groupEnabled_[g];
}

bool ChannelSettings::settAll() {
    ensureLoaded();
    return settAll_;
}

void ChannelSettings::setText(int i, const std::string& text) {
    const BusyGuard batch = startBatch();
    ensureLoaded();
    if (!validSlot(i) || slots_[i].text == text) return;
    slots_[i].text = text;
    Text_Change(i);
}

void ChannelSettings::Text_Change(int i) {
    // A text that is no 16-bit number empties the box and leaves the state
    // alone, so an empty box never reaches Ch_param.
    if (const std::optional<int16_t> n = SlotNumber(slots_[i].text))
        s_.Ch_param[position(i)] = *n;
    else
        slots_[i].text.clear();
}

void ChannelSettings::setChecked(int i, bool checked) {
    const BusyGuard batch = startBatch();
    ensureLoaded();
    if (!validSlot(i) || slots_[i].checked == checked) return;
    slots_[i].checked = checked;
    Check_Click(i);
}

void ChannelSettings::Check_Click(int i) { s_.Ch_enabled[position(i)] = slots_[i].checked; }

int ChannelSettings::FillFound(const std::vector<std::pair<int, bool>>& units) {
    const BusyGuard batch = startBatch();
    const int found = std::min(static_cast<int>(units.size()), kTracePositions);
    for (int p = 1; p <= kTracePositions; ++p) {
        const bool filled = p <= found;
        const bool ticked = filled && units[static_cast<std::size_t>(p - 1)].second;
        const int unit = filled ? units[static_cast<std::size_t>(p - 1)].first : 0;
        const int i = p - kSlots * group();
        if (i >= 1 && i <= kSlots) {  // a slot on show
            if (filled) setText(i, std::to_string(unit));
            setChecked(i, ticked);
        } else {  // what typing and ticking in that position's group would leave
            if (filled) s_.Ch_param[static_cast<std::size_t>(p)] = static_cast<int16_t>(unit);
            s_.Ch_enabled[static_cast<std::size_t>(p)] = ticked;
        }
    }
    return std::max(0, static_cast<int>(units.size()) - kTracePositions);
}

void ChannelSettings::setSettAll(bool checked) {
    const BusyGuard batch = startBatch();
    ensureLoaded();
    if (settAll_ == checked) return;
    settAll_ = checked;
    sett_all_Click();
}

void ChannelSettings::sett_all_Click() {
    for (int i = 1; i <= kSlots; ++i) setChecked(i, settAll_);
}

void ChannelSettings::selectGroup(int g) {
    const BusyGuard batch = startBatch();
    ensureLoaded();
    if (g < 0 || g >= kGroups || g == group_) return;
    group_ = g;
    Group_Click();
}

void ChannelSettings::Group_Click() {
    setSettAll(true);
    // Every position of the new group is selected. Checking the boxes alone
    // would not do it: a box already checked for the old group does not
    // change, so its position of the new group would stay as it was.
    for (int i = 1; i <= kSlots; ++i) {
        setChecked(i, true);
        s_.Ch_enabled[position(i)] = true;
    }
    const int n = tracesInUse();
    for (int i = 1; i <= kSlots; ++i) {
        const int p = position(i);
        setChecked(i, s_.Ch_enabled[p]);
        setText(i, FreeFormat(static_cast<long long>(s_.Ch_param[p])));
        slots_[i].textEnabled = p <= n;
    }
    highlightTrigger(true);
}

void ChannelSettings::selectOption(int i) {
    for (int k = 1; k <= kSlots; ++k) slots_[k].option = k == i;
}

void ChannelSettings::highlightTrigger(bool clearOptions) {
    for (int i = 1; i <= kSlots; ++i) {
        slots_[i].textBackground = kSlotWhite;
        if (clearOptions) slots_[i].option = false;
    }
    for (int i = 1; i <= kSlots; ++i) {
        if (SlotNumber(slots_[i].text) == s_.Trigger_unit) {
            selectOption(i);
            slots_[i].textBackground = kSlotRed;
        }
    }
}

void ChannelSettings::clickOption(int i) {
    const BusyGuard batch = startBatch();
    ensureLoaded();
    if (!validSlot(i) || !slots_[i].optionEnabled) return;
    selectOption(i);
    if (hasOptionHandler(i)) Option_Click(i);
}

void ChannelSettings::Option_Click(int i) {
    for (int k : {1, 6, 12, 18, 24}) slots_[k].textBackground = kSlotWhite;
    slots_[i].textBackground = kSlotRed;
    SetTriggerFromSlots();
}

void ChannelSettings::SetTriggerFromSlots() {
    ensureLoaded();
    for (int i = 1; i <= kSlots; ++i)
        if (slots_[i].option)
            if (const std::optional<int16_t> n = SlotNumber(slots_[i].text)) s_.Trigger_unit = *n;
}

void ChannelSettings::OK() {
    const BusyGuard batch = startBatch();
    SetTriggerFromSlots();
}

void ChannelSettings::RefreshChannelSlots() {
    const BusyGuard batch = startBatch();
    ensureLoaded();
    const int n = tracesInUse();
    for (int g = 0; g < kGroups; ++g) groupEnabled_[g] = g == 0 || n > kSlots * g;
    for (int i = 1; i <= kSlots; ++i) {
        const bool inUse = position(i) <= n;
        slots_[i].textEnabled = slots_[i].checkEnabled = slots_[i].optionEnabled = inUse;
    }
}

void ChannelSettings::FillSlots() {
    const BusyGuard batch = startBatch();
    ensureLoaded();
    // Each box shows the unit of the position it stands for; with group a
    // selected, as at start-up, that is Ch_param(i).
    for (int i = 1; i <= kSlots; ++i) setText(i, FreeFormat(static_cast<long long>(s_.Ch_param[position(i)])));
}

void ChannelSettings::PrepareForShow() {
    const BusyGuard batch = startBatch();
    ensureLoaded();
    selectGroup(0);
    for (int i = 1; i <= kSlots; ++i) setText(i, FreeFormat(static_cast<long long>(s_.Ch_param[i])));
    const int choices = std::min(tracesInUse(), kSlots);
    for (int i = 1; i <= choices; ++i) slots_[i].optionEnabled = true;
    highlightTrigger(false);
}

void ChannelSettings::SelectPositionsUpToTraceCount() {
    const BusyGuard batch = startBatch();
    ensureLoaded();
    const int n = tracesInUse();
    for (int p = 1; p <= n; ++p) s_.Ch_enabled[p] = true;
    for (int i = 1; i <= kSlots; ++i)
        if (position(i) <= n) slots_[i].checked = true;
}

std::string ChannelSettings::text(int i) const { return validSlot(i) ? slots_[i].text : std::string(); }

bool ChannelSettings::checked(int i) const { return validSlot(i) && slots_[i].checked; }

void ChannelSettings::setCheckCaption(int i, const std::string& caption, SlotColour background) {
    if (!validSlot(i)) return;
    const BusyGuard batch = startBatch();
    slots_[i].checkCaption = caption;
    slots_[i].checkBackground = background;
}

}  // namespace q24
