#pragma once

// Helpers of the location results tests: a data folder written by the test
// with small station files for all eight variables, and stored copies filled
// by hand.

#include <filesystem>
#include <string>
#include <vector>

#include "results/storedresults.h"
#include "support/datafolder.h"

namespace tavisol::results::fixture {

using testsupport::Station;
using testsupport::StationFile;
using testsupport::TempFolder;

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
void SetActiveNeighbours(LocationResults &results, int v, int n);

} // namespace tavisol::results::fixture
