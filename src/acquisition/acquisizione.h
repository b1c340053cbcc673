#pragma once
// The timed sampling dialog `acquisizione`: shows TimedMode and hands the
// operator's clicks to it. Modal; its close box and Escape act as EXIT while
// no recording runs, and do nothing during one (only Abort ends a recording).
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace q24 {

class TimedMode;

class acquisizione : public QDialog {
    Q_OBJECT
public:
    explicit acquisizione(TimedMode& logic, QWidget* parent = nullptr);

    void refresh();  // from TimedMode
    void reject() override;

private:
    TimedMode& logic_;
    QLabel* Finestra_tempo_acq_;
    QLabel* Label5_;
    QLabel* Label7_;
    QLabel* Label3_;
    QProgressBar* ProgressBar1_;
    QPushButton* Start_acq_;
    QPushButton* Command7_;
    QPushButton* Command2_;
};

}  // namespace q24
