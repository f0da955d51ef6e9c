#pragma once

// The workbench's series of the annual cycle: 365 daily values, 36 dekadal
// values and the daily values in ascending order, each with lower and upper
// confidence limits. The values come from the calendar kit; the workbench
// keeps them in arrays that live from call to call and sorts by its own rule.

#include <array>

#include "calendar/confidence.h"
#include "engine/state.h"

namespace tavisol::workbench {

using engine::Integer;
using engine::Single;

// The confidence options of the workbench (None = no option selected) and
// their factors (0 without a level).
using tavisol::ConfidenceFactor;
using tavisol::ConfidenceLevel;

// Daily arrays: entries 1..365 in use, 0 and 366 never read.
struct DailyArrays {
    std::array<Single, 367> best{};
    std::array<Single, 367> high{};
    std::array<Single, 367> low{};
};

// Dekadal arrays: entries 1..36 in use.
struct DekadArrays {
    std::array<Single, 38> best{};
    std::array<Single, 38> high{};
    std::array<Single, 38> low{};
};

// Kept from call to call: with z = 0 only the best arrays are rewritten and
// the limits keep what an earlier call left.
struct WorkbenchSeries {
    DailyArrays Daily;
    DailyArrays SortedDaily;
    DekadArrays Dekad;
};

// Daily values of the current variable into series.Daily; limits only when z != 0.
void ComputeDaily(const engine::EngineState &state, Single z, WorkbenchSeries &series);
// ComputeDaily, then the sort into series.SortedDaily. The sort consumes the
// daily arrays it sorts: their entries 1..365 hold 99999 afterwards.
void ComputeDailySorted(const engine::EngineState &state, Single z, WorkbenchSeries &series);
// Dekadal values into series.Dekad: means of the cycle, or dekad totals for
// precipitation and potential evapotranspiration.
void ComputeDekadal(const engine::EngineState &state, Single z, WorkbenchSeries &series);

} // namespace tavisol::workbench
