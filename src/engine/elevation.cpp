#include <cmath>

#include "engine/engine.h"

namespace tavisol::engine {

namespace {

constexpr int RasterColumns = 4320;
constexpr int RasterRows = 2160;

} // namespace

std::int64_t ElevationBytePosition(Single lon, Single lat) {
    if (!std::isfinite(lon) || !std::isfinite(lat))
        throw EngineError(ErrorKind::BadRasterRead, "No elevation for an invalid coordinate");
    // Longitudes beyond +-180 wrap around the globe: east of 180 into
    // (-180, 180], west of -180 into [-180, 180). fmod is exact for any size,
    // where subtracting whole turns loses the value of huge ones.
    double x = lon;
    if (x > 180) {
        x = std::fmod(x, 360);
        if (x > 180)
            x -= 360;
    } else if (x < -180) {
        x = std::fmod(x, 360);
        if (x < -180)
            x += 360;
    }
    // Halves go to the even neighbour.
    const double col = std::nearbyint((x + 180) / 360 * RasterColumns);
    double row = std::nearbyint((1 - (static_cast<double>(lat) + 90) / 180) * RasterRows);
    // The polar half-cells round to rows 0 and 2160.5; keep to the file.
    row = std::fmax(1, std::fmin(RasterRows, row));
    std::int64_t position = static_cast<std::int64_t>(col) + (static_cast<std::int64_t>(row) - 1) * RasterColumns;
    if (position == 0) // longitude -180 on the first row
        position = RasterColumns;
    return position;
}

Integer GetElevation(DataFiles &files, const std::filesystem::path &dataFolder, Single lon, Single lat,
                     Integer &isWater) {
    const std::int64_t position = ElevationBytePosition(lon, lat);
    const std::uint8_t b =
        files.ReadRasterByte(dataFolder / ElevationRasterName, static_cast<std::uint64_t>(position - 1));
    if (b < 255) {
        isWater = 0;
        return static_cast<Integer>(b * 20 - 40);
    }
    isWater = 1;
    return 0;
}

Integer GetElevation(const std::filesystem::path &dataFolder, Single lon, Single lat, Integer &isWater) {
    return GetElevation(*DefaultDataFiles(), dataFolder, lon, lat, isWater);
}

Integer GetElevation(DataFiles &files, const std::filesystem::path &dataFolder, Single lon, Single lat) {
    Integer isWater = 0;
    return GetElevation(files, dataFolder, lon, lat, isWater);
}

Integer GetElevation(const std::filesystem::path &dataFolder, Single lon, Single lat) {
    return GetElevation(*DefaultDataFiles(), dataFolder, lon, lat);
}

} // namespace tavisol::engine
