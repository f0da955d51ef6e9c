#pragma once
// The tiles of the mean temperature and precipitation files. A point reads its own
// tile, the tiles north and east of it and the one north-east, plus a polar file
// beyond 50 S or 60 N; each station is written to the fewest files that let every
// point within the search radius find it exactly once where the layout allows.
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace demodata {

struct TileBounds {
    std::array<double, 5> lat;
    std::array<double, 7> lon;
};

extern const TileBounds kTemperatureTiles;
extern const TileBounds kPrecipitationTiles;

constexpr int kTileFiles = 36;
constexpr int kSouthFile = 36;
constexpr int kNorthFile = 37;
constexpr int kFileCount = 38;

// File index of tile (i, j), both 1..6.
constexpr int tileIndex(int i, int j) { return (i - 1) * 6 + (j - 1); }

// "mela5lo4.txt", "mesud.txt"... for prefix "me" or "pr".
QString tileFileName(const QString& prefix, int file);

// The files a computation point reads, in reading order.
std::vector<int> filesForPoint(const TileBounds& bounds, double lon, double lat);

struct TileLayout {
    std::vector<std::uint64_t> filesOfStation; // bit f set: station goes into file f
    std::array<int, kFileCount> recordsPerFile{};
    int largestRun = 0;       // most records any point reads
    long long doubledPairs = 0; // station copies beyond the first, summed over the point areas that need them
};

TileLayout layoutTiles(const TileBounds& bounds, const std::vector<double>& lon, const std::vector<double>& lat,
                       double radiusKm);

} // namespace demodata
