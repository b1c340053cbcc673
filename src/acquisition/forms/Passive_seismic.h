#pragma once
// The passive seismic dialog `Passive_seismic` ("Passive Seismic"): the
// frequency, the minutes, START and ESC over PassiveSeismic. Not modal: while
// it is open the owner of the line refuses the main window's commands. START
// starts the recording as a sequence of its own; ESC and the close box close
// the dialog when START's sequence is not under way, and stop the recording
// when it is (the dialog stays open for what follows).
#include <QDialog>
#include <exception>

#include "state/Task.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace q24 {

class PassiveSeismic;
class Waits;

class Passive_seismic : public QDialog {
    Q_OBJECT
public:
    explicit Passive_seismic(PassiveSeismic& logic, QWidget* parent = nullptr);

    // PASSIVE SEISMIC's sequence: opens the dialog as drawn (Form_Load) and
    // ends once it is closed and START's sequence is over. When the program
    // is ending, the recording stops and the dialog closes by itself.
    static Task<void> Run(PassiveSeismic& logic, Waits& waits, QWidget* parent);

    void refresh();  // from PassiveSeismic
    void reject() override;

private:
    void start();
    PassiveSeismic& logic_;
    Waits* waits_ = nullptr;        // Run's: woken when START's sequence ends
    std::exception_ptr failure_;    // what START's sequence threw
    QRadioButton* FS125_;
    QRadioButton* FS250_;
    QRadioButton* FS500_;
    QLabel* Finestra_tempo_acq_;
    QLabel* Informazioni_;
    QProgressBar* ProgressBar1_;
    QPushButton* Command2_;
};

}  // namespace q24
