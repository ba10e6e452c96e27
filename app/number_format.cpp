#include "app/number_format.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "nmea/number_text.h"

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string ToChars(double value, std::chars_format format, int precision)
{
    // Fixed notation of the largest double needs some 310 digits before the point.
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    if (result.ec != std::errc())
        return {};
    return std::string(buffer, result.ptr);
}

// Length of the decimal number at the start of text (no sign), 0 if none.
std::size_t NumberLength(std::string_view text)
{
    std::size_t i = 0;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

}  // namespace

std::string FormatPositionValue(double value)
{
    return ToChars(value, std::chars_format::general, 15);
}

std::optional<double> ParseNumberText(std::string_view text)
{
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::size_t length = NumberLength(text);
    if (length == 0 || length != text.size())
        return std::nullopt;
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value,
                                        std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::string FormatDopThreshold(double value)
{
    return ToChars(value, std::chars_format::fixed, 2);
}

double ParseDopThreshold(std::string_view text) { return stelmap::ParseDecimal(text); }

std::optional<std::string> DopThresholdProblem(std::string_view text)
{
    if (!stelmap::StartsWithDecimal(text))
        return kEnterANumber;
    if (!std::isfinite(ParseDopThreshold(text)))
        return "Dilution of Precision Threshold must be a finite number.";
    return std::nullopt;
}

int DopThresholdHundredths(double value)
{
    const double hundredths = std::trunc(value * 100.0);
    if (std::isnan(hundredths))
        return 0;
    if (hundredths >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (hundredths <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(hundredths);
}
