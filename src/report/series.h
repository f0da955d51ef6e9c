#pragma once

// Daily, dekadal and sorted daily values of an estimate's fitted annual
// cycle, with confidence limits at a factor z. The report computes them
// afresh from the result block with its own dialog's factor, in fresh arrays
// (limits 0 without a factor), from the calendar kit's values. No Qt.

#include <array>

#include "engine/state.h"

namespace tavisol::report {

// best/low/high of entries 1..N (entry 0 unused). With z = 0 low and high
// stay 0.
template <int N>
struct Series {
    std::array<engine::Single, N + 1> Best{};
    std::array<engine::Single, N + 1> Low{};
    std::array<engine::Single, N + 1> High{};
};

using DailySeries = Series<365>;   // days of a 365-day year
using DekadSeries = Series<36>;    // dekads, three a month

// Means of the harmonic cycle over each day; precipitation and evaporation
// (3 and 5) as amounts per day. Best is clamped per variable; low only by
// the report clamp; high never.
DailySeries ComputeDaily(const engine::EstimateResult &result, engine::Integer variable, engine::Single z);
// Dekad means; precipitation and evaporation as dekad totals.
DekadSeries ComputeDekadal(const engine::EstimateResult &result, engine::Integer variable, engine::Single z);
// The daily values, each of the three arrays in ascending order.
DailySeries ComputeDailySorted(const engine::EstimateResult &result, engine::Integer variable, engine::Single z);

} // namespace tavisol::report
