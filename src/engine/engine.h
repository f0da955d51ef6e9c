#pragma once

// The climate estimation engine: one variable at one point at a time, on an
// EngineState that the caller owns. A caller sets CurrentVariable and the
// computation point, copies the shared settings in (UseSettings), runs one of
// the chains below and copies CurResult, Neighbours (all 21 records) and
// CurWarnings away before the next variable or point.
//
// Failures (a missing station file or raster, too many records, a bad record,
// a floating-point overflow) are thrown as EngineError.
//
// Worker threads: each thread owns one EngineState, set up on the window's
// thread from copies (SetInitialValues, UseSettings with the settings the run
// copied at its start, DataFolder), with Files left empty and Callbacks empty.
// The chains and GetElevation then read through DefaultDataFiles(), which all
// threads share safely; nothing else of the engine is shared.

#include <string>
#include <vector>

#include "engine/data_files.h"
#include "engine/geodesy.h"
#include "engine/state.h"

namespace tavisol::engine {

// ---- Station files ----------------------------------------------------------

// Tile file names for a tiled variable (0 mean temperature, 3 precipitation)
// at a point, in load order, polar files included.
std::vector<std::string> TileFileNames(Integer variable, Single latitude, Single longitude);
// All file names that the load of a variable reads at a point, in order.
std::vector<std::string> StationFileNames(Integer variable, Single latitude, Single longitude);

// Appends the records of one file of the data folder to Stations.
void LoadStationFile(EngineState &state, const std::string &fileName);
// What an overflow of the current estimate comes from: the variable, the
// point, and the largest number of the variable's station files there (file,
// record and field), read again for the message.
std::string DescribeStationOverflow(EngineState &state);
void LoadTemperatureTiles(EngineState &state);
void LoadPrecipitationTiles(EngineState &state);

// ---- Neighbours ---------------------------------------------------------------

// Loads the current variable's stations, sets their distances, selects the
// neighbours and sets their directions and compass texts; without any
// neighbour, WhyNoNeighbour names the criterion that left none.
void PrepareNeighbours(EngineState &state);
// Fills Neighbours(1..NeighbourCount) with the nearest acceptable stations.
void SelectNearestStations(EngineState &state);
// Activates the found neighbours, deactivates the later of two at one position
// (raising Doubled) and counts the active ones.
void MarkDoubledStations(EngineState &state);
// The same flags and Doubled, then written into the workbench check boxes.
void MarkDoubledStationsAndShow(EngineState &state);
// Takes the active flags from the workbench check boxes and counts them.
void ReadWorkbenchSelection(EngineState &state);
// Annual values of the neighbours and the summary record 21.
void CompleteNeighbourRecords(EngineState &state);

// ---- Elevation raster -----------------------------------------------------------

inline constexpr const char *ElevationRasterName = "10k8b.raw";

// 1-based byte position in the raster of the cell read for a point.
std::int64_t ElevationBytePosition(Single lon, Single lat);
// Altitude in whole metres of a point; isWater := 1 over water (altitude 0),
// else 0. Reads the raster of the data folder through DefaultDataFiles(),
// which keeps it in memory while it stays unchanged on disk.
Integer GetElevation(const std::filesystem::path &dataFolder, Single lon, Single lat, Integer &isWater);
Integer GetElevation(DataFiles &files, const std::filesystem::path &dataFolder, Single lon, Single lat,
                     Integer &isWater);
// The altitude alone, for callers that have no use for the water flag.
Integer GetElevation(const std::filesystem::path &dataFolder, Single lon, Single lat);
Integer GetElevation(DataFiles &files, const std::filesystem::path &dataFolder, Single lon, Single lat);

// ---- Estimate -------------------------------------------------------------------

// Estimates the current variable at the computation point into CurResult.
// Returns false, leaving CurResult and the weights unchanged, when no
// neighbour is active.
bool EstimateLocation(EngineState &state);
void ComputeWeights(EngineState &state);
void ApplyShadowCorrection(EngineState &state);
void FitAltitudeGradient(EngineState &state);
void FitHorizontalGradient(EngineState &state);
void InverseDistanceAverage(EngineState &state);
void FinishEstimate(EngineState &state);

// Leave-one-out bias and standard error; removes the bias from Best.
void CrossValidateNeighbours(EngineState &state);

// ---- Annual harmonic series -------------------------------------------------------

void FitHarmonics(EngineState &state);
// Mean of the fitted annual cycle of a result over [t0, t1] (fractions of the
// year). For t1 = t0 the value of the cycle at t0.
Single IntegrateHarmonics(const EstimateResult &result, Single t0, Single t1);
inline Single IntegrateHarmonics(const EngineState &state, Single t0, Single t1) {
    return IntegrateHarmonics(state.CurResult, t0, t1);
}

// ---- Warnings ----------------------------------------------------------------------

void EstimateWarnings(EngineState &state);
void NeighbourAltitudeRange(EngineState &state);
void LonelinessTest(EngineState &state);
void DetectStrangeData(EngineState &state);
// Outlier threshold for n values at a joint confidence.
Single SidakQuantile(Single n, Single confidence);

// ---- Sequences -----------------------------------------------------------------------

// Message texts the engine shows.
extern const EngineMessage NoNeighboursMessage;
extern const EngineMessage TwoStationsMessage;

// Empties CurResult and the 21 neighbour records.
void ClearResultAndNeighbours(EngineState &state);

// Location results window, one variable: sets CurrentVariable, empties
// CurResult and the neighbour records, then PrepareNeighbours,
// MarkDoubledStations, CompleteNeighbourRecords, EstimateLocation,
// EstimateWarnings. Returns whether an estimate was produced.
bool RunLocationResultsChain(EngineState &state, Integer variable);

// Batch run of the own format, one location: PrepareNeighbours,
// MarkDoubledStations, CompleteNeighbourRecords, EstimateLocation; with no
// active neighbour returns false (the location is skipped), else
// NeighbourAltitudeRange and EstimateWarnings and returns true.
bool RunBatchChain(EngineState &state);

// Workbench computation: PrepareNeighbours, MarkDoubledStationsAndShow,
// ReadWorkbenchSelection, CompleteNeighbourRecords, EstimateLocation; with no
// active neighbour shows NoNeighboursMessage. Returns whether an estimate was
// produced.
bool Calculate(EngineState &state);

// Workbench, after the user switched a neighbour on or off:
// ReadWorkbenchSelection, EstimateLocation.
bool RunWorkbenchReestimate(EngineState &state);

// Raster export, one grid point: the chain of Calculate without its message.
// Returns whether an estimate was produced.
bool RunRasterExportChain(EngineState &state);

} // namespace tavisol::engine
