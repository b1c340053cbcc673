// The project file reader. The input up to the first NUL is the project file,
// the rest one SEG-2 file named a.sg2 beside it; the project runs in a
// private folder, so only names without a '/' are taken (no file elsewhere on
// the machine is read).
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "files/ProjectList.h"

namespace {
void put(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static char dir[] = "/tmp/q24-project-fuzz-XXXXXX";
    static const bool ready = [] {
        if (!::mkdtemp(dir) || ::chdir(dir) != 0) return false;
        std::atexit([] { std::filesystem::remove_all(dir); });
        return true;
    }();
    if (!ready) std::abort();
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = in.find('\0');
    const std::string_view project = in.substr(0, nul);
    if (project.find('/') != std::string_view::npos) return 0;
    put("a.sg2", nul == std::string_view::npos ? std::string_view() : in.substr(nul + 1));
    put("p.txt", project);
    (void)q24::ProjectReport(q24::ReadProject("p.txt"));
    return 0;
}
