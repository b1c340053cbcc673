// The SEG-2 reader on any bytes: the parser, then the loader's view.
#include <cstdlib>

#include "files/Seg2Reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)q24::IsSeg2(bytes);
    std::string why;
    if (const auto file = q24::ParseSeg2(bytes, {}, &why)) {
        if (file->traces.empty()) std::abort();  // a parsed file always has a trace
        for (const q24::Seg2Trace& t : file->traces) {
            if (t.values.size() > static_cast<std::size_t>(q24::kMaxSamples)) std::abort();
            (void)q24::Seg2Value(t.strings, "SAMPLE_INTERVAL");
        }
    }
    (void)q24::ReadSeg2File(bytes, &why);
    return 0;
}
