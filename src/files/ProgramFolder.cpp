#include "files/ProgramFolder.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace q24 {

FolderEnvironment FolderEnvironment::fromSystem() {
    FolderEnvironment env;
    if (const char* xdg = std::getenv("XDG_DATA_HOME")) env.xdgDataHome = xdg;
    if (const char* home = std::getenv("HOME"); home && *home) env.userHome = home;
    else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) env.userHome = pw->pw_dir;
    return env;
}

bool IsWritableFolder(const std::string& folder) {
    struct stat st{};
    if (folder.empty() || ::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return false;
    return geteuid() != 0 || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

bool IsInstalled(const std::string& exeFolder) {
    std::error_code ec;
    return std::filesystem::is_regular_file(
        std::filesystem::path(exeFolder) / ".." / "share" / "applications" / "quelda24.desktop", ec);
}

std::string ProgramFolder(const std::string& given, const std::string& exeFolder, const FolderEnvironment& env) {
    if (!given.empty()) return given;
    if (IsWritableFolder(exeFolder) && !IsInstalled(exeFolder)) return exeFolder;
    // $XDG_DATA_HOME when absolute, else ~/.local/share; with neither known,
    // there is nowhere else.
    std::filesystem::path data(env.xdgDataHome);
    if (!data.is_absolute()) {
        if (env.userHome.empty()) return exeFolder;
        data = std::filesystem::path(env.userHome) / ".local" / "share";
    }
    std::string folder = (data / "quelda24").string();
    // A failure shows at start-up, where the Data folder and ini.txt are made.
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder;
}

}  // namespace q24
