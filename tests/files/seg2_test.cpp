// The SEG-2 reader on the corpus, on damaged files, and on the converter's files.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <cmath>
#include <fstream>
#include <random>

#include "files/DataTextFile.h"
#include "files/RecordFile.h"
#include "files/Seg2Reader.h"
#include "files/Seg2Writer.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"

using namespace q24;

static void expectClose(double got, double want, const char* what) {
    EXPECT_NEAR(got, want, std::max(1e-6 * std::fabs(want), 1e-3)) << what;
}

TEST(Seg2Corpus, EveryFileLoadsAsTheReferenceReaderReadsIt) {
    const std::string corpus = Q24_SEG2_CORPUS;
    QFile json(QString::fromStdString(corpus + "/expected.json"));
    if (!json.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "the SEG-2 corpus is not at " << corpus << " (shared/ beside the repository)";
    const QJsonObject expected = QJsonDocument::fromJson(json.readAll()).object();
    ASSERT_GE(expected.size(), 10);
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        const std::string name = it.key().toStdString();
        SCOPED_TRACE(name);
        const QJsonObject e = it.value().toObject();
        const std::string bytes = test::ReadFile(corpus + "/" + name);
        ASSERT_TRUE(IsSeg2(bytes));

        std::string why;
        const auto loaded = ReadSeg2File(bytes, &why);
        ASSERT_TRUE(loaded) << why;
        EXPECT_EQ(std::tuple(loaded->N_Geofoni, loaded->N_samples, loaded->Sampling_freq),
                  std::tuple(e["traces"].toInt(), e["samples_first_trace"].toInt(), e["sampling_freq_hz_rounded"].toInt()));

        const auto file = ParseSeg2(bytes);
        ASSERT_TRUE(file);
        const QJsonArray traces = e["per_trace"].toArray();
        ASSERT_EQ(static_cast<qsizetype>(file->traces.size()), traces.size());
        for (qsizetype t = 0; t < traces.size(); ++t) {
            SCOPED_TRACE("trace " + std::to_string(t + 1));
            const QJsonObject et = traces[t].toObject();
            const Seg2Trace& tr = file->traces[static_cast<std::size_t>(t)];
            ASSERT_EQ(static_cast<qint64>(tr.values.size()), et["samples"].toInteger());
            const auto& row = loaded->traces[static_cast<std::size_t>(t)];
            const QJsonArray first5 = et["first5"].toArray(), last2 = et["last2"].toArray();
            for (int j = 0; j < 5; ++j) EXPECT_FLOAT_EQ(row[static_cast<std::size_t>(j)], first5[j].toDouble());
            for (int j = 0; j < 2; ++j) EXPECT_FLOAT_EQ(tr.values[tr.values.size() - 2 + j], last2[j].toDouble());
            double sum = 0, sumAbs = 0;
            for (float v : tr.values) sum += v, sumAbs += std::fabs(v);
            expectClose(sum, et["sum"].toDouble(), "sum");
            expectClose(sumAbs, et["sum_abs"].toDouble(), "sum_abs");
        }
    }
}

namespace {

void fill(State& s, int traces, int samples) {
    s.N_Geofoni = static_cast<int16_t>(traces);
    s.N_samples = samples;
    s.Sampling_freq = 4000;
    s.Dist_geofoni = 2.5f;
    s.Pos_source = 10;
    for (int t = 0; t < traces; ++t)
        for (int j = 0; j < samples; ++j) s.Dati(t, j) = static_cast<float>((t + 1) * 1000 - j * 37) + 0.5f * (j % 3);
    for (int k = 1; k <= traces; ++k) {
        s.Ch_enabled[static_cast<std::size_t>(k)] = k != 2;
        s.Ch_param[static_cast<std::size_t>(k)] = static_cast<int16_t>(40 + k);
    }
}

std::string writeTimed(State& s, const std::string&, const std::string& path) {
    s.Sampling_freq = 250;
    s.N_samples_cont = 300;
    s.Dati_cont.resize(s.N_Geofoni + 1, s.N_samples_cont + 1);
    for (int t = 0; t < s.N_Geofoni; ++t)
        for (int j = 0; j < s.N_samples_cont; ++j) s.Dati_cont(t, j) = static_cast<float>(t * 7 - j);
    return WriteTimedDataText(s, {"A1", "geo 2", "x"}, path, Regional{.decimal = ','});
}

std::string writePassive(State& s, const std::string& home, const std::string& path) {
    TempChannelFiles temp;
    if (auto err = temp.create(home, s.N_Geofoni); !err.empty()) return err;
    std::vector<float> block(8192);
    for (int k = 1; k <= s.N_Geofoni; ++k) {
        for (int j = 0; j < 8192; ++j) block[static_cast<std::size_t>(j)] = static_cast<float>(k * 100000 + j);
        temp.append(k, block.data(), 8192);
    }
    if (auto err = temp.close(); !err.empty()) return err;
    return WritePassiveDataText(s, home, 125, 8192, path, Regional{});
}

// A stacked shot of `traces` x `samples` as the converter writes it.
std::string seg2Shot(int traces, int samples) {
    auto s = std::make_unique<State>();
    fill(*s, traces, samples);
    test::TempDir dir;
    const std::string data = (dir / "d.txt").string();
    const auto text =
        WriteStackedDataText(*s, data, Regional{}).empty() ? ParseDataText(test::ReadFile(data)) : std::nullopt;
    return text ? Seg2Bytes(*text) : std::string();
}

}  // namespace

// Each writer's file, converted and read back by the loader's reader: the
// same samples, counts and interval as the text file holds.
TEST(Converter, ReadsBackWhatTheTextFileHolds) {
    using Writer = std::string (*)(State&, const std::string&, const std::string&);
    const Writer stackedComma = [](State& s, const std::string&, const std::string& path) {
        return WriteStackedDataText(s, path, Regional{.decimal = ','});
    };
    for (auto [name, write] : {std::pair<const char*, Writer>{"stacked", stackedComma}, {"timed", writeTimed},
                               {"passive", writePassive}}) {
        SCOPED_TRACE(name);
        test::TempDir dir;
        auto s = std::make_unique<State>();
        fill(*s, 3, 500);
        const std::string data = (dir / "data.txt").string(), sg2 = (dir / "out.sg2").string();
        ASSERT_EQ(write(*s, dir.path(), data), "");
        std::string why;
        const auto text = ParseDataText(test::ReadFile(data), &why);
        ASSERT_TRUE(text) << why;
        ASSERT_EQ(ConvertDataText(data, sg2), "");
        const auto loaded = ReadSeg2File(test::ReadFile(sg2), &why);
        ASSERT_TRUE(loaded) << why;
        EXPECT_EQ(std::tuple(loaded->N_Geofoni, loaded->N_samples, loaded->Sampling_freq),
                  std::tuple(static_cast<int>(text->blocks.size()), text->samples,
                             static_cast<int>(std::lround(1e6 / text->intervalUsec))));
        for (std::size_t t = 0; t < text->blocks.size(); ++t) EXPECT_EQ(loaded->traces[t], text->blocks[t]) << t;
    }
}

// The converter program: the geometry strings, the refraction program listing
// its file from a project, and a failure that keeps the earlier .sg2 whole.
TEST(Converter, ProgramWritesTheGeometryTheRefractionProgramReadsItAndFailuresAreLoud) {
    test::TempDir dir;
    auto s = std::make_unique<State>();
    fill(*s, 3, 16);
    s->Sampling_freq = 32000;
    const std::string data = (dir / "a|b data.txt").string(), sg2 = (dir / "out file07.sg2").string();
    ASSERT_EQ(WriteStackedDataText(*s, data, Regional{}), "");
    const QString exe = QString(Q24_BIN_DIR) + "/Sg2Maker";
    const QStringList options = QStringList{"--delay", "-0.025", "--stack", "2"};
    EXPECT_EQ(QProcess::execute(exe, QStringList{QString::fromStdString(data + "|" + sg2)} + options), 0);
    const std::string good = test::ReadFile(sg2);
    const auto file = ParseSeg2(good);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->traces.size(), 2u);  // trace 2 is not active
    for (auto [t, key, value] :
         {std::tuple{1, "SAMPLE_INTERVAL", "0.00003125"}, {1, "RECEIVER_LOCATION", "2.5"}, {0, "SOURCE_LOCATION", "10"},
          {1, "RECEIVER_STATION_NUMBER", "2"}, {0, "SOURCE_STATION_NUMBER", "5"}, {1, "DELAY", "-0.025"},
          {0, "STACK", "2"}, {1, "SHOT_SEQUENCE_NUMBER", "7"}})
        EXPECT_EQ(Seg2Value(file->traces[static_cast<std::size_t>(t)].strings, key), value) << key;
    // Options that would write a wrong record are refused, the file kept.
    for (const QStringList& bad : {QStringList{"--stack", "0"}, {"--delay", "soon"}, {"--shot"}})
        EXPECT_EQ(QProcess::execute(exe, QStringList{QString::fromStdString(data + "|" + sg2)} + bad), 1) << bad.join(' ').toStdString();
    const std::string project = (dir / "line.prj").string();
    std::ofstream(project, std::ios::binary) << sg2 << "\r\n";
    QProcess p;
    p.start(QString(Q24_BIN_DIR) + "/velostrata/bin/velostrata", {"--list", QString::fromStdString(project)});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardOutput().toStdString(),
              sg2 + " traces=2 samples=16 interval=0.00003125 source=10 receivers=0,2.5\n");

    std::string text = test::ReadFile(data);
    std::ofstream(data, std::ios::binary) << text.substr(0, text.size() - 8);
    EXPECT_NE(QProcess::execute(exe, {QString::fromStdString(data + "|" + sg2)}), 0);
    EXPECT_EQ(test::ReadFile(sg2), good);
    EXPECT_NE(QProcess::execute(exe, {"no separator"}), 0);
}

TEST(Seg2Reader, RefusesWhatTheTraceArrayCannotHoldAndBadFormats) {
    const std::string good = seg2Shot(1, 4);
    ASSERT_TRUE(ReadSeg2File(good));
    const auto P = static_cast<std::size_t>(ParseSeg2(good)->traces[0].pointer);
    const auto at = static_cast<std::size_t>(ParseSeg2(good)->traces[0].dataOffset);
    auto with = [&](std::initializer_list<std::pair<std::size_t, int>> bytes) {
        std::string b = good;
        for (auto [i, v] : bytes) b[i] = static_cast<char>(v);
        return b;
    };
    EXPECT_FALSE(ReadSeg2File(with({{P + 12, 7}}))) << "unknown format code";
    EXPECT_FALSE(ReadSeg2File(with({{P, 0x21}}))) << "no trace block id";
    for (int n : {98, 0}) EXPECT_FALSE(ReadSeg2File(with({{6, n}}))) << n << " traces";
    EXPECT_FALSE(ReadSeg2File(with({{at + 2, 0xC0}, {at + 3, 0x7F}}))) << "a NaN sample";
    EXPECT_FALSE(ReadSeg2File(with({{P + 8, 0x02}, {P + 9, 0x40}}))) << "16386 samples, more than a row holds";
    // Big-endian id: the counts read otherwise, and nothing overruns.
    EXPECT_FALSE(ReadSeg2File(with({{0, 0x3A}, {1, 0x55}})));
    // A wrong block size falls back on the zero run and still reads right.
    EXPECT_EQ(ReadSeg2File(with({{P + 2, 8}}))->traces, ReadSeg2File(good)->traces);
}

// Truncated and corrupted files never crash the readers; a file cut anywhere
// before its last sample is refused.
TEST(Seg2Reader, SurvivesTruncationAndCorruption) {
    std::vector<std::string> seeds;
    const std::string corpus = Q24_SEG2_CORPUS;
    for (const char* name : {"/obspy_geometrics-smartseis_fmt3_1tr.seg2", "/synthetic/synthetic_fmt5_float64_be.sg2",
                             "/synthetic/synthetic_fmt2_int32_be_crlf-term.sg2"})
        if (auto b = test::ReadFile(corpus + name); !b.empty()) seeds.push_back(b);
    seeds.push_back(seg2Shot(3, 64));
    std::mt19937 rng(7);
    for (const std::string& seed : seeds) {
        ASSERT_TRUE(ReadSeg2File(seed));
        for (std::size_t cut = 0; cut < seed.size(); cut += 1 + seed.size() / 300)
            EXPECT_FALSE(ReadSeg2File(std::string_view(seed).substr(0, cut))) << cut;
        for (int round = 0; round < 2000; ++round) {
            std::string b = seed;
            const int flips = 1 + static_cast<int>(rng() % 8);
            for (int f = 0; f < flips; ++f) {
                // Mostly the descriptors, where lengths and offsets live.
                const std::size_t span = rng() % 4 ? std::min<std::size_t>(b.size(), 700) : b.size();
                b[rng() % span] = static_cast<char>(rng());
            }
            (void)ReadSeg2File(b);
            (void)ParseSeg2(b, Seg2Limits{100000, 1 << 20});
        }
    }
}

TEST(RecordFile, SurvivesTruncationAndCorruption) {
    auto s = std::make_unique<State>();
    fill(*s, 3, 50);
    const std::string good = RecordFileText(*s);
    auto current = std::make_unique<State>();
    ASSERT_TRUE(ReadRecordFile(good, *current));
    // Cut anywhere after the header but before the last sample: refused.
    const std::size_t header = good.find('\n', good.find("\n3\r\n") + 1);
    for (std::size_t cut = header; cut + 3 < good.size(); cut += 7)
        EXPECT_FALSE(ReadRecordFile(std::string_view(good).substr(0, cut), *current)) << cut;
    std::mt19937 rng(11);
    const char junk[] = "0123456789.-+eE ,\r\nx\"";
    for (int round = 0; round < 3000; ++round) {
        std::string b = good;
        for (int f = 0; f < 4; ++f) b[rng() % std::min<std::size_t>(b.size(), 400)] = junk[rng() % (sizeof junk - 1)];
        if (const auto d = ReadRecordFile(b, *current)) {
            EXPECT_LE(d->N_Geofoni, kMaxTraces);
            EXPECT_LE(d->N_samples, kMaxSamples);
            EXPECT_EQ(static_cast<int>(d->traces.size()), d->N_Geofoni);
        }
    }
}
