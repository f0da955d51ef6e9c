#pragma once

// The export of estimated values to a raster image, without its window: the
// class table, the checks of the export frame's inputs, the snapping of the
// region to the resolution, the cell grid and its run over the loaded map.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/state.h"
#include "rastermap/georef.h"
#include "rastermap/rasterimage.h"

namespace tavisol::rastermap {

// The shared request of a long export to stop: set by a Cancel button while a
// run goes on, polled by the run, cleared at the end of every run and when the
// raster map window loads.
bool &AbortExport();

struct ClassEntry {
    double Scale = 0;
    double Offset = 0;
};
// Per variable 0..7: value = Offset + class x Scale.
extern const std::array<ClassEntry, 8> ClassTable;

// Class byte of an estimate: 0..250, 253 below the offset, 254 from class 251 on.
std::uint8_t ClassOfValue(float value, const ClassEntry &entry);

// The resolutions offered, in degrees.
extern const std::array<double, 17> Resolutions;
// "Average", then the twelve month names.
extern const std::array<const char *, 13> MonthChoices;
// 13 for "Average", 1..12 for a month name (exact text); otherwise current.
int ExportMonthOf(const std::string &text, int current);

// Digits after the first "." of a number's text ("," counting as ".").
int DecimalsOf(const std::string &text);

// True when the whole text (blanks around allowed) is one number with "." as
// decimal sign.
bool IsNumeric(const std::string &text);

// Texts of the export frame.
struct ExportInputs {
    std::string Resolution;
    std::string LonStart, LonEnd, LatStart, LatEnd;
};
// Extent of the loaded map: the points of its first and its last cell.
struct MapExtent {
    float West = 0, North = 0, East = 0, South = 0;
};
MapExtent ExtentOf(const Georeference &geo, int columns, int rows);

// The first failing check's message, or nothing; resolution receives the cell
// size read. Besides the western and southern edges the region is checked
// against the eastern and northern edges too, so that a run never stops half
// way at a cell outside the map.
std::optional<std::string> ValidateExport(const ExportInputs &in, const MapExtent &extent, float &resolution);

// The resolution box's reformatting: with the resolution text's decimals d and
// value v (nothing happens for v = 0), each of the four region texts is
// written with d decimals and then snapped down to a multiple of v. Returns d.
int SnapRegionTexts(const std::string &resolutionText, std::array<std::string, 4> &region);

struct ExportRegion {
    float LonStart = 0, LonEnd = 0;  // west, east
    float LatStart = 0, LatEnd = 0;  // north, south
    float Resolution = 0;
    int Decimals = 0;
};

// Largest column or row count of an export (indexes are 16-bit).
inline constexpr int MaxExportCells = 32767;

// Columns and rows of the region; throws RasterError when either is below 1
// or beyond MaxExportCells.
std::pair<int, int> ExportGridSize(const ExportRegion &region);

struct ExportCallbacks {
    // Lets pending window events through.
    std::function<void()> DoEvents;
    // Asked when AbortExport is found set: true = stop the run.
    std::function<bool()> ConfirmAbort;
    // The estimate at a point (EstimateAtPoint).
    std::function<float(float lon, float lat)> Estimate;
    // The point being computed.
    std::function<void(float lon, float lat)> ShowCell;
    // Progress value (cell count / 100 at the end).
    std::function<void(double value)> Progress;
};

struct ExportMap {
    const RasterImage *Image = nullptr;
    Georeference Geo;
};

// Runs the grid: row 0 at LatStart, column 0 at LonStart, the points stepping
// by the resolution in single precision. Cells over the map's no-data class
// get 255 without an estimate. Returns false when the user stopped the run.
// Throws RasterError when a point falls outside the loaded map.
bool RunExportGrid(const ExportRegion &region, int columns, int rows, const ClassEntry &classes,
                   const ExportMap &map, const ExportCallbacks &cb, std::vector<std::uint8_t> &cells);

// "Working on Lon: 10.5 - Lat: 49.5".
std::string WorkingText(float lon, float lat);

// The estimate of one variable at one point for the export: the point's
// altitude from the elevation raster (a failure there is thrown), then the
// workbench's chain; the best estimate of the month (13 = annual value), or 0
// when no estimate came out or the chain failed.
float EstimateAtPoint(engine::EngineState &state, float lon, float lat, int variable, int month);

} // namespace tavisol::rastermap
