#pragma once
// The program's own window under test: started as `--home HOME --simulate`
// without the port dialog, and an operator's hand on the modal dialogs and
// message boxes it opens.
#include <QApplication>
#include <QTimer>
#include <functional>
#include <string>

#include "ui/Application.h"

namespace q24::test {

inline WindowOptions SimulatedOptions(const std::string& home) {
    WindowOptions o;
    o.home = home;
    o.simulate = true;
    o.noPortDialog = true;
    return o;
}

// Every `ms`, while it is on, hands the modal window in front (if any) to
// `act`, which answers it as the operator would.
class OperatorHand {
public:
    OperatorHand(int ms, std::function<void(QWidget* front)> act) : act_(std::move(act)) {
        timer_.setInterval(ms);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QWidget* front = QApplication::activeModalWidget()) act_(front);
        });
    }
    void start() { timer_.start(); }
    void stop() { timer_.stop(); }

private:
    std::function<void(QWidget*)> act_;
    QTimer timer_;
};

}  // namespace q24::test
