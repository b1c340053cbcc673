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
#include <map>
#include <string>

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

}  // namespace q24::cli
