#pragma once

#include <functional>
#include <string_view>

// Pixel rectangles as the drawing code uses them: left and top inclusive,
// right and bottom exclusive, so a shape drawn in (l, t, r, b) covers x in
// [l, r) and y in [t, b).
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }

    bool operator==(const PixelRect&) const = default;
};

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

// Width and height of a text in the font being drawn with.
struct TextExtent {
    int cx = 0;
    int cy = 0;
    bool operator==(const TextExtent&) const = default;
};

// The geometry never sees a font: the painter measures texts for it.
using TextMeasure = std::function<TextExtent(std::string_view)>;

// Truncates toward zero like a C cast, but saturates instead of overflowing
// and takes NaN as 0: coordinates and angles come from receiver data, which
// may hold anything.
inline int TruncToInt(double value)
{
    if (!(value == value))
        return 0;
    if (value >= 2147483647.0)
        return 2147483647;
    if (value <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<int>(value);
}

// A pixel coordinate from a computed position. Anything this far out lies
// off every canvas; keeping it bounded keeps the painter's arithmetic sound.
inline constexpr double kPixelLimit = 1000000.0;
inline int TruncToPixel(double value)
{
    if (!(value == value))
        return 0;
    if (value > kPixelLimit)
        return static_cast<int>(kPixelLimit);
    if (value < -kPixelLimit)
        return -static_cast<int>(kPixelLimit);
    return static_cast<int>(value);
}
