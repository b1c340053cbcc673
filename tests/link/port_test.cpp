// The line's own helpers: PARMRK unmarking and COM-number mapping.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "link/LineMarks.h"
#include "link/PortMap.h"

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
    EXPECT_EQ(marks, 2u);
    EXPECT_EQ(m.zeroMarks(), 1u);
    out.clear();
    m.decode(Bytes(1000, 0xFF), out);  // a run of doubled 0xFF
    EXPECT_EQ(out, Bytes(500, 0xFF));
}

TEST(PortMap, FixedNumbersFirstThenDevicesInOrder) {
    PortMap map;
    map.assign(1, "/dev/pts/7");
    map.assign(3, "/dev/ttyUSB1");
    map.fillDefaults({"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyS0"});
    EXPECT_EQ(map.path(1), "/dev/pts/7");
    EXPECT_EQ(map.path(2), "/dev/ttyUSB0");
    EXPECT_EQ(map.path(3), "/dev/ttyUSB1");
    EXPECT_EQ(map.path(4), "/dev/ttyACM0");
    EXPECT_EQ(map.path(5), "/dev/ttyS0");
    EXPECT_EQ(map.path(6), "");
}

TEST(PortMap, PresentDevicesUsbFirstNaturalOrder) {
    const auto dir = std::filesystem::temp_directory_path() / "q24_portmap_test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    for (const char* n : {"ttyS0", "ttyS1", "ttyUSB10", "ttyUSB2", "ttyACM0", "ttyUSBx", "tty0"})
        std::ofstream(dir / n) << "";
    const auto list = PortMap::PresentDevices(dir.string(), [](const std::string& p) { return p.ends_with("S1"); });
    const std::vector<std::string> want = {(dir / "ttyUSB2").string(), (dir / "ttyUSB10").string(),
                                           (dir / "ttyACM0").string(), (dir / "ttyS1").string()};
    EXPECT_EQ(list, want);
    std::filesystem::remove_all(dir);
}

TEST(PortMap, PortOption) {
    int n = 0;
    std::string p;
    EXPECT_TRUE(ParsePortOption("3=/dev/ttyUSB0", n, p));
    EXPECT_EQ(n, 3);
    EXPECT_EQ(p, "/dev/ttyUSB0");
    EXPECT_TRUE(ParsePortOption("16=/dev/x", n, p));
    for (const char* bad : {"0=/dev/x", "17=/dev/x", "=/dev/x", "3=", "a=/dev/x", "/dev/x", "123=/dev/x"})
        EXPECT_FALSE(ParsePortOption(bad, n, p)) << bad;
}
