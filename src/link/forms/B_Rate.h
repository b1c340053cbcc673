#pragma once
// The speed display `B_Rate`: the two working speeds, and Change to the speed
// dialog. Neither touches the line; new speeds count from the next start.
#include <QDialog>

class QLabel;

namespace q24 {

struct State;

class B_Rate : public QDialog {
    Q_OBJECT
public:
    explicit B_Rate(State& s, QWidget* parent = nullptr);

private:
    void load();

    State& s_;
    QLabel* br_ = nullptr;
    QLabel* brh_ = nullptr;
};

}  // namespace q24
