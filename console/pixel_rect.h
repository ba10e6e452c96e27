#pragma once

// A rectangle in window pixels, edges as the layout arithmetic states them:
// right and bottom lie one past the last pixel.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};

inline PixelRect RectFromSize(int x, int y, int width, int height)
{
    return {x, y, x + width, y + height};
}
