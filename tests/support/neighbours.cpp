#include "neighbours.h"

namespace tavisol::testsupport {

engine::EngineState StateAt(float lat, float lon, float alt) {
    engine::EngineState state;
    engine::SetInitialValues(state);
    state.CalcLatitude = lat;
    state.CalcLongitude = lon;
    state.CalcAltitude = alt;
    return state;
}

void PutNeighbours(engine::EngineState &state, const std::vector<Station> &stations) {
    int k = 0;
    for (const Station &s : stations) {
        ++k;
        engine::StationRecord &n = state.Neighbours[k];
        n = engine::StationRecord{};
        n.Latitude = static_cast<float>(s.lat);
        n.Longitude = static_cast<float>(s.lon);
        n.Altitude = static_cast<float>(s.alt);
        for (std::size_t m = 1; m <= 12; ++m)
            n.Values[m] = m <= s.values.size() ? static_cast<float>(s.values[m - 1]) : 0.0f;
        n.Name = s.name;
        n.Country = s.country;
        n.Distance = engine::GreatCircleDistance(state.CalcLongitude, state.CalcLatitude, n.Longitude, n.Latitude,
                                                 state.ZeroTolerance);
    }
    state.NeighbourCount = static_cast<engine::Integer>(k);
}

} // namespace tavisol::testsupport
