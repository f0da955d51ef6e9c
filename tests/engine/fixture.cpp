#include "fixture.h"

#include "support/neighbours.h"

namespace tavisol::engine::testing {

EngineState MakeState(float lat, float lon, float alt) { return testsupport::StateAt(lat, lon, alt); }

void SetNeighbours(EngineState &state, const std::vector<Station> &stations) {
    testsupport::PutNeighbours(state, stations);
    MarkDoubledStations(state);
    CompleteNeighbourRecords(state);
}

} // namespace tavisol::engine::testing
