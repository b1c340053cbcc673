#include "link/SignalWatch.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace q24 {

namespace {

int g_pipe[2] = {-1, -1};

extern "C" void OnSignal(int signal) {
    const unsigned char n = static_cast<unsigned char>(signal);
    const int saved = errno;
    (void)!write(g_pipe[1], &n, 1);
    errno = saved;
}

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

}  // namespace

SignalWatch::SignalWatch(std::function<void(int)> received) : received_(std::move(received)) {
    if (g_pipe[0] < 0 && pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        unsigned char n = 0;
        while (read(g_pipe[0], &n, 1) == 1)
            if (received_) received_(n);
    });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : kSignals) sigaction(sig, &sa, nullptr);
}

SignalWatch::~SignalWatch() {
    for (int sig : kSignals) std::signal(sig, SIG_DFL);
}

}  // namespace q24
