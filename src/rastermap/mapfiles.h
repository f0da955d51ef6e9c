#pragma once

// The files of a raster map beside its image: the list of maps of the folder,
// the colour legend (.clr) and the shape files of boundaries (.bnd) and
// capitals (.cty).

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "worldmap/shapefile.h"

namespace tavisol::rastermap {

struct ColorEntry {
    std::string Name;  // UTF-8
    std::uint8_t Blue = 0;
    std::uint8_t Green = 0;
    std::uint8_t Red = 0;
};
using ColorTable = std::array<ColorEntry, 256>;

inline constexpr int CapitalsClass = 253;
inline constexpr int BoundariesClass = 254;

// Shapes in degrees: X the longitude, Y the latitude.
using worldmap::MapPoint;
using worldmap::ShapeSet;

// The four files of one map in a folder: the map's name with ".img", ".clr",
// ".cty" and ".bnd", each found whatever the case of its extension.
struct MapPaths {
    std::filesystem::path Img, Clr, Cty, Bnd;
};
MapPaths PathsOfMap(const std::filesystem::path &folder, const std::string &mapName);

// Whether the file's name ends in ".img", in any case.
bool HasImageExtension(const std::filesystem::path &file);

// Names of the maps of the folder that can be loaded: each name up to the
// first "." of a "*.img" file whose four files (PathsOfMap) exist. Sorted by
// name. A missing folder gives an empty list; other failures throw RasterError.
std::vector<std::string> ListRasterMaps(const std::filesystem::path &folder);

// Loads a colour legend into the table (entries it does not name keep their
// contents), then sets the fixed entries 254 "Boundaries" and 253 "Capitals".
// On a failure the reading stops at the failing record: the entries set so far
// stay, the fixed entries are not set, and the description is returned. A
// file larger than any legend, or one without a record after its title, is
// refused before any entry is set.
std::optional<std::string> LoadColorTable(const std::filesystem::path &clrPath, ColorTable &table,
                                          const ColorEntry &fixedA, const ColorEntry &fixedB);

// The fields of a text file as sequential list input reads them: a field ends
// at a comma or a line end, leading blanks are skipped, a quoted field may
// hold commas (the quotes are dropped). Empty lines give no field.
std::vector<std::string> ReadListFields(const std::string &text);

struct ShapeReadResult {
    ShapeSet Shapes;                    // in file order
    std::optional<std::string> Error;   // the failure that stopped the reading
};

// Reads a shape file as the world map's reader does (worldmap::ReadShapeFile),
// every point kept in degrees: a line starting with a double quote begins a
// shape named by its text before the first comma; any other line with at
// least two comma fields appends the point (longitude, latitude). doEvents
// runs after every stretch of text (worldmap::ShapeTextStretchBytes), not
// after every line. A file that is no shape file gives no shape.
ShapeReadResult ReadShapes(const std::filesystem::path &path, const std::function<void()> &doEvents = {});

// One component of a colour value written as six hexadecimal digits: "RED"
// digits 1-2, "GREEN" 3-4, "BLUE" 5-6; any other key gives 0.
std::uint8_t SplitColour(std::int32_t colour, const std::string &key);

// One legend row per run of entries sharing a non-empty name, in table order.
struct LegendRow {
    int Class = 0;  // first entry of the run
    std::string Name;
};
std::vector<LegendRow> LegendRows(const ColorTable &table);

} // namespace tavisol::rastermap
