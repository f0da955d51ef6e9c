#include "workbench/series.h"

#include <cmath>

#include "engine/engine.h"
#include "engine/geodesy.h"

namespace tavisol::workbench {

using engine::ClampToRange;
using engine::EngineState;

namespace {

constexpr double CommonMonth = 30.4375;

bool IsTotal(Integer variable) { return variable == 3 || variable == 5; }

// Sorts entries 1..365 of source into target by repeated minimum search; the
// earliest of equal values comes first. Each entry taken is set to 99999.
void SortConsuming(std::array<Single, 367> &source, std::array<Single, 367> &target) {
    Single prev = -99999.0f;
    for (int k = 1; k <= 365; ++k) {
        Single cur = 99999.0f;
        int j = 0;
        for (int d = 1; d <= 365; ++d) {
            if (prev <= source[d] && source[d] < cur) {
                cur = source[d];
                j = d;
            }
        }
        if (j == 0) {
            // Only values outside the sentinels are left (not numbers): keep
            // the rest at the last value rather than reading a stale index.
            for (; k <= 365; ++k)
                target[k] = prev;
            return;
        }
        target[k] = source[j];
        source[j] = 99999.0f;
        prev = target[k];
    }
}

} // namespace

Single ConfidenceFactor(ConfidenceLevel level) {
    switch (level) {
    case ConfidenceLevel::P90: return 1.645f;
    case ConfidenceLevel::P95: return 1.96f;
    case ConfidenceLevel::P99: return 2.579f;
    case ConfidenceLevel::None: break;
    }
    return 0.0f;
}

std::array<Single, 37> DekadLengths() {
    std::array<Single, 37> len{};
    for (int k = 1; k <= 36; ++k)
        len[k] = 10.0f;
    for (int k : {3, 9, 15, 21, 24, 30, 36})
        len[k] = 11.0f;
    len[6] = 8.25f;
    return len;
}

int MonthOfDay(int day) {
    const int m = static_cast<int>(std::trunc(day / 30.4374)) + 1;
    return m > 12 ? 12 : m;
}

int MonthOfDekad(int dekad) {
    const int m = static_cast<int>(std::trunc(dekad / 3.0 - 1.0 / 6.0)) + 1;
    return m > 12 ? 12 : m;
}

DayOfMonth CalendarDay(int dayOfYear) {
    static constexpr int first[13] = {0, 1, 32, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335};
    int month = 1;
    for (int m = 1; m <= 12; ++m)
        if (first[m] <= dayOfYear)
            month = m;
    return {dayOfYear - first[month] + 1, month};
}

void ComputeDaily(const EngineState &state, Single z, WorkbenchSeries &series) {
    const Integer var = state.CurrentVariable;
    DailyArrays &a = series.Daily;
    for (int d = 1; d <= 365; ++d) {
        const Single t0 = static_cast<Single>((d - 1) / 365.0);
        const Single t1 = static_cast<Single>(d / 365.0);
        Single v = engine::IntegrateHarmonics(state, t0, t1);
        ClampToRange(v, var);
        if (IsTotal(var))
            v = static_cast<Single>(v / CommonMonth);
        a.best[d] = v;
    }
    if (z == 0)
        return;
    for (int d = 1; d <= 365; ++d) {
        const int m = MonthOfDay(d);
        Single e = static_cast<Single>(static_cast<double>(z) * state.CurResult.StdErr[m]);
        if (IsTotal(var))
            e = static_cast<Single>(static_cast<double>(z) * state.CurResult.StdErr[m] / CommonMonth);
        a.low[d] = a.best[d] - e;
        a.high[d] = a.best[d] + e;
        ClampToRange(a.low[d], var);
    }
}

void ComputeDailySorted(const EngineState &state, Single z, WorkbenchSeries &series) {
    ComputeDaily(state, z, series);
    SortConsuming(series.Daily.best, series.SortedDaily.best);
    if (z != 0) {
        SortConsuming(series.Daily.low, series.SortedDaily.low);
        SortConsuming(series.Daily.high, series.SortedDaily.high);
    }
}

void ComputeDekadal(const EngineState &state, Single z, WorkbenchSeries &series) {
    const Integer var = state.CurrentVariable;
    const std::array<Single, 37> len = DekadLengths();
    DekadArrays &a = series.Dekad;
    Single t1 = 0;
    for (int k = 1; k <= 36; ++k) {
        const double L = len[k];
        t1 = static_cast<Single>(t1 + L / 365.25);
        const Single t0 = static_cast<Single>(t1 - L / 365.25);
        const Single v = engine::IntegrateHarmonics(state, t0, t1);
        Single best = IsTotal(var) ? static_cast<Single>(v * L / CommonMonth) : v;
        ClampToRange(best, var);
        a.best[k] = best;
    }
    if (z == 0)
        return;
    for (int k = 1; k <= 36; ++k) {
        const int m = MonthOfDekad(k);
        const double L = len[k];
        double e = static_cast<double>(z) * state.CurResult.StdErr[m];
        if (IsTotal(var))
            e = e * L / CommonMonth;
        const Single es = static_cast<Single>(e);
        a.low[k] = a.best[k] - es;
        a.high[k] = a.best[k] + es;
        ClampToRange(a.low[k], var);
    }
}

} // namespace tavisol::workbench
