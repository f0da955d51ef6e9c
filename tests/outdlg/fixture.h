#pragma once

// Helpers of the output dialog tests: a temporary folder, stored copies with
// recognisable values, and a data folder (station files of all eight
// variables and an elevation raster) written by the test.

#include <filesystem>
#include <string>
#include <vector>

#include "engine/state.h"
#include "results/storedresults.h"

namespace tavisol::outdlg::fixture {

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

std::string Slurp(const std::filesystem::path &file);
void Put(const std::filesystem::path &file, const std::string &bytes);
// Lines joined with CR LF after each, as the writers end them.
std::string Joined(const std::vector<std::string> &lines);

inline constexpr float PointLon = 13.01F;
inline constexpr float PointLat = 41.99F;
inline constexpr float PointAlt = 17.0F;

// Stored copies of a finished run at the point: variable v's monthly best
// estimates 10 (v + 1) + m, rain above the PET all year; three neighbours each.
results::LocationResults StoredRun();

// Station files around the point for every variable and a flat land raster,
// into programFolder / "TavisolData".
void WriteDataFolder(const std::filesystem::path &programFolder);

} // namespace tavisol::outdlg::fixture
