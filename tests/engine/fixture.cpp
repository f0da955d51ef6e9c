#include "fixture.h"

#include "support/neighbours.h"

namespace tavisol::engine::testing {

EngineState MakeState(float lat, float lon, float alt) { return testsupport::StateAt(lat, lon, alt); }

EngineState MakeState(const TempFolder &dataFolder, float lat, float lon, float alt) {
    EngineState state = MakeState(lat, lon, alt);
    state.DataFolder = dataFolder.path();
    return state;
}

void SetNeighbours(EngineState &state, const std::vector<Station> &stations) {
    testsupport::PutNeighbours(state, stations);
    MarkDoubledStations(state);
    CompleteNeighbourRecords(state);
}

} // namespace tavisol::engine::testing
