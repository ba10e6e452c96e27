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

// Fractional parts are dropped ("12.7" reads 12); values beyond the range of
// int saturate.
int ParseInteger(std::string_view text);

}  // namespace stelmap
