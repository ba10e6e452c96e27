#pragma once

#include "kit/pixel_geometry.h"

// A rectangle of `width` by `height` pixels with its top-left corner at (x, y).
inline PixelRect RectFromSize(int x, int y, int width, int height)
{
    return {x, y, x + width, y + height};
}
