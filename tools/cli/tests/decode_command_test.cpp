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
