#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "nmea/tests/sentence.h"
#include "tests/corpus_location.h"
#include "tools/cli/tests/test_support.h"

namespace {

using ExportCommand = TempDirTest;

// One epoch as a receiver sends it: the GGA first, its GSA, RAIM, RMC and
// GST after it.
const std::string kEpochs = Sentence("GPGGA,235959.50,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,")
    + Sentence("GPGSA,A,3,05,10,,,,,,,,,,,2.5,1.5,2.0") + Sentence("GPRAIM,1200,1800,490,588")
    + Sentence("GPRMC,235959.50,A,4807.038,N,01131.000,E,0.0,0.0,311224,,,A")
    + Sentence("GPGST,235959.50,1.1,2.2,3.3,4.4,0.512,0.734,1.256")
    + Sentence("GPGGA,000000.50,4807.038,S,01131.000,W,0,00,,,M,,M,,");

TEST_F(ExportCommand, CsvRowsCarryTheirEpochsFieldsAndLeaveTheUnknownEmpty)
{
    const CommandResult r = RunCommand(CliPath() + " export " + Write("e.nmea", kEpochs) + " --format csv --user 48.1173,11.516666666666667,0");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "utc,latitude,longitude,altitude_m,fix_quality,satellites_used,hdop,pdop,vdop,hpl_m,hfom_m,"
              "horizontal_error_m,sigma_latitude_m,sigma_longitude_m,sigma_altitude_m\r\n"
              "2024-12-31T23:59:59.500Z,48.117300000,11.516666667,545.400,1,8,0.90,2.50,2.00,12.00,4.90,0.000,0.512,0.734,1.256\r\n"
              // Past midnight the old date no longer holds: the time alone.
              "00:00:00.500,-48.117300000,-11.516666667,545.400,0,0,,,,,,,,,\r\n");
    EXPECT_EQ(r.err, "bytes " + std::to_string(kEpochs.size()) + " fixes 2 written 2\n");
}

TEST_F(ExportCommand, BadArgumentsAndUnreadableInputFailWithoutOutput)
{
    const std::string out = (m_dir / "never.csv").string();
    for (const std::string& args : {std::string(" export x.nmea"), " export " + Write("a.nmea", kEpochs) + " --format txt",
                                    " export " + Write("b.nmea", kEpochs) + " --format csv --user 1,2",
                                    " export /nonexistent/x.nmea --format gpx --output " + out}) {
        const CommandResult r = RunCommand(CliPath() + args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_FALSE(r.err.empty()) << args;
    }
    EXPECT_FALSE(std::filesystem::exists(out));
}

int CountOf(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// Other programs read what we write: gpsbabel finds every point of the GPX
// and the KML, xmllint finds both well formed, Python's csv module reads as
// many rows as decode finds fixes.
TEST_F(ExportCommand, RealConsumersReadEveryFix)
{
    STELMAP_REQUIRE_CORPUS();
    for (const char* name : {"gpsd/ublox-zed-f9p-nmea.log", "nmeaparser/TrimbleR2SampleData.txt"}) {
        const std::string in = std::string(STELMAP_CORPUS_DIR) + "/" + name;
        const CommandResult decoded = RunCommand(CliPath() + " decode " + in);
        std::smatch m;
        ASSERT_TRUE(std::regex_search(decoded.err, m, std::regex("fixes ([0-9]+)"))) << decoded.err;
        const std::string fixes = m[1];

        const std::string csv = (m_dir / "t.csv").string(), gpx = (m_dir / "t.gpx").string(), kml = (m_dir / "t.kml").string();
        for (const std::string& f : {csv, gpx, kml})
            ASSERT_EQ(RunCommand(CliPath() + " export " + in + " --format " + f.substr(f.size() - 3) + " --output " + f).status, 0);
        const CommandResult rows = RunCommand(
            "python3 -c \"import csv,sys; r=list(csv.DictReader(open(sys.argv[1],newline=''))); "
            "print(len(r), sum(1 for x in r if int(x['fix_quality'])>=1))\" " + csv);
        ASSERT_EQ(rows.status, 0) << rows.err;
        ASSERT_EQ(rows.out.substr(0, rows.out.find(' ')), fixes) << name;
        const std::string withPosition = rows.out.substr(rows.out.find(' ') + 1, rows.out.find('\n') - rows.out.find(' ') - 1);

        EXPECT_EQ(RunCommand("xmllint --noout " + gpx + " " + kml).status, 0) << name;
        const CommandResult fromGpx = RunCommand("gpsbabel -t -i gpx -f " + gpx + " -o gpx -F -");
        EXPECT_EQ(std::to_string(CountOf(fromGpx.out, "<trkpt ")), withPosition) << name;
        const CommandResult fromKml = RunCommand("gpsbabel -i kml -f " + kml + " -o gpx -F -");
        EXPECT_EQ(std::to_string(CountOf(fromKml.out, "<wpt ")), withPosition) << name;
        EXPECT_EQ(std::to_string(CountOf(fromKml.out, "<trkpt ")), withPosition) << name;
    }
}

// A receiver that sends its epoch before the GGA: the GSA and GST before a
// GGA of the same time are that fix's, not the next one's.
TEST_F(ExportCommand, EpochsSentBeforeTheirGgaAreAssembled)
{
    std::string epochs;
    const char* times[] = {"120001.00", "120002.00", "120003.00"};
    for (int i = 0; i < 3; ++i) {
        const std::string t = times[i];
        const std::string d = std::to_string(i + 1);
        epochs += Sentence("GNRMC," + t + ",A,4807.038,N,01131.000,E,0.0,0.0,010624,,,A")
            + Sentence("GNGSA,A,3,05,10,,,,,,,,,,," + d + ".5,1.0," + d + ".0")
            + Sentence("GNGST," + t + ",0.8,0.9,0.6,30.0,0." + d + ",0." + d + "5," + d + ".0")
            + Sentence("GNGGA," + t + ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,")
            + Sentence("GNVTG,0.0,T,,M,0.0,N,0.0,K,A");
    }
    const CommandResult r = RunCommand(CliPath() + " export " + Write("before.nmea", epochs) + " --format csv");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "utc,latitude,longitude,altitude_m,fix_quality,satellites_used,hdop,pdop,vdop,hpl_m,hfom_m,"
              "horizontal_error_m,sigma_latitude_m,sigma_longitude_m,sigma_altitude_m\r\n"
              "2024-06-01T12:00:01.000Z,48.117300000,11.516666667,545.400,1,8,0.90,1.50,1.00,,,,0.100,0.150,1.000\r\n"
              "2024-06-01T12:00:02.000Z,48.117300000,11.516666667,545.400,1,8,0.90,2.50,2.00,,,,0.200,0.250,2.000\r\n"
              "2024-06-01T12:00:03.000Z,48.117300000,11.516666667,545.400,1,8,0.90,3.50,3.00,,,,0.300,0.350,3.000\r\n");
}

}  // namespace
