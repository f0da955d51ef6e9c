#include "workbench/altitudeplot.h"

#include <algorithm>

#include "engine/geodesy.h"

namespace tavisol::workbench {

using engine::EngineState;
using engine::Missing;

namespace {

int Found(const EngineState &s) { return std::min<int>(s.NeighbourCount, engine::MaxNeighbours); }

} // namespace

PlotAxis ScaleAltitudeAxis(const EngineState &state) {
    Single max = -99999, min = 99999;
    for (int i = 1; i <= Found(state); ++i) {
        const Single a = state.Neighbours[i].Altitude;
        if (a == Missing)
            continue;
        min = std::min(min, a);
        max = std::max(max, a);
    }
    if (state.CalcAltitude > max)
        max = state.CalcAltitude;
    if (state.CalcAltitude < min)
        min = state.CalcAltitude;
    engine::NiceValueUp(max);
    if (min > 0 && min < 20)
        min = 0;
    else
        engine::NiceValueDown(min);
    return {max, min, static_cast<Single>((static_cast<double>(max) - min) / 10)};
}

PlotAxis ScaleValueAxis(const EngineState &state) {
    Single max = -99999, min = 99999;
    auto scan = [&](bool needAltitude) {
        for (int i = 1; i <= Found(state); ++i) {
            const engine::StationRecord &n = state.Neighbours[i];
            if (needAltitude && n.Altitude == Missing)
                continue;
            for (int m = 1; m <= 12; ++m) {
                min = std::min(min, n.Values[static_cast<std::size_t>(m)]);
                max = std::max(max, n.Values[static_cast<std::size_t>(m)]);
            }
        }
    };
    scan(true);
    // Without any neighbour of known altitude the range would come out
    // inverted; the values of all neighbours give it instead.
    if (max < min)
        scan(false);
    if (max < min) {
        max = 0;
        min = 0;
    }
    engine::NiceValueUp(max);
    if (state.CurrentVariable < 3)
        engine::NiceValueDown(min);
    else
        min = 0;
    return {max, min, static_cast<Single>((static_cast<double>(max) - min) / 10)};
}

AltitudeRegression FitAltitudeRegression(const EngineState &state, int month) {
    Single sx = 0, sy = 0, sxy = 0, syy = 0, sxx = 0;
    for (int i = 1; i <= Found(state); ++i) {
        const engine::StationRecord &n = state.Neighbours[i];
        if (n.Altitude == Missing || n.Active != 1)
            continue;
        const Single x = n.Altitude;
        const Single y = n.Values[static_cast<std::size_t>(month)];
        sx += x;
        sy += y;
        sxy += x * y;
        syy += y * y;
        sxx += x * x;
    }
    AltitudeRegression r;
    const Single n = state.ActiveWithAltCount;
    if (n == 0)
        return r;  // nothing to fit: no line
    r.valid = true;
    const Single d = static_cast<Single>(static_cast<double>(sx) * sx - static_cast<double>(n) * sxx);
    r.Slope = d == 0 ? 0 : static_cast<Single>((static_cast<double>(sx) * sy - static_cast<double>(n) * sxy) / d);
    r.Intercept = static_cast<Single>((sy - static_cast<double>(sx) * r.Slope) / n);
    const Single vy = static_cast<Single>(static_cast<double>(n) * syy - static_cast<double>(sy) * sy);
    const Single vx = static_cast<Single>(static_cast<double>(n) * sxx - static_cast<double>(sx) * sx);
    if (vy == 0 || n <= 2 || vx == 0) {
        r.ExplainedVariance = 1;
    } else {
        const double c = static_cast<double>(n) * sxy - static_cast<double>(sy) * sx;
        r.ExplainedVariance = static_cast<Single>(c * c / vy / vx);
    }
    return r;
}

int StepMonth(int month, int delta) {
    month += delta;
    while (month > 12)
        month -= 12;
    while (month < 1)
        month += 12;
    return month;
}

std::string SlopeUnit(Integer variable) {
    switch (variable) {
    case 0:
    case 1:
    case 2: return " °C";
    case 3:
    case 5: return " mm/Month";
    case 4: return " hPa";
    case 6: return " m/s";
    default: return "    ";
    }
}

double RegressionLine::SlopePer100m() const {
    if (a2 == a1)
        return 0;
    return (v2 - v1) / (a2 - a1) * 100;
}

RegressionLine RegressionEnds(AltitudeRegression &reg, const PlotAxis &alt, const PlotAxis &val) {
    if (reg.Slope == 0)
        reg.Slope = 1e-10f;
    const Single vs = val.Step, as = alt.Step;
    const Single lo = alt.Min - as / 2, hi = alt.Max + as / 2;
    RegressionLine l;
    auto end = [&](Single v, double &outV, double &outA) {
        const Single a = (v - reg.Intercept) / reg.Slope;
        if (a < lo) {
            outA = lo;
            outV = static_cast<Single>(lo * reg.Slope + reg.Intercept);
        } else if (a > hi) {
            outA = hi;
            outV = static_cast<Single>(hi * reg.Slope + reg.Intercept);
        } else {
            outA = a;
            outV = v;
        }
    };
    end(val.Min - vs / 2, l.v1, l.a1);
    end(val.Max + vs / 2, l.v2, l.a2);
    return l;
}

void ShowAltitudePlot(const EngineState &state, int &plotMonth, const PlotAxis &alt, const PlotAxis &val,
                      const PlotMetrics &metrics, const numfmt::Locale &loc, Drawing &plot,
                      AltitudeRegression &regression) {
    plot.Clear();
    const double vs = val.Step, as = alt.Step;
    const bool wide = metrics.width > 5000;
    const double top = alt.Max + (metrics.height <= 5000 ? 2 : 3) * as;
    plot.SetScale(val.Min - 2 * vs, top, val.Max + 2 * vs, alt.Min - 3 * as);

    // Axes, ticks, labels, captions and the point's altitude.
    const double ticks[5] = {alt.Min, alt.Min + 2.5 * as, alt.Min + 5 * as, alt.Min + 7.5 * as, alt.Max};
    if (wide)
        for (double t : ticks)
            plot.Text(val.Min - 1.5 * vs, t + as / 4, numfmt::formatMask(t, "####.0", loc), Black, 8);
    for (double t : ticks)
        plot.Line(val.Min - vs / 2 - vs / 10, t, val.Min - vs / 2, t, Black);
    plot.Line(val.Min - vs / 2, alt.Min - as / 2, val.Max + vs / 2, alt.Min - as / 2, Black);
    plot.Line(val.Min - vs / 2, alt.Min - as / 2, val.Min - vs / 2, alt.Max + as / 2, Black);
    const double vticks[5] = {val.Min, val.Min + 2.5 * vs, val.Min + 5 * vs, val.Min + 7.5 * vs, val.Max};
    if (wide)
        for (double t : vticks)
            plot.Text(t, alt.Min - as / 2, numfmt::formatMask(t, "####.00", loc), Black, 8);
    const Integer var = state.CurrentVariable;
    if (var >= 0 && var <= 7)
        plot.Text(val.Min, alt.Min - as, std::string(engine::VariableNames[static_cast<std::size_t>(var)]), Black, 8);
    plot.Text(val.Min - 1.5 * vs, alt.Max + as, "Altitude", Black, 8);
    plot.Line(val.Min - vs / 2, state.CalcAltitude, val.Max + vs / 2, state.CalcAltitude, Blue);

    plotMonth = StepMonth(plotMonth, 1);
    plot.Text((val.Max + val.Min) / 2.0 - 1.5 * vs, alt.Max + 2 * as,
              std::string(engine::MonthNames[static_cast<std::size_t>(plotMonth)]), Black, wide ? 12 : 8);

    const double sw = plot.ScaleWidth();
    for (int i = 1; i <= std::min<int>(state.NeighbourCount, engine::MaxNeighbours); ++i) {
        const engine::StationRecord &n = state.Neighbours[i];
        const bool active = n.Active == 1;
        const double x = n.Values[static_cast<std::size_t>(plotMonth)];
        const double y = n.Altitude;
        if (active)
            plot.Circle(x, y, 0.004 * sw, Black, true, Black);
        else
            plot.Circle(x, y, 0.004 * sw, LightRed, true, LightRed);
        plot.Text(x, y, NumberLabel(i), active ? Green : LightRed, 8);
    }

    regression = FitAltitudeRegression(state, plotMonth);
    if (!regression.valid)
        return;
    const RegressionLine l = RegressionEnds(regression, alt, val);
    plot.Line(l.v1, l.a1, l.v2, l.a2, LightBlue);
    if (wide) {
        if (state.ActiveWithAltCount > 2)
            plot.Text(val.Max - 4.5 * vs, alt.Max + 0.2 * as,
                      "Explained Variance = " +
                          numfmt::formatMask(static_cast<Single>(regression.ExplainedVariance * 100.0), "##0.0", loc) +
                          " %",
                      Black, 8);
        plot.Text(val.Max - 4.5 * vs, alt.Max - 0.4 * as,
                  "Slope = " + numfmt::formatMask(l.SlopePer100m(), "####0.00", loc) + SlopeUnit(var) + " /100 m",
                  Black, 8);
    }
}

} // namespace tavisol::workbench
