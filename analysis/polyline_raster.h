#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "analysis/plot_geometry.h"

// The pixels of a 1-pixel polyline, by one fixed rule: every segment covers
// the pixels from its start point toward its end point, one per step along
// its longer axis, without the end point itself; the polyline's final
// vertex is covered on its own. Every vertex is therefore covered, and a
// run of vertices on one column covers exactly the rows from its lowest to
// its highest vertex, whatever the order of the vertices in between. That
// is what lets the plot thin such runs without changing a pixel.
//
// Only pixels inside `clip` are reported, and only the steps that can reach
// it are walked, so a vertex far outside costs nothing.
namespace polyline_raster {

inline int64_t FloorDiv(int64_t a, int64_t b)  // b > 0
{
    const int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

inline bool Inside(const PlotRect& clip, int x, int y)
{
    return clip.left <= x && x < clip.right && clip.top <= y && y < clip.bottom;
}

// Steps t = 0 .. n-1 along the major axis from `from` in direction `dir`
// that keep the major coordinate within [low, high).
inline bool StepRange(int from, int dir, int64_t n, int low, int high, int64_t& first, int64_t& last)
{
    if (dir > 0) {
        first = std::max<int64_t>(0, static_cast<int64_t>(low) - from);
        last = std::min<int64_t>(n - 1, static_cast<int64_t>(high) - 1 - from);
    } else {
        first = std::max<int64_t>(0, static_cast<int64_t>(from) - (high - 1));
        last = std::min<int64_t>(n - 1, static_cast<int64_t>(from) - low);
    }
    return first <= last;
}

template <typename Plot>
void Segment(int x1, int y1, int x2, int y2, const PlotRect& clip, Plot&& plot)
{
    const int64_t dx = static_cast<int64_t>(x2) - x1;
    const int64_t dy = static_cast<int64_t>(y2) - y1;
    if (dx == 0 && dy == 0)
        return;
    int64_t first = 0, last = 0;
    if (std::llabs(dx) >= std::llabs(dy)) {
        const int64_t n = std::llabs(dx);
        const int dir = dx > 0 ? 1 : -1;
        if (!StepRange(x1, dir, n, clip.left, clip.right, first, last))
            return;
        for (int64_t t = first; t <= last; ++t) {
            const int y = y1 + static_cast<int>(FloorDiv(2 * t * dy + n, 2 * n));
            if (clip.top <= y && y < clip.bottom)
                plot(x1 + static_cast<int>(dir * t), y);
        }
    } else {
        const int64_t n = std::llabs(dy);
        const int dir = dy > 0 ? 1 : -1;
        if (!StepRange(y1, dir, n, clip.top, clip.bottom, first, last))
            return;
        for (int64_t t = first; t <= last; ++t) {
            const int x = x1 + static_cast<int>(FloorDiv(2 * t * dx + n, 2 * n));
            if (clip.left <= x && x < clip.right)
                plot(x, y1 + static_cast<int>(dir * t));
        }
    }
}

}  // namespace polyline_raster

// Calls plot(x, y) for each pixel of the polyline through points[0 .. count)
// (any type with x() and y()) that lies in `clip`. A pixel may be reported
// more than once.
template <typename Point, typename Plot>
void RasterizePolyline(const Point* points, size_t count, const PlotRect& clip, Plot&& plot)
{
    if (count < 2)
        return;
    for (size_t i = 1; i < count; ++i)
        polyline_raster::Segment(points[i - 1].x(), points[i - 1].y(), points[i].x(), points[i].y(), clip, plot);
    const Point& end = points[count - 1];
    if (polyline_raster::Inside(clip, end.x(), end.y()))
        plot(end.x(), end.y());
}
