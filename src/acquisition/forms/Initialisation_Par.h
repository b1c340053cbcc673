#pragma once
// The running parameters dialog `Initialisation_Par`: shows RunningParameters
// and hands the operator's scrolls and clicks to it.
#include <QDialog>

class QLabel;
class QScrollBar;

namespace q24 {

class RunningParameters;

class Initialisation_Par : public QDialog {
    Q_OBJECT
public:
    explicit Initialisation_Par(RunningParameters& logic, QWidget* parent = nullptr);
    void refresh();

private:
    RunningParameters& logic_;
    QScrollBar *VScroll1_, *VScroll2_;
    QLabel *Label3_, *Label4_;
};

}  // namespace q24
