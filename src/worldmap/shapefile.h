#pragma once

// The shape text files of the world map: Worad1.bna (country boundaries, one
// polyline per shape) and WorldCap.bna (capital cities, one point per shape).
//
// A header line starts with a double quotation mark in the first column; the
// text before its first comma is the shape's name (quotation marks kept), the
// rest of the line is ignored. Any other line with at least two comma fields is
// a point: longitude, latitude in decimal degrees. Other lines are skipped.
// Lines may end in CR LF, CR or LF.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavisol::worldmap {

// A position in bitmap pixels: X to the east, Y downwards from the top row.
struct MapPoint {
    float X = 0.0F;
    float Y = 0.0F;
    bool operator==(const MapPoint &) const = default;
};

// A named shape. Points[0] is an empty placeholder; the points follow from 1.
struct MapShape {
    std::string Name;
    std::vector<MapPoint> Points{MapPoint{}};

    // Number of real points (without the placeholder).
    std::size_t count() const { return Points.empty() ? 0 : Points.size() - 1; }
};

// A shape array: element 0 is an empty placeholder, the shapes follow from 1.
using ShapeList = std::vector<MapShape>;

enum class ShapeKind {
    // Pixels rounded down; a point on the pixel of the last kept point is
    // dropped (the last kept point starts at (0, 0) and survives headers).
    Boundaries,
    // Pixels kept unrounded; every point is kept.
    Capitals,
};

struct ShapeReadResult {
    ShapeList Shapes{MapShape{}};
    // Empty when the whole text was read; otherwise the reason reading stopped.
    // The shapes read up to then stay in Shapes.
    std::string Error;

    bool ok() const { return Error.empty(); }
};

// How much shape text a reader walks between two runs of its `eachStretch`
// (the boundary readers let window events through there): by the work done,
// not per line, so that a file of blank lines lets them through no more often
// than one of points.
inline constexpr std::size_t ShapeTextStretchBytes = 64u << 10;

// Runs `step` (may be empty) each time another ShapeTextStretchBytes of a text
// of `textBytes` bytes have been walked; `at` is told the bytes still to walk.
class StretchPacer {
public:
    StretchPacer(std::size_t textBytes, std::function<void()> step);
    void at(std::size_t bytesLeft);

private:
    std::size_t left_;
    std::function<void()> step_;
};

// Reads shape text into bitmap pixels of a W x H equirectangular world bitmap.
// `eachStretch` (may be empty) runs after every stretch of text
// (ShapeTextStretchBytes).
ShapeReadResult ReadShapeText(std::string_view text, ShapeKind kind, float W, float H,
                              const std::function<void()> &eachStretch = {});

// The bytes of a shape file, for every reader of the format (the raster maps'
// boundaries and capitals too). Boundaries of the whole world at the detail a
// map of this program can show take a few MB; a larger file is refused before
// it is read, and one that holds NUL bytes is no text, hence no shape file.
// Failures name the file.
inline constexpr std::size_t MaxShapeFileBytes = 64u << 20;
std::optional<std::string> ReadShapeFileBytes(const std::filesystem::path &file, std::string &bytes);

// Reads a shape file; a file that cannot be read gives an error naming it.
ShapeReadResult ReadShapeFile(const std::filesystem::path &file, ShapeKind kind, float W, float H,
                              const std::function<void()> &eachStretch = {});

inline constexpr const char *BoundaryFileName = "Worad1.bna";
inline constexpr const char *CapitalFileName = "WorldCap.bna";
inline constexpr const char *WorldBitmapName = "woma.bmp";
// No picture decoder of the program takes a larger world bitmap.
inline constexpr std::size_t MaxWorldBitmapBytes = 256u << 20;

} // namespace tavisol::worldmap
