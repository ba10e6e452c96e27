#include "rtcm/rtcm_messages.h"

#include <bit>

#include "rtcm/rtcm_framer.h"

uint64_t RtcmBits::Unsigned(int bits)
{
    uint64_t value = 0;
    for (int i = 0; i < bits; ++i, ++m_position) {
        const size_t byte = m_position / 8;
        const int bit = byte < m_bytes.size() ? (static_cast<uint8_t>(m_bytes[byte]) >> (7 - m_position % 8)) & 1 : 0;
        value = (value << 1) | static_cast<uint64_t>(bit);
    }
    return value;
}

int64_t RtcmBits::Signed(int bits)
{
    const uint64_t value = Unsigned(bits);
    const uint64_t sign = uint64_t{1} << (bits - 1);
    return static_cast<int64_t>(value ^ sign) - static_cast<int64_t>(sign);
}

// 1005: D3 00 13 3E D0 00 03 ...; 19 bytes of payload, 21 for 1006.
std::optional<StationPosition> DecodeStationPosition(std::string_view payload)
{
    const int message = RtcmMessageNumber(payload);
    if (message != 1005 && message != 1006)
        return std::nullopt;
    RtcmBits bits(payload);
    if (!bits.Has(message == 1005 ? 152 : 168))
        return std::nullopt;
    StationPosition p;
    p.message = static_cast<int>(bits.Unsigned(12));
    p.stationId = static_cast<int>(bits.Unsigned(12));
    p.itrfYear = static_cast<int>(bits.Unsigned(6));
    p.gps = bits.Unsigned(1) != 0;
    p.glonass = bits.Unsigned(1) != 0;
    p.galileo = bits.Unsigned(1) != 0;
    bits.Skip(1);  // reference station indicator
    p.x = static_cast<double>(bits.Signed(38)) / 1e4;  // not * 1e-4, which is off in the last digit
    bits.Skip(2);  // single receiver oscillator, reserved
    p.y = static_cast<double>(bits.Signed(38)) / 1e4;
    bits.Skip(2);  // quarter cycle indicator
    p.z = static_cast<double>(bits.Signed(38)) / 1e4;
    if (message == 1006)
        p.antennaHeight = static_cast<double>(bits.Unsigned(16)) / 1e4;
    return p;
}

namespace {

// A counted string: 8 bits of length, then that many characters. False
// when the payload ends first.
bool CountedText(RtcmBits& bits, std::string& out)
{
    if (!bits.Has(8))
        return false;
    const size_t count = static_cast<size_t>(bits.Unsigned(8));
    if (!bits.Has(count * 8))
        return false;
    out.clear();
    for (size_t i = 0; i < count; ++i)
        out += static_cast<char>(bits.Unsigned(8));
    return true;
}

}  // namespace

std::optional<StationDescriptor> DecodeStationDescriptor(std::string_view payload)
{
    const int message = RtcmMessageNumber(payload);
    if (message != 1007 && message != 1008 && message != 1033)
        return std::nullopt;
    RtcmBits bits(payload);
    if (!bits.Has(24))
        return std::nullopt;
    StationDescriptor d;
    d.message = static_cast<int>(bits.Unsigned(12));
    d.stationId = static_cast<int>(bits.Unsigned(12));
    if (!CountedText(bits, d.antenna) || !bits.Has(8))
        return std::nullopt;
    d.antennaSetupId = static_cast<int>(bits.Unsigned(8));
    if (message == 1007)
        return d;
    if (!CountedText(bits, d.antennaSerial))
        return std::nullopt;
    if (message == 1008)
        return d;
    if (!CountedText(bits, d.receiver) || !CountedText(bits, d.firmware) || !CountedText(bits, d.receiverSerial))
        return std::nullopt;
    return d;
}

const char* MsmSystemName(MsmSystem system)
{
    switch (system) {
    case MsmSystem::Gps: return "GPS";
    case MsmSystem::Glonass: return "GLONASS";
    case MsmSystem::Galileo: return "Galileo";
    case MsmSystem::Sbas: return "SBAS";
    case MsmSystem::Qzss: return "QZSS";
    case MsmSystem::BeiDou: return "BeiDou";
    }
    return "";
}

bool IsMsmMessage(int message)
{
    return message >= 1071 && message <= 1127 && message % 10 >= 1 && message % 10 <= 7;
}

// The header is 169 bits before the cell mask: number 12, station 12,
// epoch 30, multiple message 1, IODS 3, reserved 7, clock steering 2,
// external clock 2, smoothing 1, smoothing interval 3, satellite mask 64,
// signal mask 32.
std::optional<MsmHeader> DecodeMsmHeader(std::string_view payload)
{
    const int message = RtcmMessageNumber(payload);
    if (!IsMsmMessage(message))
        return std::nullopt;
    RtcmBits bits(payload);
    if (!bits.Has(169))
        return std::nullopt;
    MsmHeader h;
    h.message = static_cast<int>(bits.Unsigned(12));
    h.system = static_cast<MsmSystem>((message - 1071) / 10);
    h.kind = message % 10;
    h.stationId = static_cast<int>(bits.Unsigned(12));
    h.epoch = static_cast<uint32_t>(bits.Unsigned(30));
    h.moreFollow = bits.Unsigned(1) != 0;
    bits.Skip(3 + 7 + 2 + 2 + 1 + 3);
    h.satellites = std::popcount(bits.Unsigned(64));
    h.signalCount = std::popcount(bits.Unsigned(32));
    if (!bits.Has(static_cast<size_t>(h.satellites * h.signalCount)))
        return std::nullopt;  // the cell mask does not fit: not a real MSM
    return h;
}

std::optional<int> RtcmStationId(std::string_view payload)
{
    const int message = RtcmMessageNumber(payload);
    const bool has = (message >= 1001 && message <= 1013) || (message >= 1029 && message <= 1033) ||
                     IsMsmMessage(message) || message == 1230;
    if (!has || payload.size() < 3)
        return std::nullopt;
    RtcmBits bits(payload);
    bits.Skip(12);
    return static_cast<int>(bits.Unsigned(12));
}
