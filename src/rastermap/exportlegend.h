#pragma once

// What an exported image needs beside it to be listed and shown as a map: a
// colour legend of the exported variable and the capitals and boundaries of
// the map it was exported from.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "rastermap/mapfiles.h"

namespace tavisol::rastermap {

// One legend record: classes First..Last share a colour and a name.
struct LegendRecord {
    int First = 0;
    int Last = 0;
    std::uint8_t Red = 0, Green = 0, Blue = 0;
    std::string Name;  // UTF-8
};

// The legend of an export of a variable (0..7): the classes 0..250 that occur
// in the cells, in runs of a round width of values (at most 20 runs), each
// named by its value range and the variable's unit ("10.0 - 12.0 °C") and
// coloured along a ramp suited to the variable; then 253 below and 254 above
// the range of the classes, and 255 "No data".
std::vector<LegendRecord> ExportLegend(int variable, const std::vector<std::uint8_t> &cells);

// The legend file's text (UTF-8, CR LF line ends): a title line, then one
// TAB-separated record per line.
std::string LegendFileText(const std::string &title, const std::vector<LegendRecord> &records);

// The file an image typed without an extension is written to: the loaded
// map's image extension added.
std::filesystem::path ExportImagePath(const std::filesystem::path &typed, const std::filesystem::path &mapImage);

// The legend, capitals and boundaries files beside an exported image, named
// as the map list looks for them.
MapPaths ExportCompanionPaths(const std::filesystem::path &image);

// Writes beside an exported image its legend (replacing one of that name)
// and, unless files of those names exist, copies of the loaded map's capitals
// and boundaries files. Throws RasterError naming the file that could not be
// written.
void WriteExportCompanions(const std::filesystem::path &image, const std::string &title, int variable,
                           const std::vector<std::uint8_t> &cells, const MapPaths &loadedMap);

} // namespace tavisol::rastermap
