#pragma once

// The grid dialog's decisions without Qt: its key filter, the checks on
// leaving a box, and the rows and columns of the grid its OK lays out.

#include <optional>
#include <string>
#include <vector>

#include "batch/locations.h"
#include "shell/dialoglogic.h"

namespace tavisol::batch {

// The six boxes, with their texts as the dialog opens.
struct GridFields {
    std::string LongMin = "5";
    std::string LongMax = "15";
    std::string LongStep = "10"; // number of intervals
    std::string LatMin = "40";
    std::string LatMax = "50";
    std::string LatStep = "10";

    bool operator==(const GridFields &) const = default;
};

enum class GridField { LongMin, LongMax, LongStep, LatMin, LatMax, LatStep };

// Digits, ".", "-" and Backspace are taken; Enter moves on; the comma types
// the point in the coordinate boxes; the rest dropped.
dialogs::KeyDecision GridKey(GridField field, char32_t key);

// Leaving a box: the commas of the first three coordinate boxes become points
// (the last latitude keeps its comma until OK), then the range check. A
// coordinate out of range sends the focus back; a negative count does not.
struct GridLeave {
    std::optional<Message> message;
    bool refocus = false;
};
GridLeave LeaveGridField(GridField field, std::string &text);

// The values of one grid axis as the OK command runs through them: from the
// first value towards the last by (last - first) / intervals, point i at
// first + i x step, computed from its index so that no rounding accumulates:
// n whole intervals give n + 1 points, the last one the last value. A
// negative count runs against the direction and gives none; a first value
// equal to the last gives that one value.
std::vector<float> GridAxis(double first, double last, double intervals);

// Most points a list can take.
inline constexpr long MaxGridPoints = static_cast<long>(MaxListedLocations);

struct GridPlan {
    std::vector<float> Latitudes;  // rows, outer loop
    std::vector<float> Longitudes; // points of a row
    float LatStep = 0;
    float LongStep = 0;
    // Why the grid is refused (no intervals, a box holding anything after
    // its number but blanks, a value beyond single precision, too many
    // points); nothing is laid out then.
    std::optional<Message> Refusal;
};

// OK's first steps: the commas of the four coordinate boxes become points,
// the values and the two steps are read, and the axes laid out. A box
// without any number reads as 0.
GridPlan PlanGrid(GridFields &fields);

} // namespace tavisol::batch
