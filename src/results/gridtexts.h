#pragma once

// Cell texts of the location results window's grids, built from the stored
// copies of the last estimate run. One function per kind of grid, told the
// group (1 temperatures, 2 precipitation and PET, 3 sunshine, wind and vapour
// pressure). Numbers use the given locale's decimal sign. No Qt.

#include <string>
#include <string_view>
#include <vector>

#include "numfmt/numfmt.h"
#include "results/gridmodel.h"
#include "results/storedresults.h"

namespace tavisol::results {

enum Group : int { TemperatureGroup = 1, PrecipitationGroup = 2, WindGroup = 3 };

// The layout texts of the grids.
std::string ResultsGridLayout(int group);
std::string StationGridLayout(int group);
std::string ObservationGridLayout(int group);

// Warnings page: "X" where a variable's stored flag is exactly True (-1).
GridModel WarningGrid(int group, const LocationResults &results);

// Results page: best, 90 % limits, errors and gradients per month and the
// annual row, with units in each block's label row.
GridModel ResultsGrid(int group, const LocationResults &results, const numfmt::Locale &locale);

// Stations page: position, altitude, distance, direction, name and country of
// every neighbour of the variable's estimate, then the "Mean" row.
GridModel StationGrid(int group, const LocationResults &results, const numfmt::Locale &locale);

// Observations page: the neighbours' monthly and annual values and weights,
// then the "Mean" row.
GridModel ObservationGrid(int group, const LocationResults &results, const numfmt::Locale &locale);

// The one value of column c (1..12) of a results grid row: variable v, index
// i (1..12 months, 13 the annual value), group as above. Empty where the
// column is not written.
std::string ResultCellText(int group, int v, int i, int column, const LocationResults &results,
                           const numfmt::Locale &locale);

// What a notice tells of one variable's last run.
struct EstimateOutcome {
    int variable = 0;
    bool computed = false;  // the run reached and finished it
    bool estimated = false;
    engine::Integer neighbourCount = 0;
    engine::NoNeighbourCause whyNoNeighbour = engine::NoNeighbourCause::None;
};

// Why the variables without an estimate have none, one line per reason and
// the criterion that left no neighbour named ("No estimate of Wind Speed,
// Sunshine Fraction: no station within the Maximum Distance of 1000 km."),
// or that the neighbours found are all switched off (the workbench's boxes);
// empty when every one has an estimate or no run has finished. `settings`
// are those of the run, `failure` the message of a run that stopped before
// some variables. The location results window and the workbench show it.
std::string MissingEstimatesNotice(const std::vector<EstimateOutcome> &outcomes,
                                   const engine::EngineSettings &settings, const std::string &failure,
                                   const numfmt::Locale &locale);
// The same for some variables of the location results window's copies.
std::string MissingEstimatesNotice(const std::vector<int> &variables, const LocationResults &results,
                                   const engine::EngineSettings &settings, const std::string &failure,
                                   const numfmt::Locale &locale);
// The same for the variables of a group of the location results window.
std::string MissingEstimatesNotice(int group, const LocationResults &results, const engine::EngineSettings &settings,
                                   const std::string &failure, const numfmt::Locale &locale);

// Variables of each group's sections, top to bottom, for the results,
// station and observation grids; -1 past the last.
int SectionVariable(int group, int section);
int SectionCount(int group);

} // namespace tavisol::results
