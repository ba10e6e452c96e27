#pragma once

#include <cstddef>
#include <cstdint>

// Sentence framer.
//
// The problem: bytes arrive from a serial line or a recording in reads of any
// size, so a sentence may be split over many reads, and the stream carries
// whatever the line picked up: junk before a '$', binary protocols between
// sentences, sentences cut short by a new '$', lines without a checksum.
// The framer is a byte-at-a-time state machine that keeps its state between
// reads, hands every complete sentence with a good checksum (or ended by a
// carriage return without one) to OnSentence, and survives everything else by
// dropping it and waiting for the next '$'. Nothing it is fed can make it
// write past its buffers.
class SentenceFramer {
public:
    enum State : int {
        StateWaitStart = 0,
        StateAddress = 1,
        StateData = 2,
        StateChecksumHigh = 3,
        StateChecksumLow = 4,
    };

    static constexpr int kAddressSize = 8;   // 7 characters and the terminator
    static constexpr int kDataSize = 256;    // 255 characters and the terminator
    static constexpr int kFieldSize = 256;   // GetField's output buffer

    SentenceFramer() = default;
    virtual ~SentenceFramer() = default;
    SentenceFramer(const SentenceFramer&) = delete;
    SentenceFramer& operator=(const SentenceFramer&) = delete;

    // Feeds one byte. Returns 1 when it completed a sentence that was handed
    // to OnSentence, else 0 (also for a sentence that failed its checksum).
    int ProcessByte(uint8_t b);

    // Same as calling ProcessByte for each byte in order; returns how many
    // sentences were handed to OnSentence. Runs of sentence text are copied
    // in one step, which is what makes bulk reads fast.
    size_t ProcessBytes(const uint8_t* bytes, size_t count);

    // Copies field `index` of `data` (0 = the field right after the address)
    // into `out` (kFieldSize characters). Returns 1 when the field was found:
    // it is neither missing nor an empty field followed by a comma. An empty
    // last field, and any field of an empty text, count as found and empty.
    static int GetField(const char* data, int index, char* out);

    int FramerState() const { return m_framerState; }

    // Bytes met outside any sentence so far (junk, binary, line ends).
    uint64_t OutsideBytes() const { return m_outsideBytes; }

protected:
    // Inside OnSentence and OnChecksumError: the length of `data`, known
    // here without a strlen.
    size_t DataLength() const { return m_fieldIndex; }
    size_t AddressLength() const { return m_addressLength; }

    virtual int OnSentence(const char* address, const char* data);
    virtual void OnChecksumError(const char* address, const char* data);
    // A sentence dropped because its address or data outgrew the buffers.
    virtual void OnTooLong() {}

private:
    int Deliver();
    uint8_t CopyData(const uint8_t*& p, const uint8_t* end, uint16_t& index, uint8_t sum);

    int m_framerState = StateWaitStart;
    uint8_t m_checksum = 0;
    uint8_t m_rxChecksum = 0;
    uint16_t m_fieldIndex = 0;
    uint8_t m_addressLength = 0;
    uint64_t m_outsideBytes = 0;
    char m_address[kAddressSize] = {};
    char m_data[kDataSize] = {};
};
