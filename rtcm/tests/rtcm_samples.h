#pragma once

#include <cmath>
#include <cstdint>
#include <string>

#include "rtcm/rtcm_framer.h"

// RTCM 3 messages made bit by bit for the tests, so that what a decoder
// reads can be checked against what was put in.
class RtcmBitWriter {
public:
    RtcmBitWriter& Put(uint64_t value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i) {
            if (m_bits % 8 == 0)
                m_bytes += '\0';
            // Past 64 bits the value has only leading zeros.
            if (i < 64 && ((value >> i) & 1))
                m_bytes.back() = static_cast<char>(m_bytes.back() | (0x80 >> (m_bits % 8)));
            ++m_bits;
        }
        return *this;
    }
    RtcmBitWriter& PutSigned(int64_t value, int bits) { return Put(static_cast<uint64_t>(value) & ((uint64_t{1} << bits) - 1), bits); }
    RtcmBitWriter& PutText(const std::string& text)
    {
        Put(text.size(), 8);
        for (char c : text)
            Put(static_cast<uint8_t>(c), 8);
        return *this;
    }
    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
    size_t m_bits = 0;
};

// 1005 (or 1006 with an antenna height) at ECEF x, y, z in metres.
inline std::string StationFrame(int station, double x, double y, double z, int message = 1005, double height = 0.0)
{
    RtcmBitWriter w;
    w.Put(message, 12).Put(station, 12).Put(0, 6).Put(1, 1).Put(1, 1).Put(0, 1).Put(0, 1);
    w.PutSigned(static_cast<int64_t>(std::llround(x * 1e4)), 38).Put(0, 1).Put(0, 1);
    w.PutSigned(static_cast<int64_t>(std::llround(y * 1e4)), 38).Put(0, 2);
    w.PutSigned(static_cast<int64_t>(std::llround(z * 1e4)), 38);
    if (message == 1006)
        w.Put(static_cast<uint64_t>(std::llround(height * 1e4)), 16);
    return MakeRtcmFrame(w.Bytes());
}

// An MSM header with `satellites` satellites and two signals, and its cell
// mask; the observables after it are zeros.
inline std::string MsmFrame(int message, int station, int satellites, uint32_t epoch = 0)
{
    RtcmBitWriter w;
    w.Put(message, 12).Put(station, 12).Put(epoch, 30).Put(0, 1).Put(0, 3).Put(0, 7).Put(0, 2).Put(0, 2).Put(0, 1).Put(0, 3);
    w.Put(satellites >= 64 ? ~uint64_t{0} : (uint64_t{1} << satellites) - 1, 64);
    w.Put(0x3, 32);  // two signals, the lowest two bits
    w.Put(0, satellites * 2);
    w.Put(0, satellites * 18 + 16);
    return MakeRtcmFrame(w.Bytes());
}

inline std::string DescriptorFrame(int station, const std::string& antenna, const std::string& serial,
                                   const std::string& receiver, const std::string& firmware, const std::string& rxSerial)
{
    RtcmBitWriter w;
    w.Put(1033, 12).Put(station, 12).PutText(antenna).Put(0, 8).PutText(serial).PutText(receiver).PutText(firmware).PutText(rxSerial);
    return MakeRtcmFrame(w.Bytes());
}

// A frame whose CRC is spoilt.
inline std::string Corrupted(std::string frame)
{
    frame[frame.size() / 2] = static_cast<char>(frame[frame.size() / 2] ^ 0x10);
    return frame;
}
