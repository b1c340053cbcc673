#pragma once
// The timed sampling dialog `acquisizione`: shows TimedMode and hands the
// operator's clicks to it, starting the handlers that wait as sequences. It
// keeps the main window out of reach while it is shown (show(), never a
// nested event loop); it closes itself when TimedMode says it is no longer
// shown (EXIT, Abort). Its close box and Escape act as EXIT while EXIT is on,
// and do nothing during a recording (only Abort ends one).
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
