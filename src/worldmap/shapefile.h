#pragma once

// The shape text files of the world map: Worad1.bna (country boundaries, one
// polyline per shape) and WorldCap.bna (capital cities, one point per shape).
//
// A header line starts with a double quotation mark in the first column; the
// text before its first comma is the shape's name (quotation marks kept), the
// rest of the line is ignored. Any other line with at least two comma fields is
// a point: longitude, latitude in decimal degrees. Other lines are skipped.
// Lines may end in CR LF, CR or LF.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavisol::worldmap {

// A position: bitmap pixels of the world map (X to the east, Y downwards from
// the top row), degrees for the raster maps.
struct MapPoint {
    float X = 0.0F;
    float Y = 0.0F;
    bool operator==(const MapPoint &) const = default;
};

// Named shapes, numbered from 0 in file order, each with its points in file
// order. All names are held in one buffer and all points in one array, a
// shape being two end offsets into them: a shape costs 8 bytes beside its
// name and points, so a file of one-character names is held in a few times
// its size (a string and a vector of its own made it 30 to 70 times).
class ShapeSet {
public:
    std::size_t size() const { return pointEnds_.size(); }
    bool empty() const { return pointEnds_.empty(); }
    std::string_view name(std::size_t shape) const;
    std::span<const MapPoint> points(std::size_t shape) const;
    // The points of all shapes, shape after shape.
    std::span<const MapPoint> allPoints() const { return points_; }

    // Room for so many shapes, points and name bytes, taken at once.
    void reserve(std::size_t shapes, std::size_t points, std::size_t nameBytes);
    void addShape(std::string_view name, std::initializer_list<MapPoint> points = {});
    // A point of the last shape; there must be one.
    void addPoint(MapPoint p);
    // The bytes the set holds.
    std::size_t heldBytes() const;

private:
    std::string names_;
    std::vector<std::uint32_t> nameEnds_;
    std::vector<std::uint32_t> pointEnds_;
    std::vector<MapPoint> points_;
};

enum class ShapeKind {
    // The world map's boundaries: pixels rounded down; a point on the pixel
    // of the last kept point is dropped (the last kept point starts at (0, 0)
    // and survives headers).
    Boundaries,
    // The world map's capitals: pixels kept unrounded; every point is kept.
    Capitals,
    // The raster maps' files: degrees as read, as Singles; every point is kept.
    Degrees,
};

struct ShapeReadResult {
    ShapeSet Shapes;
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

// Reads shape text, the one reading of every reader of the format; W x H is
// the equirectangular world bitmap the world map's kinds project onto. Names
// are kept in UTF-8 (a text without a byte-order mark is Windows-1252).
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

// Reads a shape file; a file that cannot be read gives an error naming it, as
// does a failure within it.
ShapeReadResult ReadShapeFile(const std::filesystem::path &file, ShapeKind kind, float W, float H,
                              const std::function<void()> &eachStretch = {});

inline constexpr const char *BoundaryFileName = "Worad1.bna";
inline constexpr const char *CapitalFileName = "WorldCap.bna";
inline constexpr const char *WorldBitmapName = "woma.bmp";
// No picture decoder of the program takes a larger world bitmap.
inline constexpr std::size_t MaxWorldBitmapBytes = 256u << 20;

} // namespace tavisol::worldmap
