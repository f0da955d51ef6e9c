#include "batch/grid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "numfmt/numfmt.h"

namespace tavisol::batch {

namespace {

Message Critical(std::string text, std::string title) {
    return {std::move(text), std::move(title), MsgIcon::Critical};
}

using numfmt::toSingle;

// One axis more than this is already too many points.
constexpr std::size_t AxisLimit = MaxGridPoints + 1;

} // namespace

dialogs::KeyDecision GridKey(GridField field, char32_t key) {
    // The coordinate boxes take a comma for the point when they are read; the
    // interval boxes do not.
    if (key == U',' && field != GridField::LongStep && field != GridField::LatStep)
        return dialogs::CommaKey(GridKey(field, U'.'));
    if (key == dialogs::KeyEnter)
        return {dialogs::KeyAction::MoveOn, std::nullopt};
    if ((key >= U'0' && key <= U'9') || key == U'.' || key == U'-' || key == dialogs::KeyBackspace)
        return {dialogs::KeyAction::Take, std::nullopt};
    return {dialogs::KeyAction::Drop, std::nullopt};
}

GridLeave LeaveGridField(GridField field, std::string &text) {
    GridLeave r;
    switch (field) {
    case GridField::LongMin:
    case GridField::LongMax: {
        text = dialogs::CommasToPoints(text);
        const double v = numfmt::val(text);
        if (v < -180 || v > 180) {
            r.message = Critical("Longitudes should be between -180 and +180 degrees.", "Strange Location");
            r.refocus = true;
        }
        break;
    }
    case GridField::LatMin:
    case GridField::LatMax: {
        if (field == GridField::LatMin)
            text = dialogs::CommasToPoints(text);
        const double v = numfmt::val(text);
        if (v < -90 || v > 90) {
            r.message = Critical("Latitudes should be between -90 and +90 degrees.", "Strange Location");
            r.refocus = true;
        }
        break;
    }
    case GridField::LongStep:
        if (numfmt::val(text) < 0)
            r.message = Critical("Number of steps should be positive.", "Please,Correct.");
        break;
    case GridField::LatStep:
        if (numfmt::val(text) < 0)
            r.message = Critical("Number of steps should be positive", "Please,Corect.");
        break;
    }
    return r;
}

std::vector<float> GridAxis(double first, double last, double intervals) {
    std::vector<float> values;
    if (first == last) {
        values.push_back(static_cast<float>(first));
        return values;
    }
    if (!(intervals > 0))
        return values;
    const double step = (last - first) / intervals;
    const double count = std::min(std::floor(intervals) + 1, static_cast<double>(AxisLimit));
    for (std::size_t i = 0; static_cast<double>(i) < count; ++i)
        values.push_back(static_cast<float>(first + static_cast<double>(i) * step));
    return values;
}

GridPlan PlanGrid(GridFields &f) {
    for (std::string *text : {&f.LatMin, &f.LatMax, &f.LongMin, &f.LongMax})
        *text = dialogs::CommasToPoints(*text);
    GridPlan plan;
    // A box read up to its first stray character ("1.000.5", "10-20") would
    // lay the grid out elsewhere than typed.
    const std::pair<const std::string *, const char *> boxes[] = {
        {&f.LongMin, "first longitude"}, {&f.LongMax, "last longitude"}, {&f.LongStep, "number of longitude intervals"},
        {&f.LatMin, "first latitude"},   {&f.LatMax, "last latitude"},   {&f.LatStep, "number of latitude intervals"}};
    for (const auto &[text, name] : boxes)
        if (numfmt::valNumber(*text) && !numfmt::valWholeNumber(*text)) {
            plan.Refusal = Critical("The " + std::string(name) + " \"" + *text + "\" is no number.", "Please,Correct.");
            return plan;
        }
    const double latFirst = numfmt::val(f.LatMin);
    const double latLast = numfmt::val(f.LatMax);
    const double latIntervals = numfmt::val(f.LatStep);
    const double lonFirst = numfmt::val(f.LongMin);
    const double lonLast = numfmt::val(f.LongMax);
    const double lonIntervals = numfmt::val(f.LongStep);
    if (latIntervals == 0 || lonIntervals == 0) {
        plan.Refusal = Critical("The number of intervals must not be 0.", "Please,Correct.");
        return plan;
    }
    plan.LatStep = toSingle((latLast - latFirst) / latIntervals);
    plan.LongStep = toSingle((lonLast - lonFirst) / lonIntervals);
    for (double v : {latFirst, latLast, lonFirst, lonLast, static_cast<double>(plan.LatStep),
                     static_cast<double>(plan.LongStep)}) {
        if (!std::isfinite(v) || std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max())) {
            plan.Refusal = Critical("The grid needs numbers of a sensible size.", "Please,Correct.");
            return plan;
        }
    }
    plan.Latitudes = GridAxis(latFirst, latLast, latIntervals);
    plan.Longitudes = GridAxis(lonFirst, lonLast, lonIntervals);
    const double points = static_cast<double>(plan.Latitudes.size()) * static_cast<double>(plan.Longitudes.size());
    if (points > MaxGridPoints) {
        plan.Latitudes.clear();
        plan.Longitudes.clear();
        plan.Refusal = Critical("The grid has too many points: a list holds at most 32767 locations.",
                                "Please,Correct.");
    }
    return plan;
}

} // namespace tavisol::batch
