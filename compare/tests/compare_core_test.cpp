#include <gtest/gtest.h>

#include <cmath>

#include "compare/compare_page_geometry.h"
#include "compare/comparison.h"
#include "compare/epoch_time.h"
#include "compare/trajectory_files.h"
#include "geo/local_tangent_plane.h"
#include "nmea/gnss_snapshot.h"

namespace {

constexpr double kDay = 86400.0;
const double k20240601 = static_cast<double>(DaysFromCivil(2024, 6, 1)) * kDay;

TEST(EpochTime, DateTimesAsFilesWriteThem)
{
    const struct {
        const char* text;
        std::optional<double> seconds;  // since 2024-06-01T00:00:00Z
    } cases[] = {
        {"2024-06-01T12:00:00Z", 43200.0},
        {"2024-06-01T12:00:00.250Z", 43200.25},
        {"2024/06/01 12:00:00.5", 43200.5},
        {"2024-06-01T14:00:00+02:00", 43200.0},
        {"2024-06-01T10:30:00-01:30", 43200.0},
        {"2024-06-02T00:00:00Z", kDay},
        {"2024-06-01T24:00:00Z", std::nullopt},
        {"2024-13-01T12:00:00Z", std::nullopt},
        {"2024-06-01T12:00:00 junk", std::nullopt},
        {"12:00:00", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        const std::optional<double> parsed = ParseDateTime(c.text);
        ASSERT_EQ(parsed.has_value(), c.seconds.has_value()) << c.text;
        if (parsed) {
            EXPECT_NEAR(*parsed - k20240601, *c.seconds, 1e-6) << c.text;
        }
    }
    EXPECT_EQ(ParseClockTime("23:59:59.95"), 86399.95);
    EXPECT_EQ(ParseClockTime("12:60:00"), std::nullopt);
    EXPECT_EQ(ParseClockTime("1:00:00"), std::nullopt);
}

// The date comes from the RMC or ZDA before the fix's GGA: across midnight
// it may be a day behind (or, for a time sent after, ahead).
TEST(EpochTime, FixEpochCarriesTheDateOverMidnight)
{
    const struct {
        const char* dateTime;  // of the RMC/ZDA
        const char* fixTime;   // of the GGA
        int dayOffset;
    } cases[] = {
        {"12:00:00", "12:00:01", 0},
        {"23:59:59.90", "00:00:00.00", 1},
        {"00:00:00.00", "23:59:59.90", -1},
        {"", "23:59:59", 0},
    };
    for (const auto& c : cases) {
        GnssSnapshot gnss;
        gnss.date = GnssDate{2024, 6, 1};
        gnss.time = c.dateTime;
        gnss.fixTime = c.fixTime;
        const std::optional<EpochTime> epoch = EpochOfFix(gnss);
        ASSERT_TRUE(epoch) << c.fixTime;
        EXPECT_EQ(epoch->day, DaysFromCivil(2024, 6, 1) + c.dayOffset) << c.dateTime << " " << c.fixTime;
        EXPECT_EQ(epoch->secondsOfDay, *ParseClockTime(c.fixTime));
    }
    GnssSnapshot undated;
    undated.fixTime = "10:00:00";
    EXPECT_EQ(EpochOfFix(undated), (EpochTime{std::nullopt, 36000.0}));
    undated.fixTime.clear();
    EXPECT_EQ(EpochOfFix(undated), std::nullopt);
}

TEST(EpochTime, GpsTimeLessTheLeapSecondsOfItsDay)
{
    const auto at = [](int y, int m, int d, double s) { return static_cast<double>(DaysFromCivil(y, m, d)) * kDay + s; };
    const struct {
        double gps;
        double utc;
    } cases[] = {
        {at(1980, 1, 6, 0), at(1980, 1, 6, 0)},
        {at(2024, 6, 1, 43218), at(2024, 6, 1, 43200)},
        {at(2017, 1, 1, 18), at(2017, 1, 1, 0)},            // the first second with 18
        {at(2016, 12, 31, 86400 + 16.5), at(2016, 12, 31, 86400 - 0.5)},  // still 17
        {at(2009, 1, 1, 15), at(2009, 1, 1, 0)},
        {at(1999, 6, 1, 13), at(1999, 6, 1, 0)},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(GpsTimeToUtc(c.gps), c.utc) << std::fixed << c.gps;
}

TrackSample Sample(double seconds, double north, bool dated = true)
{
    // `north` metres north of 47 N 15 E, 300 m up.
    const LocalTangentPlane plane(47.0, 15.0, 300.0);
    TrackSample s;
    plane.ToGeodetic({0.0, north, 0.0}, s.position.latitude, s.position.longitude, s.position.altitude);
    s.time = EpochFromInstant(k20240601 + seconds);
    if (!dated)
        s.time.day.reset();
    s.quality = 1;
    return s;
}

double NorthOf(const GeodeticPosition& p)
{
    return LocalTangentPlane(47.0, 15.0, 300.0).FromGeodetic(p.latitude, p.longitude, p.altitude).north;
}

// Points at 0, 1 and 2 s, then 10 s: the 8 s gap is not bridged.
TEST(ReferenceTrack, InterpolatesBetweenNeighboursButNotAcrossGaps)
{
    const struct {
        ReferenceTrack::Kind kind;
        double at;
        std::optional<double> north;
    } cases[] = {
        {ReferenceTrack::Kind::Trajectory, 0.5, 5.0},
        {ReferenceTrack::Kind::Trajectory, 1.25, 12.5},
        {ReferenceTrack::Kind::Trajectory, 2.0, 20.0},
        {ReferenceTrack::Kind::Trajectory, 2.04, 20.0},  // the end of a run, within the tolerance
        {ReferenceTrack::Kind::Trajectory, 2.06, std::nullopt},
        {ReferenceTrack::Kind::Trajectory, 6.0, std::nullopt},
        {ReferenceTrack::Kind::Trajectory, 9.96, 100.0},
        {ReferenceTrack::Kind::Trajectory, -0.03, 0.0},
        {ReferenceTrack::Kind::Trajectory, 10.1, std::nullopt},
        {ReferenceTrack::Kind::Receiver, 0.5, std::nullopt},
        {ReferenceTrack::Kind::Receiver, 1.03, 10.0},
        {ReferenceTrack::Kind::Receiver, 0.97, 10.0},
    };
    for (const auto& c : cases) {
        ReferenceTrack track(c.kind, 0.05);
        for (double t : {10.0, 0.0, 2.0, 1.0})  // any order
            track.Add(Sample(t, t * 10.0));
        const auto match = track.Find(EpochFromInstant(k20240601 + c.at));
        ASSERT_EQ(match.has_value(), c.north.has_value()) << c.at;
        if (match) {
            EXPECT_NEAR(NorthOf(match->position), *c.north, 1e-6) << c.at;
        }
    }
}

// A track without dates matches by time of day, on past midnight.
TEST(ReferenceTrack, UndatedTimesRunOverMidnight)
{
    ReferenceTrack track(ReferenceTrack::Kind::Trajectory, 0.05);
    for (double t : {kDay - 1.0, kDay, kDay + 1.0})
        track.Add(Sample(t, t - kDay + 1.0, false));
    const auto after = track.Find(EpochTime{std::nullopt, 0.5});
    ASSERT_TRUE(after);
    EXPECT_NEAR(NorthOf(after->position), 1.5, 1e-6);
    // A dated fix matches too, by its time of day.
    const auto dated = track.Find(EpochFromInstant(k20240601 + kDay - 0.5));
    ASSERT_TRUE(dated);
    EXPECT_NEAR(NorthOf(dated->position), 0.5, 1e-6);
}

CompareFix Fix(double seconds, double north, double readTime)
{
    const TrackSample s = Sample(seconds, north);
    return {s.time, 1, s.position, readTime};
}

// Fixes of the receiver under test that come before the reference's fix
// of their epoch wait for it: live results are the batch's.
TEST(Comparison, LiveInterleavingGivesTheBatchFigures)
{
    Comparison live(ReferenceTrack(ReferenceTrack::Kind::Receiver, 0.05), ReadClock::Steady);
    Comparison batch(ReferenceTrack(ReferenceTrack::Kind::Receiver, 0.05), ReadClock::Steady);
    const int l = live.AddReceiver(ReadClock::Steady);
    const int b = batch.AddReceiver(ReadClock::Steady);
    for (int k = 0; k < 20; ++k) {
        const double t = k * 0.2;
        // The receiver under test is 1 m north and its fixes come 80 ms early.
        live.AddFix(l, Fix(t, 1.0 + 0.2 * k, 100.0 + t - 0.08));
        live.AddReferenceFix(Fix(t, 0.2 * k, 100.0 + t));
        batch.AddReferenceFix(Fix(t, 0.2 * k, 100.0 + t));
    }
    for (int k = 0; k < 20; ++k)
        batch.AddFix(b, Fix(k * 0.2, 1.0 + 0.2 * k, 100.0 + k * 0.2 - 0.08));
    EXPECT_EQ(live.Errors(l).size(), 19u) << "the last fix waits for the reference to pass it";
    live.Finish();
    batch.Finish();
    const ReceiverComparison a = live.Figures(l), c = batch.Figures(b);
    EXPECT_EQ(a.matched, 20);
    EXPECT_EQ(a.all, c.all);
    EXPECT_NEAR(*a.all.biasN, 1.0, 1e-6);
    ASSERT_TRUE(a.latency);
    EXPECT_NEAR(a.latency->mean, -0.08, 1e-9);
    // Moving north at 1 m/s, the error is all along the track.
    ASSERT_TRUE(a.alongTrack && a.crossTrack);
    EXPECT_NEAR(a.alongTrack->bias, 1.0, 1e-6);
    EXPECT_NEAR(a.crossTrack->bias, 0.0, 1e-6);
    EXPECT_EQ(a.availability, 1.0);
}

TEST(Comparison, SilentReferenceCostsMatchesNotMemory)
{
    Comparison c(ReferenceTrack(ReferenceTrack::Kind::Receiver, 0.05), ReadClock::Steady);
    const int r = c.AddReceiver(ReadClock::Steady);
    c.AddReferenceFix(Fix(0.0, 0.0, 0.0));
    const size_t fixes = Comparison::kMaxWaiting + 10;
    for (size_t k = 0; k < fixes; ++k)
        c.AddFix(r, Fix(static_cast<double>(k) * 0.1, 0.0, 0.0));
    EXPECT_EQ(c.Figures(r).epochs, static_cast<int64_t>(fixes));
    EXPECT_EQ(c.Figures(r).matched, 1) << "only the first epoch had a reference";
    c.Finish();
    EXPECT_EQ(c.Figures(r).matched, 1);
    EXPECT_NEAR(*c.Figures(r).availability, 1.0, 1e-12);
}

TEST(TrajectoryFiles, GpxPointsInAnyAttributeOrder)
{
    const TrajectoryFile f = ParseGpx(
        "<gpx><trk><trkseg>"
        "<trkpt lon=\"15.5\" lat=\"47.25\"><ele>300.5</ele><time>2024-06-01T12:00:01Z</time></trkpt>\n"
        "<trkpt lat='47.5' lon='15.75'><time>2024-06-01T12:00:02.5Z</time></trkpt>"
        "<trkpt lat=\"47.5\" lon=\"15.75\"><ele>1</ele></trkpt>"  // no time: of no use
        "<trkpt lat=\"91\" lon=\"15.75\"><time>2024-06-01T12:00:03Z</time></trkpt>"
        "</trkseg></trk></gpx>");
    ASSERT_EQ(f.samples.size(), 2u);
    EXPECT_EQ(f.skipped, 2);
    EXPECT_EQ(f.samples[0].position, (GeodeticPosition{47.25, 15.5, 300.5}));
    EXPECT_TRUE(f.samples[0].hasHeight);
    EXPECT_FALSE(f.samples[1].hasHeight);
    EXPECT_EQ(f.samples[1].time, EpochFromInstant(k20240601 + 43202.5));
}

TEST(TrajectoryFiles, RtklibSolutionsByTheirHeader)
{
    const struct {
        const char* text;
        double seconds;  // UTC since 2024-06-01
    } cases[] = {
        {"%  GPST                  latitude(deg) longitude(deg)  height(m)   Q  ns\n"
         "2024/06/01 12:00:18.000   47.000000000   15.000000000   300.0000   1   9\n",
         43200.0},
        {"%  UTC                   latitude(deg) longitude(deg)  height(m)   Q  ns\n"
         "2024/06/01 12:00:18.000   47.000000000   15.000000000   300.0000   1   9\n",
         43218.0},
        {"%  GPST          latitude(deg) longitude(deg)  height(m)   Q  ns\n"
         "2316 561618.000   47.000000000   15.000000000   300.0000   1   9\n",
         43200.0},
        {"%  JST                   latitude(deg) longitude(deg)  height(m)   Q  ns\n"
         "2024/06/01 21:00:00.000   47.000000000   15.000000000   300.0000   1   9\n",
         43200.0},
    };
    for (const auto& c : cases) {
        const TrajectoryFile f = ParseRtklibPos(c.text);
        ASSERT_EQ(f.samples.size(), 1u) << c.text;
        EXPECT_TRUE(f.error.empty());
        EXPECT_EQ(f.samples[0].time, EpochFromInstant(k20240601 + c.seconds)) << c.text;
        EXPECT_EQ(f.samples[0].position, (GeodeticPosition{47.0, 15.0, 300.0}));
    }
}

TEST(TrajectoryFiles, ExportedCsvWithAndWithoutDates)
{
    const TrajectoryFile f = ParseTrackCsv(
        "utc,latitude,longitude,altitude_m,fix_quality,satellites_used\r\n"
        "2024-06-01T12:00:00.200Z,47.000000000,15.000000000,300.000,2,9\r\n"
        "12:00:01.000,47.100000000,15.100000000,301.000,1,9\r\n"
        "12:00:02.000,,,,0,0\r\n"
        "12:00:03.000,47.1,15.1,301.0,1111111111111111111111111111111111111111111111111111111111111111111111,9\r\n");
    ASSERT_EQ(f.samples.size(), 2u);
    EXPECT_EQ(f.skipped, 2);  // no position; a quality no receiver sends
    EXPECT_EQ(f.samples[0].time, EpochFromInstant(k20240601 + 43200.2));
    EXPECT_EQ(f.samples[0].quality, 2);
    EXPECT_EQ(f.samples[1].time, (EpochTime{std::nullopt, 43201.0}));
}

}  // namespace

namespace {

// The table's rows per fix quality: those any receiver had, for every receiver.
TEST(CompareTable, RowsForEveryQualityAnyReceiverHad)
{
    ReceiverComparison a, b;
    a.byQuality[1] = ErrorFigures{};
    a.byQuality[1]->count = 7;
    a.byQuality[1]->h95 = 1.25;
    a.availabilityByQuality[1] = 0.5;
    b.byQuality[4] = ErrorFigures{};
    b.byQuality[4]->count = 3;
    const CompareTable t = MakeCompareTable({a, b});
    ASSERT_EQ(t.columns.size(), 2u);
    const std::vector<std::string> tail(t.labels.end() - 6, t.labels.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"quality 1 fixes", "quality 1 avail.", "quality 1 h95", "quality 4 fixes",
                                              "quality 4 avail.", "quality 4 h95"}));
    EXPECT_EQ(std::vector<std::string>(t.columns[0].end() - 6, t.columns[0].end()),
              (std::vector<std::string>{"7", "50.0 %", "1.250 m", "0", "-", "-"}));
    EXPECT_EQ(std::vector<std::string>(t.columns[1].end() - 6, t.columns[1].end()),
              (std::vector<std::string>{"0", "-", "-", "3", "-", "-"}));
    for (const auto& column : t.columns)
        EXPECT_EQ(column.size(), t.labels.size());
}

}  // namespace
