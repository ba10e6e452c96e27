#include "displays/scatter_plot_model.h"

#include <algorithm>
#include <cmath>

double ZoomStep(double range)
{
    const double r = std::fabs(range);
    if (r >= 10000.0)
        return 10000.0;
    if (r >= 5000.0)
        return 2000.0;
    if (r >= 1000.0)
        return 500.0;
    if (r >= 200.0)
        return 100.0;
    if (r >= 40.0)
        return 20.0;
    return 5.0;
}

ScatterPlotModel::ScatterPlotModel()
{
    RecomputeBounds();
}

void ScatterPlotModel::AddSample(double latitude, double longitude, double altitude, double hdop, double vdop)
{
    const ScatterPlotPosition sample = MakeScatterPlotPosition(latitude, longitude, altitude, hdop, vdop);
    const std::size_t before = m_samples.size();
    switch (m_centerMode) {
    case CENTER_USER:
        m_center = m_userPosition;
        RecomputeBounds();
        break;
    case CENTER_AVERAGE:
        // The average as last supplied, which is the previous fix's.
        m_center = m_averagePosition;
        RecomputeBounds();
        break;
    case CENTER_NEXT_SAMPLE:
        if (m_recenterPending == 1) {
            m_recenterPending = 0;
            m_center = sample;
            RecomputeBounds();
        }
        break;
    default:
        break;
    }
    m_samples.push_back(sample);
    if (before > kMaxScatterSamples - 1)
        m_samples.pop_front();
    m_lastSample = sample;
}

void ScatterPlotModel::SetAveragePosition(double latitude, double longitude)
{
    m_averagePosition = MakeScatterPlotPosition(latitude, longitude);
}

void ScatterPlotModel::SetUserPosition(double latitude, double longitude, double altitude)
{
    m_userPosition = MakeScatterPlotPosition(latitude, longitude, altitude);
}

void ScatterPlotModel::SetCenterMode(int32_t mode)
{
    m_centerMode = mode;
    m_recenterPending = 1;
}

void ScatterPlotModel::ClearSamples()
{
    m_samples.clear();
    RecomputeBounds();
    m_averagePosition.latE6 = 0;
    m_averagePosition.altMm = 0;
}

void ScatterPlotModel::ZoomIn()
{
    if (m_rangeMetres > kMinZoomRange)
        m_rangeMetres -= ZoomStep(m_rangeMetres);
    RecomputeBounds();
}

void ScatterPlotModel::ZoomOut()
{
    m_rangeMetres += ZoomStep(m_rangeMetres);
    RecomputeBounds();
}

bool ScatterPlotModel::RecomputeBounds()
{
    const auto northWest = DestinationPoint(m_center, 315.0, m_rangeMetres);
    const auto southEast = DestinationPoint(m_center, 135.0, m_rangeMetres);
    if (!northWest || !southEast)
        return false;
    m_bounds.north = std::max(northWest->latE6, southEast->latE6);
    m_bounds.south = std::min(northWest->latE6, southEast->latE6);
    m_bounds.east = std::max(northWest->lonE6, southEast->lonE6);
    m_bounds.west = std::min(northWest->lonE6, southEast->lonE6);
    return true;
}
