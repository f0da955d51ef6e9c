#pragma once

// Data folders written by the tests: a temporary folder, station-file records,
// the station files every variable reads, and the elevation raster.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tavisol::testsupport {

// A fresh folder under the system's temporary folder, removed on destruction.
// The tag keeps folders of different test programs apart.
class TempFolder {
public:
    explicit TempFolder(const std::string &tag = "tavisol");
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    const std::filesystem::path &path() const { return path_; }
    // Writes the file, making its sub-folders first.
    void Write(const std::filesystem::path &name, const std::string &content) const;
    std::string Read(const std::filesystem::path &name) const;

private:
    std::filesystem::path path_;
};

struct Station {
    double lat = 0;
    double lon = 0;
    double alt = 0;
    std::vector<double> values = std::vector<double>(12, 0.0);
    std::string name = "Station";
    std::string country = "Country";
};

// One record on one line with sixteen commas, names quoted; missing monthly
// values are written as 0.
std::string StationLine(const Station &s);
std::string StationFile(const std::vector<Station> &stations);

// Writes every station file that variable v (0..7) reads at the point into
// dataFolder: text(v) into the first file of a variable, the other tiles empty.
void WriteStationFilesAt(const std::filesystem::path &dataFolder, float lat, float lon,
                         const std::function<std::string(int variable)> &text);

// Writes the same text into every station file of every variable over the
// whole globe.
void WriteStationFilesEverywhere(const std::filesystem::path &dataFolder, const std::string &text);

// Writes the elevation raster into dataFolder, every cell `fill` except the
// given points (lon, lat) whose cell gets its own byte.
using RasterCell = std::pair<std::pair<float, float>, std::uint8_t>;
void WriteElevationRaster(const std::filesystem::path &dataFolder, std::uint8_t fill,
                          const std::vector<RasterCell> &cells = {});

} // namespace tavisol::testsupport
