#pragma once
// The synthetic monthly normals of the demo stations: a small model anchored on
// the July and December climatologies and the relief (see tools/README.md).
#include <array>
#include <cstdint>

namespace demodata {

enum Variable { MeanTemp = 0, MaxTemp, MinTemp, Precip, VapourPressure, Evapotranspiration, WindSpeed, Sunshine };

struct ClimateInputs {
    double latitude = 0;
    double longitude = 0;
    double altitude = 0;      // metres, the station's own
    double cellAltitude = 0;  // mean relief of the climatology's grid cell around it
    double julyTemp = 0;      // deg C, climatology at the station
    double decemberTemp = 0;
    double julyPrecip = 0;    // mm per month
    double decemberPrecip = 0;
    bool nearWater = false;
};

// Odd data planted on a few stations so that the strange-data warning can occur.
enum class Oddity { None, WarmMonth, WetMonth };

using Monthly = std::array<double, 12>;
using StationNormals = std::array<Monthly, 8>;

StationNormals modelNormals(const ClimateInputs& in, std::uint64_t seed, Oddity odd, int oddMonth);

// Saturation vapour pressure in hPa over water (ice below 0 deg C).
double saturationVapourPressure(double celsius);
// Hours between sunrise and sunset in the middle of month 1..12.
double dayLengthHours(double latitude, int month);

// Deterministic noise: a 64-bit mix of the key, and a standard normal from it.
std::uint64_t mix64(std::uint64_t key);
double normalFromKey(std::uint64_t key);

} // namespace demodata
