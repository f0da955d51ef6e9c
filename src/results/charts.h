#pragma once

// The monthly charts of the location results window as plain data: the value
// range of each group's chart and the list of lines, points and texts that
// draw it in the chart's own coordinates. The window's painter only maps these
// to pixels. No Qt.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/state.h"
#include "numfmt/numfmt.h"
#include "results/storedresults.h"

namespace tavisol::results {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb &) const = default;
};

inline constexpr Rgb Red{255, 0, 0};
inline constexpr Rgb Green{0, 255, 0};
inline constexpr Rgb Blue{0, 0, 255};
inline constexpr Rgb Black{0, 0, 0};

struct ChartRange {
    engine::Single min = 0;
    engine::Single max = 0;
};

struct ChartItem {
    enum class Kind { Line, Point, Text };
    Kind kind = Kind::Line;
    double x1 = 0;  // line start, point, or the text's top-left corner
    double y1 = 0;
    double x2 = 0;  // line end
    double y2 = 0;
    std::string text;
    std::optional<Rgb> colour;  // empty: the surface's own foreground colour
    int width = 1;              // pixels
};

struct ChartDrawing {
    engine::Single min = 0;   // ChartMin
    engine::Single max = 0;   // ChartMax
    engine::Single step = 0;  // ChartStep, a tenth of the range
    // User scale: x grows to the right, y upwards.
    double left = -2;
    double right = 12.5;
    double top = 0;
    double bottom = 0;
    std::vector<ChartItem> items;  // in drawing order
};

// The value range of a group's chart (1 temperatures, 2 precipitation and
// PET, 3 sunshine, wind and vapour pressure) from the stored best estimates
// plus and minus two standard errors, widened to the axis ladder.
ChartRange ChartRangeOf(int group, const LocationResults &results);

// The whole chart of a group over a range from ChartRangeOf: value labels,
// grid lines, vertical axis, month numbers and ticks, then one staircase
// curve per variable. Label numbers use the locale's decimal sign.
ChartDrawing DrawChart(int group, const LocationResults &results, ChartRange range, const numfmt::Locale &locale);

// The value the curve of variable v shows for month m (1..12).
double CurveValue(int group, int v, int month, const LocationResults &results, engine::Single chartMax);

// The series of a group's chart in drawing order, with their colours.
struct Series {
    int variable;
    Rgb colour;
};
std::vector<Series> ChartSeries(int group);

} // namespace tavisol::results
