#pragma once

// Daily and dekadal values of an estimate's fitted annual cycle, with
// confidence limits at a factor z. Values are means of the harmonic cycle
// over the day or the dekad, not interpolations between the months. The
// callers keep their own containers; these fill entries 1..365 or 1..36 of
// the spans they are given. No Qt.

#include <span>

#include "engine/state.h"

namespace tavisol::calendar {

using engine::Integer;
using engine::Single;

// Precipitation and potential evapotranspiration (3 and 5): the cycle gives
// amounts per common month of 30.4375 days.
bool IsAmount(Integer variable);

// best[1..365]: mean of the cycle over each day, clamped to the variable's
// range, for amounts then per day. With z != 0 also low and high, best -/+ z
// times the standard error of the day's month (per day for amounts); low is
// clamped, high never. With z == 0 low and high are left as they are.
// Each span needs at least 366 entries.
void DailyValues(const engine::EstimateResult &result, Integer variable, Single z, std::span<Single> best,
                 std::span<Single> low, std::span<Single> high);

// The same for dekads 1..36 (spans of at least 37): means of the cycle, or
// dekad totals for amounts, and errors scaled by the dekad's length.
void DekadalValues(const engine::EstimateResult &result, Integer variable, Single z, std::span<Single> best,
                   std::span<Single> low, std::span<Single> high);

} // namespace tavisol::calendar
