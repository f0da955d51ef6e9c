// Zoom, pixel fill, overlays, mouse mapping, status texts, layout.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "rastermap/georef.h"
#include "rastermap/mapview.h"
#include "rastermap/rastererror.h"
#include "rastermap/wholenumbers.h"

namespace tavisol::rastermap {
namespace {

RasterImage Raster(int cols, int rows) {
    RasterImage r;
    r.Columns = cols;
    r.Rows = rows;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x)
            r.Cells.push_back(static_cast<std::uint8_t>(10 * y + x));
    return r;
}

TEST(Fill, ScanLineBytes) {
    EXPECT_EQ(BytesPerScanLine(1), 4);
    EXPECT_EQ(BytesPerScanLine(4), 12);
    EXPECT_EQ(BytesPerScanLine(5), 16);
}

TEST(Fill, ZoomOneSpansTheRasterAndRepeatsAtTheLastRowAndColumn) {
    const RasterImage r = Raster(5, 4);
    ColorTable colors;
    for (int k = 0; k < 40; ++k) {
        colors[k].Red = static_cast<std::uint8_t>(k);
        colors[k].Blue = static_cast<std::uint8_t>(100 + k);
    }
    const int W = 5, H = 4, bpl = BytesPerScanLine(W);
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(bpl * H), 0xEE);
    int columns = 0;
    FillPixels(r, colors, ZoomState{}, W, H, bits.data(), bpl, [&](int) { ++columns; });
    EXPECT_EQ(columns, W);
    auto red = [&](int i, int j) { return bits[static_cast<std::size_t>(j * bpl + i * 3 + 2)]; };
    auto blue = [&](int i, int j) { return bits[static_cast<std::size_t>(j * bpl + i * 3)]; };
    // Bottom-left pixel is computed first: the row is the raster's last, never
    // shown, so it keeps class 0.
    EXPECT_EQ(red(0, 0), 0);
    EXPECT_EQ(blue(0, 0), 100);
    // Top-left pixel (scan line H-1) shows row 0... of column 0.
    EXPECT_EQ(FillCell(0, H - 1, W, H, 4, 3, ZoomState{}), std::make_pair(0, 1));
    EXPECT_EQ(FillCell(W - 1, 0, W, H, 4, 3, ZoomState{}), std::make_pair(4, 3));
    // The right-most column repeats the class found just before it.
    EXPECT_EQ(red(W - 1, H - 1), red(W - 1, H - 2));
    // Padding bytes are left alone.
    EXPECT_EQ(bits[15], 0xEE);
}

std::string ToInt16Error(double v) {
    try {
        (void)ToInt16(v);
    } catch (const RasterError &e) {
        return e.what();
    }
    return "no error";
}

TEST(WholeNumbers, RoundHalvesToEvenAndNameZeroDivisorsAndOverflows) {
    EXPECT_EQ(ToInt16(2.5), 2);
    EXPECT_EQ(ToInt16(-7.5), -8);
    EXPECT_EQ(ToInt16(32767.4), 32767);
    EXPECT_EQ(ToInt16(-32768.5), -32768);
    EXPECT_EQ(ToInt16Error(32767.5), "Overflow");
    EXPECT_EQ(ToInt16Error(-1e9), "Overflow");
    EXPECT_EQ(ToInt16Error(std::nan("")), "Division by zero");
    EXPECT_EQ(ToInt16Error(-HUGE_VAL), "Division by zero");
    // Both the fill and the map's georeference use it: a zero cell size is a zero divisor.
    Georeference flat;
    std::int16_t c = 0, r = 0;
    try {
        LonLatToPixel(flat, 1.0f, 1.0f, c, r);
        ADD_FAILURE() << "no error";
    } catch (const RasterError &e) {
        EXPECT_STREQ(e.what(), "Division by zero");
    }
}

TEST(Fill, UnsetClassIsBlackAndOnePixelWideIsAnError) {
    const RasterImage r = Raster(3, 3);
    ColorTable colors;
    std::vector<std::uint8_t> bits(64, 0xEE);
    FillPixels(r, colors, ZoomState{}, 3, 3, bits.data(), BytesPerScanLine(3));
    EXPECT_EQ(bits[0], 0);
    EXPECT_THROW(FillPixels(r, colors, ZoomState{}, 1, 3, bits.data(), 4), RasterError);
}

TEST(Zoom, InStoresThePointAndOutStepsBackToTheWholeMap) {
    ZoomState z;
    PointZoom(z, true, 50, 25, 100, 50, 201, 101);
    EXPECT_EQ(z.Zoom, 2);
    EXPECT_TRUE(z.ZoomingIn);
    EXPECT_EQ(z.OriginX, 100);
    EXPECT_EQ(z.OriginY, 50);
    ASSERT_EQ(z.Stack.size(), 2u);
    PointZoom(z, true, 10, 10, 100, 50, 201, 101);
    EXPECT_EQ(z.Zoom, 3);
    EXPECT_EQ(z.OriginX, 120);
    PointZoom(z, false, 0, 0, 100, 50, 201, 101);
    EXPECT_EQ(z.Zoom, 2);
    EXPECT_FALSE(z.ZoomingIn);
    EXPECT_EQ(z.OriginX, 100);
    PointZoom(z, false, 0, 0, 100, 50, 201, 101);
    EXPECT_EQ(z.Zoom, 1);
    EXPECT_EQ(z.OriginX, 0);
    EXPECT_EQ(z.Stack.size(), 1u);
    PointZoom(z, false, 0, 0, 100, 50, 201, 101);  // never below 1
    EXPECT_EQ(z.Zoom, 1);
    EXPECT_EQ(z.OriginY, 0);
}

TEST(Zoom, ZoomedFillStartsAtTheOrigin) {
    ZoomState z;
    z.Zoom = 2;
    z.OriginX = 100;
    z.OriginY = 50;
    // Column = i / (2 (W-1)) x U1 + 50, row = (H - j) / (2 H) x U2 + 25.
    EXPECT_EQ(FillCell(0, 100, 101, 100, 200, 100, z), std::make_pair(50, 25));
    EXPECT_EQ(FillCell(100, 0, 101, 100, 200, 100, z), std::make_pair(150, 75));
}

TEST(Overlay, SizesAndPlaces) {
    EXPECT_EQ(OverlaySize(1), 1);
    EXPECT_EQ(OverlaySize(4), 3);
    const ViewWindow v{10, 20, 60, 10};
    int x = 0, y = 0;
    ASSERT_TRUE(OverlayPoint(v, ZoomState{}, 20, 10, 200, 100, 20, 55, x, y));
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 50);
    EXPECT_FALSE(OverlayPoint(v, ZoomState{}, 20, 10, 200, 100, 31, 55, x, y));
    // Left of the picture is still placed (drawn off the edge).
    ASSERT_TRUE(OverlayPoint(v, ZoomState{}, 20, 10, 200, 100, 9, 55, x, y));
    EXPECT_EQ(x, -10);
    ZoomState z;
    z.Zoom = 2;
    z.OriginX = 19;
    ASSERT_TRUE(OverlayPoint(v, z, 20, 10, 200, 100, 20, 55, x, y));
    EXPECT_EQ(x, 2 * (100 - 100));
}

TEST(Overlay, BoundaryLinesSkipOutsidePointsAndEndClosedRings) {
    // Points are placed at (10 lon, 10 lat); longitude 99 lies outside the map.
    const auto inside = [](float lon, float) { return lon != 99; };
    const auto place = [](float lon, float lat) {
        return std::make_pair(static_cast<int>(10 * lon), static_cast<int>(10 * lat));
    };
    ShapeSet line;
    line.addShape("\"L\"", {{1, 1}, {99, 5}, {2, 1}, {3, 3}});
    EXPECT_EQ(BoundarySegments(line, inside, place),
              (std::vector<Segment>{{20, 10, 10, 10}, {30, 30, 20, 10}}));
    // A ring's closing point lifts the pen: the next point starts from it.
    ShapeSet ring;
    ring.addShape("\"R\"", {{1, 1}, {2, 1}, {2, 2}, {1, 1}, {5, 5}});
    EXPECT_EQ(BoundarySegments(ring, inside, place),
              (std::vector<Segment>{{20, 10, 10, 10}, {20, 20, 20, 10}, {50, 50, 10, 10}}));
    // Each shape starts with the pen up.
    ShapeSet two;
    two.addShape("\"A\"", {{1, 2}, {1, 3}});
    two.addShape("\"B\"", {{4, 4}, {4, 5}});
    EXPECT_EQ(BoundarySegments(two, inside, place).size(), 2u);
}

TEST(Mouse, ViewMappingAndDragOrder) {
    const ViewWindow v{10, 20, 60, 10};
    float lon = 0, lat = 0;
    ViewMapping(v, ZoomState{}, 21, 11, 200, 100, 100, 50, lon, lat);
    EXPECT_FLOAT_EQ(lon, 20.0f);
    EXPECT_FLOAT_EQ(lat, 55.0f);
    ViewMapping(v, ZoomState{}, 2, 2, 200, 100, 0, 0, lon, lat);  // no division by zero
    EXPECT_FLOAT_EQ(lon, 10.0f);
}

TEST(Status, DegreesMinutesSeconds) {
    EXPECT_EQ(DmsText(-12.5f, 0.0f), "Longitude= 12\u00B0 30' 0'' W  Latitude= 0\u00B0 0' 0'' S ");
    EXPECT_EQ(DmsText(0.0f, 45.25f), "Longitude= 0\u00B0 0' 0'' W  Latitude= 45\u00B0 15' 0'' N ");
    EXPECT_EQ(DecimalText(10.456f, -3.0f), "Longitude= 10.46\u00B0 Latitude= -3.00\u00B0 ");
}

TEST(Layout, ActivationAndResize) {
    const MapLayout a = ActivationLayout(8000, 200.0 / 100.0);
    EXPECT_DOUBLE_EQ(a.PictureWidth, 5900);
    EXPECT_DOUBLE_EQ(a.PictureHeight, 2950);
    EXPECT_DOUBLE_EQ(a.LegendLeft, 5900);
    EXPECT_DOUBLE_EQ(a.LegendWidth, 1950);
    EXPECT_DOUBLE_EQ(a.LegendHeight, 2950);
    const MapLayout tall = ResizeLayout(8000, 6000, 0.5);
    EXPECT_DOUBLE_EQ(tall.PictureHeight, 3900);
    EXPECT_DOUBLE_EQ(tall.PictureWidth, 1950);
}

TEST(Extent, WholeMapViewFromCellCorners) {
    const Georeference g{11.5, 50, 1.5, 1, 1, 1};
    const ViewWindow v = WholeMapView(g, 3, 2);
    EXPECT_FLOAT_EQ(v.Left, 10);
    EXPECT_FLOAT_EQ(v.Top, 51);
    EXPECT_FLOAT_EQ(v.Width, 1);
    EXPECT_FLOAT_EQ(v.Height, 0);
}

} // namespace
} // namespace tavisol::rastermap
