#include "rtcm/rtcm_framer.h"

#include <algorithm>
#include <array>

namespace {

constexpr uint32_t kCrc24qPolynomial = 0x1864CFB;

constexpr std::array<uint32_t, 256> MakeCrcTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t crc = i << 16;
        for (int bit = 0; bit < 8; ++bit) {
            crc <<= 1;
            if (crc & 0x1000000)
                crc ^= kCrc24qPolynomial;
        }
        table[i] = crc & 0xFFFFFF;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

size_t PayloadLength(std::string_view header)
{
    return (static_cast<size_t>(static_cast<uint8_t>(header[1]) & 0x03) << 8) | static_cast<uint8_t>(header[2]);
}

}  // namespace

uint32_t Crc24q(std::string_view bytes)
{
    uint32_t crc = 0;
    for (char c : bytes)
        crc = ((crc << 8) & 0xFFFFFF) ^ kCrcTable[((crc >> 16) ^ static_cast<uint8_t>(c)) & 0xFF];
    return crc;
}

std::string MakeRtcmFrame(std::string_view payload)
{
    if (payload.size() > kRtcmMaxPayload)
        payload = payload.substr(0, kRtcmMaxPayload);
    std::string frame;
    frame.reserve(payload.size() + kRtcmHeaderSize + kRtcmCrcSize);
    frame += static_cast<char>(kRtcmPreamble);
    frame += static_cast<char>(payload.size() >> 8);
    frame += static_cast<char>(payload.size() & 0xFF);
    frame += payload;
    const uint32_t crc = Crc24q(frame);
    frame += static_cast<char>(crc >> 16);
    frame += static_cast<char>((crc >> 8) & 0xFF);
    frame += static_cast<char>(crc & 0xFF);
    return frame;
}

int RtcmMessageNumber(std::string_view payload)
{
    if (payload.size() < 2)
        return 0;
    return (static_cast<uint8_t>(payload[0]) << 4) | (static_cast<uint8_t>(payload[1]) >> 4);
}

std::vector<std::string> RtcmFramer::Feed(std::string_view bytes)
{
    std::vector<std::string> out;
    while (!bytes.empty()) {
        if (m_buffer.empty()) {
            const size_t start = bytes.find(static_cast<char>(kRtcmPreamble));
            if (start == std::string_view::npos) {
                m_skipped += bytes.size();
                break;
            }
            m_skipped += start;
            m_consumed += start;
            bytes.remove_prefix(start);
        }
        // Take no more than the frame being looked at can use, so the
        // buffer stays within one frame.
        size_t want = kRtcmHeaderSize;
        if (m_buffer.size() >= kRtcmHeaderSize)
            want = kRtcmHeaderSize + PayloadLength(m_buffer) + kRtcmCrcSize;
        const size_t take = std::min(bytes.size(), want > m_buffer.size() ? want - m_buffer.size() : 0);
        m_buffer.append(bytes.substr(0, take));
        bytes.remove_prefix(take);
        Scan(out);
    }
    return out;
}

// Settles what the buffer holds: a complete good frame goes out, a false
// start drops its 0xD3 and the rest is searched again.
void RtcmFramer::Scan(std::vector<std::string>& out)
{
    while (!m_buffer.empty()) {
        if (m_buffer.size() >= 2 && (static_cast<uint8_t>(m_buffer[1]) & 0xFC) != 0) {
            Resync();
            continue;
        }
        if (m_buffer.size() < kRtcmHeaderSize)
            return;
        const size_t total = kRtcmHeaderSize + PayloadLength(m_buffer) + kRtcmCrcSize;
        if (m_buffer.size() < total)
            return;
        const std::string_view frame(m_buffer.data(), total);
        const uint32_t crc = (static_cast<uint32_t>(static_cast<uint8_t>(frame[total - 3])) << 16) |
                             (static_cast<uint32_t>(static_cast<uint8_t>(frame[total - 2])) << 8) |
                             static_cast<uint8_t>(frame[total - 1]);
        if (Crc24q(frame.substr(0, total - kRtcmCrcSize)) == crc) {
            out.emplace_back(frame);
            ++m_goodFrames;
            m_consumed += total;
            m_buffer.erase(0, total);
        } else {
            // A false start inside a frame already counted bad is part of
            // the same damage, not another bad frame.
            if (m_consumed >= m_badEnd)
                ++m_badFrames;
            m_badEnd = std::max(m_badEnd, m_consumed + total);
            Resync();
            continue;
        }
        // What followed the frame in the same buffer (none: Feed takes
        // exactly one frame's bytes) would be searched here.
        if (!m_buffer.empty() && static_cast<uint8_t>(m_buffer[0]) != kRtcmPreamble)
            Resync();
    }
}

void RtcmFramer::Resync()
{
    const size_t next = m_buffer.find(static_cast<char>(kRtcmPreamble), 1);
    const size_t dropped = next == std::string::npos ? m_buffer.size() : next;
    m_skipped += dropped;
    m_consumed += dropped;
    m_buffer.erase(0, next == std::string::npos ? m_buffer.size() : next);
}
