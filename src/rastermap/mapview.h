#pragma once

// Arithmetic of the raster map's view: the zoom and its history, the fill of
// screen pixels from the raster, the placing of overlays, the mapping of a
// picture point back to degrees, the status texts and the window layout.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "rastermap/mapfiles.h"
#include "rastermap/rasterimage.h"

namespace tavisol::rastermap {

// Geographic extent of the shown map: left longitude, width, top latitude, height.
struct ViewWindow {
    float Left = -182.0f;
    float Width = 364.0f;
    float Top = 78.0f;
    float Height = 156.0f;
};

struct ZoomState {
    int Zoom = 1;                 // 1 = whole map; at most 255
    std::int32_t OriginX = 0;     // raster column of the shown part's corner, times Zoom
    std::int32_t OriginY = 0;
    std::vector<std::pair<double, double>> Stack{{0.0, 0.0}};  // clicked points, element 0 unused
    bool ZoomingIn = false;

    void Reset() {
        Zoom = 1;
        OriginX = OriginY = 0;
        Stack.assign(1, {0.0, 0.0});
    }
};

// A click of the point-zoom tool at (x, y) of a picture W x H over a map of C
// columns and R rows: the left button zooms in around the point, another
// button steps back by the last stored point. Zoom 1 or below resets.
void PointZoom(ZoomState &z, bool leftButton, double x, double y, double W, double H, int C, int R);

// The raster cell that pixel column i (from the left) and scan line j (from the
// bottom) of a bitmap W x H shows. Throws RasterError on a division by zero
// (a bitmap one pixel wide) or an index beyond 16 bits.
std::pair<int, int> FillCell(int i, int j, int W, int H, int U1, int U2, const ZoomState &z);

// Fills 24-bit pixel memory (scan lines bottom-up, blue-green-red, lines of
// bytesPerLine bytes) from the raster through the colour table. Cells outside
// the raster (its last row and column included) repeat the class of the pixel
// before. afterColumn runs after every pixel column with the column index.
void FillPixels(const RasterImage &raster, const ColorTable &colors, const ZoomState &z, int W, int H,
                std::uint8_t *bits, int bytesPerLine, const std::function<void(int column)> &afterColumn = {});

// Bytes of one scan line of a 24-bit bitmap: width x 3 rounded up to 4.
inline int BytesPerScanLine(int width) { return (width * 3 + 3) & ~3; }

// Where a point in degrees lands on a picture SW x SH of the shown map; x, y
// rounded down. Returns false when the point lies right of or below the picture.
bool OverlayPoint(const ViewWindow &view, const ZoomState &z, int U1, int U2, double SW, double SH, float lon,
                  float lat, int &x, int &y);
// The same place without the check, x and y rounded down.
std::pair<double, double> OverlayXY(const ViewWindow &view, const ZoomState &z, int U1, int U2, double SW, double SH,
                                    float lon, float lat);
// Offsets of the zoomed picture (x0, y0 of the overlay drawing).
std::pair<double, double> OverlayOffset(const ZoomState &z, int U1, int U2, double SW, double SH);
// Radius of capitals and line width of boundaries at a zoom.
inline int OverlaySize(int zoom) { return zoom / 2 + 1; }

// The lines of the boundaries: each from a point to the pen position before
// it. Points outside the map are skipped without lifting the pen; a point
// that closes a ring (equal to the ring's first point) lifts it, so the next
// point starts afresh from there.
struct Segment {
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    bool operator==(const Segment &) const = default;
};
std::vector<Segment> BoundarySegments(const ShapeSet &shapes,
                                      const std::function<bool(float lon, float lat)> &inside,
                                      const std::function<std::pair<int, int>(float lon, float lat)> &place);

// A picture point (x, y) of a picture W x H back to degrees.
void ViewMapping(const ViewWindow &view, const ZoomState &z, int C, int R, double W, double H, double x,
                 double y, float &lon, float &lat);

// The extent of the whole map from the corners of its cells.
struct Georeference;
ViewWindow WholeMapView(const Georeference &geo, int columns, int rows);

// Status-bar texts of the position under the mouse.
std::string DmsText(float lon, float lat);
std::string DecimalText(float lon, float lat);

// Layout of picture and legend in twips.
struct MapLayout {
    double PictureWidth = 0, PictureHeight = 0;
    double LegendLeft = 0, LegendWidth = 0, LegendHeight = 0;
};
// At activation: from the window's outer width and the map's aspect (columns / rows).
MapLayout ActivationLayout(double outerWidth, double aspect);
// At a resize with Track AutoSize: from the window's inner size.
MapLayout ResizeLayout(double innerWidth, double innerHeight, double aspect);

} // namespace tavisol::rastermap
