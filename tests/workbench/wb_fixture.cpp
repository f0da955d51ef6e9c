#include "wb_fixture.h"

#include <cmath>

#include "support/neighbours.h"

namespace tavisol::workbench::testing {

using namespace engine;

std::vector<Station> StationsAround(int variable, int count, float lat, float lon) {
    std::vector<Station> stations;
    for (int i = 0; i < count; ++i) {
        const double a = 2 * M_PI * i / count + 0.2;
        Station s;
        s.lat = lat + (0.3 + 0.05 * i) * std::cos(a);
        s.lon = lon + (0.4 + 0.05 * i) * std::sin(a);
        s.alt = 20 + 90 * i;
        s.name = "Station " + std::to_string(i + 1);
        s.country = "Italy";
        s.values.clear();
        for (int m = 1; m <= 12; ++m) {
            const double season = -std::cos(2 * M_PI * (m - 0.5) / 12);
            double v = 0;
            switch (variable) {
            case 0: v = 15 + 8 * season - 0.0065 * s.alt + 0.3 * (i % 3); break;
            case 1: v = 20 + 9 * season - 0.006 * s.alt; break;
            case 2: v = 10 + 7 * season - 0.006 * s.alt; break;
            case 3: v = 70 - 40 * season + 0.05 * s.alt + (i % 3) * 5; break;
            case 4: v = 14 + 6 * season - 0.003 * s.alt; break;
            case 5: v = 80 + 60 * season - 0.02 * s.alt; break;
            case 6: v = 3 + 0.1 * (i % 2); break;
            default: v = 0.5 + 0.2 * season + 0.01 * (i % 4); break;
            }
            s.values.push_back(v);
        }
        stations.push_back(s);
    }
    return stations;
}

void WriteDataFolder(const std::filesystem::path &programFolder, int stationsPerVariable, unsigned char rasterByte) {
    const std::filesystem::path data = programFolder / "TavisolData";
    testsupport::WriteStationFilesAt(data, PointLat, PointLon,
                                     [&](int v) { return StationFile(StationsAround(v, stationsPerVariable)); });
    testsupport::WriteElevationRaster(data, rasterByte);
}

EngineState MakeState(int variable, float lat, float lon, float alt) {
    EngineState state = testsupport::StateAt(lat, lon, alt);
    state.CurrentVariable = static_cast<Integer>(variable);
    return state;
}

void SetNeighbours(EngineState &state, const std::vector<Station> &stations) {
    testsupport::PutNeighbours(state, stations);
    for (int k = 1; k <= state.NeighbourCount; ++k) {
        StationRecord &n = state.Neighbours[k];
        n.Direction = Azimuth(state.CalcLongitude, state.CalcLatitude, n.Longitude, n.Latitude);
        n.Compass = CompassLetters(n.Direction);
        n.Weight = 1.0f / static_cast<float>(stations.size());
    }
    MarkDoubledStationsAndShow(state);
    ReadWorkbenchSelection(state);
    CompleteNeighbourRecords(state);
}

} // namespace tavisol::workbench::testing
