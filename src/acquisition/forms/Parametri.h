#pragma once
// The acquisition parameters dialog `Parametri` ("Acqusition Parameters"):
// shows the positions and captions of AcqParameters and hands the operator's
// scrolls and clicks to it. Closing it ("OK" or the close box) unloads the
// parameters; the values stay in the program state.
#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QRadioButton;
class QScrollBar;

namespace q24 {

class AcqParameters;

class Parametri : public QDialog {
    Q_OBJECT
public:
    explicit Parametri(AcqParameters& params, QWidget* parent = nullptr);
    ~Parametri() override;

    void refresh();  // from AcqParameters

private:
    AcqParameters& params_;
    std::function<void()> previousChanged_;
    QScrollBar *VScroll1_, *VScroll2_, *VScroll3_;
    QLabel *Label3_, *Sampling_rate_, *Numero_campioni_, *Acq_time_, *Label4_, *pre_camp_;
    QRadioButton *Option1_, *Option2_;
    QCheckBox* Check1_;
};

}  // namespace q24
