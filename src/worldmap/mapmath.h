#pragma once

// Arithmetic of the world map window without Qt: the projection between
// degrees and bitmap pixels, the pointer read-out texts, zoom levels and
// scroll steps, the layout of the view and its scroll bars, and the check of
// a typed latitude.
//
// W and H are the bitmap's width and height in pixels, VW and VH the view's.
// Zoom levels: n >= 1 shows n view pixels per bitmap pixel (n:1), -n shows one
// per n (1:n); never 0, never beyond +-16.

#include <cstdint>
#include <optional>
#include <string>

#include "numfmt/numfmt.h"

namespace tavisol::worldmap {

// ---- Projection ---------------------------------------------------------------

// Equirectangular: longitude -180..180 left to right, latitude 90..-90 top to
// bottom. Longitude 180 gives x = W, one column past the bitmap; a latitude
// above 90 is mirrored about the top edge.
double ProjectX(double longitude, float W);
double ProjectY(double latitude, float H);

// Pixel of the current-location marker: the location is taken through its
// decimal text (13.01 counts as 13.01, not the nearest float) and rounded
// halves to even. Empty when the pixel does not fit a 16-bit integer (a
// position far outside the bitmap, which then has no marker).
struct PixelPos {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPos &) const = default;
};
std::optional<PixelPos> MarkerPixel(float curLongitude, float curLatitude, float W, float H);

// Bitmap pixel under a view position (rounded down).
double BitmapColumn(double viewX, double mapScale, double offsetX);
double BitmapRow(double viewY, double mapScale, double offsetY);
// Geographic position of a bitmap pixel.
float PixelLongitude(double px, float W);
float PixelLatitude(double py, float H);

// "X OUT" when the view position lies beyond the bitmap's right edge, "Y OUT"
// beyond its bottom edge (this one wins when both hold), else empty. A
// position exactly on an edge counts as inside.
std::string OutsideText(double viewX, double viewY, double mapScale, double offsetX,
                        double offsetY, float W, float H);

// ---- Pointer read-out ------------------------------------------------------------

struct Readout {
    std::string Panel1; // decimal degrees
    std::string Panel2; // degrees, minutes, seconds with hemisphere letters
};

// Degrees, minutes and seconds of a coordinate, truncated toward zero and
// without sign. A value that is no coordinate (not finite, beyond a million
// degrees) gives zeros.
struct Dms {
    int Degrees = 0;
    int Minutes = 0;
    int Seconds = 0;
    bool operator==(const Dms &) const = default;
};
Dms ToDms(float value);

Readout CursorReadout(float longitude, float latitude, const numfmt::Locale &loc);

// ---- Zoom ---------------------------------------------------------------------------

inline constexpr int MaxZoom = 16;

// View pixels per bitmap pixel of a level.
float ScaleOfLevel(int level);

struct ScrollSteps {
    int Large = 0;
    int Small = 0;
    bool operator==(const ScrollSteps &) const = default;
};
ScrollSteps StepsOfLevel(int level);

// Level after one point-zoom step (dir +1 in, -1 out); empty when the step
// would pass +-16. Level 0 is skipped: 1 zooming out gives -2, -1 zooming in 2.
std::optional<int> PointZoomLevel(int level, int dir);

// "SCALA  4:1", "SCALA 1: 4".
std::string ScaleText(int level);

// The level of a drop-down zoom entry ("1:1" .. "16:1", "1:2" .. "1:16");
// empty for any other text.
std::optional<int> PresetLevel(const std::string &entry);

// Maximum of a scroll bar: the bitmap size less the bitmap pixels the view
// shows, rounded halves to even; saturates instead of overflowing.
int ScrollMaximum(float bitmapSize, int viewSize, float mapScale);

// Keeps the view inside the bitmap on one axis: the far edge first, then a
// negative offset becomes 0.
double ClampOffset(double offset, float bitmapSize, int viewSize, float mapScale);

// Offset after a point zoom on one axis: the bitmap pixel under the pointer
// stays under it, then ClampOffset.
double PointZoomOffset(double offset, double pointer, float oldScale, float newScale,
                       float bitmapSize, int viewSize);

// Offset that a scroll bar's value gives. `released` is the change after the
// thumb was let go (the far-edge test asks for "at least"); while the thumb is
// dragged the test asks for "greater than".
double ScrollOffset(int value, float bitmapSize, int viewSize, float mapScale, bool released);

// One step of a bar toward the pointer: the new value, or the current one when
// the step would pass the maximum; never below 0.
int StepTowardPointer(int value, int maximum, int direction, float mapScale);

// ---- Drag -------------------------------------------------------------------------------

// +1 when the pointer moved more than 5 pixels back (start - now > 5), -1 more
// than 5 forward, else 0.
int DragDirection(double start, double now);
// Scroll units of one drag step at a level.
int DragStep(int zoomLevel, float mapScale);
// A bar's value after a drag step, kept within 0..maximum.
int DragValue(int value, int step, int direction, int maximum);

// ---- Layout of the view and the scroll bars ------------------------------------------

struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Box &) const = default;
};

struct LayoutInput {
    int FW = 0;           // window width
    int frameBottom = 0;  // top + height of the location frame
    int vBarWidth = 0;
    int hBarHeight = 0;
    int statusTop = 0;    // the status bar's top
    int statusWidth = 0;
    int viewLeft = 0;
    int viewTop = 0;
    float W = 0;
    float H = 0;
    float mapScale = 1;
};

struct LayoutResult {
    Box view;
    Box vBar;
    Box hBar;
    int vMax = 0;
    int hMax = 0;
    bool vEnabled = false;
    bool hEnabled = false;
};

// When a bar is disabled the view takes the room: without the vertical bar it
// widens to the window width less this gap; without the horizontal one it
// grows down to the status bar.
inline constexpr int ViewRightGap = 7;

LayoutResult LayoutMap(const LayoutInput &in);

} // namespace tavisol::worldmap
