#pragma once

// The value-versus-altitude plot of one month: axes scaled over all twelve
// months, the neighbours as numbered dots, the computation point's altitude,
// and the least-squares line of value on altitude over the active neighbours.

#include <string>

#include "engine/state.h"
#include "numfmt/numfmt.h"
#include "workbench/drawing.h"

namespace tavisol::workbench {

using engine::Integer;
using engine::Single;

struct PlotAxis {
    Single Max = 0;
    Single Min = 0;
    Single Step = 0;
};

struct AltitudeRegression {
    Single Slope = 0;
    Single Intercept = 0;
    Single ExplainedVariance = 0;
    bool valid = false;  // false without an active neighbour of known altitude
};

// Altitude range of the neighbours with an altitude (active or not) and the
// computation point, on the axis ladders.
PlotAxis ScaleAltitudeAxis(const engine::EngineState &state);
// Value range over the twelve months of the neighbours with an altitude;
// from 0 for the variables from 3 up.
PlotAxis ScaleValueAxis(const engine::EngineState &state);

// Ordinary least squares over the active neighbours with an altitude.
AltitudeRegression FitAltitudeRegression(const engine::EngineState &state, int month);

// Month after stepping by delta, wrapping 12 -> 1 and 1 -> 12.
int StepMonth(int month, int delta);

// Unit text of the slope label (" °C", " mm/Month", ...).
std::string SlopeUnit(Integer variable);

// Ends of the drawn regression line, clipped to the altitude range.
struct RegressionLine {
    double v1 = 0, a1 = 0, v2 = 0, a2 = 0;
    double SlopePer100m() const;
};
RegressionLine RegressionEnds(AltitudeRegression &regression, const PlotAxis &altitude, const PlotAxis &value);

struct PlotMetrics {
    double width = 6468;  // twips
    double height = 4056;
};

// Steps plotMonth forward by one and draws the whole plot for it.
void ShowAltitudePlot(const engine::EngineState &state, int &plotMonth, const PlotAxis &altitude,
                      const PlotAxis &value, const PlotMetrics &metrics, const numfmt::Locale &loc, Drawing &plot,
                      AltitudeRegression &regression);

} // namespace tavisol::workbench
