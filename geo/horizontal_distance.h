#pragma once

inline constexpr double kEarthRadiusKm = 6372.797560856;

// Haversine distance in kilometres on a sphere of radius kEarthRadiusKm. The
// cosine term uses the first point's latitude alone (squared), which is what
// the statistics and the scatter plot have always shown.
double HorizontalDistanceKm(double latitude, double longitude, double refLatitude, double refLongitude);
