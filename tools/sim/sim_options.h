#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Which solutions the receiver outputs, as its configuration reply says.
enum class SolutionOutput : char {
    Integrity = 'I',  // GP talker, with RAIM
    Precision = 'P',  // GN talker
    Dual = 'D',       // both
};

// Bits of the PXTNNOM sentence mask.
enum SentenceBit : uint32_t {
    kRmcBit = 1u << 0,
    kGgaBit = 1u << 1,
    kGsaBit = 1u << 2,
    kGsvBit = 1u << 3,
    kGllBit = 1u << 4,
    kVtgBit = 1u << 5,
    kZdaBit = 1u << 6,
    kRaimBit = 1u << 7,
};
inline constexpr uint32_t kDefaultSentenceMask = kGgaBit | kGsaBit | kGsvBit | kVtgBit | kRaimBit;

struct SimOptions {
    bool toStdout = false;
    bool fast = false;  // no pacing: every fix at once (standard output only)
    int rate = 1;       // fixes per second, 1 to 20
    double speed = 1.0;  // receiver seconds per wall-clock second (soak runs)
    uint64_t seed = 1;
    double noise = 2.0;  // metres, standard deviation per horizontal axis
    double latitude = 47.0707;
    double longitude = 15.4395;
    double altitude = 353.0;
    double duration = 0.0;  // seconds; 0: until stopped
    long fixes = 0;         // 0: until stopped
    SolutionOutput mode = SolutionOutput::Integrity;
    double faults = 0.0;  // share of sentences spoiled, 0 to 1
    uint32_t mask = kDefaultSentenceMask;
    std::string truthPath;
    bool gnss = false;  // every constellation on two signals, NMEA 4.11
    // Added to every reported position after the noise, metres.
    double offsetEast = 0.0, offsetNorth = 0.0, offsetUp = 0.0;
    double latency = 0.0;  // seconds each epoch's sentences go out late
    // Epochs on the system clock's whole periods, with its UTC time and date.
    bool wallClock = false;
    // The true position runs round a circle about lat/lon: metres, m/s.
    double circleRadius = 0.0, circleSpeed = 0.0;
    // Days since 1970 and UTC second of day of the first fix; unset: 2024-06-01 12:00:00.
    std::optional<long> startDay;
    double startSecondOfDay = 0.0;

    // Fixes to send before stopping; 0 for no end.
    long Epochs() const;
};

enum class ParseOutcome { Run, Help, Error };

ParseOutcome ParseSimOptions(int argc, char** argv, SimOptions& options, std::string& error);

extern const char* const kSimHelp;
