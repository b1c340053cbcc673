#pragma once
// The whole content of a file, or "" when it cannot be read.
#include <fstream>
#include <sstream>
#include <string>

namespace q24::test {

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace q24::test
