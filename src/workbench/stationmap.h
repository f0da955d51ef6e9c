#pragma once

// The workbench's station map: a box around the computation point in degrees
// of offset from it, the terrain raster coloured by altitude class, the point
// with its 100 km cross, the numbered neighbours, the altitude legend, and the
// pointer read-out.

#include <array>
#include <functional>
#include <string>

#include "engine/state.h"
#include "numfmt/numfmt.h"
#include "workbench/drawing.h"

namespace tavisol::workbench {

using engine::Integer;
using engine::Single;

struct StationMapBox {
    Single East = 0, West = 0, North = 0, South = 0;
    Single Width = 0, Height = 0;
};

// Longest factor the zoom buttons reach; one more "Zoom Out" only beeps.
inline constexpr int MaxExtentFactor = 16384;

// A longitude offset brought into -180..180 (one turn at most).
Single WrapLongitudeOffset(Single dx);

// Box around the neighbours (active or not) and the point, widened to
// extentFactor times its size, clipped to the poles and given the aspect 0.6;
// sets the map's user scale. May correct extentFactor; returns the beeps.
int FitMapExtent(const engine::EngineState &state, int &extentFactor, StationMapBox &box, Drawing &map);

// One altitude class: map colour, legend row (1 = highest) text and swatch.
struct ElevationClass {
    Rgb map;
    const char *legendText;
    Rgb legend;
};
// The 24 classes in legend order, row 1 (" > 5000 m") .. row 24 (" Sea").
const std::array<ElevationClass, 24> &ElevationClasses();
// Legend row (1..24) of a cell's altitude; water is row 24 whatever the altitude.
int ElevationClassRow(Integer altitude, bool water);

// Sizes the map's fonts and corner labels depend on, in twips.
struct MapMetrics {
    double pictureHeight = 4056;
    double screenHeight = 11520;
};

// Altitude and water mark of a point, as the engine's GetElevation.
using ElevationLookup = std::function<Integer(Single lon, Single lat, Integer &isWater)>;

// Redraws the map. A level outside 1..3 is corrected with a beep and nothing
// is drawn (returns false). The raster reads longitudes wrapped into -180..180.
bool DrawStationMap(const engine::EngineState &state, int &resolutionLevel, StationMapBox &box, Drawing &map,
                    const MapMetrics &metrics, const ElevationLookup &elevation, const numfmt::Locale &loc,
                    int *beeps = nullptr);

// The 24-row legend, 10 pixels a row.
void DrawAltitudeLegend(Drawing &legend, Single mapExtentFactor);

// The arc of 100 km in degrees on the sphere of radius 6371 km.
double CrossSpanDegrees();

// Texts of decimalPositionLabel (decimal degrees) and dmsPositionLabel (degrees, minutes, seconds)
// for the pointer at offset (x, y) from the point.
struct PointerReadout {
    std::string decimal;
    std::string dms;
};
PointerReadout ReadPointer(Single calcLongitude, Single calcLatitude, double x, double y, const numfmt::Locale &loc);

} // namespace tavisol::workbench
