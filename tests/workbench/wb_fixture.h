#pragma once

// Helpers of the workbench tests: a data folder of station files and an
// elevation raster written by the test, and states with hand-made neighbours.

#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "support/datafolder.h"

namespace tavisol::workbench::testing {

using testsupport::Station;
using testsupport::StationFile;
using testsupport::TempFolder;

// The point the data folder is written around.
inline constexpr float PointLat = 41.9f;
inline constexpr float PointLon = 12.5f;
inline constexpr float PointAlt = 50.0f;

// `count` stations around the point with a seasonal cycle, an altitude
// gradient and rising altitudes, for a variable.
std::vector<Station> StationsAround(int variable, int count, float lat = PointLat, float lon = PointLon);

// Writes the station files of all eight variables (all stations into the
// first file a variable reads, the other files empty) and an elevation raster
// whose every cell is `rasterByte`, into folder/TavisolData.
void WriteDataFolder(const std::filesystem::path &programFolder, int stationsPerVariable = 12,
                     unsigned char rasterByte = 10);

// A state with the default settings at the point.
engine::EngineState MakeState(int variable, float lat = PointLat, float lon = PointLon, float alt = PointAlt);

// Puts the stations as neighbours 1..n, active, with distances and directions,
// and counts and completes them.
void SetNeighbours(engine::EngineState &state, const std::vector<Station> &stations);

} // namespace tavisol::workbench::testing
