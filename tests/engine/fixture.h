#pragma once

// Helpers of the engine tests: a data folder written by the test, and states
// with hand-made neighbours.

#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace tavisol::engine::testing {

// A fresh folder under the system's temporary folder, removed on destruction.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    const std::filesystem::path &path() const { return path_; }
    void Write(const std::string &name, const std::string &content) const;

private:
    std::filesystem::path path_;
};

struct Station {
    double lat = 0;
    double lon = 0;
    double alt = 0;
    std::vector<double> values = std::vector<double>(12, 0.0);
    std::string name = "Station";
    std::string country = "Country";
};

// One record on one line with sixteen commas, names quoted.
std::string StationLine(const Station &s);
std::string StationFile(const std::vector<Station> &stations);

// A state with the default settings at the given point.
EngineState MakeState(float lat, float lon, float alt);

// Puts the stations as neighbours 1..n (nearest first as given), active,
// with their distances from the point, and counts them.
void SetNeighbours(EngineState &state, const std::vector<Station> &stations);

} // namespace tavisol::engine::testing
