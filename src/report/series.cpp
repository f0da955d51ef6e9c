#include "report/series.h"

#include <algorithm>

#include "calendar/cycle.h"

namespace tavisol::report {

using engine::Integer;
using engine::Single;

namespace {

// Ascending order; equal values keep their day order.
template <std::size_t N>
void SortInto(const std::array<Single, N> &source, std::array<Single, N> &target) {
    std::array<Single, N> s = source;
    std::stable_sort(s.begin() + 1, s.end());
    std::copy(s.begin() + 1, s.end(), target.begin() + 1);
}

} // namespace

DailySeries ComputeDaily(const engine::EstimateResult &result, Integer variable, Single z) {
    DailySeries s;
    calendar::DailyValues(result, variable, z, s.Best, s.Low, s.High);
    return s;
}

DekadSeries ComputeDekadal(const engine::EstimateResult &result, Integer variable, Single z) {
    DekadSeries s;
    calendar::DekadalValues(result, variable, z, s.Best, s.Low, s.High);
    return s;
}

DailySeries ComputeDailySorted(const engine::EstimateResult &result, Integer variable, Single z) {
    const DailySeries daily = ComputeDaily(result, variable, z);
    DailySeries sorted;
    SortInto(daily.Best, sorted.Best);
    SortInto(daily.Low, sorted.Low);
    SortInto(daily.High, sorted.High);
    return sorted;
}

} // namespace tavisol::report
