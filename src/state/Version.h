#pragma once
// --version and --help, answered alike by every program of the suite before
// it starts anything (no window, no line): the program's name and the
// suite's version, or its usage, on standard output.
#include <cstdio>
#include <cstring>

#ifndef Q24_VERSION
#define Q24_VERSION "unknown"
#endif

namespace q24 {

inline constexpr const char* kVersion = Q24_VERSION;

// True when the command line asks for --version or --help (the answer has
// been printed; the program should end with status 0).
inline bool AnswerVersionOrHelp(int argc, char** argv, const char* program, const char* usage) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", program, kVersion);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("usage: %s\n", usage);
            return true;
        }
    }
    return false;
}

}  // namespace q24
