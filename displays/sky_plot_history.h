#pragma once

#include <array>
#include <cstdint>
#include <vector>

// One satellite as the sky plot keeps it; prn 0 marks an empty slot.
struct SkySatellite {
    int32_t prn = 0;
    double azimuth = 0.0;    // degrees, clockwise from north
    double elevation = 0.0;  // degrees above the horizon
    int32_t used = 0;        // 1 = used in the position solution
    double snr = 0.0;        // dB-Hz

    bool operator==(const SkySatellite&) const = default;
};

struct TrailPoint {
    double azimuth = 0.0;
    double elevation = 0.0;
    bool operator==(const TrailPoint&) const = default;
};

inline constexpr int kSkySlots = 64;
inline constexpr int kMaskEntries = 360;
inline constexpr uint32_t kTrailCapacity = 10000;
inline constexpr double kMaskNothingRecorded = 90.0;

using SkySatellites = std::array<SkySatellite, kSkySlots>;
using AzElMask = std::array<double, kMaskEntries>;

// What the sky plot remembers between fixes: the satellites of the last fix,
// the azimuth/elevation mask (per whole degree of azimuth, the lowest
// elevation a used satellite with a usable signal was seen at) and one ring
// of trail points shared by all satellites.
class SkyPlotHistory {
public:
    SkyPlotHistory();

    // Replaces the satellites, then lowers the mask, then extends the trails.
    void UpdateSatellites(const SkySatellites& entries);
    // Empties the trail ring. The last positions stay, so a satellite that
    // has not moved since adds no point.
    void ClearTrails();
    void ClearMask();

    const SkySatellites& Satellites() const { return m_satellites; }
    const AzElMask& Mask() const { return m_mask; }
    double MaskSnrThreshold() const { return m_maskSnrThreshold; }
    uint32_t TrailCount() const { return m_trailCount; }
    uint32_t TrailTail() const { return m_trailTail; }
    uint32_t TrailHead() const { return m_trailHead; }

    // Calls f(const TrailPoint&) for every stored point, oldest first.
    template <class F>
    void ForEachTrailPoint(F&& f) const
    {
        uint32_t index = m_trailTail;
        for (uint32_t n = 0; n < m_trailCount; ++n) {
            f(m_trail[index]);
            if (++index == kTrailCapacity)
                index = 0;
        }
    }
    std::vector<TrailPoint> TrailPoints() const;

private:
    void LowerMask();
    void ExtendTrails();
    void AppendTrailPoint(const TrailPoint& point);

    SkySatellites m_satellites{};
    AzElMask m_mask{};
    double m_maskSnrThreshold = 15.0;
    std::vector<TrailPoint> m_trail;  // allocated once, kTrailCapacity points
    uint32_t m_trailTail = 0;
    uint32_t m_trailHead = 0;
    uint32_t m_trailCount = 0;
    SkySatellites m_lastPositions{};
};
