#include <gtest/gtest.h>

#include "link/query_retry.h"

using namespace std::chrono_literals;

namespace {

// Receive activity every 100 ms for 15 s: the answers the window gets.
TEST(QueryRetry, AtMostOnceASecondAndTenTimesAConnectionUntilAGga)
{
    const struct {
        const char* name;
        int ggaAfterMs;  // -1: never
        int asked;
    } cases[] = {
        {"RMC only", -1, QueryRetry::kMaxRetries},
        {"a GGA at 3.05 s, of any quality", 3050, 4},
        {"a GGA before the first read", 0, 0},
    };
    for (const auto& c : cases) {
        QueryRetry retry;
        const QueryRetry::TimePoint start{};
        std::vector<int> at;
        for (int ms = 0; ms < 15000; ms += 100) {
            if (c.ggaAfterMs >= 0 && ms >= c.ggaAfterMs)
                retry.GgaSeen();
            if (retry.ShouldAsk(start + std::chrono::milliseconds(ms)))
                at.push_back(ms);
        }
        EXPECT_EQ(static_cast<int>(at.size()), c.asked) << c.name;
        for (size_t i = 1; i < at.size(); ++i)
            EXPECT_GE(at[i] - at[i - 1], 1000) << c.name;
    }
}

TEST(QueryRetry, ANewConnectionAsksAgain)
{
    QueryRetry retry;
    const QueryRetry::TimePoint start{};
    retry.GgaSeen();
    EXPECT_FALSE(retry.ShouldAsk(start));
    retry.Restart();
    EXPECT_TRUE(retry.ShouldAsk(start + 10ms));
}

}  // namespace
