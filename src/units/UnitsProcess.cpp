#include "units/UnitsProcess.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace q24::units {

UnitsProcess::UnitsProcess(const std::string& tool, const std::vector<std::string>& args) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        error_ = std::strerror(errno);
        return;
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(tool.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], 1);
        execv(tool.c_str(), argv.data());
        _exit(127);
    }
    ::close(out[1]);
    if (pid_ < 0) {
        error_ = std::strerror(errno);
        ::close(out[0]);
        return;
    }
    // The first line is the device path; give the tool 10 seconds.
    std::string line;
    for (int waited = 0; waited < 100 && line.find('\n') == std::string::npos; ++waited) {
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char buf[256];
        const ssize_t n = ::read(out[0], buf, sizeof buf);
        if (n <= 0) break;
        line.append(buf, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    const auto nl = line.find('\n');
    if (nl == std::string::npos) error_ = "quelda24-units printed no device path";
    else path_ = line.substr(0, nl);
}

UnitsProcess::~UnitsProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
}

std::string UnitsProcess::ToolBesideMe() {
    std::error_code ec;
    const auto me = std::filesystem::read_symlink("/proc/self/exe", ec);
    for (const char* rel : {"quelda24-units", "../bin/quelda24-units", "../../bin/quelda24-units"}) {
        const auto p = me.parent_path() / rel;
        if (std::filesystem::exists(p, ec)) return std::filesystem::weakly_canonical(p, ec).string();
    }
    return {};
}

}  // namespace q24::units
