#include "workbench/series.h"

#include "calendar/confidence.h"
#include "calendar/cycle.h"

namespace tavisol::workbench {

using engine::EngineState;

namespace {

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

void ComputeDaily(const EngineState &state, Single z, WorkbenchSeries &series) {
    DailyArrays &a = series.Daily;
    calendar::DailyValues(state.CurResult, state.CurrentVariable, z, a.best, a.low, a.high);
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
    DekadArrays &a = series.Dekad;
    calendar::DekadalValues(state.CurResult, state.CurrentVariable, z, a.best, a.low, a.high);
}

} // namespace tavisol::workbench
