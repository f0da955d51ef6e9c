#pragma once

// Helpers of the raster map tests: folders, raster maps and station data
// written by the test itself.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "rastermap/rasterimage.h"
#include "support/datafolder.h"

namespace tavisol::rastermap::testing {

using testsupport::TempFolder;

// Points the Vantrix binding at the built library.
void UseBuiltVantrix();

// A header with the given size and georeference (through the binding).
ImageHeader MakeHeader(int columns, int rows, double centreLon, double centreLat, double centreCol,
                       double centreRow, double cellWidth, double cellHeight);

// Writes name.img/.clr/.cty/.bnd into folder. Cells column-fastest.
struct FixtureMap {
    std::string Name = "demo";
    int Columns = 20;
    int Rows = 10;
    // Georeference: column 0 at West, row 0 at North, cells of Cell degrees.
    double West = 5.0;
    double North = 55.0;
    double Cell = 1.0;
    std::vector<std::uint8_t> Cells;  // empty: class = column % 10
    std::string Legend = "Legend\r\n0\t4\t255\t0\t0\tLow\r\n5\t9\t0\t0\t255\tHigh\r\n";
    std::string Capitals = "\"Town\",1\r\n10.0,50.0\r\n";
    std::string Boundaries = "\"Line\",3\r\n6,54\r\n12,48\r\n20,47\r\n";
};
void WriteFixtureMap(const std::filesystem::path &folder, const FixtureMap &map);

// A program folder with vistreldata/ and TavisolData/: station files of every
// variable with the given stations (value = base + month), an elevation
// raster of zero bytes (altitude -40 m everywhere).
struct FixtureStation {
    double lat, lon, alt, base;
};
void WriteStationData(const std::filesystem::path &dataFolder, const std::vector<FixtureStation> &stations);

} // namespace tavisol::rastermap::testing
