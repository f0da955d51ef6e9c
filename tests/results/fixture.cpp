#include "fixture.h"

#include "engine/engine.h"

namespace tavisol::results::fixture {

std::vector<Station> StationsAround(double lon, double lat, int variable) {
    // Offsets in degrees; the fourth and fifth share one position.
    const double offsets[8][2] = {{0.10, 0.05}, {-0.15, 0.10}, {0.20, -0.20}, {-0.25, -0.15},
                                  {-0.25, -0.15}, {0.35, 0.30}, {-0.40, 0.35}, {0.05, -0.45}};
    std::vector<Station> stations;
    for (int k = 0; k < 8; ++k) {
        Station s;
        s.lon = lon + offsets[k][0];
        s.lat = lat + offsets[k][1];
        s.alt = 20.0 + 40.0 * k;
        for (int m = 0; m < 12; ++m)
            s.values[static_cast<std::size_t>(m)] =
                variable == 7 ? 0.3 + 0.02 * m + 0.01 * k : 10.0 * (variable + 1) + m + 0.5 * k;
        s.name = "St" + std::to_string(variable) + "_" + std::to_string(k + 1);
        s.country = "Land";
        stations.push_back(s);
    }
    return stations;
}

void WriteDataFolder(const std::filesystem::path &programFolder, double lon, double lat) {
    testsupport::WriteStationFilesAt(programFolder / "TavisolData", static_cast<float>(lat), static_cast<float>(lon),
                                     [&](int v) { return StationFile(StationsAround(lon, lat, v)); });
}

void SetActiveNeighbours(LocationResults &results, int v, int n) {
    StoredVariable &s = results[v];
    s.NeighbourCount = static_cast<engine::Integer>(n);
    for (int k = 1; k <= engine::MaxNeighbours; ++k) {
        engine::StationRecord &r = s.Neighbours[static_cast<std::size_t>(k)];
        r.Active = k <= n ? 1 : 0;
        if (k <= n) {
            r.Name = "N" + std::to_string(k);
            r.Country = "Land";
        }
    }
    s.Computed = true;
    s.Estimated = n > 0;
    CountActiveNeighbours(results);
}

} // namespace tavisol::results::fixture
