// The files of a passive recording: data.txt merged from the temporary files
// byte for byte, and the quick write form of a Single giving exactly the text
// of the general one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <random>

#include "files/DataTextFile.h"
#include "files/WriteForm.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"

namespace q24 {
namespace {

using test::ReadFile;

void Write(const std::filesystem::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

TEST(PassiveMerge, DataTxtByteForByte) {
    test::TempDir home;
    // More values than the recording holds (a block that did not complete),
    // other notations than ours, and a blank line: read as Singles.
    Write(home / "temp_data1.txt", "1\r\n-2.5\r\n0.001\r\n12345.67\r\n99\r\n");
    Write(home / "temp_data2.txt", "  +3e2\r\n\r\n.5\r\n-0\r\n1.23456789\r\n");
    auto s = std::make_unique<State>();
    s->N_Geofoni = 2;
    s->Dist_geofoni = 2.5f;
    s->Pos_source = 10;
    s->Sampling_freq = 8000;  // not the passive rate: the header uses 250 Hz
    Regional comma;
    comma.decimal = ',';
    const std::string out = (home / "data.txt").string();
    ASSERT_EQ(WritePassiveDataText(*s, home.path(), 250, 4, out, comma, Stamp{2024, 3, 7, 9, 5, 2}), "");
    const std::string want =
        "Ditta MIRANDEL\r\nStrumento: QUELDA24\r\nI dati numerici sono in formato floating point\r\n"
        "DATA: 07/03/2024\r\nORA: 09:05:02\r\nNumero di canali=\r\n 2 \r\nIntervallo di campionamento=\r\n"
        "4000 usec\r\nNumero di campioni=\r\n 4 \r\nDistanza tra geofoni=\r\n2,5 m\r\n"
        "Posizione source rispetto 1\xC2\xB0 geofono=\r\n-10 m\r\n\"NOTE:\"\r\n"
        "\"Canale numero 1\"\r\n"
        "1\r\n-2.5\r\n0.001\r\n12345.67\r\n"
        "\"Canale numero 2\"\r\n"
        "300\r\n0.5\r\n0\r\n1.234568\r\n";
    EXPECT_EQ(ReadFile(out), want);
}

TEST(PassiveMerge, ATemporaryFileShortOfTheRecordingLeavesDataTxtAsItWas) {
    test::TempDir home;
    Write(home / "temp_data1.txt", "1\r\n2\r\n");
    Write(home / "data.txt", "previous\r\n");
    auto s = std::make_unique<State>();
    s->N_Geofoni = 1;
    EXPECT_NE(WritePassiveDataText(*s, home.path(), 125, 3, (home / "data.txt").string(), Regional{}), "");
    EXPECT_EQ(ReadFile(home / "data.txt"), "previous\r\n");
}

// The quick path must never change a byte of what the data files held.
TEST(WriteFormSingleQuick, SameTextAsTheGeneralForm) {
    std::mt19937 random(24);
    std::normal_distribution<float> noise(0, 30000);
    auto same = [&](float v) {
        ASSERT_EQ(WriteFormSingle(v), DecimalForm(static_cast<double>(v), 7)) << std::hexfloat << v;
    };
    for (int i = 0; i < 300000; ++i) {
        uint32_t bits = random();
        float v;
        std::memcpy(&v, &bits, sizeof v);
        same(v);
        same(noise(random));
        // Halves between two 7-digit neighbours go to the even one.
        same(static_cast<float>(random() % 16000000) + 0.5f);
    }
    // Around every power of ten the notation and digit count change.
    for (int e = -7; e <= 8; ++e) {
        float v = std::nextafter(static_cast<float>(std::pow(10.0, e)), 0.0f);
        for (int i = 0; i < 64; ++i, v = std::nextafter(v, 1e30f)) {
            same(v);
            same(-v);
        }
    }
    for (float v : {0.0f, -0.0f, 9999999.5f, 9999999.0f, 1e-5f, 0.99999995f, INFINITY, -INFINITY, NAN}) same(v);
}

}  // namespace
}  // namespace q24
