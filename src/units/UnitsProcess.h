#pragma once
// quelda24-units started as a child process, for integration tests and
// benchmarks: starts the tool with the given options, reads the device path it
// prints, and ends it (SIGTERM, by its process id) when destroyed.
#include <string>
#include <sys/types.h>
#include <vector>

namespace q24::units {

class UnitsProcess {
public:
    // `tool` is the path of quelda24-units; ToolBesideMe() finds the one of
    // this build.
    UnitsProcess(const std::string& tool, const std::vector<std::string>& args);
    ~UnitsProcess();
    UnitsProcess(const UnitsProcess&) = delete;

    bool running() const { return pid_ > 0 && !path_.empty(); }
    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }

    // build/bin/quelda24-units seen from a program in build/bin or build/tests
    // or build/bench.
    static std::string ToolBesideMe();

private:
    pid_t pid_ = -1;
    std::string path_, error_;
};

}  // namespace q24::units
