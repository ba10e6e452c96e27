#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "nmea/number_text.h"

using stelmap::ParseDecimal;
using stelmap::ParseInteger;

namespace {

TEST(ParseDecimal, ReadsLikeAtofInTheCLocale)
{
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"545.4", 545.4},
        {"  -12.5xyz", -12.5},
        {"+3", 3.0},
        {".5", 0.5},
        {"5.", 5.0},
        {"1e3", 1000.0},
        {"1E-2", 0.01},
        {"2e", 2.0},          // an exponent without digits is not part of the number
        {"2e+", 2.0},
        {"", 0.0},
        {"abc", 0.0},
        {".", 0.0},
        {"-", 0.0},
        {"0x1A", 0.0},        // no hexadecimal: reads the 0 and stops
        {"inf", 0.0},         // no words
        {"nan", 0.0},
        {"-infinity", 0.0},
        {"07.038", 7.038},
        {"1,5", 1.0},         // the comma is not a decimal point in any locale
        {"\t\n 42", 42.0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseDecimal(c.text), c.value) << '"' << c.text << '"';
}

TEST(ParseDecimal, OutOfRangeBehavesLikeStrtod)
{
    EXPECT_EQ(ParseDecimal("1e999"), HUGE_VAL);
    EXPECT_EQ(ParseDecimal("-1e999"), -HUGE_VAL);
    EXPECT_EQ(ParseDecimal("1e-999"), 0.0);
    EXPECT_EQ(ParseDecimal("0.0000001e-400"), 0.0);
    EXPECT_EQ(ParseDecimal("123456789e400"), HUGE_VAL);
    EXPECT_TRUE(std::signbit(ParseDecimal("-1e-999")));
}

TEST(ParseDecimal, IgnoresTheProcessLocale)
{
    // A locale with a decimal comma, if the machine has one.
    const char* candidates[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "C.UTF-8"};
    for (const char* name : candidates)
        if (std::setlocale(LC_NUMERIC, name) != nullptr)
            break;
    EXPECT_EQ(ParseDecimal("48.5"), 48.5);
    std::setlocale(LC_NUMERIC, "C");
}

TEST(ParseInteger, ReadsLikeAtoi)
{
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"08", 8},         {"12.7", 12},  {" -5", -5},   {"+7x", 7},          {"", 0},
        {"x1", 0},         {"-", 0},      {"0x10", 0},   {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},        {"2147483647", INT_MAX},            {"-2147483648", INT_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseInteger(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace

namespace {

// The plain-decimal shortcut must agree with the general conversion bit for
// bit, including where the digits run out of the shortcut's range.
TEST(ParseDecimal, ShortcutAgreesWithGeneralConversion)
{
    std::mt19937_64 rng(99);
    for (int i = 0; i < 200000; ++i) {
        const int digits = 1 + static_cast<int>(rng() % 18);
        std::string text = rng() % 4 == 0 ? "-" : "";
        const int point = static_cast<int>(rng() % (digits + 1));
        for (int d = 0; d < digits; ++d) {
            if (d == point && d > 0)
                text += '.';
            text += static_cast<char>('0' + rng() % 10);
        }
        const double expected = std::strtod(text.c_str(), nullptr);  // "C" locale in tests
        const double actual = ParseDecimal(text);
        ASSERT_EQ(std::memcmp(&expected, &actual, sizeof actual), 0) << text;
    }
}

}  // namespace
