#pragma once
// The passive seismic dialog `Passive_seismic` ("Passive Seismic"): the
// frequency, the minutes, START and ESC over PassiveSeismic. Modal; ESC and
// the close box close it when no recording runs, and stop the recording when
// one does (the dialog stays open for what follows).
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace q24 {

class PassiveSeismic;

class PassiveSeismicDialog : public QDialog {
    Q_OBJECT
public:
    explicit PassiveSeismicDialog(PassiveSeismic& logic, QWidget* parent = nullptr);

    void refresh();  // from PassiveSeismic
    void reject() override;

private:
    PassiveSeismic& logic_;
    QRadioButton* FS125_;
    QRadioButton* FS250_;
    QRadioButton* FS500_;
    QLabel* Finestra_tempo_acq_;
    QLabel* Informazioni_;
    QProgressBar* ProgressBar1_;
    QPushButton* Command2_;
};

}  // namespace q24
