#include "wb_fixture.h"

#include <atomic>
#include <cmath>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace tavisol::workbench::testing {

using namespace engine;

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("tavisol_workbench_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void TempFolder::Write(const std::filesystem::path &name, const std::string &content) const {
    std::filesystem::create_directories((path_ / name).parent_path());
    std::ofstream out(path_ / name, std::ios::binary);
    out << content;
}

std::string StationFile(const std::vector<Station> &stations) {
    std::ostringstream out;
    out.precision(9);
    for (const Station &s : stations) {
        out << s.lat << "," << s.lon << "," << s.alt;
        for (std::size_t m = 0; m < 12; ++m)
            out << "," << (m < s.values.size() ? s.values[m] : 0.0);
        out << ",\"" << s.name << "\",\"" << s.country << "\"\r\n";
    }
    return out.str();
}

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
    std::filesystem::create_directories(data);
    for (Integer v = 0; v <= 7; ++v) {
        const auto names = StationFileNames(v, PointLat, PointLon);
        for (std::size_t i = 0; i < names.size(); ++i) {
            std::ofstream out(data / names[i], std::ios::binary);
            if (i == 0)
                out << StationFile(StationsAround(v, stationsPerVariable));
        }
    }
    std::ofstream raster(data / ElevationRasterName, std::ios::binary);
    const std::string row(4320, static_cast<char>(rasterByte));
    for (int r = 0; r < 2160; ++r)
        raster.write(row.data(), static_cast<std::streamsize>(row.size()));
}

EngineState MakeState(int variable, float lat, float lon, float alt) {
    EngineState state;
    SetInitialValues(state);
    state.CurrentVariable = static_cast<Integer>(variable);
    state.CalcLatitude = lat;
    state.CalcLongitude = lon;
    state.CalcAltitude = alt;
    return state;
}

void SetNeighbours(EngineState &state, const std::vector<Station> &stations) {
    int k = 0;
    for (const Station &s : stations) {
        ++k;
        StationRecord &n = state.Neighbours[k];
        n = StationRecord{};
        n.Latitude = static_cast<float>(s.lat);
        n.Longitude = static_cast<float>(s.lon);
        n.Altitude = static_cast<float>(s.alt);
        for (std::size_t m = 1; m <= 12; ++m)
            n.Values[m] = m <= s.values.size() ? static_cast<float>(s.values[m - 1]) : 0.0f;
        n.Name = s.name;
        n.Country = s.country;
        n.Distance = GreatCircleDistance(state.CalcLongitude, state.CalcLatitude, n.Longitude, n.Latitude,
                                         state.ZeroTolerance);
        n.Direction = Azimuth(state.CalcLongitude, state.CalcLatitude, n.Longitude, n.Latitude);
        n.Compass = CompassLetters(n.Direction);
        n.Weight = 1.0f / static_cast<float>(stations.size());
    }
    state.NeighbourCount = static_cast<Integer>(k);
    MarkDoubledStationsAndShow(state);
    ReadWorkbenchSelection(state);
    CompleteNeighbourRecords(state);
}

} // namespace tavisol::workbench::testing
