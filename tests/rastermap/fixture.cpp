#include "fixture.h"

#include <fstream>

#include "engine/engine.h"
#include "rastermap/real48binding.h"
#include "vantrixbind/vantrixbind.h"

namespace tavisol::rastermap::testing {

namespace fs = std::filesystem;

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
    std::string text;
    int k = 0;
    for (const FixtureStation &s : stations) {
        testsupport::Station record{s.lat, s.lon, s.alt, {}, "S" + std::to_string(++k), "Land"};
        for (int m = 1; m <= 12; ++m)
            record.values.push_back(s.base + m);
        text += testsupport::StationLine(record);
    }
    testsupport::WriteStationFilesEverywhere(dataFolder, text);
    testsupport::WriteElevationRaster(dataFolder, 0);
}

} // namespace tavisol::rastermap::testing
