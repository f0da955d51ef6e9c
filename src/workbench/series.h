#pragma once

// The annual cycle of an estimate at finer resolution: 365 daily values, 36
// dekadal values and the daily values in ascending order, each with lower and
// upper confidence limits. Values are means of the fitted harmonic cycle over
// the day or the dekad, not interpolations between the months.

#include <array>

#include "engine/state.h"

namespace tavisol::workbench {

using engine::Integer;
using engine::Single;

// The confidence options of the workbench; None = no option selected.
enum class ConfidenceLevel { None, P90, P95, P99 };

// 0, 1.645, 1.96 or 2.579 (not 2.576).
Single ConfidenceFactor(ConfidenceLevel level);

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

// Lengths in days of dekads 1..36 (index 0 unused): 11 for the third dekad of
// the 31-day months, 8.25 for the third of February, else 10; 365.25 in all.
std::array<Single, 37> DekadLengths();

// Month (1..12) whose standard error a day of the year takes: Fix(d / 30.4374) + 1.
int MonthOfDay(int day);
// Month (1..12) of a dekad 1..36.
int MonthOfDekad(int dekad);

// Day 1..365 of a 365-day year as day and month (February 28 days).
struct DayOfMonth {
    int day;
    int month;
};
DayOfMonth CalendarDay(int dayOfYear);

// Daily values of the current variable into series.Daily; limits only when z != 0.
void ComputeDaily(const engine::EngineState &state, Single z, WorkbenchSeries &series);
// ComputeDaily, then the sort into series.SortedDaily. The sort consumes the
// daily arrays it sorts: their entries 1..365 hold 99999 afterwards.
void ComputeDailySorted(const engine::EngineState &state, Single z, WorkbenchSeries &series);
// Dekadal values into series.Dekad: means of the cycle, or dekad totals for
// precipitation and potential evapotranspiration.
void ComputeDekadal(const engine::EngineState &state, Single z, WorkbenchSeries &series);

} // namespace tavisol::workbench
