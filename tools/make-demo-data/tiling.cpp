#include "tiling.h"

#include "geo.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace demodata {

const TileBounds kTemperatureTiles = {{-2, 11, 25, 37, 90}, {-138, -87, -61, -16, 30, 108, 180}};
const TileBounds kPrecipitationTiles = {{0, 13, 26, 37, 90}, {-133, -87, -61, -7, 44, 120, 180}};

QString tileFileName(const QString& prefix, int file)
{
    if (file == kSouthFile)
        return prefix + QStringLiteral("sud.txt");
    if (file == kNorthFile)
        return prefix + QStringLiteral("nor.txt");
    return QStringLiteral("%1la%2lo%3.txt").arg(prefix).arg(file / 6 + 1).arg(file % 6 + 1);
}

std::vector<int> filesForPoint(const TileBounds& b, double lon, double lat)
{
    int i = 6;
    for (int k = 0; k < 5; ++k)
        if (lat < b.lat[static_cast<std::size_t>(k)]) {
            i = k + 1;
            break;
        }
    int j = 6;
    for (int k = 0; k < 7; ++k)
        if (lon < b.lon[static_cast<std::size_t>(k)]) {
            j = k; // first k (1-based k + 1) minus 1
            break;
        }
    if (j == 0)
        j = 6;
    const int i2 = i + 1 == 7 ? 1 : i + 1;
    const int j2 = j + 1 == 7 ? 1 : j + 1;
    std::vector<int> files = {tileIndex(i, j), tileIndex(i2, j), tileIndex(i, j2), tileIndex(i2, j2)};
    if (lat < -50)
        files.push_back(kSouthFile);
    if (lat > 60)
        files.push_back(kNorthFile);
    return files;
}

namespace {

// A part of the globe whose points all read the same files.
struct Area {
    double lat0, lat1; // closed latitude range
    double lon0, lon1; // longitude range, lon1 may pass 180 (wraps)
    std::uint64_t files = 0;
};

std::vector<Area> makeAreas(const TileBounds& b)
{
    std::vector<std::pair<double, double>> latBands;
    latBands.push_back({-90, -50});
    latBands.push_back({-50, b.lat[0]});
    for (int k = 1; k < 4; ++k)
        latBands.push_back({b.lat[static_cast<std::size_t>(k - 1)], b.lat[static_cast<std::size_t>(k)]});
    latBands.push_back({b.lat[3], 60});
    latBands.push_back({60, 90});
    latBands.push_back({90, 90});
    std::vector<std::pair<double, double>> lonBands;
    for (int k = 0; k < 5; ++k)
        lonBands.push_back({b.lon[static_cast<std::size_t>(k)], b.lon[static_cast<std::size_t>(k + 1)]});
    lonBands.push_back({b.lon[5], b.lon[0] + 360});
    std::vector<Area> areas;
    for (const auto& [la0, la1] : latBands)
        for (const auto& [lo0, lo1] : lonBands) {
            Area a{la0, la1, lo0, lo1, 0};
            // A point inside the area tells which files it reads.
            double lat = la0 == la1 ? la0 : (la0 + la1) / 2;
            double lon = (lo0 + lo1) / 2;
            if (lon >= 180)
                lon -= 360;
            for (int f : filesForPoint(b, lon, lat))
                a.files |= std::uint64_t{1} << f;
            areas.push_back(a);
        }
    return areas;
}

constexpr double kRad = 3.141592653589793 / 180.0;

double distanceToMeridian(double lon, double lat, double meridian, double lat0, double lat1)
{
    const double dl = (lon - meridian) * kRad;
    double best = std::atan2(std::sin(lat * kRad), std::cos(lat * kRad) * std::cos(dl)) / kRad;
    best = std::clamp(best, -90.0, 90.0);
    best = std::clamp(best, lat0, lat1);
    return greatCircleKm(lon, lat, meridian, best);
}

double distanceToArea(double lon, double lat, const Area& a)
{
    double l = lon;
    while (l < a.lon0)
        l += 360;
    while (l >= a.lon0 + 360)
        l -= 360;
    if (l <= a.lon1) {
        const double c = std::clamp(lat, a.lat0, a.lat1);
        return std::abs(lat - c) * kRad * kEarthRadiusKm;
    }
    return std::min(distanceToMeridian(lon, lat, a.lon0, a.lat0, a.lat1),
                    distanceToMeridian(lon, lat, a.lon1, a.lat0, a.lat1));
}

struct Choice {
    std::uint64_t files = 0;
    long long dupsIn = 0;
};

int popcount(std::uint64_t v) { return __builtin_popcountll(v); }

Choice chooseFiles(const std::vector<Area>& areas, std::uint64_t need)
{
    std::uint64_t cand = 0;
    for (std::size_t u = 0; u < areas.size(); ++u)
        if (need >> u & 1)
            cand |= areas[u].files;
    std::vector<int> c;
    for (int f = 0; f < kFileCount; ++f)
        if (cand >> f & 1)
            c.push_back(f);
    struct Cost {
        long long dupsIn, size, dupsOut;
        bool operator<(const Cost& o) const
        {
            return std::tie(dupsIn, size, dupsOut) < std::tie(o.dupsIn, o.size, o.dupsOut);
        }
    };
    Choice best;
    Cost bestCost{1LL << 40, 0, 0};
    bool found = false;
    int foundSize = 0;
    const int n = static_cast<int>(c.size());
    for (int k = 1; k <= std::min(n, 7); ++k) {
        if (found && k > foundSize + 1)
            break;
        std::vector<int> idx(static_cast<std::size_t>(k));
        for (int i = 0; i < k; ++i)
            idx[static_cast<std::size_t>(i)] = i;
        while (true) {
            std::uint64_t set = 0;
            for (int i : idx)
                set |= std::uint64_t{1} << c[static_cast<std::size_t>(i)];
            bool covers = true;
            Cost cost{0, k, 0};
            for (std::size_t u = 0; u < areas.size(); ++u) {
                const int hits = popcount(set & areas[u].files);
                if (need >> u & 1) {
                    if (hits == 0) {
                        covers = false;
                        break;
                    }
                    cost.dupsIn += hits - 1;
                } else if (hits > 1) {
                    cost.dupsOut += hits - 1;
                }
            }
            if (covers && (!found || cost < bestCost)) {
                found = true;
                foundSize = std::min(foundSize == 0 ? k : foundSize, k);
                bestCost = cost;
                best.files = set;
                best.dupsIn = cost.dupsIn;
            }
            int i = k - 1;
            while (i >= 0 && idx[static_cast<std::size_t>(i)] == n - k + i)
                --i;
            if (i < 0)
                break;
            ++idx[static_cast<std::size_t>(i)];
            for (int m = i + 1; m < k; ++m)
                idx[static_cast<std::size_t>(m)] = idx[static_cast<std::size_t>(m - 1)] + 1;
        }
        if (found && bestCost.dupsIn == 0 && k == foundSize)
            break;
    }
    return best;
}

} // namespace

TileLayout layoutTiles(const TileBounds& bounds, const std::vector<double>& lon, const std::vector<double>& lat,
                       double radiusKm)
{
    const std::vector<Area> areas = makeAreas(bounds);
    TileLayout out;
    out.filesOfStation.resize(lon.size());
    std::map<std::uint64_t, Choice> memo;
    for (std::size_t s = 0; s < lon.size(); ++s) {
        std::uint64_t need = 0;
        for (std::size_t u = 0; u < areas.size(); ++u)
            if (distanceToArea(lon[s], lat[s], areas[u]) <= radiusKm)
                need |= std::uint64_t{1} << u;
        auto it = memo.find(need);
        if (it == memo.end())
            it = memo.emplace(need, chooseFiles(areas, need)).first;
        out.filesOfStation[s] = it->second.files;
        out.doubledPairs += it->second.dupsIn;
        for (int f = 0; f < kFileCount; ++f)
            if (it->second.files >> f & 1)
                ++out.recordsPerFile[static_cast<std::size_t>(f)];
    }
    for (const Area& a : areas) {
        int run = 0;
        for (int f = 0; f < kFileCount; ++f)
            if (a.files >> f & 1)
                run += out.recordsPerFile[static_cast<std::size_t>(f)];
        out.largestRun = std::max(out.largestRun, run);
    }
    return out;
}

} // namespace demodata
