#include <gtest/gtest.h>

#include "tests/corpus_location.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tools/cli/decode_command.h"
#include "tools/cli/fix_stream.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<fs::path> Recordings()
{
    std::vector<fs::path> files;
    const fs::path root = STELMAP_CORPUS_DIR;
    if (!fs::exists(root))
        return files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const auto name = entry.path().filename().string();
        if (entry.is_regular_file() && name != "MANIFEST.tsv" && name != "SOURCE.txt" && name != "README.md"
            && !name.starts_with("COPYING") && !name.starts_with("LICENSE"))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

struct Decoded {
    std::vector<std::string> fixes;  // one JSON line per hand-off
    uint64_t sentences = 0;
    uint64_t checksumErrors = 0;
};

// Decodes `bytes` in reads of the sizes `nextRead` picks, as the reader thread
// would: the framer must not care where reads begin and end.
template <typename NextRead>
Decoded Decode(const std::string& bytes, NextRead nextRead)
{
    Decoded out;
    ReceiverState parser;
    DisplaySnapshot snapshot;
    uint64_t fix = 0;
    parser.SetPositionHandOff([&] {
        CopyToSnapshot(parser, snapshot);
        out.fixes.push_back(FixToJson(++fix, parser, snapshot));
    });
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    for (size_t pos = 0; pos < bytes.size();) {
        const size_t n = std::min(bytes.size() - pos, nextRead());
        if (n == 1)
            parser.ProcessByte(data[pos]);
        else
            parser.ProcessBytes(data + pos, n);
        pos += n;
    }
    out.sentences = parser.Counts().sentences;
    out.checksumErrors = parser.Counts().checksumErrors;
    return out;
}

TEST(Corpus, EveryRecordingDecodesTheSameInAnyPieces)
{
    STELMAP_REQUIRE_CORPUS();
    const auto files = Recordings();
    ASSERT_GE(files.size(), 20u) << "corpus not found at " << STELMAP_CORPUS_DIR;
    std::mt19937 rng(2026);
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        const std::string bytes = Slurp(file);
        const Decoded whole = Decode(bytes, [&] { return bytes.size(); });
        const Decoded bytewise = Decode(bytes, [] { return size_t{1}; });
        const Decoded pieces = Decode(bytes, [&] { return size_t{1} + rng() % 97; });
        EXPECT_EQ(bytewise.fixes, whole.fixes);
        EXPECT_EQ(pieces.fixes, whole.fixes);
        EXPECT_EQ(pieces.sentences, whole.sentences);
        EXPECT_EQ(pieces.checksumErrors, whole.checksumErrors);
    }
}

// An independent count: lines that are one well-formed GGA sentence with a
// correct checksum. In a clean recording each is exactly one fix.
size_t WellFormedGgaLines(const std::string& bytes)
{
    static const std::regex line(R"(^\$([A-Z]{2}GGA),([^*$]*)\*([0-9A-F]{2})\r?$)");
    size_t count = 0;
    std::istringstream in(bytes);
    for (std::string text; std::getline(in, text);) {
        std::smatch m;
        if (!std::regex_match(text, m, line))
            continue;
        unsigned sum = 0;
        for (char c : m[1].str() + "," + m[2].str())
            sum ^= static_cast<unsigned char>(c);
        if (sum == std::stoul(m[3].str(), nullptr, 16))
            ++count;
    }
    return count;
}

TEST(Corpus, CleanRecordingsGiveOneFixPerGgaLine)
{
    STELMAP_REQUIRE_CORPUS();
    const char* clean[] = {"signalk/gps.log", "nmeaparser/NmeaSampleData.txt", "nmeaparser/TrimbleR2SampleData.txt"};
    for (const char* name : clean) {
        SCOPED_TRACE(name);
        const std::string bytes = Slurp(fs::path(STELMAP_CORPUS_DIR) / name);
        ASSERT_FALSE(bytes.empty());
        const Decoded d = Decode(bytes, [&] { return bytes.size(); });
        EXPECT_EQ(d.fixes.size(), WellFormedGgaLines(bytes));
        EXPECT_GT(d.fixes.size(), 30u);
    }
}

TEST(Corpus, SignalkGpsLogFirstFixes)
{
    STELMAP_REQUIRE_CORPUS();
    // $GPGGA,085411.000,5222.3215,N,00454.5778,E,1,4,2.95,16.0,M,47.0,M,,*61
    // $GPGSA,A,3,16,23,13,29,,,,,,,,,3.11,2.95,0.99*00  (its checksum is wrong)
    const std::string bytes = Slurp(fs::path(STELMAP_CORPUS_DIR) / "signalk/gps.log");
    ReceiverState parser;
    DisplaySnapshot snapshot;
    std::vector<DisplaySnapshot> snapshots;
    std::vector<std::array<int, 3>> times;
    parser.SetPositionHandOff([&] {
        CopyToSnapshot(parser, snapshot);
        snapshots.push_back(snapshot);
        times.push_back({parser.m_utcHour, parser.m_utcMinute, parser.m_utcSecond});
    });
    parser.ProcessBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ASSERT_EQ(snapshots.size(), 1202u);
    EXPECT_DOUBLE_EQ(snapshots[0].latitude, 52.0 + 22.3215 / 60.0);
    EXPECT_DOUBLE_EQ(snapshots[0].longitude, 4.0 + 54.5778 / 60.0);
    EXPECT_EQ(snapshots[0].satsInUse, 4);
    EXPECT_EQ(snapshots[0].altitude, 16.0);
    EXPECT_STREQ(snapshots[0].fixQualityText.data(), "GPS Fix");
    EXPECT_EQ(times[0], (std::array<int, 3>{8, 54, 11}));
    EXPECT_EQ(times[1], (std::array<int, 3>{8, 54, 12}));
    EXPECT_DOUBLE_EQ(snapshots[1].latitude, 52.0 + 22.3198 / 60.0);
}

TEST(Corpus, TrimbleRtkWithGlonass)
{
    STELMAP_REQUIRE_CORPUS();
    // $GNGGA,235647.00,3403.47162394,N,11711.80927093,W,5,10,1.2,403.600,M,...
    // $GNGSA,A,3,73,74,72,71,,,,,,,,,2.9,1.2,2.6*24
    const std::string bytes = Slurp(fs::path(STELMAP_CORPUS_DIR) / "nmeaparser/TrimbleR2SampleData.txt");
    ReceiverState parser;
    DisplaySnapshot snapshot;
    std::vector<DisplaySnapshot> snapshots;
    parser.SetPositionHandOff([&] {
        CopyToSnapshot(parser, snapshot);
        snapshots.push_back(snapshot);
    });
    parser.ProcessBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ASSERT_GE(snapshots.size(), 2u);
    EXPECT_DOUBLE_EQ(snapshots[0].latitude, 34.0 + 3.47162394 / 60.0);
    EXPECT_DOUBLE_EQ(snapshots[0].longitude, -(117.0 + 11.80927093 / 60.0));
    EXPECT_STREQ(snapshots[0].fixQualityText.data(), "Float RTK");
    EXPECT_EQ(snapshots[0].satsInUse, 10);
    EXPECT_EQ(snapshots[1].glonassHdop, 1.2);
    EXPECT_EQ(snapshots[1].glonassPdop, 2.9);
    EXPECT_EQ(snapshots[1].gpsVdop, 2.6);
    EXPECT_EQ(snapshots.back().glonassSeen, 1);
}

}  // namespace
