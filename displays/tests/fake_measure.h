#pragma once

#include "kit/pixel_geometry.h"

// A fixed-pitch stand-in for a font: 7 pixels per character, 14 high.
inline TextExtent FakeMeasure(std::string_view text)
{
    return {7 * static_cast<int>(text.size()), 14};
}
