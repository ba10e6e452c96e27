#include "displays/sky_plot_history.h"

SkyPlotHistory::SkyPlotHistory()
    : m_trail(kTrailCapacity)
{
    ClearMask();
}

void SkyPlotHistory::UpdateSatellites(const SkySatellites& entries)
{
    m_satellites = entries;
    LowerMask();
    ExtendTrails();
}

void SkyPlotHistory::ClearTrails()
{
    m_trailCount = 0;
    m_trailHead = 0;
    m_trailTail = 0;
}

void SkyPlotHistory::ClearMask()
{
    m_mask.fill(kMaskNothingRecorded);
}

std::vector<TrailPoint> SkyPlotHistory::TrailPoints() const
{
    std::vector<TrailPoint> points;
    points.reserve(m_trailCount);
    ForEachTrailPoint([&](const TrailPoint& p) { points.push_back(p); });
    return points;
}

void SkyPlotHistory::LowerMask()
{
    for (const SkySatellite& s : m_satellites) {
        if (s.prn == 0 || !(s.snr >= m_maskSnrThreshold) || s.used != 1)
            continue;
        // The whole degree toward zero must lie in 0..359; the comparison
        // also refuses NaN.
        if (!(s.azimuth > -1.0 && s.azimuth < 360.0))
            continue;
        double& lowest = m_mask[static_cast<std::size_t>(static_cast<int>(s.azimuth))];
        if (s.elevation < lowest)
            lowest = s.elevation;
    }
}

void SkyPlotHistory::ExtendTrails()
{
    // Whether a slot moved is all that counts, not what it holds: a slot
    // that empties adds a point at azimuth 0, elevation 0.
    for (int i = 0; i < kSkySlots; ++i) {
        const SkySatellite& now = m_satellites[static_cast<std::size_t>(i)];
        SkySatellite& last = m_lastPositions[static_cast<std::size_t>(i)];
        if (now.azimuth == last.azimuth && now.elevation == last.elevation)
            continue;
        last = now;
        AppendTrailPoint({now.azimuth, now.elevation});
    }
}

void SkyPlotHistory::AppendTrailPoint(const TrailPoint& point)
{
    if (m_trailCount < kTrailCapacity) {
        m_trail[m_trailHead] = point;
        if (++m_trailHead == kTrailCapacity)
            m_trailHead = 0;
        ++m_trailCount;
    }
    // One slot always stays free: the full ring holds 9999 points.
    if (m_trailCount >= kTrailCapacity) {
        if (++m_trailTail == kTrailCapacity)
            m_trailTail = 0;
        --m_trailCount;
    }
}
