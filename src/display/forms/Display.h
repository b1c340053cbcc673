#pragma once
// The display options dialog `Display` ("TRACES DISPLAY OPTIONS"): chooses
// the trace drawing style Display_mode and redraws the traces in it.
#include <QDialog>

#include "state/Panel.h"
#include "state/State.h"

class QRadioButton;

namespace q24 {

class Display : public QDialog {
    Q_OBJECT
public:
    // On opening, the button of the current Display_mode is selected (none
    // for a value other than 1, 2, 3). A click on a style sets Display_mode
    // at once; "Done" redraws every trace in it and closes. Closing by the
    // close box keeps the new style without redrawing.
    Display(State& s, Panel& main, QWidget* parent = nullptr);

private:
    State& s_;
    Panel& main_;
};

}  // namespace q24
