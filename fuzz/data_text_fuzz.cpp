// The converter's data text parser on any text; what it accepts must convert
// to a SEG-2 image the reader takes back with every trace.
#include <cstdlib>

#include "files/Seg2Reader.h"
#include "files/Seg2Writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string why;
    const auto text = q24::ParseDataText({reinterpret_cast<const char*>(data), size}, &why);
    if (!text) return 0;
    if (text->blocks.size() != text->labels.size()) std::abort();
    for (const auto& b : text->blocks)
        if (static_cast<long long>(b.size()) != text->samples) std::abort();
    if (text->labels.empty() || text->labels.size() > static_cast<std::size_t>(q24::kMaxTraces)) return 0;
    const std::string sg2 = q24::Seg2Bytes(*text);
    const auto back = q24::ParseSeg2(sg2, {}, &why);
    if (!back || back->traces.size() != text->labels.size()) std::abort();
    return 0;
}
