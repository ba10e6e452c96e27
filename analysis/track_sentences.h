#pragma once

#include <optional>
#include <string_view>

// The few fields of RMC, ZDA and GST that a track export needs and the
// receiver state does not keep: the date, and the position's standard
// deviations. Kept apart from the receiver state on purpose, so that a
// fuller model of these sentences can take their place in one step.
// `data` is the sentence's text after the address, as the framer hands it.

struct TrackDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const TrackDate&) const = default;
};

struct DatedTime {
    double timeOfDay = -1.0;  // seconds since midnight UTC; -1 when absent
    TrackDate date;
};

struct GstSigmas {
    double timeOfDay = -1.0;
    double latitude = 0.0;  // metres, 1 sigma
    double longitude = 0.0;
    double altitude = 0.0;
};

// $GPRMC,123519.00,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A
std::optional<DatedTime> DecodeRmcDate(std::string_view data);

// $GPZDA,201530.00,04,07,2002,00,00*60
std::optional<DatedTime> DecodeZdaDate(std::string_view data);

// $GPGST,172814.0,0.006,0.023,0.020,273.6,0.023,0.020,0.031*6A
std::optional<GstSigmas> DecodeGstSigmas(std::string_view data);

// Field `index` of `data` (0 = the first after the address), without the
// checksum; empty when missing.
std::string_view TrackField(std::string_view data, int index);
