// What the units send, as the port hands it over: the driver's error marks
// stripped (the input cut into reads at the points its first byte chooses),
// then the bytes decoded as a data block, a burst, a trigger-time reply and a
// code reply, into buffers of exactly the size the link gives them.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "link/Frames.h"
#include "link/LineMarks.h"

using namespace q24;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::size_t step = 1 + data[0] % 64;
    const std::span<const uint8_t> raw(data + 1, size - 1);
    LineMarks marks;
    std::vector<uint8_t> bytes;
    std::size_t marked = 0;
    for (std::size_t at = 0; at < raw.size(); at += step)
        marked += marks.decode(raw.subspan(at, std::min(step, raw.size() - at)), bytes);
    if (bytes.size() > raw.size() || marks.zeroMarks() > marked) std::abort();

    std::array<float, frames::kBlockSamples> block{};
    const std::size_t blockBytes = std::min<std::size_t>(bytes.size(), frames::kBlockBytes);
    const int made = frames::DecodeSamples({bytes.data(), blockBytes}, frames::kBlockSamples, block.data());
    if (made < 0 || made > frames::kBlockSamples) std::abort();
    for (int i = 0; i < made; ++i)
        if (!std::isfinite(block[static_cast<std::size_t>(i)])) std::abort();

    std::array<float, frames::kBurstSamples> burst{};
    (void)frames::DecodeSamples(bytes, frames::kBurstSamples, burst.data());

    // Seven-bit packing must give back every byte it packs.
    std::vector<uint8_t> unpacked;
    (void)frames::Unpack7(frames::Pack7(bytes), unpacked);
    if (unpacked.size() < bytes.size() || !std::equal(bytes.begin(), bytes.end(), unpacked.begin())) std::abort();

    if (const auto t = frames::TriggerTimeOfReply(bytes); t && (*t < 0 || *t > 65535)) std::abort();
    if (const auto c = frames::CodeOfReply(bytes); c && (*c < 0 || *c > 65535)) std::abort();
    return 0;
}
