#pragma once

// Helpers of the location results tests: a data folder written by the test
// with small station files for all eight variables, and stored copies filled
// by hand.

#include <filesystem>
#include <string>
#include <vector>

#include "results/storedresults.h"

namespace tavisol::results::fixture {

// A fresh folder under the system's temporary folder, removed on destruction.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    const std::filesystem::path &path() const { return path_; }

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

std::string StationFile(const std::vector<Station> &stations);

// Eight stations around (lon, lat) within a few tens of km, two of them at one
// position (the later one is switched off as doubled); monthly values rise
// with the variable index so each variable's copy is recognisable.
std::vector<Station> StationsAround(double lon, double lat, int variable);

// Writes every station file that the run of each variable reads at the point
// into folder / "TavisolData": the stations of StationsAround in the first
// file of a variable, the other tiles empty.
void WriteDataFolder(const std::filesystem::path &programFolder, double lon, double lat);

// Stored copies with n active neighbours for variable v (records 1..n active,
// within the neighbour count) and record 21 counted.
void SetActiveNeighbours(GuessResults &results, int v, int n);

} // namespace tavisol::results::fixture
