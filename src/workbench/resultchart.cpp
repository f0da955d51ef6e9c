#include "workbench/resultchart.h"

#include <algorithm>

#include "engine/geodesy.h"

namespace tavisol::workbench {

using engine::EngineState;

namespace {

constexpr double CommonMonth = 30.4375;

// Values 1..n as steps: a flat line over (k - 1, k) for each, joined to the
// next by a riser.
template <std::size_t N>
void DrawSteps(Drawing &c, const std::array<Single, N> &values, int n, Rgb colour) {
    for (int k = 1; k <= n; ++k) {
        c.Line(k - 1, values[k], k, values[k], colour);
        if (k < n)
            c.Line(k, values[k], k, values[k + 1], colour);
    }
}

// Days 1..365 as a line; `entry` gives the array entry that holds a day.
template <class Entry>
void DrawDays(Drawing &c, const std::array<Single, 367> &values, Entry entry, Rgb colour) {
    for (int d = 2; d <= 365; ++d)
        c.Line(d - 1, values[entry(d - 1)], d, values[entry(d)], colour);
}

// The two legend lines under a view's axes: what the curve and the band are.
struct ResultLegend {
    double x;
    const char *curve;
    const char *band;
};

ResultLegend LegendOf(ResultView view) {
    switch (view) {
    case ResultView::Monthly: return {0.5, "Line = Best Estimate", "Red Area = Confidence Interval"};
    case ResultView::Dekadal: return {1.5, "Black Line = Best Estimate", "Red Area = Confidence Interval"};
    case ResultView::Daily:
    case ResultView::Threshold: break;
    }
    return {15, "Black Line = Best Estimate", "Red Lines = Confidence Interval"};
}

void DrawResultAxes(ResultView view, const ResultChartRange &r, const numfmt::Locale &loc, Drawing &c) {
    const double s = r.ChartStep;
    double labelX = -10.0 / 6, end = 12;
    if (view == ResultView::Dekadal) {
        labelX = -5;
        end = 36;
    } else if (view == ResultView::Daily || view == ResultView::Threshold) {
        labelX = -50;
        end = 365;
    }
    const double levels[5] = {r.ChartMin, r.ChartMax, r.ChartMin + 5 * s, r.ChartMin + 2.5 * s,
                              r.ChartMin + 7.5 * s};
    for (double v : levels) {
        c.Text(labelX, v + s / 2, numfmt::formatMask(static_cast<Single>(v), "####.00", loc), Black, 8);
        c.Line(0, v, end, v, Black);
    }
    const double labelY = r.ChartMin - s / 2;
    auto tick = [&](double x) { c.Line(x, r.ChartMin - s / 4, x, r.ChartMin, Black); };
    switch (view) {
    case ResultView::Monthly:
        for (int m = 1; m <= 12; ++m)
            c.Text(m - 0.8, labelY, NumberLabel(m), Black, 8);
        for (int x = 0; x <= 12; ++x)
            tick(x);
        break;
    case ResultView::Dekadal:
        for (int m = 1; m <= 12; ++m)
            c.Text((m - 0.8) * 3, labelY, NumberLabel(m), Black, 8);
        for (int x = 0; x <= 36; x += 3)
            tick(x);
        break;
    case ResultView::Daily:
        for (int m = 1; m <= 12; ++m)
            c.Text((m - 0.8) * CommonMonth, labelY, NumberLabel(m), Black, 8);
        for (int m = 0; m <= 12; ++m)
            tick(m * CommonMonth);
        break;
    case ResultView::Threshold:
        for (int k = 0; k <= 12; ++k)
            c.Text(30 * k - 10, labelY, NumberLabel(30 * k), Black, 8);
        for (int k = 0; k <= 12; ++k)
            tick(30 * k);
        break;
    }
}

} // namespace

void SetResultScale(const EngineState &state, ResultChartRange &range) {
    Single max = -99999, min = 99999;
    const engine::EstimateResult &r = state.CurResult;
    for (int m = 1; m <= 12; ++m) {
        const Single lower = static_cast<Single>(r.Best[m] - 2.0 * r.StdErr[m]);
        const Single upper = static_cast<Single>(r.Best[m] + 2.0 * r.StdErr[m]);
        min = std::min(min, lower);
        max = std::max(max, upper);
    }
    if (state.CurrentVariable <= 2)
        engine::NiceValueDown(min);
    else
        min = 0;
    engine::NiceValueUp(max);
    if (state.CurrentVariable == 7)
        max = 1;
    range.ChartMax = max;
    range.ChartMin = min;
}

void DrawResultChart(const EngineState &state, ResultView view, Single z, WorkbenchSeries &series,
                     ResultChartRange &r, MonthlyChart &monthly, const numfmt::Locale &loc, Drawing &c) {
    SetResultScale(state, r);
    c.Clear();
    r.ChartStep = (r.ChartMax - r.ChartMin) / 10;
    const Integer var = state.CurrentVariable;
    const bool total = var == 3 || var == 5;
    double left = -2, right = 12.5;
    if (view == ResultView::Dekadal) {
        if (total) {
            r.ChartMin /= 3;
            r.ChartMax /= 3;
            r.ChartStep /= 3;
        }
        left = -6;
        right = 37.5;
    } else if (view == ResultView::Daily || view == ResultView::Threshold) {
        if (total) {
            r.ChartMin = static_cast<Single>(r.ChartMin / CommonMonth);
            r.ChartMax = static_cast<Single>(r.ChartMax / CommonMonth);
            r.ChartStep = static_cast<Single>(r.ChartStep / CommonMonth);
        }
        left = -60;
        right = 380;
    }
    const double s = r.ChartStep;
    c.SetScale(left, r.ChartMax + 2 * s, right, r.ChartMin - 4 * s);
    const engine::EstimateResult &res = state.CurResult;

    switch (view) {
    case ResultView::Monthly: {
        for (int m = 1; m <= 12; ++m) {
            monthly.best[m] = res.Best[m];
            monthly.low[m] = static_cast<Single>(res.Best[m] - static_cast<double>(z) * res.StdErr[m]);
            engine::ClampToRange(monthly.best[m], var);
            engine::ClampToRange(monthly.low[m], var);
        }
        if (z != 0)
            for (int m = 1; m <= 12; ++m)
                c.Box(m - 1, monthly.best[m] + static_cast<double>(z) * res.StdErr[m], m, monthly.low[m], LightRed);
        DrawSteps(c, monthly.best, 12, Blue);
        break;
    }
    case ResultView::Dekadal: {
        ComputeDekadal(state, z, series);
        const DekadArrays &a = series.Dekad;
        if (z != 0)
            for (int k = 1; k <= 36; ++k)
                c.Box(k - 1, a.high[k], k, a.low[k], LightRed);
        DrawSteps(c, a.best, 36, Black);
        break;
    }
    case ResultView::Daily:
    case ResultView::Threshold: {
        // The threshold view shows the sorted days from the highest down.
        const bool sorted = view == ResultView::Threshold;
        if (sorted)
            ComputeDailySorted(state, z, series);
        else
            ComputeDaily(state, z, series);
        const DailyArrays &a = sorted ? series.SortedDaily : series.Daily;
        const auto entry = [sorted](int day) { return sorted ? 366 - day : day; };
        DrawDays(c, a.best, entry, Black);
        if (z != 0) {
            DrawDays(c, a.high, entry, LightRed);
            DrawDays(c, a.low, entry, LightRed);
        }
        break;
    }
    }
    DrawResultAxes(view, r, loc, c);
    const ResultLegend legend = LegendOf(view);
    const double legendY = r.ChartMin - 2 * s;
    c.Text(legend.x, legendY, legend.curve, Black, 8, 0);
    c.Text(legend.x, legendY, legend.band, Black, 8, 1);
}

} // namespace tavisol::workbench
