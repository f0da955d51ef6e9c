#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace tavisol::engine {

namespace {

struct TileBounds {
    const char *prefix;
    const char *southFile;
    const char *northFile;
    Single latitude[5];
    Single longitude[7];
};

constexpr TileBounds TemperatureTileBounds = {
    "mela", "mesud.txt", "menor.txt", {-2, 11, 25, 37, 90}, {-138, -87, -61, -16, 30, 108, 180}};
constexpr TileBounds PrecipitationTileBounds = {
    "prla", "prsud.txt", "prnor.txt", {0, 13, 26, 37, 90}, {-133, -87, -61, -7, 44, 120, 180}};

std::vector<std::string> TileNames(const TileBounds &b, Single latitude, Single longitude) {
    int i = 6;
    for (int k = 1; k <= 5; ++k) {
        if (latitude < b.latitude[k - 1]) {
            i = k;
            break;
        }
    }
    int j = 6;
    for (int k = 1; k <= 7; ++k) {
        if (longitude < b.longitude[k - 1]) {
            j = k - 1;
            break;
        }
    }
    if (j == 0)
        j = 6; // west of the first bound: the band that wraps across 180 degrees
    const int i2 = i + 1 == 7 ? 1 : i + 1;
    const int j2 = j + 1 == 7 ? 1 : j + 1;
    auto name = [&](int lat, int lon) {
        return std::string(b.prefix) + std::to_string(lat) + "lo" + std::to_string(lon) + ".txt";
    };
    std::vector<std::string> names = {name(i, j), name(i2, j), name(i, j2), name(i2, j2)};
    if (latitude < -50)
        names.emplace_back(b.southFile);
    if (latitude > 60)
        names.emplace_back(b.northFile);
    return names;
}

const char *SingleFileName(Integer variable) {
    switch (variable) {
    case 1: return "max.txt";
    case 2: return "min.txt";
    case 4: return "vap.txt";
    case 5: return "pet.txt";
    case 6: return "windsp.txt";
    case 7: return "sufr.txt";
    default: return nullptr;
    }
}

void LoadFiles(EngineState &state, const std::vector<std::string> &names) {
    for (const std::string &name : names)
        LoadStationFile(state, name);
}

} // namespace

std::vector<std::string> TileFileNames(Integer variable, Single latitude, Single longitude) {
    if (variable == 0)
        return TileNames(TemperatureTileBounds, latitude, longitude);
    if (variable == 3)
        return TileNames(PrecipitationTileBounds, latitude, longitude);
    return {};
}

std::vector<std::string> StationFileNames(Integer variable, Single latitude, Single longitude) {
    if (variable == 0 || variable == 3)
        return TileFileNames(variable, latitude, longitude);
    if (const char *name = SingleFileName(variable))
        return {name};
    return {};
}

void LoadStationFile(EngineState &state, const std::string &fileName) {
    DataFiles &files = state.Files ? *state.Files : *DefaultDataFiles();
    const int count = state.StationCount;
    const auto records =
        files.ReadStationFile(state.DataFolder / fileName, static_cast<std::size_t>(MaxStationRecords - count));
    const std::size_t total = static_cast<std::size_t>(count) + records->size();
    if (state.Stations.size() < total + 1)
        state.Stations.resize(total + 1);
    int n = count;
    for (const StationRecord &r : *records) {
        ++n;
        StationRecord &s = state.Stations[static_cast<std::size_t>(n)];
        s.Latitude = r.Latitude;
        s.Longitude = r.Longitude;
        s.Altitude = r.Altitude;
        for (int m = 1; m <= 12; ++m)
            s.Values[m] = r.Values[m];
        s.Name = r.Name;
        s.Country = r.Country;
        state.DoEvents();
    }
    state.StationCount = static_cast<Integer>(n);
}

namespace {

std::string ShortestForm(Single v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

} // namespace

std::string DescribeStationOverflow(EngineState &state) {
    const std::size_t variable = static_cast<std::size_t>(state.CurrentVariable) % VariableNames.size();
    std::string text = "Overflow: the estimate of " + std::string(VariableNames[variable]) + " at Lon " +
                       ShortestForm(state.CalcLongitude) + ", Lat " + ShortestForm(state.CalcLatitude) +
                       " goes beyond the range of single-precision numbers.";
    DataFiles &files = state.Files ? *state.Files : *DefaultDataFiles();
    Single largest = -1;
    std::string where;
    std::vector<std::string> names = StationFileNames(state.CurrentVariable, state.CalcLatitude, state.CalcLongitude);
    for (const std::string &name : names) {
        const std::filesystem::path path = state.DataFolder / name;
        std::shared_ptr<const StationList> records;
        try {
            records = files.ReadStationFile(path, static_cast<std::size_t>(MaxStationRecords));
        } catch (const EngineError &) {
            continue; // the message names what it can
        }
        for (std::size_t i = 0; i < records->size(); ++i) {
            const StationRecord &r = (*records)[i];
            for (int field = 1; field <= 15; ++field) {
                const Single v = field == 1 ? r.Latitude
                                 : field == 2 ? r.Longitude
                                 : field == 3 ? r.Altitude
                                              : r.Values[static_cast<std::size_t>(field - 3)];
                if (std::fabs(v) > largest) {
                    largest = std::fabs(v);
                    where = ShortestForm(v) + ", in field " + std::to_string(field) + " of record " +
                            std::to_string(i + 1) + " of " + path.string();
                }
            }
        }
    }
    if (!where.empty()) {
        text += " The largest number of its station files is " + where + ".";
    } else {
        text += " Station files:";
        for (const std::string &name : names)
            text += " " + (state.DataFolder / name).string();
        text += ".";
    }
    return text;
}

void LoadTemperatureTiles(EngineState &state) {
    LoadFiles(state, TileNames(TemperatureTileBounds, state.CalcLatitude, state.CalcLongitude));
}

void LoadPrecipitationTiles(EngineState &state) {
    LoadFiles(state, TileNames(PrecipitationTileBounds, state.CalcLatitude, state.CalcLongitude));
}

} // namespace tavisol::engine
