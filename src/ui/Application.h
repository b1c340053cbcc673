#pragma once
// The program with its window: the main window `analog`, the operator that
// opens the window's forms, and the Program they share; the menu and toolbar
// commands (Commands.cpp), the start-up, EXIT and the close box.
#include <QObject>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "program/Program.h"
#include "state/Regional.h"
#include "ui/WindowOperator.h"
#include "ui/analog.h"

namespace q24 {

struct WindowOptions : Options {
    std::string screenshot;  // save a picture of the window after start-up, then end
};

// Reads the command line (--home DIR, --screenshot FILE, --port N=PATH,
// --simulate, --no-port-dialog); the home folder is --home, else the
// ProgramFolder of exeFolder. Unknown options are reported on stderr and ignored.
WindowOptions ParseOptions(const QStringList& args, const std::string& exeFolder);

class Application : public QObject {
    Q_OBJECT
public:
    explicit Application(WindowOptions options, Regional regional = Regional::fromSystem());
    ~Application() override;

    // The start-up steps in order, then the line's steps as a sequence of the
    // owner of the line; returns the steps that failed.
    std::vector<std::string> start();
    // EXIT: ini.txt written (a failure is said), then the program ends.
    void exitProgram();

    Program& program() { return *program_; }
    analog& window() { return *window_; }
    WindowOperator& op() { return *op_; }
    State& state() { return program_->state(); }
    LineOwner& owner() { return program_->owner(); }

private:
    // --screenshot: a picture of the dialog in front (the port dialog at
    // start-up) or, once started, of the main window; then the program ends.
    void armScreenshot();

    WindowOptions options_;
    std::unique_ptr<analog> window_;
    std::unique_ptr<WindowOperator> op_;
    std::unique_ptr<Program> program_;  // last: goes first, before the window it talks to
    std::unique_ptr<class SignalWatch> signals_;
    bool started_ = false, shotTaken_ = false;
};

// The window's commands: every menu entry, toolbar and panel button, each
// asking the owner of the line first.
void RegisterCommands(Application& app);

}  // namespace q24
