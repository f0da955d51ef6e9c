#include "datafolder.h"

#include <atomic>
#include <fstream>
#include <set>
#include <sstream>
#include <unistd.h>

#include "engine/engine.h"

namespace tavisol::testsupport {

namespace fs = std::filesystem;

TempFolder::TempFolder(const std::string &tag) {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            (tag + "_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void TempFolder::Write(const fs::path &name, const std::string &content) const {
    fs::create_directories((path_ / name).parent_path());
    std::ofstream out(path_ / name, std::ios::binary);
    out << content;
}

std::string TempFolder::Read(const fs::path &name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
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

void WriteStationFilesAt(const fs::path &dataFolder, float lat, float lon,
                         const std::function<std::string(int variable)> &text) {
    fs::create_directories(dataFolder);
    for (int v = 0; v < 8; ++v) {
        const auto names = engine::StationFileNames(static_cast<engine::Integer>(v), lat, lon);
        for (std::size_t i = 0; i < names.size(); ++i) {
            std::ofstream out(dataFolder / names[i], std::ios::binary);
            if (i == 0)
                out << text(v);
        }
    }
}

void WriteStationFilesEverywhere(const fs::path &dataFolder, const std::string &text) {
    fs::create_directories(dataFolder);
    std::set<std::string> names;
    for (int v = 0; v < 8; ++v)
        for (double lat = -85; lat <= 85; lat += 5)
            for (double lon = -175; lon <= 175; lon += 5)
                for (const std::string &n : engine::StationFileNames(static_cast<engine::Integer>(v),
                                                                      static_cast<float>(lat), static_cast<float>(lon)))
                    names.insert(n);
    for (const std::string &n : names) {
        std::ofstream out(dataFolder / n, std::ios::binary);
        out << text;
    }
}

void WriteElevationRaster(const fs::path &dataFolder, std::uint8_t fill, const std::vector<RasterCell> &cells) {
    fs::create_directories(dataFolder);
    std::vector<char> bytes(std::size_t(4320) * 2160, static_cast<char>(fill));
    for (const auto &[point, value] : cells) {
        const auto position = engine::ElevationBytePosition(point.first, point.second);
        bytes[static_cast<std::size_t>(position - 1)] = static_cast<char>(value);
    }
    std::ofstream out(dataFolder / engine::ElevationRasterName, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace tavisol::testsupport
