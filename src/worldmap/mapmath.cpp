#include "worldmap/mapmath.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace tavisol::worldmap {

namespace {

int saturatedInt16(double v) {
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::clamp(v, -32768.0, 32767.0));
}

} // namespace

// ---- Projection ----------------------------------------------------------------

double ProjectX(double longitude, float W) { return (longitude + 180.0) / 360.0 * static_cast<double>(W); }

double ProjectY(double latitude, float H) {
    return std::fabs((latitude - 90.0) / 180.0) * static_cast<double>(H);
}

std::optional<PixelPos> MarkerPixel(float curLongitude, float curLatitude, float W, float H) {
    // Through the decimal text, so the marker sits where the typed number says.
    const numfmt::Locale point = numfmt::Locale::english();
    const double lon = numfmt::val(numfmt::general(curLongitude, point));
    const double lat = numfmt::val(numfmt::general(curLatitude, point));
    const double x = numfmt::roundHalfEven(ProjectX(lon, W));
    const double y = numfmt::roundHalfEven(ProjectY(lat, H));
    constexpr double lo = std::numeric_limits<std::int16_t>::min();
    constexpr double hi = std::numeric_limits<std::int16_t>::max();
    if (!(x >= lo && x <= hi && y >= lo && y <= hi))
        return std::nullopt;
    return PixelPos{static_cast<int>(x), static_cast<int>(y)};
}

double BitmapColumn(double viewX, double mapScale, double offsetX) {
    return std::floor(viewX / mapScale + offsetX);
}

double BitmapRow(double viewY, double mapScale, double offsetY) {
    return std::floor(viewY / mapScale + offsetY);
}

float PixelLongitude(double px, float W) { return static_cast<float>(360.0 * px / W - 180.0); }

float PixelLatitude(double py, float H) { return static_cast<float>(90.0 - 180.0 * py / H); }

std::string OutsideText(double viewX, double viewY, double mapScale, double offsetX,
                        double offsetY, float W, float H) {
    std::string text;
    if (viewX / mapScale + offsetX > W)
        text = "X OUT";
    if (viewY / mapScale + offsetY > H)
        text = "Y OUT";
    return text;
}

// ---- Pointer read-out ---------------------------------------------------------------

Dms ToDms(float value) {
    // Each step in single precision, as the read-out always was: 0.7 degrees
    // reads 42 minutes, not 41' 59''.
    if (!std::isfinite(value) || std::fabs(value) > 1.0e6F)
        return {};
    const float whole = std::trunc(value);
    const float f = (value - whole) * 60.0F;
    const float minutes = std::trunc(f);
    const float s = (f - minutes) * 60.0F;
    Dms d;
    d.Degrees = std::abs(static_cast<int>(whole));
    d.Minutes = std::abs(static_cast<int>(minutes));
    d.Seconds = std::abs(static_cast<int>(std::trunc(s)));
    return d;
}

Readout CursorReadout(float longitude, float latitude, const numfmt::Locale &loc) {
    const char *ew = longitude > 0 ? " E " : " W ";
    const char *ns = latitude > 0 ? " N " : " S ";
    const Dms lon = ToDms(longitude);
    const Dms lat = ToDms(latitude);
    auto dms = [&](const Dms &d) {
        return numfmt::formatNumber(static_cast<double>(d.Degrees), 0, loc) + "\u00b0 " +
               std::to_string(d.Minutes) + "' " + std::to_string(d.Seconds) + "''";
    };
    Readout r;
    r.Panel1 = "Longitude= " + numfmt::formatNumber(longitude, 2, loc) + "\u00b0 Latitude= " +
               numfmt::formatNumber(latitude, 2, loc) + "\u00b0 ";
    r.Panel2 = "Longitude= " + dms(lon) + ew + " Latitude= " + dms(lat) + ns;
    return r;
}

// ---- Zoom ------------------------------------------------------------------------------

float ScaleOfLevel(int level) {
    if (level >= 0)
        return static_cast<float>(level);
    return 1.0F / static_cast<float>(-level);
}

ScrollSteps StepsOfLevel(int level) {
    if (level >= 1)
        return {numfmt::cint(30.0 / level), numfmt::cint(15.0 / level)};
    const int k = std::abs(2 * (level == 0 ? -1 : level));
    return {k * 30, k * 15};
}

std::optional<int> PointZoomLevel(int level, int dir) {
    int next = level + dir;
    if (std::abs(next) > MaxZoom)
        return std::nullopt;
    if (next == 0)
        next = 2 * dir;
    return next;
}

std::string ScaleText(int level) {
    if (level >= 0)
        return "SCALA  " + std::to_string(level) + ":1";
    return "SCALA 1: " + std::to_string(-level);
}

std::optional<int> PresetLevel(const std::string &entry) {
    for (int n = 1; n <= MaxZoom; ++n) {
        if (entry == std::to_string(n) + ":1")
            return n;
        if (n > 1 && entry == "1:" + std::to_string(n))
            return -n;
    }
    return std::nullopt;
}

int ScrollMaximum(float bitmapSize, int viewSize, float mapScale) {
    return saturatedInt16(numfmt::roundHalfEven(static_cast<double>(bitmapSize) -
                                                static_cast<double>(viewSize) / mapScale));
}

double ClampOffset(double offset, float bitmapSize, int viewSize, float mapScale) {
    const double shown = static_cast<double>(viewSize) / mapScale;
    if (offset + shown > bitmapSize)
        offset = bitmapSize - shown;
    if (offset < 0)
        offset = 0;
    return offset;
}

double PointZoomOffset(double offset, double pointer, float oldScale, float newScale,
                       float bitmapSize, int viewSize) {
    offset = offset + pointer / oldScale - pointer / newScale;
    return ClampOffset(offset, bitmapSize, viewSize, newScale);
}

double ScrollOffset(int value, float bitmapSize, int viewSize, float mapScale, bool released) {
    double offset = value;
    const double shown = static_cast<double>(viewSize) / mapScale;
    const double reach = offset + std::floor(shown);
    if (released ? reach >= bitmapSize : reach > bitmapSize)
        offset = bitmapSize - shown - 1;
    if (offset < 0)
        offset = 0;
    return offset;
}

int StepTowardPointer(int value, int maximum, int direction, float mapScale) {
    int v = saturatedInt16(
        numfmt::roundHalfEven(value + static_cast<double>(direction) * 30.0 * mapScale));
    if (v < 0)
        v = 0;
    if (v > maximum)
        v = value;
    return v;
}

// ---- Drag ---------------------------------------------------------------------------------

int DragDirection(double start, double now) {
    const double d = start - now;
    if (d > 5)
        return 1;
    if (d < -5)
        return -1;
    return 0;
}

int DragStep(int zoomLevel, float mapScale) {
    if (zoomLevel < 1)
        return std::abs(zoomLevel) * 30;
    return numfmt::cint(30.0 / mapScale);
}

int DragValue(int value, int step, int direction, int maximum) {
    const int v = value + step * direction;
    if (v < 0)
        return 0;
    if (v > maximum)
        return maximum;
    return v;
}

// ---- Layout -----------------------------------------------------------------------------------

LayoutResult LayoutMap(const LayoutInput &in) {
    LayoutResult r;
    auto nonNegative = [](int v) { return std::max(0, v); };
    r.vBar.width = in.vBarWidth;
    r.vBar.top = in.frameBottom;
    r.vBar.left = in.FW - in.vBarWidth - in.vBarWidth / 2;
    r.vBar.height = nonNegative(in.statusTop - r.vBar.top - in.hBarHeight);
    r.hBar.height = in.hBarHeight;
    r.hBar.left = 0;
    r.hBar.top = in.statusTop - in.hBarHeight;
    r.hBar.width = nonNegative(in.statusWidth - in.vBarWidth);
    r.view = {in.viewLeft, in.viewTop, r.hBar.width, r.vBar.height};

    auto range = [&] {
        r.vMax = ScrollMaximum(in.H, r.view.height, in.mapScale);
        r.vEnabled = r.vMax >= 1;
        r.hMax = ScrollMaximum(in.W, r.view.width, in.mapScale);
        r.hEnabled = r.hMax >= 1;
    };
    range();
    // Twice: a bar that goes makes room that may take the other one away.
    for (int pass = 0; pass < 2; ++pass) {
        if (!r.vEnabled) {
            r.view.width = nonNegative(in.FW - ViewRightGap);
            r.hBar.width = r.view.width;
        }
        if (!r.hEnabled) {
            r.view.height = nonNegative(in.statusTop - r.view.top);
            r.vBar.height = r.view.height;
        }
        range();
    }
    return r;
}

} // namespace tavisol::worldmap
