#pragma once

#include <optional>
#include <string>
#include <string_view>

// Numbers as the settings dialogs show and read them. None of these depend on
// the process locale: a German desktop must not turn 48.5 into "48,5".

// Up to 15 significant digits, the shorter of fixed and exponent notation,
// no trailing zeros ("%.15g"): 47.123456789 shows as "47.123456789".
std::string FormatPositionValue(double value);

// A text that is one decimal number and nothing else (white space around it
// allowed): optional sign, digits with an optional point, optional exponent.
// Empty text, trailing garbage, words such as "inf" and numbers beyond the
// range of a double give nullopt.
std::optional<double> ParseNumberText(std::string_view text);

// What a settings dialog says when a box holds no number.
inline constexpr const char* kEnterANumber = "Enter a number.";

// The DOP threshold dialog shows the value with two decimals ("%.02f") and
// hands back the text as typed; reading it takes the number that starts the
// text, 0.0 when none does.
std::string FormatDopThreshold(double value);
double ParseDopThreshold(std::string_view text);

// Why the DOP threshold dialog refuses the text, in the words the Set
// Position dialog uses; nullopt when it reads as a finite number. Only text
// where no number starts ("abc", "", "nan") and numbers beyond a double
// ("1e999") are refused: a typo would otherwise become 0 or infinity and mark
// every sample.
std::optional<std::string> DopThresholdProblem(std::string_view text);

// The scatter plot keeps the threshold in hundredths: trunc(value * 100),
// so 2.999 gives 299. Values beyond the range of int saturate; NaN gives 0.
int DopThresholdHundredths(double value);
