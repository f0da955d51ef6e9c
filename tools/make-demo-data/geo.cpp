#include "geo.h"

#include <algorithm>
#include <cmath>

namespace demodata {

namespace {

struct Knot {
    double grey;
    double value;
};

// Positions of the land and sea colour legends (position x 256 = grey) against
// the heights that the map's legend names for the same colours; above 7000 m
// the last step is continued to 9000 m at white.
const std::vector<Knot> kRelief = {
    {-0.5, -11000}, {17.4, -6500}, {35.3, -4000}, {53.3, -2000}, {71.2, -200}, {78.9, -50},
    {96.8, 0},      {114.7, 50},   {132.6, 200},  {150.5, 500},  {178.7, 1000}, {196.6, 2000},
    {212.0, 3500},  {229.9, 5000}, {242.7, 7000}, {255.5, 9000}};

double interpolate(const std::vector<Knot>& k, double g)
{
    if (g <= k.front().grey)
        return k.front().value;
    for (std::size_t i = 1; i < k.size(); ++i)
        if (g <= k[i].grey) {
            const double t = (g - k[i - 1].grey) / (k[i].grey - k[i - 1].grey);
            return k[i - 1].value + t * (k[i].value - k[i - 1].value);
        }
    return k.back().value;
}

} // namespace

double greatCircleKm(double lon1, double lat1, double lon2, double lat2)
{
    constexpr double r = 3.141592653589793 / 180.0;
    const double dlat = (lat2 - lat1) * r;
    const double dlon = (lon2 - lon1) * r;
    const double a = std::sin(dlat / 2) * std::sin(dlat / 2) +
                     std::cos(lat1 * r) * std::cos(lat2 * r) * std::sin(dlon / 2) * std::sin(dlon / 2);
    return 2 * kEarthRadiusKm * std::asin(std::min(1.0, std::sqrt(a)));
}

double reliefMetres(double grey) { return interpolate(kRelief, grey); }

double temperatureCelsius(double grey) { return -69.0 + 111.0 * grey / 255.0; }

double precipitationMm(double grey)
{
    if (grey < 128)
        return std::max(0.0, grey);
    const double mm = 16384.0 / std::max(256.0 - grey, 1.0);
    return std::min(mm, 3000.0);
}

GreyTable tableOf(double (*calibrate)(double grey))
{
    GreyTable t{};
    for (int g = 0; g < 256; ++g)
        t[static_cast<std::size_t>(g)] = calibrate(g);
    return t;
}

double sampleGlobal(const GreyImage& img, double lon, double lat, const GreyTable& table)
{
    const double x = (lon + 180.0) / 360.0 * img.width - 0.5;
    const double y = std::clamp((90.0 - lat) / 180.0 * img.height - 0.5, 0.0, img.height - 1.0);
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const double tx = x - fx;
    const double ty = y - fy;
    auto px = [&](double xx, double yy) {
        int xi = static_cast<int>(xx) % img.width;
        if (xi < 0)
            xi += img.width;
        const int yi = std::clamp(static_cast<int>(yy), 0, img.height - 1);
        return table[img.at(xi, yi)];
    };
    return (1 - tx) * (1 - ty) * px(fx, fy) + tx * (1 - ty) * px(fx + 1, fy) + (1 - tx) * ty * px(fx, fy + 1) +
           tx * ty * px(fx + 1, fy + 1);
}

std::vector<std::uint8_t> fillRings(const std::vector<const std::vector<GeoRing>*>& ringSets,
                                    const std::vector<double>& rowLat, const std::vector<double>& colLon)
{
    const int rows = static_cast<int>(rowLat.size());
    const int cols = static_cast<int>(colLon.size());
    // Crossings carry their shape's id: each shape is filled even-odd on its own
    // (its holes stay out), and the shapes are united.
    std::vector<std::vector<std::pair<std::uint32_t, double>>> crossings(static_cast<std::size_t>(rows));
    const double lat0 = rowLat.front();
    const double dlat = rows > 1 ? (rowLat.front() - rowLat.back()) / (rows - 1) : 1.0;
    auto addEdge = [&](std::uint32_t id, double lonA, double latA, double lonB, double latB) {
        if (latA == latB)
            return;
        const double hi = std::max(latA, latB);
        const double lo = std::min(latA, latB);
        int r0 = static_cast<int>(std::floor((lat0 - hi) / dlat)) - 1;
        int r1 = static_cast<int>(std::ceil((lat0 - lo) / dlat)) + 1;
        r0 = std::max(r0, 0);
        r1 = std::min(r1, rows - 1);
        for (int r = r0; r <= r1; ++r) {
            const double y = rowLat[static_cast<std::size_t>(r)];
            if ((latA <= y) != (latB <= y))
                crossings[static_cast<std::size_t>(r)].push_back({id, lonA + (y - latA) * (lonB - lonA) / (latB - latA)});
        }
    };
    for (const auto* set : ringSets)
        for (const GeoRing& ring : *set) {
            const std::size_t n = ring.lon.size();
            if (n < 3)
                continue;
            for (std::size_t i = 0; i < n; ++i) {
                const std::size_t j = (i + 1) % n;
                addEdge(ring.id, ring.lon[i], ring.lat[i], ring.lon[j], ring.lat[j]);
            }
        }
    std::vector<std::uint8_t> inside(static_cast<std::size_t>(rows) * cols, 0);
    for (int r = 0; r < rows; ++r) {
        auto& xs = crossings[static_cast<std::size_t>(r)];
        std::sort(xs.begin(), xs.end());
        std::size_t k = 0;
        for (; k + 1 < xs.size(); k += 2) {
            if (xs[k].first != xs[k + 1].first) {
                ++k; // an odd count for a shape: drop its stray crossing
                if (k + 1 >= xs.size())
                    break;
            }
            const double a = xs[k].second;
            const double b = xs[k + 1].second;
            auto first = std::lower_bound(colLon.begin(), colLon.end(), a);
            auto last = std::lower_bound(colLon.begin(), colLon.end(), b);
            for (auto it = first; it != last; ++it)
                inside[static_cast<std::size_t>(r) * cols + static_cast<std::size_t>(it - colLon.begin())] = 1;
        }
    }
    return inside;
}

} // namespace demodata
