#include "workbench/stationmap.h"

#include <algorithm>
#include <cmath>

#include "numfmt/numfmt.h"

namespace tavisol::workbench {

using engine::EngineState;

namespace {

constexpr double PiMap = 3.1415927;

Single HalveToEven(int v) { return static_cast<Single>(numfmt::roundHalfEven(v / 2.0)); }

} // namespace

Single WrapLongitudeOffset(Single dx) {
    if (dx > 180)
        dx -= 360;
    if (dx < -180)
        dx += 360;
    return dx;
}

int FitMapExtent(const EngineState &state, int &extentFactor, StationMapBox &b, Drawing &map) {
    int beeps = 0;
    b.East = b.West = b.North = b.South = 0;
    const int found = std::min<int>(state.NeighbourCount, engine::MaxNeighbours);
    for (int i = 1; i <= found; ++i) {
        const Single dy = state.Neighbours[i].Latitude - state.CalcLatitude;
        if (dy < b.South)
            b.South = dy;
        if (dy > b.North)
            b.North = dy;
    }
    for (int i = 1; i <= found; ++i) {
        const Single dx = WrapLongitudeOffset(state.Neighbours[i].Longitude - state.CalcLongitude);
        if (dx < b.West)
            b.West = dx;
        if (dx > b.East)
            b.East = dx;
    }
    Single w = b.East - b.West;
    Single h = b.North - b.South;
    if (extentFactor < 1) {
        extentFactor = 1;
        ++beeps;
    }
    const Single growX = static_cast<Single>(w / 2.0 * (extentFactor - 1));
    const Single growY = static_cast<Single>(h / 2.0 * (extentFactor - 1));
    b.East += growX;
    b.West -= growX;
    b.North += growY;
    b.South -= growY;
    if (b.East > 180 && b.West < -180 && b.North > 90 && b.South < -90) {
        extentFactor = static_cast<int>(HalveToEven(extentFactor));
        ++beeps;
    }
    if (static_cast<Single>(state.CalcLatitude + b.North) > 90)
        b.North = 90 - state.CalcLatitude;
    if (static_cast<Single>(state.CalcLatitude + b.South) < -90)
        b.South = -90 - state.CalcLatitude;
    w = b.East - b.West;
    h = b.North - b.South;
    if (static_cast<Single>(0.6 * w) < h)
        w = static_cast<Single>(h / 0.6);
    else
        h = static_cast<Single>(0.6 * w);
    if (w == 0 && h == 0) {
        // Every neighbour sits on the point: show one degree around it
        // rather than a picture without extent.
        w = 1;
        h = 0.6f;
    }
    map.SetScale(b.West - 0.1 * w, b.North + 0.1 * h, b.West + 1.1 * w, b.North - 1.1 * h);
    b.Width = w;
    b.Height = h;
    return beeps;
}

const std::array<ElevationClass, 24> &ElevationClasses() {
    static const std::array<ElevationClass, 24> classes = {{
        {{207, 178, 199}, " > 5000 m", {207, 178, 199}},
        {{205, 169, 174}, " 4500 - 4999 m", {205, 169, 174}},
        {{202, 160, 149}, " 4000 - 4499 m", {202, 160, 149}},
        {{200, 150, 125}, " 3500 - 3999 m", {200, 151, 124}},
        {{216, 115, 88}, " 3000 - 3499 m", {216, 115, 88}},
        {{236, 86, 45}, " 2500 - 2999 m", {236, 86, 45}},
        {{215, 95, 64}, " 2000 - 2499 m", {215, 95, 64}},
        {{180, 94, 53}, " 1800 - 1999 m", {180, 94, 53}},
        {{162, 93, 47}, " 1600 - 1799 m", {162, 93, 47}},
        {{189, 128, 52}, " 1400 - 1599 m", {189, 128, 52}},
        {{209, 167, 57}, " 1200 - 1399 m", {209, 167, 57}},
        {{228, 205, 62}, " 1000 - 1199 m", {228, 205, 62}},
        {{247, 243, 67}, " 900 - 999 m", {247, 243, 67}},
        {{222, 233, 58}, " 800 - 899 m", {222, 233, 58}},
        {{200, 220, 58}, " 700 - 799 m", {200, 220, 58}},
        {{178, 206, 58}, " 600 - 699 m", {178, 206, 58}},
        {{156, 193, 58}, " 500 - 599 m", {156, 193, 58}},
        {{134, 180, 58}, " 400 - 499 m", {134, 180, 58}},
        {{112, 167, 58}, " 300 - 399 m", {112, 167, 58}},
        {{90, 153, 58}, " 200 - 299 m", {90, 153, 58}},
        {{68, 140, 58}, " 99 - 199 m", {68, 140, 58}},
        {{46, 127, 58}, " 0 < 99 m", {46, 127, 58}},
        {{50, 146, 138}, " < 0 m", {50, 146, 138}},
        {{0, 0, 160}, " Sea", {0, 0, 160}},
    }};
    return classes;
}

int ElevationClassRow(Integer altitude, bool water) {
    if (water)
        return 24;
    if (altitude < 0)
        return 23;
    // Upper limits of rows 22 down to 2; row 1 is 5000 m and above.
    static constexpr int limits[] = {100,  200,  300,  400,  500,  600,  700,  800,  900,  1000, 1200,
                                     1400, 1600, 1800, 2000, 2500, 3000, 3500, 4000, 4500, 5000};
    int row = 22;
    for (int limit : limits) {
        if (altitude < limit)
            return row;
        --row;
    }
    return 1;
}

double CrossSpanDegrees() { return 100.0 / 2 / PiMap / 6371 * 360; }

bool DrawStationMap(const EngineState &state, int &level, StationMapBox &b, Drawing &map, const MapMetrics &metrics,
                    const ElevationLookup &elevation, const numfmt::Locale &loc, int *beeps) {
    if (level < 1 || level > 3) {
        level = level < 1 ? 1 : 3;
        if (beeps)
            ++*beeps;
        return false;
    }
    map.Clear();
    const Single mef = state.MapExtentFactor;
    const bool smallScreen = metrics.screenHeight < 11520;
    const double fontSize = metrics.pictureHeight < 4000.0 * mef ? (smallScreen ? 6 : 7) : (smallScreen ? 7 : 10);
    b.Height = b.North - b.South;
    b.Width = b.East - b.West;
    const double height = b.Height;
    const double width = b.Width;

    const auto &classes = ElevationClasses();
    for (int i = 1; i <= 20 * level; ++i) {
        const double y0 = (i - 1) * height / 20 / level + b.South;
        const double y1 = i * height / 20 / level + b.South;
        for (int j = 1; j <= 40 * level; ++j) {
            const double x0 = (j - 1) * width / 40 / level + b.West;
            const double x1 = j * width / 40 / level + b.West;
            const Single lon = WrapLongitudeOffset(static_cast<Single>(state.CalcLongitude + (x0 + x1) / 2));
            Single lat = static_cast<Single>(state.CalcLatitude + (y0 + y1) / 2);
            if (lat >= 90)
                lat = 89.99f;
            if (lat < -90)
                lat = -90;
            Integer water = 0;
            const Integer alt = elevation(lon, lat, water);
            map.Box(x0, y0, x1, y1, classes[static_cast<std::size_t>(ElevationClassRow(alt, water != 0) - 1)].map);
        }
    }

    const double sw = map.ScaleWidth();
    map.Circle(0, 0, 0.008 * sw, White, false, White);
    const double a = CrossSpanDegrees() / 2;
    const double c = std::cos(state.CalcLatitude * PiMap / 180);
    const double bx = c == 0 ? a : a / c;
    map.Line(-bx, 0, bx, 0, White);
    map.Line(0, -a, 0, a, White);

    const int found = std::min<int>(state.NeighbourCount, engine::MaxNeighbours);
    for (int i = 1; i <= found; ++i) {
        const engine::StationRecord &n = state.Neighbours[i];
        const double dx = WrapLongitudeOffset(n.Longitude - state.CalcLongitude);
        const double dy = n.Latitude - state.CalcLatitude;
        const bool active = n.Active == 1;
        if (active)
            map.Circle(dx, dy, 0.005 * sw, Black, true, Black);
        else
            map.Circle(dx, dy, 0.005 * sw, LightRed, false, LightRed);
        map.Text(dx, dy, NumberLabel(i), active ? Black : LightRed, fontSize);
    }

    if (metrics.pictureHeight > 4000.0 * mef) {
        const double small = smallScreen ? 6 : 7;
        Single westLon = state.CalcLongitude + b.West;
        if (westLon < -180)
            westLon += 360;
        Single eastLon = state.CalcLongitude + b.East;
        if (eastLon > 180)
            eastLon -= 360;
        const Single southLat = state.CalcLatitude + b.South;
        const Single northLat = state.CalcLatitude + b.North;
        auto deg = [&](Single v) { return numfmt::formatMask(v, "0.0", loc) + "°"; };
        const double W = width, H = height;
        map.Text(b.West, b.South, deg(westLon), Black, small);
        map.Text(b.West - 0.09 * W, b.South + 0.07 * H, deg(southLat), Black, small);
        map.Text(b.West, b.North + 0.07 * H, deg(westLon), Black, small);
        map.Text(b.West - 0.09 * W, b.North, deg(northLat), Black, small);
        map.Text(b.East - 0.09 * W, b.South, deg(eastLon), Black, small);
        map.Text(b.East + 0.01 * W, b.South + 0.07 * H, deg(southLat), Black, small);
        map.Text(b.East - 0.09 * W, b.North + 0.07 * H, deg(eastLon), Black, small);
        map.Text(b.East + 0.01 * W, b.North, deg(northLat), Black, small);
    }
    return true;
}

void DrawAltitudeLegend(Drawing &legend, Single mapExtentFactor) {
    // The title stands above the first row: the scale starts a row higher so
    // that it shows.
    legend.SetScale(0, -12, 110, 240);
    legend.Clear();
    const auto &classes = ElevationClasses();
    for (int k = 1; k <= 24; ++k) {
        const double y = (k - 1) * 10 + mapExtentFactor;
        if (k == 1)
            legend.Text(10, y - 10, " Altitude", Black, 6);
        legend.Box(0, y, 10, y + 10, classes[static_cast<std::size_t>(k - 1)].legend);
        legend.Text(10, y, classes[static_cast<std::size_t>(k - 1)].legendText, Black, 6);
    }
}

PointerReadout ReadPointer(Single calcLongitude, Single calcLatitude, double x, double y, const numfmt::Locale &loc) {
    const Single lon = static_cast<Single>(calcLongitude + x);
    const Single lat = static_cast<Single>(calcLatitude + y);
    PointerReadout r;
    r.decimal = numfmt::formatMask(lon, "0.00", loc) + "°  " + numfmt::formatMask(lat, "0.00", loc) + "° ";
    const std::string ew = lon > 0 ? " E " : " W ";
    const std::string ns = lat > 0 ? " N " : " S ";
    auto dms = [](Single v) {
        const double t = std::trunc(static_cast<double>(v));
        const double f = v - t;
        const long d = static_cast<long>(std::fabs(t));
        const double f60 = f * 60;
        const long m = static_cast<long>(std::fabs(std::trunc(f60)));
        const long s = static_cast<long>(std::fabs(std::trunc((f60 - std::trunc(f60)) * 60)));
        return std::to_string(d) + "° " + std::to_string(m) + "' " + std::to_string(s) + "''";
    };
    r.dms = dms(lon) + ew + "  " + dms(lat) + ns;
    return r;
}

std::string NumberLabel(long value) {
    return (value < 0 ? "-" : " ") + std::to_string(value < 0 ? -value : value) + " ";
}

} // namespace tavisol::workbench
