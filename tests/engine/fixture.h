#pragma once

// Helpers of the engine tests: a data folder written by the test, and states
// with hand-made neighbours.

#include <string>
#include <vector>

#include "engine/engine.h"
#include "support/datafolder.h"

namespace tavisol::engine::testing {

using testsupport::Station;
using testsupport::StationFile;
using testsupport::StationLine;
using testsupport::TempFolder;

// The same value in all twelve months.
inline std::vector<double> Flat(double v) { return std::vector<double>(12, v); }

// A state with the default settings at the given point.
EngineState MakeState(float lat, float lon, float alt);

// The same, reading its station files from the folder.
EngineState MakeState(const TempFolder &dataFolder, float lat, float lon, float alt);

// Puts the stations as neighbours 1..n (nearest first as given), active,
// with their distances from the point, and counts them.
void SetNeighbours(EngineState &state, const std::vector<Station> &stations);

} // namespace tavisol::engine::testing
