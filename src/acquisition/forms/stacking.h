#pragma once
// The stacking dialog `stacking` ("STACKING"), opened modally by the STACKING
// menu: "STACKING" or "NO  STACKING", "Review each hit" (Review_hits,
// offered with "STACKING" chosen), and "Done". Thin: a choice runs
// ChooseStacking or sets Review_hits at once; Done only closes the dialog.
#include <QDialog>

class QRadioButton;

namespace q24 {

class Panel;
struct State;

class stacking : public QDialog {
    Q_OBJECT
public:
    stacking(State& s, Panel& main, QWidget* parent = nullptr);

private:
    State& s_;
    Panel& main_;
};

}  // namespace q24
