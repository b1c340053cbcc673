#pragma once
// A subcommand of quelda24-cli. Each file of this folder defines one and
// registers it with a static CommandRegistration:
//
//   static int runLoad(const QStringList& args) { ... return 0; }
//   static CommandRegistration load{"load", "load FILE [--samples]", runLoad};
//
// `args` holds the words after the subcommand's name. A command prints its
// results on standard output and a one-line reason on standard error when it
// fails, and returns the exit status.
#include <QStringList>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace q24::cli {

struct Command {
    std::string usage;
    int (*run)(const QStringList& args);
};

std::map<std::string, Command>& Commands();

struct CommandRegistration {
    CommandRegistration(const char* name, const char* usage, int (*run)(const QStringList&)) {
        Commands()[name] = Command{usage, run};
    }
};

// The value after `--name` in args, or `fallback` when absent.
QString OptionValue(const QStringList& args, const QString& name, const QString& fallback = {});
bool HasFlag(const QStringList& args, const QString& name);
// The program folder: --home DIR, else ProgramFolder of our executable's folder.
QString HomeFolder(const QStringList& args);

// After a timed or passive recording: prints "recording started
// YYYY-MM-DDTHH:MM:SS.zzzZ" (the PC clock in UTC when its first stretch was
// commanded, as the miniSEED copy is stamped). False, with the reason on
// standard error, when the miniSEED copy `mseedPath` was asked ("" when not)
// and is missing: the save said why in a message.
bool ReportRecording(const std::vector<int64_t>& starts, const std::string& mseedPath, const char* command);

}  // namespace q24::cli
