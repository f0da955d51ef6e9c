#include "fixture.h"

#include "support/neighbours.h"

namespace tavisol::engine::testing {

EngineState MakeState(float lat, float lon, float alt) {
    EngineState state;
    SetInitialValues(state);
    state.CalcLatitude = lat;
    state.CalcLongitude = lon;
    state.CalcAltitude = alt;
    return state;
}

void SetNeighbours(EngineState &state, const std::vector<Station> &stations) {
    testsupport::PutNeighbours(state, stations);
    MarkDoubledStations(state);
    CompleteNeighbourRecords(state);
}

} // namespace tavisol::engine::testing
