#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include "kit/pixel_geometry.h"

// Keeps a rendered page for looking at: <build>/displays_pages/<name>.png.
void SavePage(const QImage& image, const QString& name);

inline QColor PixelAt(const QImage& image, int x, int y) { return image.pixelColor(x, y); }
inline QColor PixelAt(const QImage& image, PixelPoint p) { return image.pixelColor(p.x, p.y); }

// Whether a pixel is within `tolerance` of a colour in every channel.
bool Near(const QColor& a, const QColor& b, int tolerance = 0);

// Number of pixels of exactly this colour inside a box.
int CountColor(const QImage& image, const PixelRect& box, const QColor& color);

// Pixel values print as rgb(r,g,b) in failure messages.
void PrintTo(const QColor& color, std::ostream* os);
