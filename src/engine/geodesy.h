#pragma once

// Distance, direction and compass texts on the sphere, clamping of output
// values and the axis ladders of the charts. No state of their own.

#include "engine/state.h"

namespace tavisol::engine {

// Mean radius of the sphere the distances are measured on, km.
inline constexpr double EarthRadius = 6370.997;

// Great-circle distance in km between (lon1, lat1) and (lon2, lat2), degrees.
// Single precision on purpose: points closer than about 1.5 km come out as 0.
Single GreatCircleDistance(Single lon1, Single lat1, Single lon2, Single lat2,
                           Single zeroTolerance = 1e-10f);

// The terms of a point that GreatCircleDistance derives from its coordinates,
// so that a point used many times is converted once. The distance between two
// such points is bit for bit the distance between their coordinates.
struct GeoPoint {
    double lon = 0;     // radians, as the distance rounds them
    double sinLat = 0;
    double cosLat = 0;
};
GeoPoint GeoPointOf(Single lon, Single lat);
Single GreatCircleDistance(const GeoPoint &p1, const GeoPoint &p2, Single zeroTolerance = 1e-10f);

// Direction in degrees clockwise from north from point 1 to point 2, or 9999
// when the points coincide.
Single Azimuth(double lon1, double lat1, double lon2, double lat2);

// The same with each point's terms converted once; bit for bit the direction
// between their coordinates.
struct AzimuthPoint {
    double lon = 0, lat = 0;  // degrees
    double rLon = 0, sinLat = 0, cosLat = 0;
};
AzimuthPoint AzimuthPointOf(double lon, double lat);
Single Azimuth(const AzimuthPoint &point1, const AzimuthPoint &point2);

// Two-letter compass sector of an angle in degrees: "N ", "NE", ..., "X " for 9999.
CompassText CompassLetters(Single angle);

// Variables 3..7 not below 0, the sunshine fraction (7) not above 1; the value
// is changed in place and returned.
Single ClampToRange(Single &value, Integer variable);
inline Single ClampValue(Single value, Integer variable) { return ClampToRange(value, variable); }

// Axis minimum: x becomes the next ladder value below it; returns x as a whole
// number (limited to the 16-bit range).
Integer NiceValueDown(Single &x);
// Axis maximum: x becomes the next ladder value above it; returns x as a whole
// number (limited to the 16-bit range).
Integer NiceValueUp(Single &x);

} // namespace tavisol::engine
