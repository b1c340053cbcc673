// Sg2Maker: turns a data text file of QUELDA24 into a SEG-2 file.
//   Sg2Maker "DATA|OUT.sg2" [--delay SECONDS] [--stack N] [--shot N]
//   Sg2Maker DATA OUT.sg2 [options]
// The options carry what the record holds beyond its text file: the first
// sample's time relative to the trigger (0), the hits stacked in it (1) and
// its shot number (the number OUT's name ends in, else 1).
// Exits 0 when OUT.sg2 is written, 1 on a bad command line, 2 when the data
// file cannot be read or converted or OUT.sg2 cannot be written; an existing
// OUT.sg2 is replaced only by a complete new file.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "files/Seg2Writer.h"
#include "state/Version.h"

int main(int argc, char** argv) {
    // A write beyond a file-size limit fails with its reason instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    const char* usage = "Sg2Maker \"DATA.txt|OUT.sg2\" [--delay SECONDS] [--stack N] [--shot N]";
    if (q24::AnswerVersionOrHelp(argc, argv, "Sg2Maker", usage)) return 0;
    std::string why;
    const auto command = q24::ParseConverterCommand(std::vector<std::string>(argv + 1, argv + argc), &why);
    if (!command) {
        std::fprintf(stderr, "Sg2Maker: %s\nusage: %s\n", why.c_str(), usage);
        return 1;
    }
    const std::string err = q24::ConvertDataText(command->data, command->sg2, command->record);
    if (!err.empty()) {
        std::fprintf(stderr, "Sg2Maker: %s\n", err.c_str());
        return 2;
    }
    return 0;
}
