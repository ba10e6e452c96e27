#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// How well the link carries NMEA, counted where the bytes are framed (the
// reader thread) and read by the window once a second. The counts only
// grow; rates come from two readings (HealthRates), so counting stays a few
// additions per sentence.
struct LinkHealthTotals {
    using TimePoint = std::chrono::steady_clock::time_point;
    static constexpr size_t kAddresses = 24;  // kept by address; more are counted as "other"

    struct AddressCount {
        std::array<char, 8> address{};  // the framer's address, NUL-ended
        uint64_t count = 0;
        uint64_t key = 0;               // the address's bytes, for a quick compare
        bool operator==(const AddressCount&) const = default;
    };

    uint64_t bytes = 0;
    uint64_t sentences = 0;        // with a good checksum (or none)
    uint64_t checksumErrors = 0;
    uint64_t tooLong = 0;          // dropped: longer than any sentence may be
    uint64_t invalid = 0;          // framed but refused: a GGA that names no place
    uint64_t framedBytes = 0;      // bytes that made up sentences, good or bad
    uint64_t fixes = 0;
    std::vector<AddressCount> addresses;  // in order of first sight
    uint64_t otherAddresses = 0;
    TimePoint start{};
    TimePoint lastByte{};
    TimePoint lastValid{};         // the last sentence with a good checksum
    TimePoint lastFix{};
    std::chrono::nanoseconds longestFixGap{0};
    uint64_t datagramsDropped = 0;  // by the kernel, on a UDP source

    bool operator==(const LinkHealthTotals&) const = default;

    // Bytes that were no part of any sentence: junk, binary protocols, or
    // the garbage a wrong baud rate makes of the line.
    uint64_t BytesOutsideSentences() const { return bytes > framedBytes ? bytes - framedBytes : 0; }
};

// The counting side, fed by the reader thread. Not thread-safe: the link
// counts and reads it under the parser's lock.
class LinkHealth {
public:
    using TimePoint = LinkHealthTotals::TimePoint;

    // A new source: everything starts again from `now`.
    void Restart(TimePoint now);
    // One read of `count` bytes at `now`; the sentences framed from them follow.
    void OnBytes(size_t count, TimePoint now);
    // `address` as the framer holds it (at most 7 characters and a NUL).
    void OnSentence(const char* address, size_t dataLength);
    void OnChecksumError(const char* address, size_t dataLength);
    void OnTooLong() { ++m_totals.tooLong; }
    void OnInvalid() { ++m_totals.invalid; }
    void OnFix();

    const LinkHealthTotals& Totals() const { return m_totals; }

private:
    LinkHealthTotals m_totals;
    TimePoint m_now{};
    // Open addressing over the address bytes: one multiply and a compare a
    // sentence. Slot values are indexes into the totals' addresses, plus one.
    static constexpr size_t kSlots = 64;
    std::array<uint64_t, kSlots> m_slotKeys{};
    std::array<uint8_t, kSlots> m_slotIndex{};
};

// What the window shows, from two readings of the totals.
struct HealthRates {
    double bytesPerSecond = 0;
    double lineLoad = -1;            // share of the line's capacity; -1 without a baud rate
    double sentencesPerSecond = 0;
    double checksumErrorsPerSecond = 0;
    double fixRateHz = 0;
    std::vector<std::pair<std::string, double>> topAddresses;  // sentences per second, busiest first
    uint64_t checksumErrors = 0;
    uint64_t bytesOutsideSentences = 0;
    double secondsSinceValid = -1;   // -1: no valid sentence yet
    double longestFixGapSeconds = 0;
};

// Rates between a reading taken at `beforeAt` and one taken at `at`.
// `baudRate` 0 for a network source (no line to load). 10 bits a byte: 8N1.
HealthRates ComputeHealthRates(const LinkHealthTotals& before, LinkHealthTotals::TimePoint beforeAt,
                               const LinkHealthTotals& now, LinkHealthTotals::TimePoint at, int baudRate,
                               size_t top = 5);

// "Bytes arrive but no NMEA at 9600 baud — wrong baud rate?" when bytes came
// in the last 3 s and no valid sentence for 3 s or more; empty otherwise.
// `baudRate` 0 (network) names no rate.
std::string NoNmeaWarning(const LinkHealthTotals& totals, LinkHealthTotals::TimePoint at, int baudRate);

// The essentials for the status bar: "4.1 kB/s (43%) · 10.0 Hz · 2 bad checksums"
// (the fix rate in Hz).
std::string HealthPaneText(const HealthRates& rates);

// The rest, one figure a line, for the Link dialog.
std::string HealthReportText(const HealthRates& rates, const LinkHealthTotals& totals);
