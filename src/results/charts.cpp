#include "results/charts.h"

#include <algorithm>

#include "engine/geodesy.h"
#include "results/gridtexts.h"

namespace tavisol::results {

using engine::Single;

namespace {

Single Best(const LocationResults &r, int v, int m) { return r.StoredResult(v).Best[static_cast<std::size_t>(m)]; }
Single Err(const LocationResults &r, int v, int m) { return r.StoredResult(v).StdErr[static_cast<std::size_t>(m)]; }

// Wind speed is drawn in km/h.
constexpr double KmhPerMetrePerSecond = 3.6;

// Widens [lo, hi] to hold a variable's band, best +- 2 standard errors, in
// every month; `scale` converts its unit first (in that precision). A
// variable without an estimate has no band: its zeros would squash the others.
template <class T>
void WidenToBands(const LocationResults &r, int v, T scale, Single &lo, Single &hi) {
    if (!r.HasEstimate(v))
        return;
    for (int m = 1; m <= 12; ++m) {
        lo = std::min(lo, static_cast<Single>(scale * Best(r, v, m) - 2 * scale * Err(r, v, m)));
        hi = std::max(hi, static_cast<Single>(scale * Best(r, v, m) + 2 * scale * Err(r, v, m)));
    }
}

// Bounds rounded out to the axis ladder, as whole numbers; the range around 0
// when no variable had a band.
ChartRange Finish(Single lo, Single hi, bool notBelowZero) {
    if (lo > hi)
        lo = hi = 0;
    ChartRange range;
    range.min = engine::NiceValueDown(lo);
    if (notBelowZero && range.min < 0)
        range.min = 0;
    range.max = engine::NiceValueUp(hi);
    return range;
}

ChartItem Line(double x1, double y1, double x2, double y2, std::optional<Rgb> colour, int width = 1) {
    ChartItem item;
    item.kind = ChartItem::Kind::Line;
    item.x1 = x1;
    item.y1 = y1;
    item.x2 = x2;
    item.y2 = y2;
    item.colour = colour;
    item.width = width;
    return item;
}

ChartItem Text(double x, double y, std::string text, std::optional<Rgb> colour) {
    ChartItem item;
    item.kind = ChartItem::Kind::Text;
    item.x1 = x;
    item.y1 = y;
    item.text = std::move(text);
    item.colour = colour;
    return item;
}

} // namespace

std::vector<Series> ChartSeries(int group) {
    switch (group) {
    case TemperatureGroup: return {{0, Green}, {1, Red}, {2, Blue}};
    case PrecipitationGroup: return {{3, Red}, {5, Green}};
    case WindGroup: return {{6, Green}, {4, Blue}, {7, Red}};
    default: return {};
    }
}

ChartRange ChartRangeOf(int group, const LocationResults &r) {
    Single chartMax = -99999;
    Single chartMin = 99999;
    switch (group) {
    case TemperatureGroup:
        WidenToBands(r, 0, 1.0f, chartMin, chartMax);
        // Without a mean there is no side to compare with: the extremes
        // widen by their whole bands.
        if (!r.HasEstimate(0)) {
            WidenToBands(r, 1, 1.0f, chartMin, chartMax);
            WidenToBands(r, 2, 1.0f, chartMin, chartMax);
            return Finish(chartMin, chartMax, false);
        }
        // The daily extremes widen the range only where they lie on their
        // side of the mean; a zero counts as not estimated.
        for (int m = 1; m <= 12; ++m) {
            if (r.HasEstimate(2) && Best(r, 2, m) != 0 && Best(r, 2, m) < Best(r, 0, m)) {
                const Single lo = Best(r, 2, m) - 2 * Err(r, 2, m);
                if (lo < chartMin)
                    chartMin = lo;
            }
            if (r.HasEstimate(1) && Best(r, 1, m) != 0 && Best(r, 1, m) > Best(r, 0, m)) {
                const Single hi = Best(r, 1, m) + 2 * Err(r, 1, m);
                if (hi > chartMax)
                    chartMax = hi;
            }
        }
        return Finish(chartMin, chartMax, false);
    case PrecipitationGroup:
        WidenToBands(r, 3, 1.0f, chartMin, chartMax);
        WidenToBands(r, 5, 1.0f, chartMin, chartMax);
        return Finish(chartMin, chartMax, true);
    case WindGroup:
        WidenToBands(r, 6, KmhPerMetrePerSecond, chartMin, chartMax);
        WidenToBands(r, 4, 1.0f, chartMin, chartMax);
        return Finish(chartMin, chartMax, true);
    default:
        return {};
    }
}

double CurveValue(int group, int v, int month, const LocationResults &results, Single chartMax) {
    const Single best = Best(results, v, month);
    if (group == WindGroup && v == 6)
        return KmhPerMetrePerSecond * best;
    if (group == WindGroup && v == 7)
        return static_cast<double>(best) * chartMax;  // fraction 1 on the top grid line
    return best;
}

ChartDrawing DrawChart(int group, const LocationResults &results, ChartRange range, const numfmt::Locale &locale) {
    ChartDrawing d;
    if (group < TemperatureGroup || group > WindGroup)
        return d;
    d.min = range.min;
    d.max = range.max;
    if (group == WindGroup)
        d.min = 0;  // the wind chart always starts at 0
    d.step = (d.max - d.min) / 10;
    d.top = static_cast<double>(d.max) + 2.0 * d.step;
    d.bottom = static_cast<double>(d.min) - 2.0 * d.step;
    const Single min = d.min;
    const Single max = d.max;
    const Single step = d.step;

    if (group != WindGroup) {
        ChartItem point;
        point.kind = ChartItem::Kind::Point;
        point.x1 = -1;
        point.y1 = max;
        d.items.push_back(point);
    }

    // Value labels and grid lines at the quarters of the range.
    const Single levels[5] = {min, max, min + 5 * step, min + 2.5f * step, min + 7.5f * step};
    const char *const sunshine[5] = {"", "1", ".5", ".25", ".75"};
    std::optional<Rgb> ink;  // the surface's foreground until the wind chart turns it black
    for (int k = 0; k < 5; ++k) {
        const Single level = levels[k];
        const std::string label = numfmt::formatMask(level, "####.0", locale);
        if (group == WindGroup && k == 0) {
            d.items.push_back(Text(-0.8, level, label, ink));
            d.items.push_back(Line(-0.2, level, 12, level, ink));
        } else if (group == WindGroup) {
            d.items.push_back(Text(-0.8, static_cast<double>(level) + step / 2.0, label, ink));
            d.items.push_back(Line(-0.2, level, 11.5, level, ink));
            // The sunshine fraction's own scale at the line's end.
            d.items.push_back(Text(11.5, level, sunshine[k], Red));
            ink = Black;
        } else {
            d.items.push_back(Text(-0.8, static_cast<double>(level) + step / 2.0, label, ink));
            d.items.push_back(Line(-0.2, level, 12, level, ink));
        }
    }
    d.items.push_back(Line(0, min, 0, static_cast<double>(min) + 11.0 * step, ink));
    for (int m = 1; m <= 12; ++m)
        d.items.push_back(Text(m - 0.8, static_cast<double>(min) - step / 2.0, numfmt::strForm(m), ink));
    for (int x = 0; x <= 12; ++x)
        d.items.push_back(Line(x, static_cast<double>(min) - step / 4.0, x, min, ink));

    // Staircase curves: a step over each month, then the risers.
    const std::vector<Series> series = ChartSeries(group);
    for (int m = 1; m <= 12; ++m) {
        for (const Series &s : series) {
            if (!results.HasEstimate(s.variable))
                continue;  // no curve of zeros for a missing estimate
            const double y = CurveValue(group, s.variable, m, results, max);
            d.items.push_back(Line(m - 1, y, m, y, s.colour, 3));
        }
        if (m < 12) {
            for (const Series &s : series) {
                if (!results.HasEstimate(s.variable))
                    continue;
                const double y = CurveValue(group, s.variable, m, results, max);
                const double next = CurveValue(group, s.variable, m + 1, results, max);
                d.items.push_back(Line(m, y, m, next, s.colour, 3));
            }
        }
    }
    return d;
}

} // namespace tavisol::results
