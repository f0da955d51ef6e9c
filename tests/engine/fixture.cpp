#include "fixture.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace tavisol::engine::testing {

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("tavisol_engine_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void TempFolder::Write(const std::string &name, const std::string &content) const {
    std::ofstream out(path_ / name, std::ios::binary);
    out << content;
}

std::string StationLine(const Station &s) {
    std::ostringstream out;
    out.precision(9);
    out << s.lat << "," << s.lon << "," << s.alt;
    for (std::size_t m = 0; m < 12; ++m)
        out << "," << (m < s.values.size() ? s.values[m] : 0.0);
    out << ",\"" << s.name << "\",\"" << s.country << "\"\r\n";
    return out.str();
}

std::string StationFile(const std::vector<Station> &stations) {
    std::string text;
    for (const Station &s : stations)
        text += StationLine(s);
    return text;
}

EngineState MakeState(float lat, float lon, float alt) {
    EngineState state;
    SetInitialValues(state);
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
    }
    state.NeighbourCount = static_cast<Integer>(k);
    MarkDoubledStations(state);
    CompleteNeighbourRecords(state);
}

} // namespace tavisol::engine::testing
