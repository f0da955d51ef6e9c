#include "rastermap/mapview.h"

#include <cmath>
#include <limits>

#include "numfmt/numfmt.h"
#include "rastermap/georef.h"
#include "rastermap/rastererror.h"
#include "rastermap/wholenumbers.h"

namespace tavisol::rastermap {

namespace {

std::int32_t toLong(double v) {
    const double r = numfmt::roundHalfEven(v);
    if (!(r >= std::numeric_limits<std::int32_t>::min() && r <= std::numeric_limits<std::int32_t>::max()))
        throw RasterError("Overflow");
    return static_cast<std::int32_t>(r);
}

// A quotient whose divisor is zero gives no offset instead of a non-number.
double safeDiv(double a, double b) { return b == 0 ? 0.0 : a / b; }

} // namespace

void PointZoom(ZoomState &z, bool leftButton, double x, double y, double W, double H, int C, int R) {
    if (leftButton) {
        if (z.Zoom >= 255)  // the zoom is a byte: stays at its largest
            return;
        z.Zoom += 1;
        z.ZoomingIn = true;
        z.OriginX = toLong(x / W * (C - 1) + z.OriginX);
        z.OriginY = toLong(y / H * (R - 1) + z.OriginY);
        z.Stack.emplace_back(x, y);
    } else {
        z.Zoom -= 1;
        z.ZoomingIn = false;
        if (z.Stack.size() > 1) {
            const auto [px, py] = z.Stack.back();
            z.Stack.pop_back();
            z.OriginX = toLong(z.OriginX - px / W * (C - 1));
            z.OriginY = toLong(z.OriginY - py / H * (R - 1));
        }
    }
    if (z.Zoom <= 1)
        z.Reset();
}

std::pair<int, int> FillCell(int i, int j, int W, int H, int U1, int U2, const ZoomState &z) {
    const double Z = z.Zoom;
    const double col = (i / (Z * (W - 1))) * U1 + z.OriginX / Z;
    const double row = ((static_cast<double>(H) - j) / (H * Z)) * U2 + z.OriginY / Z;
    return {ToInt16(col), ToInt16(row)};
}

void FillPixels(const RasterImage &raster, const ColorTable &colors, const ZoomState &z, int W, int H,
                std::uint8_t *bits, int bytesPerLine, const std::function<void(int)> &afterColumn) {
    const int U1 = raster.U1();
    const int U2 = raster.U2();
    int c = 0;
    for (int i = 0; i < W; ++i) {
        for (int j = 0; j < H; ++j) {
            const auto [col, row] = FillCell(i, j, W, H, U1, U2, z);
            if (col >= 0 && col < U1 && row >= 0 && row < U2)
                c = raster.At(col, row);
            const ColorEntry &e = colors[static_cast<std::size_t>(c)];
            std::uint8_t *p = bits + static_cast<std::ptrdiff_t>(j) * bytesPerLine + static_cast<std::ptrdiff_t>(i) * 3;
            p[0] = e.Blue;
            p[1] = e.Green;
            p[2] = e.Red;
        }
        if (afterColumn) afterColumn(i);
    }
}

std::pair<double, double> OverlayOffset(const ZoomState &z, int U1, int U2, double SW, double SH) {
    return {safeDiv(SW * z.OriginX, U1 - 1) / z.Zoom, safeDiv(SH * z.OriginY, U2 - 1) / z.Zoom};
}

std::pair<double, double> OverlayXY(const ViewWindow &view, const ZoomState &z, int U1, int U2, double SW, double SH,
                                    float lon, float lat) {
    const auto [x0, y0] = OverlayOffset(z, U1, U2, SW, SH);
    // Single precision, as the picture's scale is held.
    const float px = (lon - view.Left) / view.Width * static_cast<float>(SW);
    const float py = std::fabs((lat - view.Top) / view.Height * static_cast<float>(SH));
    const double fx = std::floor(static_cast<float>((px - static_cast<float>(x0)) * static_cast<float>(z.Zoom)));
    const double fy = std::floor(static_cast<float>((py - static_cast<float>(y0)) * static_cast<float>(z.Zoom)));
    return {fx, fy};
}

bool OverlayPoint(const ViewWindow &view, const ZoomState &z, int U1, int U2, double SW, double SH, float lon,
                  float lat, int &x, int &y) {
    const auto [fx, fy] = OverlayXY(view, z, U1, U2, SW, SH, lon, lat);
    if (!(fx <= SW && fy <= SH) || fx < std::numeric_limits<int>::min() || fy < std::numeric_limits<int>::min())
        return false;
    x = static_cast<int>(fx);
    y = static_cast<int>(fy);
    return true;
}

std::vector<Segment> BoundarySegments(const ShapeSet &shapes,
                                      const std::function<bool(float, float)> &inside,
                                      const std::function<std::pair<int, int>(float, float)> &place) {
    std::vector<Segment> lines;
    float ringLon = 0, ringLat = 0;  // (0, 0) = no ring open; kept across shapes
    for (std::size_t shape = 0; shape < shapes.size(); ++shape) {
        bool penDown = false;
        int penX = 0, penY = 0;
        for (const MapPoint &pt : shapes.points(shape)) {
            if (ringLon == 0 && ringLat == 0) {
                ringLon = pt.X;
                ringLat = pt.Y;
            } else if (pt.X == ringLon && pt.Y == ringLat) {
                ringLon = ringLat = 0;
                penDown = false;
            }
            if (!inside(pt.X, pt.Y)) continue;
            const auto [x, y] = place(pt.X, pt.Y);
            if (penDown) lines.push_back({x, y, penX, penY});
            penDown = true;
            penX = x;
            penY = y;
        }
    }
    return lines;
}

void ViewMapping(const ViewWindow &view, const ZoomState &z, int C, int R, double W, double H, double x,
                 double y, float &lon, float &lat) {
    const double offX = safeDiv(W * z.OriginX, C - 2) / z.Zoom;
    const double offY = safeDiv(H * z.OriginY, R - 2) / z.Zoom;
    const double px = x / z.Zoom + offX;
    const double py = y / z.Zoom + offY;
    lon = static_cast<float>(px / W * view.Width + view.Left);
    lat = static_cast<float>(view.Top - view.Height * py / H);
}

ViewWindow WholeMapView(const Georeference &geo, int columns, int rows) {
    float left = 0, top = 0, right = 0, bottom = 0;
    PixelToLonLat(geo, 0, 0, left, top);
    PixelToLonLat(geo, static_cast<std::int16_t>(columns - 2), static_cast<std::int16_t>(rows - 2), right, bottom);
    return {left, right - left, top, top - bottom};
}

namespace {
std::string dms(float v, const char *positive, const char *negative) {
    const float whole = std::trunc(v);
    const float frac = v - whole;
    const float m60 = frac * 60.0f;
    const float minutes = std::fabs(std::trunc(m60));
    const float seconds = std::fabs(std::trunc((m60 - std::trunc(m60)) * 60.0f));
    return numfmt::forcedPoint(std::fabs(whole), "0") + "\u00B0 " + numfmt::forcedPoint(minutes, "0") + "' " +
           numfmt::forcedPoint(seconds, "0") + "''" + (v > 0 ? positive : negative);
}
} // namespace

std::string DmsText(float lon, float lat) {
    return "Longitude= " + dms(lon, " E ", " W ") + " Latitude= " + dms(lat, " N ", " S ");
}

std::string DecimalText(float lon, float lat) {
    return "Longitude= " + numfmt::forcedPointFixed(lon, 2) + "\u00B0 Latitude= " + numfmt::forcedPointFixed(lat, 2) +
           "\u00B0 ";
}

MapLayout ActivationLayout(double outerWidth, double aspect) {
    MapLayout l;
    l.PictureWidth = 3.0 / 4.0 * outerWidth - 100;
    l.PictureHeight = l.PictureWidth / aspect;
    l.LegendLeft = l.PictureWidth;
    l.LegendWidth = outerWidth / 4 - 50;
    l.LegendHeight = l.PictureHeight;
    return l;
}

MapLayout ResizeLayout(double innerWidth, double innerHeight, double aspect) {
    MapLayout l;
    if (aspect >= 1) {
        l.PictureWidth = innerWidth * 3 / 4 - 100;
        l.PictureHeight = l.PictureWidth / aspect;
    } else {
        l.PictureHeight = innerHeight * 2 / 3 - 100;
        l.PictureWidth = l.PictureHeight * aspect;
    }
    l.LegendLeft = l.PictureWidth;
    l.LegendWidth = innerWidth / 4 - 50;
    l.LegendHeight = l.PictureHeight;
    return l;
}

} // namespace tavisol::rastermap
