#include <gtest/gtest.h>

#include "kit/page_look.h"

namespace {

struct LookCase {
    int look;
    PageColors colors;
};

TEST(PageColorsForLook, EveryLookId)
{
    const Rgb white{255, 255, 255};
    const Rgb navy{0, 0, 128};
    const LookCase cases[] = {
        {32775, {{}, {}, true}},
        {32776, {white, navy, false}},
        {32777, {white, navy, false}},
        {32778, {white, navy, false}},
        {32779, {white, navy, false}},
        {32780, {white, navy, false}},
        {32781, {white, {64, 64, 128}, false}},
        {32782, {{32, 32, 32}, {192, 192, 192}, false}},
        {32783, {{214, 215, 222}, {0, 0, 96}, false}},
        {32784, {{181, 182, 206}, {0, 0, 128}, false}},
        {32785, {white, navy, false}},
    };
    for (const LookCase& c : cases)
        EXPECT_EQ(PageColorsForLook(c.look), c.colors) << c.look;
}

TEST(PageColorsForLook, OutOfRangeFollowsTheOffice2007Style)
{
    for (int look : {0, 32774, 32786, -1}) {
        EXPECT_EQ(PageColorsForLook(look, kLookOffice2007Black), PageColorsForLook(kLookOffice2007Black)) << look;
        EXPECT_EQ(PageColorsForLook(look, kLookOffice2007Silver), PageColorsForLook(kLookOffice2007Silver)) << look;
    }
}

TEST(BlackStyleGradientBands, OneRowPerBandAt255Rows)
{
    const auto bands = BlackStyleGradientBands(10, 265);
    for (int i = 0; i < 255; ++i) {
        EXPECT_EQ(bands[static_cast<std::size_t>(i)].top, 10 + i);
        EXPECT_EQ(bands[static_cast<std::size_t>(i)].bottom, 11 + i);
    }
}

TEST(BlackStyleGradientBands, GreyLevelsRunFrom96To16)
{
    const auto bands = BlackStyleGradientBands(0, 600);
    struct {
        int band;
        int grey;
    } const expected[] = {{0, 96}, {1, 95}, {3, 95}, {4, 94}, {127, 56}, {128, 55}, {254, 16}};
    for (const auto& e : expected)
        EXPECT_EQ(bands[static_cast<std::size_t>(e.band)].grey, e.grey) << e.band;
    for (std::size_t i = 1; i < bands.size(); ++i)
        EXPECT_LE(bands[i].grey, bands[i - 1].grey);
}

TEST(BlackStyleGradientBands, BandsTileTheRectangleWithoutGaps)
{
    for (int height : {1, 100, 254, 255, 256, 600, 1337}) {
        const auto bands = BlackStyleGradientBands(7, 7 + height);
        EXPECT_EQ(bands.front().top, 7);
        EXPECT_EQ(bands.back().bottom, 7 + height) << height;
        for (std::size_t i = 1; i < bands.size(); ++i)
            EXPECT_EQ(bands[i].top, bands[i - 1].bottom) << height << " band " << i;
    }
}

TEST(BlackStyleGradientBands, ZeroHeightGivesOnlyEmptyBands)
{
    for (const GradientBand& band : BlackStyleGradientBands(40, 40))
        EXPECT_EQ(band.top, band.bottom);
}

TEST(ReadableTextColor, KeepsTheLooksColourOnlyWhereItReads)
{
    const Rgb black{0, 0, 0}, white{255, 255, 255}, navy{0, 0, 128};
    EXPECT_DOUBLE_EQ(ContrastRatio(black, white), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(navy, navy), 1.0);
    EXPECT_NEAR(ContrastRatio({119, 119, 119}, white), 4.48, 0.01);  // the usual example, #777 on white
    const struct {
        Rgb preferred, a, b, expected;
    } cases[] = {
        {navy, white, {175, 210, 255}, navy},
        {white, {227, 239, 255}, {175, 210, 255}, black},        // white on a light gradient
        {{192, 192, 192}, {96, 96, 96}, {16, 16, 16}, white},    // 3.5:1 at the lighter end
        {{64, 64, 128}, {227, 239, 255}, {175, 210, 255}, {64, 64, 128}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadableTextColor(c.preferred, c.a, c.b), c.expected) << int(c.preferred.r) << "," << int(c.a.r);
}

}  // namespace
