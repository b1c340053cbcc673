// Sg2Maker: turns a data text file of QUELDA24 into a SEG-2 file.
//   Sg2Maker "DATA|OUT.sg2"      (the program's way: one argument)
//   Sg2Maker DATA OUT.sg2
// Exits 0 when OUT.sg2 is written, 1 on a bad command line, 2 when the data
// file cannot be read or converted or OUT.sg2 cannot be written; an existing
// OUT.sg2 is replaced only by a complete new file.
#include <cstdio>
#include <string>

#include "state/Version.h"
#include "files/Seg2Writer.h"

int main(int argc, char** argv) {
    if (q24::AnswerVersionOrHelp(argc, argv, "Sg2Maker", "Sg2Maker \"DATA.txt|OUT.sg2\""))
        return 0;
    std::string data, out;
    if (argc == 2) {
        const auto parts = q24::SplitConverterArgument(argv[1]);
        if (!parts) {
            std::fprintf(stderr, "Sg2Maker: expected \"DATA|OUT.sg2\", got \"%s\"\n", argv[1]);
            return 1;
        }
        data = parts->first;
        out = parts->second;
    } else if (argc == 3) {
        data = argv[1];
        out = argv[2];
    } else {
        std::fprintf(stderr, "usage: Sg2Maker \"DATA|OUT.sg2\"\n");
        return 1;
    }
    const std::string err = q24::ConvertDataText(data, out);
    if (!err.empty()) {
        std::fprintf(stderr, "Sg2Maker: %s\n", err.c_str());
        return 2;
    }
    return 0;
}
