#include "Start.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "link/SignalWatch.h"

namespace q24::cli {

namespace {

Options LineOptions(const std::string& home, const std::string& portPath) {
    Options o;
    o.home = home;
    o.ports = {{1, portPath}};
    o.noPortDialog = true;
    return o;
}

// Runs the converter and waits for it, so the .sg2 exists when the command
// ends; "" or why it failed.
std::string RunAndWait(const std::string& program, const std::vector<std::string>& args) {
    QProcess p;
    p.setProgram(QString::fromStdString(program));
    QStringList list;
    for (const auto& a : args) list << QString::fromStdString(a);
    p.setArguments(list);
    p.setWorkingDirectory(QString::fromStdString(std::filesystem::path(program).parent_path().string()));
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start();
    if (!p.waitForStarted()) return p.errorString().toStdString();
    constexpr int kLimitMs = 120000;
    if (!p.waitForFinished(kLimitMs)) {
        p.kill();
        p.waitForFinished();
        return "it did not finish within two minutes";
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return "it ended with status " + std::to_string(p.exitCode());
    return {};
}

}  // namespace

FilesEnv Session::files() {
    FilesEnv env = program.files();
    env.launch = RunAndWait;
    return env;
}

Session::Session(const char* command, Operator& op, const std::string& home, const std::string& portPath,
                 const Regional& regional)
    : program(op, LineOptions(home, portPath), regional), command_(command) {}

Task<bool> Session::start() {
    for (const std::string& step : program.start()) std::fprintf(stderr, "start-up step skipped: %s\n", step.c_str());
    if (co_await program.startLine()) co_return true;
    if (!signalled()) std::fprintf(stderr, "quelda24-cli %s: %s\n", command_, program.lineFailure().c_str());
    co_return false;
}

int Session::exec(std::function<Task<int>()> work) {
    int status = 1;
    bool done = false;
    uint64_t resetsBefore = 0;
    SignalWatch watch([&](int signal) {
        if (signal_) return;
        signal_ = signal;
        resetsBefore = program.link().counters().resets;
        program.owner().cancel(CancelReason::Ending);
        // Whatever the work still waits for after its clean-up is not waited for.
        constexpr int kLastChanceMs = 3000;
        QTimer::singleShot(kLastChanceMs, qApp, [] { QCoreApplication::exit(1); });
    });
    Spawn(Call([&]() -> Task<void> {
        status = co_await work();
        done = true;
        QCoreApplication::exit(0);
    }));
    if (!done) QCoreApplication::exec();
    if (!signal_) return status;
    // The units may still be armed or recording: one reset byte, unless the
    // work's own clean-up has sent it.
    if (program.port().isOpen() && program.link().counters().resets == resetsBefore) {
        Task<int> reset = program.link().Reset_units();
        reset.start();
    }
    std::fprintf(stderr, "quelda24-cli: ended by signal %d\n", signal_);
    return SignalWatch::ExitStatus(signal_);
}

}  // namespace q24::cli
