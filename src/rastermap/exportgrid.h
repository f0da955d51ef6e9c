#pragma once

// The export of estimated values to a raster image, without its window: the
// class table, the checks of the export frame's inputs, the snapping of the
// region to the resolution, the cell grid and its run over the loaded map.

#include <array>
#include <atomic>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/state.h"
#include "engine/workers.h"
#include "rastermap/georef.h"
#include "rastermap/rasterimage.h"

namespace tavisol::rastermap {

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

// Digits after the first "." of a number's text ("," counting as "."), and
// at least the decimals of the number it reads as ("5e-2" has 2).
int DecimalsOf(const std::string &text);

// A region box's number: the longest leading number of its text, a comma
// counting as the point, as the window writes the boxes ("12.5") and as a
// user of a decimal-comma locale types them ("12,5").
double RegionValue(const std::string &text);
// True when the whole text (blanks around allowed) is one number, with "." or
// "," as decimal sign.
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
// written with d decimals and then snapped down to a multiple of v; a value
// already on a multiple stays. A value with more than three decimals counts
// as the value rounded to three, the cell size the export runs with, so that
// the region, the cells and the header share one cell size. Returns d.
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

// The estimate at a point: nothing when the engine found no neighbour there;
// an engine failure is thrown.
using CellEstimate = std::function<std::optional<float>(float lon, float lat)>;

// The map an export reads. The run shares it with whoever loaded it, so that
// a map loaded meanwhile replaces the window's without a copy for the run.
struct ExportMap {
    std::shared_ptr<const RasterImage> Image;
    Georeference Geo;
};

// The points of the grid: column c at LonStart + c x Resolution, row r at
// LatStart - r x Resolution (north to south), each computed from its index
// and rounded to the resolution's decimals, so that no point drifts from where
// the image's header places it.
std::vector<float> ExportColumnLongitudes(const ExportRegion &region, int columns);
std::vector<float> ExportRowLatitudes(const ExportRegion &region, int rows);

// Class byte of one cell: 255 over the map's no-data class (nothing is
// estimated) and where the engine finds no neighbour, otherwise the class of
// the estimate. Throws RasterError when the point falls outside the loaded map
// and passes engine failures on.
std::uint8_t ExportCellClass(const ExportMap &map, const ClassEntry &classes, float lon, float lat,
                             const CellEstimate &estimate);

// The run of the grid on a pool of worker threads. Each worker asks the factory
// once for its own estimate function (so each owns its engine state) and takes
// cells in small blocks (a single worker takes them in grid order); every
// cell's class lands at its place in the grid, so the image does not depend on
// the number of threads. The caller's thread
// stays free: it polls progress and may ask the workers to stop, which they
// notice before their next cell. The first failure of any worker stops the
// others and is rethrown by Wait().
class ParallelExportRun {
public:
    using EstimateFactory = std::function<CellEstimate()>;

    ParallelExportRun(const ExportRegion &region, int columns, int rows, const ClassEntry &classes,
                      const ExportMap &map, EstimateFactory factory);
    ~ParallelExportRun();
    ParallelExportRun(const ParallelExportRun &) = delete;
    ParallelExportRun &operator=(const ParallelExportRun &) = delete;

    // Starts the workers; threads < 1 means engine::WorkerCount().
    void Start(int threads = 0);
    // Asks the workers to stop before their next cell.
    void Stop();
    // Whether the workers were asked to stop (by Stop or by a worker's failure).
    bool StopRequested() const { return stop_.load(); }
    // True once every worker has ended (all cells done, stopped or failed).
    bool Finished() const { return running_.load() == 0; }
    // Waits for the workers; rethrows the first failure. Returns true when
    // every cell was computed.
    bool Wait();
    std::size_t CellsDone() const { return done_.load(); }
    std::size_t CellCount() const { return cells_.size(); }
    // The point of the cell most recently begun.
    std::pair<float, float> CurrentPoint() const;
    // The classes, columns x rows, row 0 first (complete after Wait() is true).
    const std::vector<std::uint8_t> &Cells() const { return cells_; }

private:
    void work();

    ExportRegion region_;
    int columns_ = 0, rows_ = 0;
    ClassEntry classes_;
    ExportMap map_;
    EstimateFactory factory_;
    std::vector<float> lons_, lats_;
    std::vector<std::uint8_t> cells_;
    std::vector<std::thread> threads_;
    std::atomic<std::size_t> next_{0};
    std::atomic<std::size_t> done_{0};
    std::atomic<std::size_t> current_{0};
    std::atomic<int> running_{0};
    std::atomic<bool> stop_{false};
    std::mutex failureMutex_;
    std::exception_ptr failure_;
};

// The estimate functions of an export's workers: each call makes a function
// with its own engine state, set up as the given setup says.
ParallelExportRun::EstimateFactory EngineEstimates(engine::WorkerSetup setup, int variable, int month);

// "Working on Lon: 10.5 - Lat: 49.5".
std::string WorkingText(float lon, float lat);

// The estimate of one variable at one point for the export: the point's
// altitude from the elevation raster, then the workbench's chain; the best
// estimate of the month (13 = annual value), or nothing when no neighbour is
// active. Failures of the engine (a station file or the elevation raster
// missing or bad) are thrown as EngineError.
std::optional<float> EstimateAtPoint(engine::EngineState &state, float lon, float lat, int variable, int month);

} // namespace tavisol::rastermap
