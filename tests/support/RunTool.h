#pragma once
// The programs of this build run as the operator starts them: found in the
// program folder beside the test, run to their end, what they printed kept.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace q24::test {

// build/bin/<name> seen from a test in build/bin, build/tests or a folder
// below it; empty when the program is not built.
inline std::string ToolBesideMe(const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path me = fs::read_symlink("/proc/self/exe", ec).parent_path();
    for (const fs::path& rel : {fs::path(name), fs::path("../bin") / name, fs::path("../../bin") / name})
        if (fs::exists(me / rel, ec)) return fs::weakly_canonical(me / rel, ec).string();
    return {};
}

struct ToolRun {
    bool finished = false;  // started, and ended within the wait
    int status = -1;        // the exit code; -1 unless it finished and exited normally
    std::string out, err;   // read only when it finished
    double seconds = 0;     // from its start to its end, or to the end of the wait
};

// Runs `program` with `args`, waiting at most `waitMs` for its end; with
// `errIntoOut` its standard error is folded into `out` as it comes.
inline ToolRun RunTool(const std::string& program, const std::vector<std::string>& args, int waitMs = 180000,
                       bool errIntoOut = false) {
    QProcess p;
    if (errIntoOut) p.setProcessChannelMode(QProcess::MergedChannels);
    QStringList list;
    for (const auto& a : args) list << QString::fromStdString(a);
    p.start(QString::fromStdString(program), list);
    ToolRun r;
    if (!p.waitForStarted(10000)) return r;
    const auto t0 = std::chrono::steady_clock::now();
    r.finished = p.waitForFinished(waitMs);
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!r.finished) return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

}  // namespace q24::test
