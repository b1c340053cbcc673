#pragma once
// What every subcommand that talks to the units sets up: the program, built
// as the window builds it, on the given device as COM1 with the port dialog
// left out; then the program's own start-up in its order (the channel
// settings, ini.txt read from the home folder, the parameters positioned,
// the line opened, one parameter command and a units reset). Each subcommand
// brings its own text operator.
//
// A subcommand's work is one sequence run by exec(): SIGINT, SIGTERM and SIGHUP
// cancel it at once, the units are reset (the byte only) and the command ends
// with 128 + the signal's number.
#include <functional>
#include <string>

#include "program/Program.h"
#include "state/Task.h"

namespace q24::cli {

class Session {
public:
    // `command` names the subcommand in the line that says why it failed.
    Session(const char* command, Operator& op, const std::string& home, const std::string& portPath,
            const Regional& regional = Regional::fromSystem());
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The start-up. False when the line could not be opened (nothing was sent
    // then; the reason went to standard error). Skipped start-up steps go to
    // standard error too.
    Task<bool> start();

    // Runs `work` in the event loop and returns its exit status, or 128 + the
    // signal's number when a signal ended it.
    int exec(std::function<Task<int>()> work);
    // A signal has ended the work.
    bool signalled() const { return signal_ != 0; }

    // Where the files go, as the program's own, except that the converter is
    // waited for: the command ends once the .sg2 exists, and says so only
    // when the converter succeeded.
    FilesEnv files();

    Program program;
    State& s = program.state();

private:
    const char* command_;
    int signal_ = 0;
};

}  // namespace q24::cli
