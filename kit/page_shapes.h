#pragma once

#include <QColor>
#include <QRect>

#include "kit/page_look.h"
#include "kit/pixel_geometry.h"

class QFontMetrics;
class QPainter;

inline QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }
inline QRect ToQRect(const PixelRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }
inline PixelRect ToPixelRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

// Shapes that stay inside their box, outline included: a rectangle or
// ellipse in (l, t, r, b) covers x in [l, r) and y in [t, b) whatever the
// width of the current pen. Empty boxes draw nothing. Drawn without
// antialiasing, so the pixels are where the geometry says.
void DrawBoxRectangle(QPainter& painter, const PixelRect& box);
void DrawBoxEllipse(QPainter& painter, const PixelRect& box);
void DrawBoxRoundRect(QPainter& painter, const PixelRect& box, int cornerWidth, int cornerHeight);

// A line from `from` up to but not including `to`.
void DrawLineTo(QPainter& painter, PixelPoint from, PixelPoint to);

// Text extents in the given font, for the geometry.
TextMeasure MeasureWith(const QFontMetrics& metrics);
