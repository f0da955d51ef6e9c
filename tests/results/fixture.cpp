#include "fixture.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "engine/engine.h"

namespace tavisol::results::fixture {

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("tavisol_results_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string StationFile(const std::vector<Station> &stations) {
    std::ostringstream out;
    out.precision(9);
    for (const Station &s : stations) {
        out << s.lat << "," << s.lon << "," << s.alt;
        for (double v : s.values)
            out << "," << v;
        out << ",\"" << s.name << "\",\"" << s.country << "\"\r\n";
    }
    return out.str();
}

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
    const std::filesystem::path data = programFolder / "TavisolData";
    std::filesystem::create_directories(data);
    for (int v = 0; v < VariableCount; ++v) {
        const auto names = engine::StationFileNames(static_cast<engine::Integer>(v), static_cast<float>(lat),
                                                    static_cast<float>(lon));
        bool first = true;
        for (const std::string &name : names) {
            std::ofstream out(data / name, std::ios::binary);
            if (first)
                out << StationFile(StationsAround(lon, lat, v));
            first = false;
        }
    }
}

void SetActiveNeighbours(GuessResults &results, int v, int n) {
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
    CountActiveNeighbours(results);
}

} // namespace tavisol::results::fixture
