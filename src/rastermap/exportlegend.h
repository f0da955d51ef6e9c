#pragma once

// What an exported image needs beside it to be listed and shown as a map: a
// colour legend of the exported variable and the capitals and boundaries of
// the map it was exported from; the check of the name it is saved under, and
// the writing of the image and those files as one set.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "rastermap/mapfiles.h"
#include "rastermap/rasterimage.h"

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

// The files an export under `image` writes, and what the user must be told
// first. A map's name ends at its first "." and its image is that name with
// ".img" (in any case), so any other name is refused, and so is one whose map
// already has another image: the export would replace that map's legend. An
// existing legend beside no image of the map is asked about, since the save
// dialog asked only about the image.
struct ExportFiles {
    std::filesystem::path Image;
    MapPaths Beside;  // the legend, capitals and boundaries, as the map list finds them
    std::optional<std::string> Refusal;
    std::optional<std::string> Question;  // Yes/No: replace the files it names
};
ExportFiles PlanExportFiles(const std::filesystem::path &image);

// Writes the image (header and cells) and its legend as one set: either both
// are new or both are as they were; throws RasterError naming the file that
// could not be written. Then, unless files of those names exist, copies the
// loaded map's capitals and boundaries beside them, so that the map list
// shows the image: a copy that cannot be made never undoes the save, and is
// named in the lines returned (none when every copy was made).
std::vector<std::string> WriteExportFiles(const ExportFiles &files, const ImageHeader &header,
                                          const std::vector<std::uint8_t> &cells, const std::string &title,
                                          int variable, const MapPaths &loadedMap);

} // namespace tavisol::rastermap
