#pragma once

#include <optional>

#include "nmea/gnss_sentences.h"

// Decoders of the sentences the receiver state reads besides GSA and GSV:
// each a free function from one sentence's fields to a plain value, absent
// fields absent. What the state then keeps of them (older values for some
// empty fields, 0 for others) is the state's business.

struct GgaTime {
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const GgaTime&) const = default;
};

struct GgaFields {
    // Read from the first six characters as digits, unchecked; absent when
    // the field is shorter.
    std::optional<GgaTime> time;
    std::optional<double> timeOfDay;  // seconds, when the time is a valid hhmmss[.f]
    std::optional<double> latitude;   // degrees, south negative; absent when empty
    std::optional<double> longitude;  // degrees, west negative
    bool south = false;               // the hemisphere letters, also without a number
    bool west = false;
    std::optional<int> quality;       // the first character's digit value, as sent
    std::optional<int> satsInUse;     // the first two characters
    std::optional<double> hdop;
    std::optional<double> altitude;
    // The fix-quality digit 1 to 9 when latitude and longitude are given too;
    // 0 otherwise.
    int countedQuality = 0;

    // A latitude beyond +-90 or a longitude beyond +-180 degrees names no
    // place: such a sentence is no fix.
    bool ImpossiblePosition() const;

    bool operator==(const GgaFields&) const = default;
};

// $GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47
GgaFields DecodeGga(const SentenceFields& f);

struct VtgFields {
    std::optional<double> courseTrue;
    std::optional<double> courseMagnetic;
    std::optional<double> speedKnots;
    std::optional<double> speedKmh;
    std::optional<char> mode;  // NMEA 2.3 on, after the "K" of km/h

    bool operator==(const VtgFields&) const = default;
};

// $GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A*25
VtgFields DecodeVtg(const SentenceFields& f);

struct ConfigReply {
    std::optional<char> solution;  // field 8: 'D' both, 'I', 'P', or another letter

    bool operator==(const ConfigReply&) const = default;
};

// $PXTNCFG,N,N,,,,,,,D: field 8 tells which solutions the receiver outputs.
// Absent for an empty sentence, which says nothing.
std::optional<ConfigReply> DecodeConfigReply(const SentenceFields& f);

struct RaimFields {
    std::optional<int> hplCm;
    std::optional<int> hfomCm;

    bool operator==(const RaimFields&) const = default;
};

// $GPRAIM,<HPL cm>,<VPL cm>,<HFOM cm>,<VFOM cm>
RaimFields DecodeRaim(const SentenceFields& f);
