#pragma once

#include <string>
#include <string_view>

// "$" body "*" two-digit XOR checksum, then CR LF.
std::string NmeaSentence(std::string_view body);

// "ddmm.mmmmmm,N" and "dddmm.mmmmmm,E": the two fields of a position.
std::string NmeaLatitude(double degrees);
std::string NmeaLongitude(double degrees);

// What a reader of those fields gets back: degrees plus the printed
// minutes over 60, with the hemisphere's sign.
double NmeaFieldDegrees(std::string_view fields, int degreeDigits);

// "hhmmss.ss" of a time of day in seconds.
std::string NmeaTime(double secondsOfDay);
