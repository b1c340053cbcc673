#pragma once
// The program folder: where ini.txt, Data and the data text files are kept.
#include <string>

namespace q24 {

// What the choice looks at besides the command line.
struct FolderEnvironment {
    std::string xdgDataHome;  // $XDG_DATA_HOME, "" when unset
    std::string userHome;     // $HOME (the account's home when unset)
    static FolderEnvironment fromSystem();
};

// `given` (--home) when not empty; else the executable's folder when this
// process may write in it (a copy unpacked in a folder of its own, the build
// tree) and it is not installed; else $XDG_DATA_HOME/quelda24, by default
// ~/.local/share/quelda24, created when missing. A relative $XDG_DATA_HOME is
// ignored.
std::string ProgramFolder(const std::string& given, const std::string& exeFolder,
                          const FolderEnvironment& env = FolderEnvironment::fromSystem());

// A folder this process may create files in. Root may write anywhere, but a
// folder without any write bit is taken as read-only for root too.
bool IsWritableFolder(const std::string& folder);

// An installed program: its desktop entry in ../share/applications beside
// the bin folder. It never writes among the installed files (/usr/local/bin
// run as root, ~/.local/bin), however writable they are.
bool IsInstalled(const std::string& exeFolder);

}  // namespace q24
