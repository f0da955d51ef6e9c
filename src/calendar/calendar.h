#pragma once

// The 365-day year of the fitted annual cycle: 36 dekads, three a month, and
// the month whose standard error a day or a dekad takes. No Qt.

#include <array>

#include "engine/state.h"

namespace tavisol::calendar {

using engine::Single;

inline constexpr int DaysInYear = 365;
inline constexpr int DekadsInYear = 36;

// Length in days of dekad k (1..36): 11 for the third dekad of the 31-day
// months, 8.25 for the third of February, else 10; 365.25 in all.
Single DekadLength(int k);

// Month (1..12) whose standard error day d (1..365) takes: Fix(d / 30.4374) + 1.
int MonthOfDay(int d);
// Month (1..12) of dekad k (1..36).
int MonthOfDekad(int k);

// Day 1..365 of a 365-day year as day and month (February 28 days).
struct DayOfMonth {
    int day;
    int month;
};
DayOfMonth CalendarDay(int dayOfYear);

} // namespace tavisol::calendar
