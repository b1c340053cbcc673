#pragma once
// The trigger event time setup dialog `TRG_correction`: shows
// TriggerCorrection and hands the operator's scrolls and clicks to it.
#include <QDialog>

class QLabel;
class QScrollBar;

namespace q24 {

class TriggerCorrection;

class TRG_correction : public QDialog {
    Q_OBJECT
public:
    explicit TRG_correction(TriggerCorrection& logic, QWidget* parent = nullptr);
    void refresh();

private:
    TriggerCorrection& logic_;
    QScrollBar* VScroll1_;
    QLabel* Label2_;
};

}  // namespace q24
