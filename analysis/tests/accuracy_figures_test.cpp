#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "analysis/accuracy_figures.h"
#include "analysis/accuracy_json.h"
#include "analysis/position_statistics.h"

namespace {

TEST(AccuracyFigures, PercentileRuleAtOneTwoAndThreeValues)
{
    struct Case {
        std::vector<double> sorted;
        double p;
        double expected;
    };
    const Case cases[] = {
        {{5}, 0, 5}, {{5}, 50, 5}, {{5}, 99, 5}, {{5}, 100, 5},
        {{1, 3}, 0, 1}, {{1, 3}, 50, 2}, {{1, 3}, 95, 2.9}, {{1, 3}, 100, 3},
        {{1, 2, 10}, 50, 2}, {{1, 2, 10}, 68, 4.88}, {{1, 2, 10}, 95, 9.2}, {{1, 2, 10}, 25, 1.5},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(*PercentileOfSorted(c.sorted, c.p), c.expected, 1e-12) << c.sorted.size() << " p" << c.p;
    EXPECT_FALSE(PercentileOfSorted({}, 50));

    // The figures select their percentiles without sorting: the same values.
    std::mt19937 random(3);
    std::exponential_distribution<double> metres(0.2);
    for (const size_t n : {1u, 2u, 3u, 4u, 101u, 1000u}) {
        std::vector<double> east(n), zero(n, 0.0);
        for (double& e : east)
            e = std::round(metres(random) * 4) / 4;  // ties too
        const ErrorFigures f = FiguresOfErrors(east, zero, east);
        std::sort(east.begin(), east.end());
        EXPECT_EQ(f.h68, PercentileOfSorted(east, 68)) << n;
        EXPECT_EQ(f.h99, PercentileOfSorted(east, 99)) << n;
        EXPECT_EQ(f.v50, PercentileOfSorted(east, 50)) << n;
    }
}

// Horizontal errors 5, 0, 10 m (3-4-5 triangles), up -1, 2, 5 m.
TEST(AccuracyFigures, FiguresOfThreeErrorsByHand)
{
    const std::vector<double> east{3, 0, 6}, north{4, 0, 8}, up{-1, 2, 5};
    ErrorFigures expected;
    expected.count = 3;
    expected.biasE = 3.0;
    expected.biasN = 4.0;
    expected.biasU = 2.0;
    expected.sigmaE = 3.0;  // deviations 0, -3, 3: 18 / 2
    expected.sigmaN = 4.0;
    expected.sigmaU = 3.0;
    expected.h50 = 5.0;
    expected.h68 = 6.8;  // rank 1.36 between 5 and 10
    expected.h95 = 9.5;
    expected.h99 = 9.9;
    expected.v50 = 2.0;
    expected.v95 = 4.7;  // rank 1.9 between 2 and 5
    expected.drms = std::sqrt(125.0 / 3.0);
    expected.twoDrms = 2.0 * std::sqrt(125.0 / 3.0);
    const ErrorFigures got = FiguresOfErrors(east, north, up);
    const std::optional<double> ErrorFigures::*figures[] = {
        &ErrorFigures::biasE, &ErrorFigures::biasN, &ErrorFigures::biasU, &ErrorFigures::sigmaE,
        &ErrorFigures::sigmaN, &ErrorFigures::sigmaU, &ErrorFigures::h50, &ErrorFigures::h68,
        &ErrorFigures::h95, &ErrorFigures::h99, &ErrorFigures::v50, &ErrorFigures::v95,
        &ErrorFigures::drms, &ErrorFigures::twoDrms};
    EXPECT_EQ(got.count, 3);
    for (const auto figure : figures)
        EXPECT_NEAR((got.*figure).value(), (expected.*figure).value(), 1e-12);

    const ErrorFigures one = FiguresOfErrors(std::vector<double>{3}, std::vector<double>{4}, std::vector<double>{1});
    EXPECT_FALSE(one.sigmaE);
    EXPECT_EQ(one.h99, 5.0);
    EXPECT_EQ(FiguresOfErrors({}, {}, {}), ErrorFigures{});
}

TEST(AccuracyFigures, StanfordRegionsAndTheirBoundaries)
{
    struct Case {
        double herr, hpl;
        StanfordRegion expected;
    };
    const Case cases[] = {
        {10, 20, StanfordRegion::Normal},
        {20, 20, StanfordRegion::Normal},  // HErr = HPL is bounded
        {39.99, 39.99, StanfordRegion::Normal},
        {20.001, 20, StanfordRegion::Misleading},
        {39.99, 20, StanfordRegion::Misleading},
        {40, 20, StanfordRegion::Hazardous},  // HErr = AL is hazardous
        {400, 39.99, StanfordRegion::Hazardous},
        {30, 40, StanfordRegion::Unavailable},  // HPL = AL is unavailable
        {40, 40, StanfordRegion::Unavailable},
        {45, 50, StanfordRegion::Unavailable},
        {40.001, 40, StanfordRegion::UnavailableMi},
        {60, 50, StanfordRegion::UnavailableMi},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyEpoch(c.herr, c.hpl, 40.0), c.expected) << c.herr << " " << c.hpl;
}

// The meridian radius of curvature at 45 deg, a(1 - e2) / (1 - e2 sin2)^1.5,
// plus the 100 m height of the points below.
TEST(AccuracyFigures, AlertLimitAsTyped)
{
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"40", 40.0}, {" 12.5 ", 12.5}, {"+3", 3.0}, {"1e2", 100.0}, {"100000", 100000.0},
        {"0", std::nullopt}, {"-5", std::nullopt}, {"", std::nullopt}, {"ten", std::nullopt},
        {"40 m", std::nullopt}, {"nan", std::nullopt}, {"inf", std::nullopt}, {"100001", std::nullopt},
        {"0.01", 0.01}, {"0.0099", std::nullopt}, {"1e-300", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ParseAlertLimit(text), expected) << text;
}

constexpr double kMicrodegreeNorthAt45 = (6367381.815619548 + 100.0) * 1e-6 * M_PI / 180.0;

// A truth at 45 N, 10 E, 100 m; errors worked by hand.
TEST(AccuracyFigures, ReportAgainstATruth)
{
    const GeodeticPosition truth{45.0, 10.0, 100.0};
    const std::vector<AccuracyFix> fixes{
        {0, 45.1, 10.1, 90.0, 5.0},          // not counted: quality 0
        {1, 45.0, 10.0, 103.0, 5.0},         // straight above: U = 3
        {4, 45.00001, 10.0, 100.0, 0.0},     // 1.11 m north, no HPL: no epoch
        {4, 45.00003, 10.0, 100.0, 2.0},     // 3.34 m north, HPL 2: misleading
    };
    const AccuracyReport r = ComputeAccuracy(fixes, truth, 40.0);
    EXPECT_EQ(r.ggaCount, 4);
    EXPECT_EQ(r.fixes, 3);
    EXPECT_TRUE(r.referenceIsTruth);
    EXPECT_EQ(r.reference, truth);
    EXPECT_EQ(r.all.count, 3);
    EXPECT_NEAR(*r.all.biasN, 40 * kMicrodegreeNorthAt45 / 3, 1e-6);
    EXPECT_NEAR(*r.all.biasU, 1.0, 1e-6);
    EXPECT_NEAR(*r.all.h50, 10 * kMicrodegreeNorthAt45, 1e-6);
    EXPECT_FALSE(r.byQuality[0] || r.byQuality[2]);
    ASSERT_TRUE(r.byQuality[1] && r.byQuality[4]);
    EXPECT_EQ(r.byQuality[4]->count, 2);
    EXPECT_NEAR(*r.byQuality[4]->sigmaN, std::sqrt(2.0) * 10 * kMicrodegreeNorthAt45, 1e-6);
    ASSERT_TRUE(r.integrity);
    EXPECT_EQ(r.integrity->epochs, 2);
    EXPECT_EQ(r.integrity->Count(StanfordRegion::Normal), 1);
    EXPECT_EQ(r.integrity->Count(StanfordRegion::Misleading), 1);
    EXPECT_EQ(r.integrity->availability, 1.0);
}

TEST(AccuracyFigures, WithoutTruthTheMeanAndNoIntegrity)
{
    const std::vector<AccuracyFix> fixes{{1, 45.0, 10.0, 100.0, 5.0}, {1, 45.00002, 10.0, 104.0, 5.0}};
    const AccuracyReport r = ComputeAccuracy(fixes, std::nullopt);
    EXPECT_FALSE(r.integrity);
    EXPECT_EQ(r.reference, (GeodeticPosition{45.00001, 10.0, 102.0}));
    EXPECT_NEAR(*r.all.h50, 10 * kMicrodegreeNorthAt45, 1e-6);
    EXPECT_NEAR(*r.all.v95, 2.0, 1e-6);
    EXPECT_NEAR(*r.all.biasU, 0.0, 1e-6);  // the earth drops 0.1 um over 1.1 m
    const std::string json = AccuracyReportToJson(r);
    // The point the errors were measured from, so that they can be worked again.
    EXPECT_NE(json.find(R"("reference":{"latitude":45.00001,"longitude":10,"altitude":102,"source":"mean"})"),
              std::string::npos) << json;
    EXPECT_NE(json.find(R"("integrity":null)"), std::string::npos) << json;
    const std::string empty = AccuracyReportToJson(ComputeAccuracy({}, std::nullopt));
    EXPECT_NE(empty.find(R"("fixes":0,"all":{"count":0,"biasE":null,)"), std::string::npos) << empty;
    EXPECT_NE(empty.find(R"("reference":{"latitude":null,"longitude":null,"altitude":null,"source":"mean"})"),
              std::string::npos) << empty;
}

// The misleading epochs are the position page's "HPL Violations" among the
// counted fixes, whatever the alert limit splits them into.
TEST(AccuracyFigures, MisleadingEpochsAreThePagesHplViolations)
{
    const GeodeticPosition truth{47.0707, 15.4395, 353.0};
    std::mt19937 random(7);
    std::normal_distribution<double> metres(0.0, 15.0);
    std::uniform_int_distribution<int> hplCm(0, 6000);
    std::vector<AccuracyFix> fixes;
    PositionStatistics page;
    page.SetUserPosition(truth.latitude, truth.longitude, truth.altitude);
    for (int i = 0; i < 5000; ++i) {
        const AccuracyFix fix{i % 7 == 0 ? 0 : 1 + i % 5, truth.latitude + metres(random) / 111000.0,
                              truth.longitude + metres(random) / 76000.0, truth.altitude, hplCm(random) / 100.0};
        fixes.push_back(fix);
        if (IsCountedQuality(fix.quality))
            page.OnPositionUpdate(static_cast<int>(std::lround(fix.hpl * 100)), 0, fix.latitude, fix.longitude,
                                  fix.altitude);
    }
    for (const double alertLimit : {10.0, 40.0}) {
        const IntegrityCounts c = *ComputeAccuracy(fixes, truth, alertLimit).integrity;
        EXPECT_GT(c.Count(StanfordRegion::Misleading), 0);
        EXPECT_GT(c.Count(StanfordRegion::Hazardous), 0);
        EXPECT_GT(c.Count(StanfordRegion::UnavailableMi), 0);
        EXPECT_EQ(c.Count(StanfordRegion::Misleading) + c.Count(StanfordRegion::Hazardous)
                      + c.Count(StanfordRegion::UnavailableMi),
                  page.HplViolations());
    }
}

}  // namespace
