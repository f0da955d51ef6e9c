#include "fixture.h"

#include <atomic>
#include <fstream>
#include <set>
#include <sstream>
#include <unistd.h>

#include "engine/engine.h"
#include "rastermap/real48binding.h"
#include "vantrixbind/vantrixbind.h"

namespace tavisol::rastermap::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            ("tavisol_raster_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void TempFolder::Write(const std::string &name, const std::string &content) const {
    fs::create_directories((path_ / name).parent_path());
    std::ofstream out(path_ / name, std::ios::binary);
    out << content;
}

std::string TempFolder::Read(const std::string &name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void UseBuiltVantrix() { vantrix::setLibraryPath(QStringLiteral(TAVISOL_BIN_DIR "/libvantrix.so")); }

ImageHeader MakeHeader(int columns, int rows, double centreLon, double centreLat, double centreCol,
                       double centreRow, double cellWidth, double cellHeight) {
    const Real48Conversions conv = VantrixConversions();
    auto real = [&](double v) { return v == 0 ? Real48Rec{} : conv.ToReal48(v); };
    ImageHeader h;
    h.Columns = static_cast<std::int16_t>(columns);
    h.Rows = static_cast<std::int16_t>(rows);
    h.CentreLongitude = real(centreLon);
    h.CentreLatitude = real(centreLat);
    h.CentreColumn = real(centreCol);
    h.CentreRow = real(centreRow);
    h.CellWidth = real(cellWidth);
    h.CellHeight = real(cellHeight);
    h.Title.fill(' ');
    return h;
}

void WriteFixtureMap(const fs::path &folder, const FixtureMap &m) {
    fs::create_directories(folder);
    // Column c lies at West + c x Cell, row r at North - r x Cell.
    const double centreCol = m.Columns / 2.0;
    const double centreRow = m.Rows / 2.0;
    const ImageHeader h = MakeHeader(m.Columns, m.Rows, m.West + centreCol * m.Cell, m.North - centreRow * m.Cell,
                                     centreCol, centreRow, m.Cell, m.Cell);
    std::vector<std::uint8_t> cells = m.Cells;
    if (cells.empty())
        for (int r = 0; r < m.Rows; ++r)
            for (int c = 0; c < m.Columns; ++c)
                cells.push_back(static_cast<std::uint8_t>(c % 10));
    WriteRasterImage(folder / (m.Name + ".img"), h, cells);
    auto write = [&](const std::string &ext, const std::string &text) {
        std::ofstream out(folder / (m.Name + ext), std::ios::binary);
        out << text;
    };
    write(".clr", m.Legend);
    write(".cty", m.Capitals);
    write(".bnd", m.Boundaries);
}

void WriteStationData(const fs::path &dataFolder, const std::vector<FixtureStation> &stations) {
    fs::create_directories(dataFolder);
    std::ostringstream text;
    int k = 0;
    for (const FixtureStation &s : stations) {
        text << s.lat << "," << s.lon << "," << s.alt;
        for (int m = 1; m <= 12; ++m)
            text << "," << (s.base + m);
        text << ",\"S" << ++k << "\",\"Land\"\r\n";
    }
    std::set<std::string> names;
    for (int v = 0; v < 8; ++v)
        for (double lat = -85; lat <= 85; lat += 5)
            for (double lon = -175; lon <= 175; lon += 5)
                for (const std::string &n : engine::StationFileNames(static_cast<engine::Integer>(v),
                                                                      static_cast<float>(lat), static_cast<float>(lon)))
                    names.insert(n);
    for (const std::string &n : names) {
        std::ofstream out(dataFolder / n, std::ios::binary);
        out << text.str();
    }
    {
        std::ofstream out(dataFolder / engine::ElevationRasterName, std::ios::binary);
    }
    fs::resize_file(dataFolder / engine::ElevationRasterName, 4320ull * 2160ull);
}

} // namespace tavisol::rastermap::testing
