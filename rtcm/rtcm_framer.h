#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// RTCM 3 frames in a byte stream. A frame is
//
//     0xD3, 6 zero bits and a 10-bit payload length, the payload, CRC-24Q
//
// (3 + 0..1023 + 3 bytes). The stream may start in the middle of a frame,
// carry other text between frames (an NTRIP caster's blank lines, NMEA on
// a shared port) or lose bytes; 0xD3 also occurs inside payloads. So a
// candidate frame is kept only when its CRC matches; on a mismatch the
// search goes on from the byte after its 0xD3, so a real frame hidden
// inside a false start is still found. Never holds more than one frame's
// bytes, whatever it is fed.
inline constexpr size_t kRtcmHeaderSize = 3;
inline constexpr size_t kRtcmCrcSize = 3;
inline constexpr size_t kRtcmMaxPayload = 1023;
inline constexpr size_t kRtcmMaxFrame = kRtcmHeaderSize + kRtcmMaxPayload + kRtcmCrcSize;
inline constexpr uint8_t kRtcmPreamble = 0xD3;

// CRC-24Q (polynomial 0x1864CFB, initial 0) over `bytes`.
uint32_t Crc24q(std::string_view bytes);

// The frame around `payload` (at most 1023 bytes): header, payload, CRC.
std::string MakeRtcmFrame(std::string_view payload);

class RtcmFramer {
public:
    // The whole frames completed by `bytes` (header, payload and CRC each).
    std::vector<std::string> Feed(std::string_view bytes);

    // Frames whose header looked right but whose CRC did not match (false
    // starts within such a frame's bytes are not counted again).
    uint64_t BadFrames() const { return m_badFrames; }
    // Bytes that belonged to no good frame.
    uint64_t SkippedBytes() const { return m_skipped; }
    uint64_t GoodFrames() const { return m_goodFrames; }
    // Bytes held for a frame not complete yet.
    size_t Pending() const { return m_buffer.size(); }

private:
    void Scan(std::vector<std::string>& out);
    void Resync();

    std::string m_buffer;  // starts with 0xD3 when not empty
    uint64_t m_badFrames = 0;
    uint64_t m_skipped = 0;
    uint64_t m_goodFrames = 0;
    uint64_t m_consumed = 0;  // stream bytes before the buffer's first
    uint64_t m_badEnd = 0;    // where the last bad frame's bytes end
};

// The message number of a frame's payload (its first 12 bits); 0 for a
// payload shorter than that.
int RtcmMessageNumber(std::string_view payload);

// The payload of a whole frame as Feed gives it.
inline std::string_view RtcmPayload(std::string_view frame)
{
    return frame.substr(kRtcmHeaderSize, frame.size() - kRtcmHeaderSize - kRtcmCrcSize);
}
