#include "engine/geodesy.h"

#include <cmath>
#include <limits>

#include "engine/precision.h"

namespace tavisol::engine {

using detail::S;

namespace {

constexpr Single SinglePi = 3.1415927f;
constexpr double DoublePi = 3.1415926535;

Integer ToInteger(Single x) {
    if (std::isnan(x))
        return 0;
    const double r = std::nearbyint(static_cast<double>(x)); // halves to even
    if (r > std::numeric_limits<Integer>::max())
        return std::numeric_limits<Integer>::max();
    if (r < std::numeric_limits<Integer>::min())
        return std::numeric_limits<Integer>::min();
    return static_cast<Integer>(r);
}

} // namespace

GeoPoint GeoPointOf(Single lon, Single lat) {
    auto radians = [](Single deg) { return S(static_cast<double>(deg) / 180.0 * static_cast<double>(SinglePi)); };
    const double rLat = radians(lat);
    return {radians(lon), std::sin(rLat), std::cos(rLat)};
}

Single GreatCircleDistance(const GeoPoint &p1, const GeoPoint &p2, Single zeroTolerance) {
    // The latitude terms and their sum stay in double: holding them as
    // Singles makes a point's distance to itself come out near 2 km at some
    // latitudes. Only x is a Single, which gives the coarse steps near 0.
    const Single x = S(p1.sinLat * p2.sinLat + p1.cosLat * p2.cosLat * std::cos(p2.lon - p1.lon));
    const double xd = x;
    const double oneMinusSquare = 1.0 - xd * xd;
    if (oneMinusSquare < static_cast<double>(zeroTolerance))
        return x > 0 ? 0.0f : S(EarthRadius * static_cast<double>(SinglePi));
    return S(EarthRadius * (std::atan(-xd / std::sqrt(oneMinusSquare)) + 2.0 * std::atan(1.0)));
}

Single GreatCircleDistance(Single lon1, Single lat1, Single lon2, Single lat2, Single zeroTolerance) {
    return GreatCircleDistance(GeoPointOf(lon1, lat1), GeoPointOf(lon2, lat2), zeroTolerance);
}

AzimuthPoint AzimuthPointOf(double lon, double lat) {
    const double rLat = lat / 180.0 * DoublePi;
    return {lon, lat, lon / 180.0 * DoublePi, std::sin(rLat), std::cos(rLat)};
}

Single Azimuth(double lon1, double lat1, double lon2, double lat2) {
    return Azimuth(AzimuthPointOf(lon1, lat1), AzimuthPointOf(lon2, lat2));
}

Single Azimuth(const AzimuthPoint &point1, const AzimuthPoint &point2) {
    const double lon1 = point1.lon, lat1 = point1.lat, lon2 = point2.lon, lat2 = point2.lat;
    if (std::isnan(lon1) || std::isnan(lat1) || std::isnan(lon2) || std::isnan(lat2))
        return Missing;
    if (std::fabs(lon1 - lon2) < 0.01 && std::fabs(lat1 - lat2) < 0.01) {
        if (lon1 - lon2 == 0 || lat1 - lat2 == 0)
            return Missing;
        return S(std::atan((lon2 - lon1) / (lat2 - lat1)) * 180.0 / DoublePi);
    }
    if (std::fabs(lat1 - 90) < 0.01)
        return 180;
    if (std::fabs(90 - lat2) < 0.01)
        return 0;
    if (lat1 < -89.9999)
        return 0;
    if (lat2 < -89.9999)
        return 180;

    // One place written with longitudes a whole turn apart, and exactly
    // opposite points: the formula below has no direction for them.
    const double lonTurns = std::fmod(lon1 - lon2, 360.0);
    if (lat1 == lat2 && lonTurns == 0)
        return Missing;
    if (lat1 == -lat2 && std::fabs(lonTurns) == 180)
        return 0;

    const double q = point1.sinLat;
    const double p = point2.sinLat;
    double r = q * p + point1.cosLat * point2.cosLat * std::cos(point1.rLon - point2.rLon);
    r = std::fmax(-1.0, std::fmin(1.0, r));
    const double divisor = std::sqrt(1 - q * q) * std::sqrt(1 - r * r);
    if (divisor == 0) // points too close or too opposite for the arc's rounding
        return r > 0 ? Missing : 0.0f;
    const double x = (p - q * r) / divisor;
    if (x > 0.9999)
        return 0;
    if (x < -0.9999)
        return 180;
    double a = (std::atan(-x / std::sqrt(1 - x * x)) + 2 * std::atan(1.0)) * 180.0 / DoublePi;
    if (lon1 >= 0) {
        if (lon1 - 180 < lon2 && lon2 < lon1)
            a = 360 - a;
    } else if (lon2 < lon1 || lon2 > lon1 + 180) {
        a = 360 - a;
    }
    return S(a);
}

CompassText CompassLetters(Single a) {
    // An angle on a sector bound belongs to the sector clockwise of it.
    if (a == Missing)
        return "X ";
    if (a >= 22.5f && a < 67.5f)
        return "NE";
    if (a >= 67.5f && a < 112.5f)
        return "E ";
    if (a >= 112.5f && a < 157.5f)
        return "SE";
    if (a >= 157.5f && a < 202.5f)
        return "S ";
    if (a >= 202.5f && a < 247.5f)
        return "SW";
    if (a >= 247.5f && a < 292.5f)
        return "W ";
    if (a >= 292.5f && a < 337.5f)
        return "NW";
    return "N ";
}

Single ClampToRange(Single &value, Integer variable) {
    if (value < 0 && variable > 2)
        value = 0;
    if (value > 1 && variable == 7)
        value = 1;
    return value;
}

Integer NiceValueDown(Single &x) {
    static constexpr Single ladder[] = {20000, 10000, 4000, 2000, 1000, 400,   200,   100,    40,    20,
                                        10,    4,     2,    1,    0,    -1,    -2,    -4,     -10,   -20,
                                        -40,   -100,  -200, -400, -1000, -2000, -4000, -10000, -20000};
    for (Single v : ladder) {
        if (x > v) {
            x = v;
            break;
        }
    }
    return ToInteger(x);
}

Integer NiceValueUp(Single &x) {
    static constexpr Single ladder[] = {1,   2,   4,   6,    8,    10,   20,   40,    60,   80,
                                        100, 200, 400, 600, 800, 1000, 2000, 4000, 10000, 20000};
    for (Single v : ladder) {
        if (x < v) {
            x = v;
            break;
        }
    }
    return ToInteger(x);
}

} // namespace tavisol::engine
