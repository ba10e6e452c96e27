#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>
#include <unistd.h>

#include "nmea/tests/sentence.h"
#include "tools/cli/decode_command.h"
#include "tools/cli/tests/test_support.h"

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

using DecodeCommand = TempDirTest;

TEST_F(DecodeCommand, PrintsOneLinePerFixWithEveryKey)
{
    const std::string recording = Sentence("PXTNCFG,N,M,,,,,,,I")
        + Sentence("GPGSA,A,3,05,10,,,,,,,,,,,2.5,1.5,2.0")
        + Sentence("GLGSA,A,3,70,,,,,,,,,,,,3.5,2.5,3.0")
        + Sentence("GPGSV,1,1,2,05,45,120,40,10,05,300,35")
        + Sentence("GLGSV,1,1,1,70,30,200,42")
        + Sentence("GPRAIM,250,0,120")
        + Sentence("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A")
        + Sentence("GPGGA,123519,4807.038,N,01131.000,E,2,08,0.9,545.4,M,46.9,M,,")
        + "$GPGGA,bad*00\r\n"
        + Sentence("GPGGA,12,,,,,,,,,,,,,");
    const CommandResult r = RunCommand(CliPath() + " decode " + Write("a.nmea", recording));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              R"({"fix":1,"utc":[12,35,19],"latitude":48.1173,"longitude":11.516666666666667,"altitude":545.4,)"
              R"("satsInUse":8,"satsInView":3,"fixQualityText":"Differential GPS","gpsDop":[2.5,1.5,2],)"
              R"("glonassDop":[3.5,2.5,3],"glonassSeen":1,"sbasSeen":0,"hplCm":250,"hfomCm":120,)"
              R"("satellites":[[0,5,120,45,40,1],[0,10,300,5,35,1],[1,70,200,30,42,1]],)"
              R"("fixQuality":2,"ggaHdop":0.9,"dualMode":0,"solutionMode":0,"gsaMode":65,"vtgMode":65,)"
              R"("gsaFixType":3,"ggaCount":1,"gsaCount":2,"courseTrue":54.7,"courseMagnetic":34.4,)"
              R"("speedKnots":5.5,"speedKmh":10.2})");
    EXPECT_NE(lines[1].find(R"("fix":2,"utc":null,"latitude":0,"longitude":0,"altitude":545.4)"), std::string::npos)
        << lines[1];
    EXPECT_EQ(r.err, "bytes " + std::to_string(recording.size()) + " sentences 9 checksum_errors 1 fixes 2\n");
}

TEST_F(DecodeCommand, StandardInputAndFileGiveTheSameOutput)
{
    const std::string recording = Sentence("GPGGA,010203,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    const std::string path = Write("b.nmea", recording);
    const CommandResult fromFile = RunCommand(CliPath() + " decode " + path);
    const CommandResult fromStdin = RunCommand(CliPath() + " decode - <" + path);
    EXPECT_EQ(fromFile.status, 0);
    EXPECT_EQ(fromStdin.status, 0);
    EXPECT_EQ(fromFile.out, fromStdin.out);
    EXPECT_EQ(fromFile.err, fromStdin.err);
    EXPECT_EQ(Lines(fromFile.out).size(), 1u);
}

TEST_F(DecodeCommand, SatellitesListCappedAtTheTable)
{
    std::string recording = Sentence("GPGSV,9,1,250,1,2,3,4");
    recording += Sentence("GPGGA,010203,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    const CommandResult r = RunCommand(CliPath() + " decode " + Write("c.nmea", recording));
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(R"("satsInView":250)"), std::string::npos);
    size_t records = 0;
    for (size_t pos = r.out.find("],["); pos != std::string::npos; pos = r.out.find("],[", pos + 1))
        ++records;
    // 96 records joined by 95 separators; the DOP arrays contribute none.
    EXPECT_EQ(records, 95u);
}

TEST_F(DecodeCommand, UnreadableInputFailsWithItsName)
{
    const struct {
        std::string args;
        std::string mentions;
    } cases[] = {
        {"decode /nonexistent/file.nmea", "/nonexistent/file.nmea"},
        {"decode " + m_dir.string(), m_dir.string()},  // a folder opens but cannot be read
    };
    for (const auto& c : cases) {
        const CommandResult r = RunCommand(CliPath() + " " + c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
    }
}

TEST_F(DecodeCommand, HelpAndUsage)
{
    const CommandResult help = RunCommand(CliPath() + " decode --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: stelmap-cli decode SOURCE [--gnss] [--fixes N] [--duration S]"), std::string::npos);
    EXPECT_EQ(RunCommand(CliPath()).status, 2);
    EXPECT_EQ(RunCommand(CliPath() + " frobnicate").status, 2);
    EXPECT_EQ(RunCommand(CliPath() + " decode").status, 2);
    EXPECT_EQ(RunCommand(CliPath() + " --help").status, 0);
    EXPECT_EQ(RunCommand(CliPath() + " decode --gnss").status, 2);
}

// The "gnss" key, worked out by hand from the sentences: Galileo by its own
// talker and GPS by number under GN, used by system ID; the suspect by the
// GBS system ID; empty fields null; the RMC's year 99 in the 1900s.
TEST_F(DecodeCommand, GnssKeyAsTheSentencesSay)
{
    const std::string recording = Sentence("GNGSV,1,1,02,07,45,090,40,301,10,200,,1")
        + Sentence("GAGSV,1,1,01,05,60,300,38,7") + Sentence("GNGSA,A,3,05,,,,,,,,,,,,1.5,0.9,1.2,3")
        + Sentence("GNRMC,235959.5,V,,,,,,,311299,,,N") + Sentence("GNGST,235959.5,1.5,,,,0.5,0.25,2")
        + Sentence("GNGBS,235959.5,0.5,0.25,2,05,,7.5,1.25,3,7")
        + Sentence("GNGGA,235959.5,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    const std::string path = Write("gnss.nmea", recording);
    for (const std::string args : {" decode --gnss ", " decode "}) {
        const CommandResult r = RunCommand(CliPath() + args + path + (args == " decode " ? " --gnss" : ""));
        ASSERT_EQ(r.status, 0) << r.err;
        const size_t key = r.out.find(",\"gnss\":");
        ASSERT_NE(key, std::string::npos);
        EXPECT_EQ(r.out.substr(key),
                  ",\"gnss\":{\"date\":\"1999-12-31\",\"time\":\"23:59:59.5\",\"satellites\":["
                  "[\"GPS\",7,1,45,90,40,false],[\"Galileo\",1,1,10,200,null,false],[\"Galileo\",5,7,60,300,38,true]],"
                  "\"gst\":{\"rms\":1.5,\"major\":null,\"minor\":null,\"orientation\":null,\"sigmaLat\":0.5,"
                  "\"sigmaLon\":0.25,\"sigmaAlt\":2},"
                  "\"gbs\":{\"errLat\":0.5,\"errLon\":0.25,\"errAlt\":2,\"suspect\":[\"Galileo\",5],"
                  "\"probability\":null,\"bias\":7.5,\"sigma\":1.25},\"rmcStatus\":\"V\"}}\n");
    }
}

}  // namespace

namespace {

// A file that holds no NMEA sentence at all says so and exits 1, whatever
// the command; standard input keeps the cleared values.
TEST_F(DecodeCommand, AFileWithoutNmeaSaysSoForEveryCommand)
{
    const std::string files[] = {Write("empty.nmea", ""), Write("binary.bin", std::string("\xb5\x62\x01\x07\0\0\xff", 7)),
                                 Write("ais.log", "!AIVDM,1,1,,A,13aEOK?P00PD2wVMdLDRhgvL289?,0*26\r\n")};
    const char* commands[] = {"decode", "decode --gnss", "stats", "accuracy", "export --format csv",
                              "export --format gpx --fixes 5"};
    for (const std::string& file : files)
        for (const char* command : commands) {
            SCOPED_TRACE(std::string(command) + " " + file);
            const CommandResult r = RunCommand(CliPath() + " " + command + " " + file);
            EXPECT_EQ(r.status, 1);
            EXPECT_NE(r.err.find("no NMEA sentence in " + file), std::string::npos) << r.err;
        }
    const std::string out = (m_dir / "out.csv").string();
    EXPECT_EQ(RunCommand(CliPath() + " export " + files[1] + " --format csv --output " + out).status, 1);
    EXPECT_FALSE(std::filesystem::exists(out)) << "nothing is left behind";
    EXPECT_EQ(RunCommand(CliPath() + " decode - <" + files[0]).status, 0);
}

// A GGA naming no place is no fix: not printed, not counted, and the
// summary counts it as invalid beside the sentences dropped as too long.
TEST_F(DecodeCommand, ImpossiblePositionsAndOverlongSentencesAreCounted)
{
    const std::string good = Sentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    const std::string recording = good + Sentence("GPGGA,123520,9540.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,")
                                  + Sentence("GPGGA,123521,4807.038,N,19040.000,W,1,08,0.9,545.4,M,46.9,M,,")
                                  + Sentence("GPGGA,123522," + std::string(1000, '1') + ",N,01131.000,E,1,08,0.9,1,M,,M,,")
                                  + Sentence("GPGGA,123523,9000.000,S,18000.000,W,1,08,0.9,545.4,M,46.9,M,,");
    const std::string path = Write("odd.nmea", recording);
    const CommandResult r = RunCommand(CliPath() + " decode " + path);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u) << "the first and the last (at the poles' limits) are fixes";
    EXPECT_NE(lines[1].find(R"("fix":2,"utc":[12,35,23],"latitude":-90,"longitude":-180)"), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find(R"("ggaCount":2)"), std::string::npos) << "the impossible ones are not counted";
    EXPECT_EQ(r.err, "bytes " + std::to_string(recording.size()) + " sentences 4 checksum_errors 0 fixes 2 too_long 1 invalid 2\n");

    const CommandResult stats = RunCommand(CliPath() + " stats " + path);
    EXPECT_EQ(stats.out.find("nan"), std::string::npos) << stats.out;
    EXPECT_NE(stats.out.find(R"("Samples":2)"), std::string::npos) << stats.out;
    const CommandResult accuracy = RunCommand(CliPath() + " accuracy " + path);
    EXPECT_EQ(accuracy.out.find("nan"), std::string::npos) << accuracy.out;
}

}  // namespace
