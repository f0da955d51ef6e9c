#include "calendar/calendar.h"

#include <algorithm>
#include <cmath>

namespace tavisol::calendar {

Single DekadLength(int k) {
    switch (k) {
    case 3: case 9: case 15: case 21: case 24: case 30: case 36:
        return 11.0f;
    case 6:
        return 8.25f;
    default:
        return 10.0f;
    }
}

int MonthOfDay(int d) { return std::min(12, static_cast<int>(std::trunc(d / 30.4374)) + 1); }

int MonthOfDekad(int k) {
    return std::min(12, static_cast<int>(std::trunc(static_cast<double>(k) / 3.0 - 1.0 / 6.0)) + 1);
}

DayOfMonth CalendarDay(int dayOfYear) {
    static constexpr int first[13] = {0, 1, 32, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335};
    int month = 1;
    for (int m = 1; m <= 12; ++m)
        if (first[m] <= dayOfYear)
            month = m;
    return {dayOfYear - first[month] + 1, month};
}

} // namespace tavisol::calendar
