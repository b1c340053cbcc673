// The converter's command line: the input split at NUL bytes into arguments.
#include "files/Seg2Writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) args.emplace_back();
        else args.back() += static_cast<char>(data[i]);
    }
    std::string why;
    if (const auto c = q24::ParseConverterCommand(args, &why)) (void)q24::ConverterOptions(c->record);
    (void)q24::SplitConverterArgument(args.front());
    (void)q24::ShotNumberOf(args.back());
    return 0;
}
