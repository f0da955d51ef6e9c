#include "climate.h"

#include <algorithm>
#include <cmath>

namespace demodata {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kLapse = 0.0065; // deg C per metre
constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr std::array<int, 12> kMidDay = {15, 46, 74, 105, 135, 166, 196, 227, 258, 288, 319, 349};

double floorTo(double v, double step) { return std::floor(v / step) * step; }

} // namespace

std::uint64_t mix64(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

double normalFromKey(std::uint64_t key)
{
    const std::uint64_t a = mix64(key);
    const std::uint64_t b = mix64(a);
    const double u1 = (static_cast<double>(a >> 11) + 0.5) / 9007199254740992.0;
    const double u2 = static_cast<double>(b >> 11) / 9007199254740992.0;
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2 * kPi * u2);
}

double saturationVapourPressure(double t)
{
    if (t >= 0)
        return 6.1078 * std::exp(17.27 * t / (t + 237.3));
    return 6.1078 * std::exp(21.875 * t / (t + 265.5));
}

double dayLengthHours(double latitude, int month)
{
    const double decl = 23.44 * kPi / 180 * std::sin(2 * kPi * (284 + kMidDay[static_cast<std::size_t>(month - 1)]) / 365.0);
    const double phi = std::clamp(latitude, -89.9, 89.9) * kPi / 180;
    const double x = std::clamp(-std::tan(phi) * std::tan(decl), -1.0, 1.0);
    return 24.0 / kPi * std::acos(x);
}

StationNormals modelNormals(const ClimateInputs& in, std::uint64_t seed, Oddity odd, int oddMonth)
{
    StationNormals out{};
    auto noise = [&](int var, int month) {
        return normalFromKey(seed * 131 + static_cast<std::uint64_t>(var * 13 + month));
    };

    // Mean temperature: the climatology moved from its cell's mean height to the
    // station's with a fixed lapse rate, then one harmonic through July and
    // December whose warmest month is late July north, late January south.
    const double lapse = kLapse * (in.altitude - in.cellAltitude);
    const double t7 = in.julyTemp - lapse;
    const double t12 = in.decemberTemp - lapse;
    const double peak = in.latitude >= 0 ? 7.2 : 1.2;
    const double c7 = std::cos(2 * kPi * (7 - peak) / 12);
    const double c12 = std::cos(2 * kPi * (12 - peak) / 12);
    const double amp = (t7 - t12) / (c7 - c12);
    const double mean = t7 - amp * c7;
    const double stationOffset = 0.3 * noise(MeanTemp, 0);
    Monthly t{};
    for (int m = 0; m < 12; ++m)
        t[static_cast<std::size_t>(m)] =
            mean + amp * std::cos(2 * kPi * (m + 1 - peak) / 12) + stationOffset + 0.15 * noise(MeanTemp, m + 1);

    // Precipitation: a harmonic of the logarithm through July and December (so it
    // never goes negative), a little more with height above the cell's mean.
    const double oro = std::clamp(1 + 0.0003 * (in.altitude - in.cellAltitude), 0.7, 1.6);
    const double p7 = std::max(in.julyPrecip, 1.0) * oro;
    const double p12 = std::max(in.decemberPrecip, 1.0) * oro;
    const double cp12 = std::cos(2 * kPi * 5 / 12);
    const double b = (std::log(p7) - std::log(p12)) / (1 - cp12);
    const double a = std::log(p7) - b;
    const double lo = std::min(p7, p12) * 0.6;
    const double hi = std::max(p7, p12) * 1.2;
    const double stationFactor = std::exp(0.08 * noise(Precip, 0));
    Monthly p{};
    for (int m = 0; m < 12; ++m) {
        const double v = std::exp(a + b * std::cos(2 * kPi * (m + 1 - 7) / 12));
        p[static_cast<std::size_t>(m)] =
            std::min(std::clamp(v, lo, hi) * stationFactor * std::exp(0.05 * noise(Precip, m + 1)), 3000.0);
    }

    if (odd == Oddity::WarmMonth)
        t[static_cast<std::size_t>(oddMonth - 1)] += 8.0;
    if (odd == Oddity::WetMonth)
        p[static_cast<std::size_t>(oddMonth - 1)] = std::min(p[static_cast<std::size_t>(oddMonth - 1)] * 5 + 150, 3000.0);

    const double continental = std::clamp(std::abs(in.julyTemp - in.decemberTemp) / 35.0, 0.0, 1.0);
    const double windBase = (1.8 + 2.2 * std::pow(std::abs(std::sin(in.latitude * kPi / 180)), 1.5) +
                             0.0006 * std::max(in.altitude, 0.0) + (in.nearWater ? 1.0 : 0.0)) *
                            std::exp(0.2 * noise(WindSpeed, 0));

    for (int m = 0; m < 12; ++m) {
        const auto k = static_cast<std::size_t>(m);
        const double tm = t[k];
        const double pm = p[k];
        // Daily range: wide in dry months, inland and high up; narrow where it rains.
        const double range = std::clamp(4 + 9 * std::exp(-pm / 70) + 3 * continental +
                                            0.001 * std::max(in.altitude, 0.0) + 0.4 * noise(MaxTemp, m + 1),
                                        3.0, 20.0);
        const double tmax = tm + range * 0.5;
        const double tmin = tm - range * 0.5;
        const double day = dayLengthHours(in.latitude, m + 1);

        // Potential evapotranspiration after Hamon (1961): day length and the
        // saturated vapour density at the mean temperature; none in frozen months.
        double pet = 0;
        if (tm > 0) {
            const double density = 216.7 * saturationVapourPressure(tm) / (tm + 273.3); // g/m3
            pet = 0.1651 * (day / 12) * density * kDays[k];
        }

        // Vapour pressure: a share of saturation at the night's minimum, larger
        // where it rains; never above saturation.
        const double share = 0.5 + 0.35 * (1 - std::exp(-pm / 40));
        const double vap = floorTo(share * saturationVapourPressure(tmin), 0.01);

        const double north = in.latitude >= 0 ? 1.0 : -1.0;
        const double winter = north * std::cos(2 * kPi * m / 12); // +1 in the hemisphere's winter
        const double wind = std::clamp(windBase * (1 + 0.12 * winter) + 0.1 * noise(WindSpeed, m + 1), 0.3, 20.0);

        // Sunshine falls as rain rises, and with the long nights of polar winter.
        double sun = 0.18 + 0.62 * std::exp(-pm / 120) + 0.03 * noise(Sunshine, m + 1);
        if (day < 4)
            sun *= day / 4;
        sun = std::clamp(sun, 0.0, 0.95);

        out[MeanTemp][k] = tm;
        out[MaxTemp][k] = tmax;
        out[MinTemp][k] = tmin;
        out[Precip][k] = pm;
        out[VapourPressure][k] = std::max(vap, 0.0);
        out[Evapotranspiration][k] = std::max(pet, 0.0);
        out[WindSpeed][k] = wind;
        out[Sunshine][k] = sun;
    }
    return out;
}

} // namespace demodata
