#pragma once
// The converter makes the .sg2 on its own: read it back once it is whole,
// looking every tenth of a second for at most `seconds`.
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include "files/Seg2Reader.h"
#include "support/ReadFile.h"

namespace q24::test {

inline std::optional<LoadedData> WaitForSg2(const std::string& path, int seconds) {
    std::optional<LoadedData> loaded;
    for (int i = 0; i < 10 * seconds && !loaded; ++i) {
        if (std::filesystem::exists(path)) loaded = ReadSeg2File(ReadFile(path));
        if (!loaded) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return loaded;
}

}  // namespace q24::test
