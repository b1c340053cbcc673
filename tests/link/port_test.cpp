// The line's own helpers: PARMRK unmarking and COM-number mapping.
#include <gtest/gtest.h>

#include <fstream>

#include "link/LineMarks.h"
#include "link/PortMap.h"
#include "support/TempDir.h"

using namespace q24;
using Bytes = std::vector<uint8_t>;

TEST(LineMarks, UnescapesAndCountsAcrossReads) {
    LineMarks m;
    Bytes out;
    // 0x41, a doubled 0xFF, a framing mark on 0x42, a break, then 0x43; the
    // marks split between reads.
    const Bytes a = {0x41, 0xFF}, b = {0xFF, 0xFF, 0x00}, c = {0x42, 0xFF, 0x00, 0x00, 0x43};
    std::size_t marks = m.decode(a, out) + m.decode(b, out) + m.decode(c, out);
    EXPECT_EQ(out, (Bytes{0x41, 0xFF, 0x42, 0x00, 0x43}));
    EXPECT_EQ(std::pair(marks, m.zeroMarks()), std::pair(2ul, 1ul));
    out.clear();
    m.decode(Bytes(1000, 0xFF), out);  // a run of doubled 0xFF
    EXPECT_EQ(out, Bytes(500, 0xFF));
}

TEST(PortMap, FixedNumbersFirstThenDevicesInOrder) {
    PortMap map;
    map.assign(1, "/dev/pts/7");
    map.assign(3, "/dev/ttyUSB1");
    map.fillDefaults({"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyS0"});
    const char* want[] = {"", "/dev/pts/7", "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyS0", ""};
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(map.path(n), want[n]) << n;
}

TEST(PortMap, PresentDevicesUsbFirstNaturalOrder) {
    test::TempDir dir;
    for (const char* n : {"ttyS0", "ttyS1", "ttyUSB10", "ttyUSB2", "ttyACM0", "ttyUSBx", "tty0"})
        std::ofstream(dir / n) << "";
    const auto list = PortMap::PresentDevices(dir.path(), [](const std::string& p) { return p.ends_with("S1"); });
    const std::vector<std::string> want = {dir.path() + "/ttyUSB2", dir.path() + "/ttyUSB10", dir.path() + "/ttyACM0",
                                           dir.path() + "/ttyS1"};
    EXPECT_EQ(list, want);
}

TEST(PortMap, PortOption) {
    int n = 0;
    std::string p;
    EXPECT_TRUE(ParsePortOption("3=/dev/ttyUSB0", n, p) && n == 3 && p == "/dev/ttyUSB0");
    EXPECT_TRUE(ParsePortOption("16=/dev/x", n, p));
    for (const char* bad : {"0=/dev/x", "17=/dev/x", "=/dev/x", "3=", "a=/dev/x", "/dev/x", "123=/dev/x"})
        EXPECT_FALSE(ParsePortOption(bad, n, p)) << bad;
}
