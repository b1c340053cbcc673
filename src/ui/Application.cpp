#include "ui/Application.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "display/TraceCount.h"
#include "display/forms/TracePicture.h"
#include "state/Config.h"
#include "ui/LinkParts.h"
#include "ui/Wiring.h"
#include "link/PortMap.h"
#include "link/SignalWatch.h"

namespace q24 {

Options ParseOptions(const QStringList& args, const std::string& exeFolder) {
    Options o;
    o.home = exeFolder;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](const char* name) -> std::string {
            if (i + 1 < args.size()) return args[++i].toStdString();
            std::fprintf(stderr, "quelda24: %s needs a value\n", name);
            return {};
        };
        if (a == "--home") {
            if (auto v = value("--home"); !v.empty()) o.home = v;
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
    return o;
}

Application::Application(Options options, Regional regional)
    : options_(std::move(options)),
      regional_(std::move(regional)),
      state_(std::make_unique<State>()),
      window_(std::make_unique<analog>()),
      gated_(std::make_unique<GatedPanel>(*window_)),
      params_(std::make_unique<AcqParameters>(*state_, *gated_, regional_.decimal)),
      channels_(std::make_unique<ChannelSettings>(*state_)) {
    // The trace picture wants the whole screen: the window opens maximized
    // (sized to the screen by hand as well, for desktops without a manager).
    hooks_.showMainWindow = [this] {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            window_->setGeometry(screen->availableGeometry());
        window_->showMaximized();
    };
    hooks_.pictureWidth = [this] { return window_->picture()->width(); };
    hooks_.traceCountChanged = [this] { traceCountChanged(); };
    connect(window_.get(), &analog::traceCountChanged, this, [this] { traceCountChanged(); });
    registerCommands();
    WireLink(*this);
    WireDisplay(*this);
    WireSetup(*this);
    WireAnalysis(*this);
    WireFiles(*this);
    WireTrigger(*this);
    WireRunning(*this);
    WireTimed(*this);
    WirePassive(*this);

    // Every click asks the owner of the line first.
    window_->gate = [this](Ctl c) {
        const auto command = CommandOf(c);
        return !command || owner().allows(*command);
    };
    // The close box ends the program without writing ini.txt; with a sequence
    // running, once it has cleaned up.
    window_->closeRequested = [this] {
        if (owner().idle() && !ending_) return true;
        endProgram(0);
        return false;
    };
    signals_ = std::make_unique<SignalWatch>([this](int signal) { endProgram(SignalWatch::ExitStatus(signal)); });
    owner().failed = [](const std::string& what) { std::fprintf(stderr, "quelda24: a sequence failed: %s\n", what.c_str()); };
}

Application::~Application() = default;

LineOwner& Application::owner() { return *link_->owner; }

void Application::registerCommands() {
    analog& w = *window_;
    w.setCommand(Ctl::Init_par, [] {});  // has no effect, as it always had
    w.setCommand(Ctl::uscita, [this] { exitProgram(); });
    w.setCommand(Ctl::codice, [this] {
        if (window_->ask("ONLY 1 UNIT MUST BE CONNECTED ! PROCEED ANYWAY ?", Buttons::OkCancel) == Answer::Ok &&
            openPassword)
            openPassword();
    });
    w.setCommand(Ctl::Refraction, [this] {
        if (window_->ask("Do you want to start a REFRACTION Project?", Buttons::YesNo) == Answer::Yes &&
            openProjectName)
            openProjectName();
    });
    w.setCommand(Ctl::Trg_corr, [this] {
        if (window_->ask("Changing this parameter affects precision of trigger event!", Buttons::OkCancel) ==
                Answer::Ok &&
            openTriggerCorrection)
            openTriggerCorrection();
    });
}

void Application::traceCountChanged() {
    TraceCountChanged(*state_, *window_, window_->traceCount(), window_->picture()->width());
    if (hooks_.refreshChannelSlots) hooks_.refreshChannelSlots();
}

std::vector<std::string> Application::start() {
    StartupContext ctx{*state_, *window_, *params_, options_.home, hooks_};
    if (!options_.screenshot.empty()) armScreenshot();
    auto failed = RunStartup(ctx);
    started_ = true;
    for (const std::string& f : failed) std::fprintf(stderr, "quelda24: start-up step skipped: %s\n", f.c_str());
    // A picture taken during start-up ended the loops that were running; the
    // main loop has yet to start, and must end too.
    if (shotTaken_) QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    return failed;
}

void Application::setLink(std::unique_ptr<LinkParts> parts) { link_ = std::move(parts); }

void Application::armScreenshot() {
    QTimer::singleShot(started_ ? 500 : 1500, this, [this] {
        QWidget* front = QApplication::activeModalWidget();
        if (!front && !started_) {  // start-up still busy (a reset): look again later
            armScreenshot();
            return;
        }
        (front ? front : window_.get())->grab().save(QString::fromStdString(options_.screenshot));
        shotTaken_ = true;
        QApplication::exit(0);
    });
}

void Application::exitProgram() {
    params_->VScroll1_Change();
    const std::string err = SaveConfiguration(*state_, options_.home);
    if (!err.empty())
        window_->message("The configuration could not be saved in " + state_->File_path + ": " + err +
                         ". The previous ini.txt is kept.");
    endProgram(0);
}

void Application::endProgram(int status) {
    auto quit = [status] { QApplication::exit(status); };
    if (owner().idle()) {
        quit();
        return;
    }
    if (ending_) return;
    ending_ = true;
    // The sequence's clean-up only sends the reset byte now; whatever still
    // waits after that is not waited for.
    owner().idleAgain = quit;
    owner().cancel(CancelReason::Ending);
    constexpr int kLastChanceMs = 3000;
    QTimer::singleShot(kLastChanceMs, qApp, quit);
}

}  // namespace q24
