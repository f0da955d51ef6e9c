#include "fixture.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

#include "engine/engine.h"

namespace tavisol::outdlg::fixture {

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("tavisol_outdlg_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string Slurp(const std::filesystem::path &file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(const std::filesystem::path &file, const std::string &bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

std::string Joined(const std::vector<std::string> &lines) {
    std::string s;
    for (const std::string &l : lines)
        s += l + "\r\n";
    return s;
}

results::LocationResults StoredRun() {
    results::LocationResults r;
    for (int v = 0; v < results::VariableCount; ++v) {
        results::StoredVariable &s = r[v];
        for (std::size_t m = 1; m <= 12; ++m) {
            float value = 10.0F * static_cast<float>(v + 1) + static_cast<float>(m);
            if (v == 7)
                value = 0.4F + 0.01F * static_cast<float>(m);
            s.Result.Best[m] = value;
            s.Result.StdErr[m] = 1.0F;
        }
        s.Result.Best[13] = s.Result.Best[6];
        s.CalcLongitude = PointLon;
        s.CalcLatitude = PointLat;
        s.CalcAltitude = PointAlt;
        s.NeighbourCount = 3;
        s.ActiveCount = 3;
        s.ActiveWithAltCount = 3;
        for (std::size_t k = 1; k <= 3; ++k) {
            engine::StationRecord &n = s.Neighbours[k];
            n.Name = "N" + std::to_string(v) + "_" + std::to_string(k);
            n.Country = "Land";
            n.Latitude = PointLat + 0.1F * static_cast<float>(k);
            n.Longitude = PointLon;
            n.Altitude = 20.0F * static_cast<float>(k);
            n.Active = 1;
            n.Distance = 11.0F * static_cast<float>(k);
        }
        s.Neighbours[engine::SummaryRecord].Active = 3;
        s.Estimated = true;
        s.Computed = true;
    }
    return r;
}

void WriteDataFolder(const std::filesystem::path &programFolder) {
    const std::filesystem::path data = programFolder / "TavisolData";
    std::filesystem::create_directories(data);
    const double offsets[6][2] = {{0.10, 0.05}, {-0.15, 0.10}, {0.20, -0.20}, {-0.25, -0.15}, {0.35, 0.30}, {-0.40, 0.35}};
    for (engine::Integer v = 0; v <= 7; ++v) {
        std::ostringstream file;
        file.precision(9);
        for (int k = 0; k < 6; ++k) {
            file << PointLat + offsets[k][1] << "," << PointLon + offsets[k][0] << "," << 20 + 40 * k;
            for (int m = 1; m <= 12; ++m)
                file << "," << (v == 7 ? 0.3 + 0.02 * m + 0.01 * k : 10.0 * (v + 1) + m + 0.5 * k);
            file << ",\"St" << v << "_" << k + 1 << "\",\"Land\"\r\n";
        }
        const auto names = engine::StationFileNames(v, PointLat, PointLon);
        for (std::size_t i = 0; i < names.size(); ++i)
            Put(data / names[i], i == 0 ? file.str() : std::string());
    }
    std::ofstream raster(data / engine::ElevationRasterName, std::ios::binary);
    const std::string row(4320, static_cast<char>(10));
    for (int r = 0; r < 2160; ++r)
        raster.write(row.data(), static_cast<std::streamsize>(row.size()));
}

} // namespace tavisol::outdlg::fixture
