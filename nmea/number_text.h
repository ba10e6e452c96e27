#pragma once

#include <string_view>

namespace stelmap {

// The receiver's numbers are plain decimal text. These read them the way the
// C library's atof/atoi read text in the "C" locale, with two deliberate
// differences: they never depend on the process locale (Qt sets it from the
// environment, and a German locale would read "48.5" as 48), and they accept
// neither hexadecimal nor the words "inf"/"nan", which no NMEA field carries.
//
// Both skip leading white space, take an optional sign, read as far as the
// text continues the number and give 0 when no number starts the text.
double ParseDecimal(std::string_view text);

// Whether a number starts the text as ParseDecimal reads it, so that a caller
// can tell a typed 0 from text that holds no number.
bool StartsWithDecimal(std::string_view text);

namespace detail {
int ParseIntegerSlow(std::string_view text);
}

// Fractional parts are dropped ("12.7" reads 12); values beyond the range of
// int saturate. Most fields are a few plain digits, read here without the
// general path.
inline int ParseInteger(std::string_view text)
{
    // One to three digits, as nearly every field of a GSV or GSA is.
    if (const size_t n = text.size(); n - 1 < 3) {
        const unsigned d0 = static_cast<unsigned char>(text[0]) - unsigned{'0'};
        if (d0 <= 9) {
            if (n == 1)
                return static_cast<int>(d0);
            const unsigned d1 = static_cast<unsigned char>(text[1]) - unsigned{'0'};
            if (d1 > 9)
                return static_cast<int>(d0);
            if (n == 2)
                return static_cast<int>(d0 * 10 + d1);
            const unsigned d2 = static_cast<unsigned char>(text[2]) - unsigned{'0'};
            return static_cast<int>(d2 > 9 ? d0 * 10 + d1 : d0 * 100 + d1 * 10 + d2);
        }
    }
    if (text.empty() || text.size() > 9 || text[0] < '0' || text[0] > '9')
        return detail::ParseIntegerSlow(text);
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace stelmap
