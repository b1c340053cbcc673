#pragma once
// The entry to the geometry dialog for the GEOMETRY menu and for GO TRIGGER,
// which shows it before every shot that does not continue a stacking series.
// Needs no widget header: the caller hands its main window as the parent.
#include <string>

class QWidget;

namespace q24 {

struct State;

// Shows `geometria` modally over `parent` and returns when OK or the close box
// ends it; Dist_geofoni and Pos_source then hold what the operator set.
// `triggerName` is the trigger unit's name as the file headers show it.
void ShowGeometry(State& s, const std::string& triggerName, char decimal, QWidget* parent);

}  // namespace q24
