#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rtcm/rtcm_framer.h"
#include "rtcm/rtcm_messages.h"

// What a correction stream has carried so far: counts and rates per
// message type, the base station's position and descriptors, the
// satellites of its latest MSM per system, and when the last good frame
// came. Times are seconds on any clock that never steps, given by the
// caller, so that a playback can feed its own.
class RtcmTally {
public:
    struct TypeCount {
        uint64_t frames = 0;
        double first = 0.0;  // when the first and the latest came
        double last = 0.0;

        // Messages per second from the first to the latest; 0 until two came.
        double Rate() const { return frames > 1 && last > first ? static_cast<double>(frames - 1) / (last - first) : 0.0; }
    };

    // Splits `bytes` into frames and takes each good one at time `now`;
    // returns those frames.
    std::vector<std::string> Feed(std::string_view bytes, double now);
    // One whole frame already checked (header, payload, CRC).
    void TakeFrame(std::string_view frame, double now);

    uint64_t Bytes() const { return m_bytes; }
    uint64_t Frames() const { return m_frames; }
    uint64_t BadFrames() const { return m_framer.BadFrames(); }
    const std::map<int, TypeCount>& Types() const { return m_types; }
    const std::optional<StationPosition>& Station() const { return m_station; }
    const std::optional<StationDescriptor>& Descriptor() const { return m_descriptor; }
    // Satellites in the latest MSM of each system; -1 when none came.
    int MsmSatellites(MsmSystem system) const { return m_msmSatellites[static_cast<size_t>(system)]; }
    // The station ID of the latest frame that carries one; -1 before.
    int StationId() const { return m_stationId; }
    // Seconds since the latest good frame; nullopt before the first.
    std::optional<double> Age(double now) const;
    std::optional<double> LastFrameTime() const { return m_lastFrame; }

private:
    RtcmFramer m_framer;
    uint64_t m_bytes = 0;
    uint64_t m_frames = 0;
    std::map<int, TypeCount> m_types;  // at most 4096 keys: the 12-bit number
    std::optional<StationPosition> m_station;
    std::optional<StationDescriptor> m_descriptor;
    std::array<int, kMsmSystems> m_msmSatellites{-1, -1, -1, -1, -1, -1};
    int m_stationId = -1;
    std::optional<double> m_lastFrame;
};
