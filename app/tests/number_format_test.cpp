#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "app/number_format.h"

namespace {

TEST(FormatPositionValue, FifteenSignificantDigitsShortestForm)
{
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {47.123456789, "47.123456789"},
        {-122.5, "-122.5"},
        {0.0, "0"},
        {1234.5, "1234.5"},
        {0.1 + 0.2, "0.3"},                      // 15 digits hide the binary noise
        {1e-7, "1e-07"},
        {123456789012345678.0, "1.23456789012346e+17"},
        {100000000000000.0, "100000000000000"},  // 15 digits still fit in fixed form
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatPositionValue(c.value), c.text) << c.value;
}

TEST(FormatPositionValue, NineDecimalsComeBackUnchanged)
{
    for (double value : {47.123456789, -122.987654321, 0.000000001, 89.999999999, -0.123456789, 8848.861})
        EXPECT_EQ(ParseNumberText(FormatPositionValue(value)), value) << FormatPositionValue(value);
}

TEST(ParseNumberText, AcceptsOneNumber)
{
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"12.5", 12.5}, {"  12.5\t", 12.5}, {"+3", 3.0}, {"-0.5", -0.5}, {".5", 0.5},
        {"5.", 5.0},    {"1e3", 1000.0},   {"1E-2", 0.01}, {"-4.25e+1", -42.5},
    };
    for (const Case& c : cases) {
        const auto value = ParseNumberText(c.text);
        ASSERT_TRUE(value.has_value()) << '"' << c.text << '"';
        EXPECT_EQ(*value, c.value) << '"' << c.text << '"';
    }
}

TEST(ParseNumberText, RefusesAnythingElse)
{
    for (const char* text : {"", "   ", "abc", "12abc", "1,5", "1 2", "inf", "-nan", "0x10", "1e", "1e+",
                             ".", "+", "--1", "1e999", "-1e999"})
        EXPECT_FALSE(ParseNumberText(text).has_value()) << '"' << text << '"';
}

TEST(DopThresholdText, FormatAndRead)
{
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {{3.0, "3.00"}, {2.994, "2.99"}, {2.999, "3.00"}, {-1.5, "-1.50"}, {0.0, "0.00"}};
    for (const Case& c : cases)
        EXPECT_EQ(FormatDopThreshold(c.value), c.text) << c.value;

    EXPECT_EQ(ParseDopThreshold("2.999"), 2.999);
    EXPECT_EQ(ParseDopThreshold("  4.5x"), 4.5);
    EXPECT_EQ(ParseDopThreshold("abc"), 0.0);      // not a number: stored and used as 0.0
    EXPECT_EQ(ParseDopThreshold("-2"), -2.0);      // no range limit
}

TEST(DopThresholdHundredths, TruncatesAndSaturates)
{
    struct Case {
        double value;
        int hundredths;
    };
    const Case cases[] = {
        {2.999, 299},
        {3.0, 300},
        {-1.5, -150},
        {-2.999, -299},
        {1e300, INT_MAX},
        {-1e300, INT_MIN},
        {std::numeric_limits<double>::infinity(), INT_MAX},
        {std::nan(""), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DopThresholdHundredths(c.value), c.hundredths) << c.value;
}

}  // namespace
