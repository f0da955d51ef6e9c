#pragma once

// The workbench's chart of the annual cycle with its confidence limits, in
// one of four views: monthly, dekadal, daily, days above threshold.

#include <array>

#include "engine/state.h"
#include "numfmt/numfmt.h"
#include "workbench/drawing.h"
#include "workbench/series.h"

namespace tavisol::workbench {

// The tabs of the results tab strip, 1..4.
enum class ResultView { Monthly = 1, Dekadal = 2, Daily = 3, Threshold = 4 };

struct ResultChartRange {
    Single ChartMax = 0;
    Single ChartMin = 0;
    Single ChartStep = 0;
};

struct MonthlyChart {
    std::array<Single, 13> best{};
    std::array<Single, 13> low{};
};

// Range of best +- 2 standard errors over the months, on the axis ladders;
// from 0 for the variables from 3 up, to 1 for the sunshine fraction.
void SetResultScale(const engine::EngineState &state, ResultChartRange &range);

// Clears the chart and draws the view. Computes the view's series first
// (dekadal, daily or sorted daily; none for the monthly view) with factor z.
void DrawResultChart(const engine::EngineState &state, ResultView view, Single z, WorkbenchSeries &series,
                     ResultChartRange &range, MonthlyChart &monthly, const numfmt::Locale &loc, Drawing &chart);

} // namespace tavisol::workbench
