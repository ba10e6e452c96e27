#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

#include "tools/cli/json_writer.h"

namespace {

TEST(JsonWriter, ShortestDoublesReadBackExactly)
{
    std::mt19937_64 rng(7);
    for (int i = 0; i < 10000; ++i) {
        double value;
        const uint64_t bits = rng();
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value))
            continue;
        const std::string text = FormatShortestDouble(value);
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), value) << text;
    }
    EXPECT_EQ(FormatShortestDouble(0.1), "0.1");
    EXPECT_EQ(FormatShortestDouble(545.4), "545.4");
    EXPECT_EQ(FormatShortestDouble(48.1173), "48.1173");
}

TEST(JsonWriter, NonFiniteAsStringsAndEscapes)
{
    JsonWriter json;
    json.BeginObject()
        .Key("a").Double(std::numeric_limits<double>::infinity())
        .Key("b").Double(-std::numeric_limits<double>::infinity())
        .Key("c").Double(std::nan(""))
        .Key("d").String("q\"\\\n\x01")
        .Key("e").BeginArray().Int(1).Null().EndArray()
        .Key("f").BeginArray().EndArray()
        .EndObject();
    EXPECT_EQ(json.Text(), R"({"a":"inf","b":"-inf","c":"nan","d":"q\"\\\n\u0001","e":[1,null],"f":[]})");
}

}  // namespace
