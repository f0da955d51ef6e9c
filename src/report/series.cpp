#include "report/series.h"

#include <algorithm>
#include <cmath>

#include "engine/engine.h"
#include "engine/geodesy.h"

namespace tavisol::report {

using engine::Integer;
using engine::Single;

namespace {

constexpr double AmountMonth = 30.4375;  // days the fitted cycle of totals refers to

bool IsAmount(Integer variable) { return variable == 3 || variable == 5; }

// Clamp of the daily and dekadal best values: temperatures untouched.
Single ClampBest(Single v, Integer variable) {
    if (variable >= 3 && variable <= 7 && v < 0)
        v = 0;
    if (variable == 7 && v > 1)
        v = 1;
    return v;
}

Single StdErrOf(const engine::EstimateResult &r, int month) {
    return r.StdErr[static_cast<std::size_t>(std::clamp(month, 1, 12))];
}

// Ascending order; equal values keep their day order.
template <std::size_t N>
void SortInto(const std::array<Single, N> &source, std::array<Single, N> &target) {
    std::array<Single, N> s = source;
    std::stable_sort(s.begin() + 1, s.end());
    std::copy(s.begin() + 1, s.end(), target.begin() + 1);
}

} // namespace

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

DailySeries ComputeDaily(const engine::EstimateResult &result, Integer variable, Single z) {
    DailySeries s;
    for (int d = 1; d <= 365; ++d) {
        const Single t0 = static_cast<Single>((d - 1) / 365.0);
        const Single t1 = static_cast<Single>(d / 365.0);
        Single best = ClampBest(engine::IntegrateHarmonics(result, t0, t1), variable);
        if (IsAmount(variable))
            best = static_cast<Single>(best / AmountMonth);
        s.Best[static_cast<std::size_t>(d)] = best;
    }
    if (z == 0)
        return s;
    for (int d = 1; d <= 365; ++d) {
        const auto i = static_cast<std::size_t>(d);
        double e = static_cast<double>(z) * StdErrOf(result, MonthOfDay(d));
        if (IsAmount(variable))
            e /= AmountMonth;
        const Single err = static_cast<Single>(e);
        s.Low[i] = engine::ClampValue(static_cast<Single>(static_cast<double>(s.Best[i]) - err), variable);
        s.High[i] = static_cast<Single>(static_cast<double>(s.Best[i]) + err);
    }
    return s;
}

DekadSeries ComputeDekadal(const engine::EstimateResult &result, Integer variable, Single z) {
    DekadSeries s;
    Single t1 = 0;
    for (int k = 1; k <= 36; ++k) {
        const double l = DekadLength(k);
        t1 = static_cast<Single>(t1 + l / 365.25);
        const Single t0 = static_cast<Single>(t1 - l / 365.25);
        const Single v = engine::IntegrateHarmonics(result, t0, t1);
        const Single best = IsAmount(variable) ? static_cast<Single>(v * l / AmountMonth) : v;
        s.Best[static_cast<std::size_t>(k)] = ClampBest(best, variable);
    }
    if (z == 0)
        return s;
    for (int k = 1; k <= 36; ++k) {
        const auto i = static_cast<std::size_t>(k);
        double e = static_cast<double>(z) * StdErrOf(result, MonthOfDekad(k));
        if (IsAmount(variable))
            e = e * DekadLength(k) / AmountMonth;
        const Single err = static_cast<Single>(e);
        s.Low[i] = engine::ClampValue(static_cast<Single>(static_cast<double>(s.Best[i]) - err), variable);
        s.High[i] = static_cast<Single>(static_cast<double>(s.Best[i]) + err);
    }
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
