#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Decoders for the RTCM 3 messages a correction status shows: each takes a
// frame's payload and gives a value, or nothing when the payload is not
// that message or is too short for it.

// 1005 / 1006: the reference station's antenna reference point.
//   1005 = 0x3ED: station 2003, ITRF year, GPS/GLONASS/Galileo flags,
//   ECEF X, Y, Z in 0.1 mm (38-bit two's complement); 1006 adds the
//   antenna height above the marker in 0.1 mm.
struct StationPosition {
    int message = 0;  // 1005 or 1006
    int stationId = 0;
    int itrfYear = 0;
    bool gps = false;
    bool glonass = false;
    bool galileo = false;
    double x = 0.0;  // metres
    double y = 0.0;
    double z = 0.0;
    std::optional<double> antennaHeight;  // metres, 1006 only

    bool operator==(const StationPosition&) const = default;
};

std::optional<StationPosition> DecodeStationPosition(std::string_view payload);

// 1007 / 1008 / 1033: what the station says its antenna and receiver are.
struct StationDescriptor {
    int message = 0;
    int stationId = 0;
    std::string antenna;        // e.g. "TRM59800.00     NONE"
    int antennaSetupId = 0;
    std::string antennaSerial;  // 1008, 1033
    std::string receiver;       // 1033
    std::string firmware;       // 1033
    std::string receiverSerial; // 1033

    bool operator==(const StationDescriptor&) const = default;
};

std::optional<StationDescriptor> DecodeStationDescriptor(std::string_view payload);

// The GNSS of an MSM message number, by its block of ten: 1071-1077 GPS,
// 1081 GLONASS, 1091 Galileo, 1101 SBAS, 1111 QZSS, 1121 BeiDou.
enum class MsmSystem { Gps, Glonass, Galileo, Sbas, Qzss, BeiDou };
inline constexpr int kMsmSystems = 6;

const char* MsmSystemName(MsmSystem system);

// The MSM header: who sent it, when, and which satellites and signals it
// carries (the rest of the message, the observables, is left alone).
struct MsmHeader {
    int message = 0;
    MsmSystem system = MsmSystem::Gps;
    int kind = 0;  // MSM1..MSM7
    int stationId = 0;
    uint32_t epoch = 0;  // the system's 30-bit epoch time field
    bool moreFollow = false;  // another MSM of the same epoch follows
    int satellites = 0;
    int signalCount = 0;

    bool operator==(const MsmHeader&) const = default;
};

// Whether `message` is one of the MSM numbers above.
bool IsMsmMessage(int message);
std::optional<MsmHeader> DecodeMsmHeader(std::string_view payload);

// The station ID of any message that starts with one after its number
// (1001-1013, 1019/1020 excepted, 1029-1033, the MSMs, 1230); nullopt for
// the others.
std::optional<int> RtcmStationId(std::string_view payload);

// Reads bits most significant first from a payload.
class RtcmBits {
public:
    explicit RtcmBits(std::string_view payload) : m_bytes(payload) {}

    bool Has(size_t bits) const { return m_position + bits <= m_bytes.size() * 8; }
    uint64_t Unsigned(int bits);
    int64_t Signed(int bits);
    void Skip(size_t bits) { m_position += bits; }

private:
    std::string_view m_bytes;
    size_t m_position = 0;
};
