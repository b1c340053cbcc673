#pragma once
// The port dialog `Rs232`: lists the COM numbers that open, takes a number
// from the digit buttons or the keyboard, and Continue opens that port.
#include <QDialog>

class QLabel;
class QLineEdit;

namespace q24 {

class Link;
class LineOwner;
struct State;

class Rs232 : public QDialog {
    Q_OBJECT
public:
    // Probes COM1..16 as it is made.
    Rs232(LineOwner& owner, Link& link, State& s, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void continueClicked();

    LineOwner& owner_;
    Link& link_;
    State& s_;
    QLabel* list_ = nullptr;
    QLineEdit* text1_ = nullptr;
};

}  // namespace q24
