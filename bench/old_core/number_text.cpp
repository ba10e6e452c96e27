#include "bench/old_core/number_text.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>

namespace old_core {

namespace stelmap {
namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips white space and a sign; returns true for a minus.
bool SkipSpaceAndSign(std::string_view& text)
{
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    text.remove_prefix(i);
    return negative;
}

// from_chars reports overflow and underflow alike as out of range; strtod
// gives HUGE_VAL for the one and zero for the other. Decide which from the
// decimal magnitude of the text: position of the first significant digit
// relative to the point, plus the exponent.
double OutOfRangeValue(std::string_view number)
{
    size_t i = 0;
    long long integerDigits = 0;   // significant digits before the point
    long long leadingZeros = 0;    // zeros between the point and the first significant digit
    bool significant = false;
    for (; i < number.size() && IsDigit(number[i]); ++i) {
        significant = significant || number[i] != '0';
        if (significant)
            ++integerDigits;
    }
    if (i < number.size() && number[i] == '.') {
        for (++i; i < number.size() && IsDigit(number[i]); ++i) {
            if (!significant && number[i] == '0')
                ++leadingZeros;
            else
                significant = true;
        }
    }
    if (!significant)
        return 0.0;
    long long exponent = 0;
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < number.size() && (number[i] == '+' || number[i] == '-'))
            negative = number[i++] == '-';
        for (; i < number.size() && IsDigit(number[i]); ++i)
            if (exponent < 1000000)
                exponent = exponent * 10 + (number[i] - '0');
        if (negative)
            exponent = -exponent;
    }
    const long long magnitude = (integerDigits > 0 ? integerDigits : -leadingZeros) + exponent;
    return magnitude > 0 ? HUGE_VAL : 0.0;
}

// Plain "ddd.ddd" with at most 15 digits is most of what receivers send.
// Its digits form an integer below 2^53 and 10^k is exact for k <= 22, so one
// division, correctly rounded by IEEE 754, gives exactly what the general
// conversion gives.
bool ParsePlainDecimal(std::string_view text, double& value)
{
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        ++i;
    if (i >= text.size() || !IsDigit(text[i]))
        return false;
    uint64_t mantissa = 0;
    int digits = 0;
    int decimals = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digits)
        mantissa = mantissa * 10 + static_cast<uint64_t>(text[i] - '0');
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits, ++decimals)
            mantissa = mantissa * 10 + static_cast<uint64_t>(text[i] - '0');
    }
    if (digits > 15 || (i < text.size() && (text[i] == 'e' || text[i] == 'E')))
        return false;
    value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
    if (negative)
        value = -value;
    return true;
}

}  // namespace

bool StartsWithDecimal(std::string_view text)
{
    SkipSpaceAndSign(text);
    return !text.empty() && (IsDigit(text[0]) || (text[0] == '.' && text.size() > 1 && IsDigit(text[1])));
}

double ParseDecimal(std::string_view text)
{
    if (double value; ParsePlainDecimal(text, value))
        return value;
    if (!StartsWithDecimal(text))
        return 0.0;
    const bool negative = SkipSpaceAndSign(text);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value,
                                              std::chars_format::general);
    if (error == std::errc::result_out_of_range)
        value = OutOfRangeValue(text.substr(0, static_cast<size_t>(end - text.data())));
    else if (error != std::errc())
        value = 0.0;
    return negative ? -value : value;
}

int detail::ParseIntegerSlow(std::string_view text)
{
    const bool negative = SkipSpaceAndSign(text);
    long long value = 0;
    for (char c : text) {
        if (!IsDigit(c))
            break;
        if (value <= static_cast<long long>(INT_MAX) + 1)
            value = value * 10 + (c - '0');
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace stelmap

}  // namespace old_core
