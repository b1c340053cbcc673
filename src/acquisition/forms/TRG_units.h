#pragma once
// The trigger units dialog `TRG_units` ("TRIGGER UNITS SETTING"): the 24
// trigger unit options, the manual trigger number box and its scroll bar, and
// "DONE". Shows TriggerUnits and hands the operator's clicks to it.
#include <QDialog>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QScrollBar;

namespace q24 {

class TriggerUnits;

class TRG_units : public QDialog {
    Q_OBJECT
public:
    explicit TRG_units(TriggerUnits& logic, QWidget* parent = nullptr);

    // Runs the load step against the present state, then shows the dialog
    // modally.
    int exec() override;
    void refresh();

private:
    TriggerUnits& logic_;
    QGroupBox* Frame1_;
    std::array<QRadioButton*, 25> Option_{};
    QCheckBox* manual_trg_Check_;
    QScrollBar* VScroll1_;
    QLabel* Label1_;
};

}  // namespace q24
