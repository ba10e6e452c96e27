#include <gtest/gtest.h>

#include "displays/front_panel_geometry.h"
#include "displays/tests/fake_measure.h"

namespace {

TEST(FrontPanelLayout, ThreePartsOfTheClientArea)
{
    struct {
        int w, h;
        FrontPanelLayout layout;
    } const cases[] = {
        {1000, 600, {6, {6, 200, 506, 594}, {512, 200, 994, 594}, {6, 6, 994, 194}}},
        {800, 600, {4, {4, 200, 404, 596}, {408, 200, 796, 596}, {4, 4, 796, 196}}},
        {1200, 800, {9, {9, 266, 609, 791}, {618, 266, 1191, 791}, {9, 9, 1191, 257}}},
        {301, 100, {0, {0, 33, 150, 100}, {150, 33, 301, 100}, {0, 0, 301, 33}}},
        {0, 0, {0, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FrontPanelLayoutFor(c.w, c.h), c.layout) << c.w << "x" << c.h;
}

TEST(FrontPanelLayout, MarginOfAHugeAreaDoesNotOverflow)
{
    EXPECT_EQ(FrontPanelLayoutFor(60000, 50000).margin, 30000);
}

TEST(TextBlock, LabelsValuesAndTheValuesColumn)
{
    const std::vector<std::string> labels = FrontPanelLabelLines();
    const std::vector<std::string> expectedLabels = {"Latitude:", "Longitude:", "Altitude:",
                                                     "PDOP:", "HDOP:", "VDOP:",
                                                     "Satellites Tracked:", "Satellites in View:"};
    EXPECT_EQ(labels, expectedLabels);

    DisplaySnapshot s;
    s.latitude = -33.8567844;
    s.longitude = 151.213108;
    s.altitude = 58.2456;
    s.gpsPdop = 1.86;
    s.glonassPdop = 2.04;
    s.gpsHdop = 0.9;
    s.gpsVdop = 1.6;
    s.glonassVdop = 0.0;
    s.satsInUse = 9;
    s.satsInView = 140;
    const std::vector<std::string> expectedValues = {"-33.85678", "151.21311", "58.246 M", "1.9 (2.0)",
                                                     "0.9 (0.0)", "1.6 (0.0)", "9", "140"};
    EXPECT_EQ(FrontPanelValueLines(s), expectedValues);

    const FrontPanelLayout layout = FrontPanelLayoutFor(1000, 600);
    EXPECT_EQ(TextBlockFontHeight(layout.textBlock), 25);
    const TextBlockColumns columns = TextBlockColumnsFor(layout.textBlock, labels, FakeMeasure);
    EXPECT_EQ(columns.labels, (PixelRect{11, 200, 506, 594}));
    // "Satellites in View:" is the widest, 19 characters of 7 pixels.
    EXPECT_EQ(columns.values, (PixelRect{11 + 133 + 5, 200, 506, 594}));
}

TEST(SkySlotsFromSnapshot, FirstSixtyFourRecords)
{
    DisplaySnapshot s;
    s.satellites[0] = {0, 5, 123, 45, 38, 1};
    s.satellites[63] = {1, 70, 10, 5, 20, 0};
    s.satellites[64] = {1, 71, 11, 6, 21, 1};
    const SkySatellites slots = SkySlotsFromSnapshot(s);
    EXPECT_EQ(slots[0], (SkySatellite{5, 123.0, 45.0, 1, 38.0}));
    EXPECT_EQ(slots[63], (SkySatellite{70, 10.0, 5.0, 0, 20.0}));
    EXPECT_EQ(slots.size(), 64u);
}

TEST(SignalBarColor, ByConstellationAndUse)
{
    struct {
        int prn, used;
        Rgb color;
    } const cases[] = {
        {1, 1, {0, 0, 128}},    {32, 0, {0, 0, 32}},   {33, 1, {0, 128, 0}},  {64, 0, {0, 128, 0}},
        {65, 1, {128, 0, 0}},   {96, 0, {32, 0, 0}},   {97, 1, {0, 0, 128}},  {200, 0, {0, 0, 32}},
        {0, 0, {0, 0, 32}},     {-4, 1, {0, 0, 128}},  {70, 2, {32, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SignalBarColor(c.prn, c.used), c.color) << c.prn << "/" << c.used;
}

// Strip of a 1000 x 600 page: 988 wide, font height 14.
const PixelRect kStrip{6, 6, 994, 194};

TEST(SignalStrip, TwelveEmptyBarsWithoutSatellites)
{
    const SignalStrip strip = LayoutSignalStrip(kStrip, DisplaySnapshot{}, FakeMeasure);
    EXPECT_EQ(strip.fontHeight, 14);
    ASSERT_EQ(strip.bars.size(), 12u);
    // Slot width 988 / 12 = 82.33; frames shrink by 5 and leave 3 font heights below.
    EXPECT_EQ(strip.bars[0].frame, (PixelRect{11, 11, 83, 147}));
    EXPECT_EQ(strip.bars[1].frame, (PixelRect{93, 11, 165, 147}));
    EXPECT_EQ(strip.bars[11].frame, (PixelRect{916, 11, 988, 147}));
    for (const SignalBar& bar : strip.bars) {
        EXPECT_TRUE(bar.fill.IsEmpty());
        EXPECT_FALSE(bar.snrShown);
        EXPECT_EQ(bar.prnText, "0");
        EXPECT_EQ(bar.prnBox.top, 147);
        EXPECT_EQ(bar.prnBox.bottom, 194);
    }
}

TEST(SignalStrip, LevelsAndSnrNumbers)
{
    struct {
        int snr;
        int fillTop;
        bool shown;
        const char* text;
    } const cases[] = {
        {44, 39, true, "44"},    // 147 - trunc(44 * 136 / 55)
        {55, 11, true, "55"},    // full bar
        {63, 11, true, "63"},    // clamped bar, real number
        {0, 147, false, "0"},    // empty
        {-7, 147, false, "-7"},  // negative: empty
        {5, 135, false, "5"},    // filled part (12) not taller than the text (14)
        {6, 133, false, "6"},    // 14 + 133 = 147: still not less than the bottom
        {7, 130, true, "7"},
    };
    DisplaySnapshot s;
    s.satsInView = static_cast<int>(std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i)
        s.satellites[i] = {0, 10 + static_cast<int>(i), 0, 0, cases[i].snr, 1};
    const SignalStrip strip = LayoutSignalStrip(kStrip, s, FakeMeasure);
    ASSERT_EQ(strip.bars.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const SignalBar& bar = strip.bars[i];
        EXPECT_EQ(bar.fill.top, cases[i].fillTop) << cases[i].snr;
        EXPECT_EQ(bar.fill.bottom, bar.frame.bottom);
        EXPECT_EQ(bar.snrShown, cases[i].shown) << cases[i].snr;
        EXPECT_EQ(bar.snrText, cases[i].text);
        EXPECT_EQ(bar.snrBox.top, cases[i].fillTop);
        EXPECT_EQ(bar.prnText, std::to_string(10 + i));
        EXPECT_EQ(bar.fillColor, (Rgb{0, 0, 128}));
    }
}

TEST(SignalStrip, CountAboveTheTableShowsTheTable)
{
    DisplaySnapshot s;
    s.satsInView = 250;
    EXPECT_EQ(LayoutSignalStrip(kStrip, s, FakeMeasure).bars.size(), 96u);
    s.satsInView = -3;
    EXPECT_TRUE(LayoutSignalStrip(kStrip, s, FakeMeasure).bars.empty());
    s.satsInView = 64;
    const SignalStrip strip = LayoutSignalStrip(kStrip, s, FakeMeasure);
    ASSERT_EQ(strip.bars.size(), 64u);
    EXPECT_LE(strip.bars.back().frame.right, kStrip.right - 5);
}

TEST(SignalStrip, LegendGrowsWithWhatWasSeen)
{
    DisplaySnapshot s;
    // Box: fontH / 2 right of the strip, 2 font heights below the frames.
    const LegendEntry gps{{13, 175, 27, 189}, {0, 0, 128}, "= GPS", {30, 175}};
    std::vector<LegendEntry> expected = {gps};
    EXPECT_EQ(LayoutSignalStrip(kStrip, s, FakeMeasure).legend, expected);

    s.glonassSeen = 1;  // after "= GPS" (35 wide) + 28
    expected = {gps, {{76, 175, 90, 189}, {128, 0, 0}, "= GLONASS", {93, 175}}};
    EXPECT_EQ(LayoutSignalStrip(kStrip, s, FakeMeasure).legend, expected);

    s.sbasSeen = 1;  // WAAS takes that place; GLONASS follows "= WAAS" (42 wide) + 28
    expected = {gps, {{76, 175, 90, 189}, {0, 128, 0}, "= WAAS", {93, 175}},
                {{146, 175, 160, 189}, {128, 0, 0}, "= GLONASS", {163, 175}}};
    EXPECT_EQ(LayoutSignalStrip(kStrip, s, FakeMeasure).legend, expected);
    EXPECT_EQ(expected.back().box.bottom, kStrip.bottom - 5);
}

}  // namespace
