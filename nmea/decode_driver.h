#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "nmea/phrase_table.h"
#include "nmea/sentence_framer.h"

class ReceiverState;

// What decoding met, counted as it goes.
struct SentenceCounts {
    uint64_t bytes = 0;
    uint64_t sentences = 0;       // framed with a good checksum (or none)
    uint64_t checksumErrors = 0;
    uint64_t tooLong = 0;         // dropped: an address or data past the framer's buffers
    uint64_t invalid = 0;         // framed, but refused by its decoder (a GGA naming no place)
    uint64_t fixes = 0;           // GGAs taken
    uint64_t outsideBytes = 0;    // bytes between sentences, line ends included

    bool operator==(const SentenceCounts&) const = default;
};

// Told what the driver meets, in stream order, on the feeding thread.
class DecodeObserver {
public:
    virtual ~DecodeObserver() = default;
    // Every framed sentence, after the receiver state has taken it.
    virtual void OnSentence(std::string_view /*address*/, std::string_view /*data*/, AddressKind /*kind*/) {}
    // After each GGA the state took: the state holds the fix.
    virtual void OnFix() {}
    virtual void OnChecksumError(std::string_view /*address*/, std::string_view /*data*/) {}
    virtual void OnTooLong() {}
    virtual void OnInvalid(std::string_view /*address*/, std::string_view /*data*/) {}
};

// The one read loop: bytes go through the framer, each sentence is decoded
// once into the receiver state (and its GNSS model), and the observer hears
// of sentences, fixes and what was dropped. The link's reader, analysis,
// seek and every command of stelmap-cli feed one of these.
class DecodeDriver final : private SentenceFramer {
public:
    explicit DecodeDriver(ReceiverState& state, DecodeObserver* observer = nullptr)
        : m_state(state)
        , m_observer(observer)
    {
    }

    void SetObserver(DecodeObserver* observer) { m_observer = observer; }

    // Returns how many sentences were framed.
    size_t Feed(const uint8_t* bytes, size_t count)
    {
        m_counts.bytes += count;
        return ProcessBytes(bytes, count);
    }
    size_t Feed(std::string_view bytes) { return Feed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()); }
    // One byte; 1 when it completed a sentence.
    int FeedByte(uint8_t b)
    {
        ++m_counts.bytes;
        return ProcessByte(b);
    }

    const SentenceCounts& Counts() const;
    int FramerState() const { return SentenceFramer::FramerState(); }

private:
    int OnSentence(const char* address, const char* data) override;
    void OnChecksumError(const char* address, const char* data) override;
    void OnTooLong() override;
    std::string_view Address(const char* address) const;

    ReceiverState& m_state;
    DecodeObserver* m_observer = nullptr;
    mutable SentenceCounts m_counts;
};
