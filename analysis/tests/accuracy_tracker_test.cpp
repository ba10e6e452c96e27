#include <gtest/gtest.h>

#include <random>

#include "analysis/accuracy_tracker.h"

namespace {

// A receiver that drifts slowly away from its truth, with noise, a share of
// GGAs without a fix, an RTK phase and HPLs around the errors.
std::vector<AccuracyFix> Session(int count)
{
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0.0, 3.0);
    std::uniform_real_distribution<double> hpl(0.0, 45.0);
    std::vector<AccuracyFix> fixes;
    for (int i = 0; i < count; ++i) {
        const double drift = i * 0.002;
        const int quality = i % 13 == 0 ? 0 : (i > count / 2 ? 4 : 1);
        fixes.push_back({quality, 47.0707 + (drift + noise(random)) / 111200.0, 15.4395 + noise(random) / 75900.0,
                         353.0 + 1.5 * noise(random), i % 5 == 0 ? 0.0 : hpl(random)});
    }
    return fixes;
}

void ExpectClose(const ErrorFigures& page, const ErrorFigures& exact)
{
    EXPECT_EQ(page.count, exact.count);
    for (const auto figure : {&ErrorFigures::biasE, &ErrorFigures::biasN, &ErrorFigures::biasU, &ErrorFigures::sigmaE,
                              &ErrorFigures::sigmaN, &ErrorFigures::sigmaU, &ErrorFigures::drms})
        EXPECT_NEAR((page.*figure).value(), (exact.*figure).value(), 1e-6);
    // Percentiles from the bins, and without a truth about a frame within 1 %
    // of the spread of the mean.
    for (const auto figure : {&ErrorFigures::h50, &ErrorFigures::h68, &ErrorFigures::h95, &ErrorFigures::h99,
                              &ErrorFigures::v50, &ErrorFigures::v95})
        EXPECT_NEAR((page.*figure).value(), (exact.*figure).value(), 0.02 * (exact.*figure).value());
}

TEST(AccuracyTracker, FollowsTheExactFiguresWithAndWithoutTruth)
{
    const std::vector<AccuracyFix> fixes = Session(20000);
    for (const bool withTruth : {false, true}) {
        AccuracyTracker tracker;
        if (withTruth)
            tracker.SetTruth(GeodeticPosition{47.0707, 15.4395, 353.0});
        tracker.SetAlertLimit(30.0);
        for (const AccuracyFix& fix : fixes)
            tracker.Add(fix, 4.0, 0.0);
        const AccuracyReport exact = tracker.ExactReport();
        EXPECT_EQ(exact, ComputeAccuracy(fixes, tracker.Truth(), 30.0));
        ExpectClose(tracker.Figures(0), exact.all);
        ExpectClose(tracker.Figures(4), *exact.byQuality[4]);
        EXPECT_EQ(tracker.Integrity(), exact.integrity);
        EXPECT_EQ(tracker.GgaCount(), 20000);
        const std::optional<GeodeticPosition> reference = tracker.Reference();
        EXPECT_NEAR(reference->latitude, exact.reference->latitude, 1e-12);
        if (!withTruth) {
            EXPECT_LT(tracker.FrameRebuilds(), 400) << "the mean's frame moves ever more rarely";
        }
    }
}

TEST(AccuracyTracker, TimesToFirstFixAndTimelineOfFixedSize)
{
    AccuracyTracker tracker;
    tracker.Add({0, 0, 0, 0, 0}, std::nullopt, 1.0);
    tracker.Add({1, 47, 15, 300, 0}, std::nullopt, 2.5);
    tracker.Add({4, 47, 15, 300, 0}, 0.5, 7.0);
    tracker.Add({4, 47, 15, 300, 0}, 0.5, 8.0);
    EXPECT_EQ(tracker.TimeToFirstFix(), 2.5);
    EXPECT_EQ(tracker.TimeToFirstRtkFixed(), 7.0);
    tracker.Clear();
    EXPECT_EQ(tracker.Fixes(), 0);
    EXPECT_EQ(tracker.TimeToFirstFix(), 2.5);  // the connection's, not the figures'
    tracker.StartSession();
    EXPECT_FALSE(tracker.TimeToFirstFix());

    ErrorTimeline timeline;
    for (int i = 0; i < 2000; ++i)
        timeline.Add(i, i == 1234 ? std::optional<double>(99999.0) : std::nullopt);
    EXPECT_EQ(timeline.fixesPerBucket, 4);
    EXPECT_EQ(timeline.buckets.size(), 500u);
    EXPECT_EQ(timeline.buckets[308].errorMin, 1232.0f);
    EXPECT_EQ(timeline.buckets[308].estimateMax, 99999.0f);
    EXPECT_FALSE(timeline.buckets[307].hasEstimate);
}

}  // namespace
