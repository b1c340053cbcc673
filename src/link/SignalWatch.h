#pragma once
// SIGINT, SIGTERM and SIGHUP delivered to the event loop: the handler only
// writes the signal's number into a pipe, and the loop hands it to `received`,
// so the program ends the way its close box ends it (the running sequence
// cancelled, the units reset, the port released) instead of dying armed.
#include <QObject>
#include <functional>

class QSocketNotifier;

namespace q24 {

class SignalWatch : public QObject {
public:
    // Installs the handlers; one watch per process.
    explicit SignalWatch(std::function<void(int signal)> received);
    ~SignalWatch() override;

    // The exit status of a program ended by `signal`: 128 + its number.
    static int ExitStatus(int signal) { return 128 + signal; }

private:
    std::function<void(int)> received_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace q24
