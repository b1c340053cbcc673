#pragma once
// The whole content of a file ("" when it cannot be read), and a file written
// with a given content.
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

inline void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace q24::test
