// quelda24-cli: the seismograph's work from a terminal or a script.
#include <csignal>
#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

#include "files/ProgramFolder.h"
#include "files/Saving.h"
#include "state/Version.h"
#include "Command.h"

namespace q24::cli {

std::map<std::string, Command>& Commands() {
    static std::map<std::string, Command> commands;
    return commands;
}

QString OptionValue(const QStringList& args, const QString& name, const QString& fallback) {
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : fallback;
}

bool HasFlag(const QStringList& args, const QString& name) { return args.contains(name); }

QString HomeFolder(const QStringList& args) {
    return QString::fromStdString(
        ProgramFolder(OptionValue(args, "--home").toStdString(), QCoreApplication::applicationDirPath().toStdString()));
}

bool ReportRecording(const std::vector<int64_t>& starts, const std::string& mseedPath, const char* command) {
    if (!starts.empty()) {
        const QDateTime start = QDateTime::fromMSecsSinceEpoch(starts.front() / 1000, Qt::UTC);
        std::printf("recording started %s\n", start.toString(Qt::ISODateWithMs).toUtf8().constData());
    }
    if (mseedPath.empty() || IsNormalFile(mseedPath)) return true;
    std::fprintf(stderr, "quelda24-cli %s: %s was not written\n", command, mseedPath.c_str());
    return false;
}

}  // namespace q24::cli

int main(int argc, char** argv) {
    // A write beyond a file-size limit fails with its reason instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    if (q24::AnswerVersionOrHelp(argc, argv, "quelda24-cli", "quelda24-cli COMMAND [OPTIONS]  (run it alone for the commands)"))
        return 0;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("quelda24-cli");
    QStringList args = QCoreApplication::arguments().mid(1);
    auto& commands = q24::cli::Commands();
    if (args.isEmpty() || !commands.count(args.front().toStdString())) {
        std::fprintf(stderr, "usage:\n");
        for (const auto& [name, cmd] : commands) std::fprintf(stderr, "  quelda24-cli %s\n", cmd.usage.c_str());
        return 2;
    }
    const std::string name = args.takeFirst().toStdString();
    return commands[name].run(args);
}
