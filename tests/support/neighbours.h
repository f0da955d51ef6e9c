#pragma once

// States and hand-made neighbours for tests that run the engine's later steps
// directly.

#include <vector>

#include "engine/engine.h"
#include "support/datafolder.h"

namespace tavisol::testsupport {

// A state with the default settings at the point.
engine::EngineState StateAt(float lat, float lon, float alt);

// Puts the stations as neighbours 1..n (as given), with their distances from
// the state's point, and sets the neighbour count. Marking doubled stations
// and completing the records is left to the caller.
void PutNeighbours(engine::EngineState &state, const std::vector<Station> &stations);

} // namespace tavisol::testsupport
