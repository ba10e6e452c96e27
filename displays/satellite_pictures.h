#pragma once

#include <QImage>

// Picture ids the front panel hands to the sky plot.
inline constexpr int kUsedSatellitePicture = 118;
inline constexpr int kUnusedSatellitePicture = 102;

// The satellite picture of an id with its magenta made transparent; a null
// image for 0 or an unknown id.
QImage SatellitePicture(int pictureId);
