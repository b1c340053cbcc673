#include "ui/Application.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "files/ProgramFolder.h"
#include "link/PortMap.h"
#include "link/SignalWatch.h"

namespace q24 {

WindowOptions ParseOptions(const QStringList& args, const std::string& exeFolder) {
    WindowOptions o;
    std::string home;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](const char* name) -> std::string {
            if (i + 1 < args.size()) return args[++i].toStdString();
            std::fprintf(stderr, "quelda24: %s needs a value\n", name);
            return {};
        };
        if (a == "--home") {
            if (auto v = value("--home"); !v.empty()) home = v;
        } else if (a == "--screenshot") {
            o.screenshot = value("--screenshot");
        } else if (a == "--port") {
            int n = 0;
            std::string path;
            if (ParsePortOption(value("--port"), n, path)) o.ports.emplace_back(n, path);
            else std::fprintf(stderr, "quelda24: --port wants N=PATH with N from 1 to 16\n");
        } else if (a == "--simulate") {
            o.simulate = true;
        } else if (a == "--no-port-dialog") {
            o.noPortDialog = true;
        } else {
            std::fprintf(stderr, "quelda24: unknown option %s ignored\n", a.toLocal8Bit().constData());
        }
    }
    o.home = ProgramFolder(home, exeFolder);
    return o;
}

Application::Application(WindowOptions options, Regional regional)
    : options_(std::move(options)),
      window_(std::make_unique<analog>()),
      op_(std::make_unique<WindowOperator>(*window_)),
      program_(std::make_unique<Program>(*op_, options_, std::move(regional))) {
    op_->attach(*program_);
    connect(window_.get(), &analog::traceCountChanged, this, [this](int value) { program_->traceCountChanged(value); });
    RegisterCommands(*this);
    // Every click asks the owner of the line first.
    window_->gate = [this](Ctl c) {
        const auto command = CommandOf(c);
        return !command || owner().allows(*command);
    };
    // The close box ends the program without writing ini.txt; with a sequence
    // running, once it has cleaned up.
    window_->closeRequested = [this] {
        if (owner().idle() && !program_->ending()) return true;
        program_->end(0);
        return false;
    };
    signals_ = std::make_unique<SignalWatch>([this](int signal) { program_->end(SignalWatch::ExitStatus(signal)); });
}

Application::~Application() = default;

std::vector<std::string> Application::start() {
    if (!options_.screenshot.empty()) armScreenshot();
    auto failed = program_->start();
    owner().request(Command::Reset, Activity::Resetting, [this]() -> Task<void> { co_await program_->startLine(); });
    started_ = true;
    for (const std::string& f : failed) std::fprintf(stderr, "quelda24: start-up step skipped: %s\n", f.c_str());
    // A picture taken during start-up ended the loops that were running; the
    // main loop has yet to start, and must end too.
    if (shotTaken_) QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    return failed;
}

void Application::armScreenshot() {
    QTimer::singleShot(started_ ? 500 : 1500, this, [this] {
        QWidget* front = QApplication::activeModalWidget();
        if (!front && !started_) {  // start-up still busy (a reset): look again later
            armScreenshot();
            return;
        }
        (front ? front : window_.get())->grab().save(QString::fromStdString(options_.screenshot));
        shotTaken_ = true;
        // The sequence under way (the start-up's reset) is ended as EXIT ends
        // it, so nothing is left suspended when the program ends.
        if (!started_ || owner().idle()) QApplication::exit(0);
        else program_->end(0);
    });
}

void Application::exitProgram() {
    const std::string err = program_->saveConfiguration();
    if (!err.empty())
        window_->message("The configuration could not be saved in " + state().File_path + ": " + err +
                         ". The previous ini.txt is kept.");
    program_->end(0);
}

}  // namespace q24
