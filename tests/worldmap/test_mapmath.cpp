#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "worldmap/mapmath.h"

namespace {

using namespace tavisol::worldmap;
using tavisol::numfmt::Locale;

TEST(Projection, EdgesOfTheBitmap) {
    EXPECT_DOUBLE_EQ(ProjectX(-180, 720), 0);
    EXPECT_DOUBLE_EQ(ProjectX(180, 720), 720);  // one column past the bitmap
    EXPECT_DOUBLE_EQ(ProjectX(0, 720), 360);
    EXPECT_DOUBLE_EQ(ProjectY(90, 360), 0);
    EXPECT_DOUBLE_EQ(ProjectY(-90, 360), 360);
    EXPECT_DOUBLE_EQ(ProjectY(100, 360), 20);   // mirrored about the top edge
}

TEST(Projection, ViewPositionsToDegreesAtZoomLevels) {
    // Level 2: two view pixels per bitmap pixel, rounded down.
    EXPECT_EQ(BitmapColumn(101, 2, 0), 50);
    EXPECT_EQ(BitmapColumn(100, 2, 10.75), 60);
    // Level -2: one view pixel per two bitmap pixels.
    EXPECT_EQ(BitmapRow(100, 0.5, 10), 210);
    EXPECT_EQ(BitmapRow(0, 1, 0), 0);
    EXPECT_FLOAT_EQ(PixelLongitude(0, 720), -180);
    EXPECT_FLOAT_EQ(PixelLongitude(720, 720), 180);
    EXPECT_FLOAT_EQ(PixelLongitude(359, 720), -0.5F);
    EXPECT_FLOAT_EQ(PixelLatitude(0, 360), 90);
    EXPECT_FLOAT_EQ(PixelLatitude(360, 360), -90);
    EXPECT_FLOAT_EQ(PixelLatitude(181, 360), -0.5F);
}

TEST(Projection, PositionsBeyondTheBitmapAreReported) {
    // Exactly on the right or bottom edge counts as inside.
    EXPECT_EQ(OutsideText(720, 360, 1, 0, 0, 720, 360), "");
    EXPECT_EQ(OutsideText(360, 10, 2, 540, 0, 720, 360), "");
    EXPECT_EQ(OutsideText(361, 10, 2, 540, 0, 720, 360), "X OUT");
    EXPECT_EQ(OutsideText(10, 200, 0.5, 0, 260.5, 720, 360), "Y OUT");
    EXPECT_EQ(OutsideText(800, 400, 1, 0, 0, 720, 360), "Y OUT");  // both: Y wins
}

TEST(Projection, MarkerPixelGoesThroughTheDecimalTextAndRoundsHalvesToEven) {
    EXPECT_EQ(MarkerPixel(13.01F, 41.99F, 4320, 2160), (PixelPos{2316, 576}));
    // 0.05 as a float is a little above 0.05; its text is not.
    EXPECT_EQ(MarkerPixel(0.05F, 0, 3600, 1800), (PixelPos{1800, 900}));
    EXPECT_EQ(MarkerPixel(0.15F, 0, 3600, 1800), (PixelPos{1802, 900}));
    EXPECT_EQ(MarkerPixel(180, -90, 720, 360), (PixelPos{720, 360}));
    // Far outside: no 16-bit pixel, no marker rather than an overflow.
    EXPECT_FALSE(MarkerPixel(1.0e6F, 0, 4320, 2160).has_value());
    EXPECT_FALSE(MarkerPixel(0, -1.0e7F, 4320, 2160).has_value());
}

TEST(Readout, DegreesMinutesSecondsAreTruncatedWithoutSign) {
    EXPECT_EQ(ToDms(-0.3F), (Dms{0, 18, 0}));
    EXPECT_EQ(ToDms(0.7F), (Dms{0, 42, 0}));
    EXPECT_EQ(ToDms(-12.5F), (Dms{12, 30, 0}));
    // 10 degrees 0' 59.99'': the seconds are cut, not rounded.
    EXPECT_EQ(ToDms(10.0F + 59.99F / 3600.0F), (Dms{10, 0, 59}));
    EXPECT_EQ(ToDms(180.0F), (Dms{180, 0, 0}));
    EXPECT_EQ(ToDms(std::numeric_limits<float>::quiet_NaN()), Dms{});
    EXPECT_EQ(ToDms(3.0e38F), Dms{});
}

TEST(Readout, PanelTexts) {
    const Readout r = CursorReadout(-0.3F, 41.5F, Locale::english());
    EXPECT_EQ(r.Panel1, "Longitude= -0.30\u00b0 Latitude= 41.50\u00b0 ");
    EXPECT_EQ(r.Panel2, "Longitude= 0\u00b0 18' 0'' W  Latitude= 41\u00b0 30' 0'' N ");
    // Zero is west and south.
    const Readout zero = CursorReadout(0, 0, Locale::english());
    EXPECT_EQ(zero.Panel2, "Longitude= 0\u00b0 0' 0'' W  Latitude= 0\u00b0 0' 0'' S ");
    const Readout east = CursorReadout(12.25F, -33.75F, Locale::decimalComma());
    EXPECT_EQ(east.Panel1, "Longitude= 12,25\u00b0 Latitude= -33,75\u00b0 ");
    EXPECT_EQ(east.Panel2, "Longitude= 12\u00b0 15' 0'' E  Latitude= 33\u00b0 45' 0'' S ");
}

TEST(Zoom, ScalesAndScrollStepsOfEveryLevel) {
    EXPECT_FLOAT_EQ(ScaleOfLevel(1), 1);
    EXPECT_FLOAT_EQ(ScaleOfLevel(16), 16);
    EXPECT_FLOAT_EQ(ScaleOfLevel(-1), 1);
    EXPECT_FLOAT_EQ(ScaleOfLevel(-4), 0.25F);
    const std::vector<ScrollSteps> positive = {{30, 15}, {15, 8}, {10, 5}, {8, 4}, {6, 3}, {5, 2},
                                               {4, 2},   {4, 2},  {3, 2},  {3, 2}, {3, 1}, {2, 1},
                                               {2, 1},   {2, 1},  {2, 1},  {2, 1}};
    for (int k = 1; k <= 16; ++k)
        EXPECT_EQ(StepsOfLevel(k), positive[static_cast<std::size_t>(k - 1)]) << k;
    EXPECT_EQ(StepsOfLevel(-1), (ScrollSteps{60, 30}));
    EXPECT_EQ(StepsOfLevel(-2), (ScrollSteps{120, 60}));
    EXPECT_EQ(StepsOfLevel(-16), (ScrollSteps{960, 480}));
}

TEST(Zoom, PointZoomStepsSkipZeroAndStopAtSixteen) {
    EXPECT_EQ(PointZoomLevel(1, -1), -2);
    EXPECT_EQ(PointZoomLevel(-2, +1), -1);
    EXPECT_EQ(PointZoomLevel(-1, +1), 2);
    EXPECT_EQ(PointZoomLevel(1, +1), 2);
    EXPECT_EQ(PointZoomLevel(16, +1), std::nullopt);
    EXPECT_EQ(PointZoomLevel(16, -1), 15);
    EXPECT_EQ(PointZoomLevel(-16, -1), std::nullopt);
    EXPECT_EQ(PointZoomLevel(-16, +1), -15);
    // Walking in from the smallest level visits every level but 0 and 1.
    std::vector<int> walk;
    for (std::optional<int> l = -16; l; l = PointZoomLevel(*l, +1))
        walk.push_back(*l);
    EXPECT_EQ(walk.size(), 31u);
    EXPECT_EQ(std::count(walk.begin(), walk.end(), 1), 0);
    EXPECT_EQ(walk.back(), 16);
}

TEST(Zoom, ScaleTextsAndPresetEntries) {
    EXPECT_EQ(ScaleText(4), "SCALA  4:1");
    EXPECT_EQ(ScaleText(16), "SCALA  16:1");
    EXPECT_EQ(ScaleText(-4), "SCALA 1: 4");
    EXPECT_EQ(ScaleText(-1), "SCALA 1: 1");
    EXPECT_EQ(PresetLevel("1:1"), 1);
    for (int n = 2; n <= 16; ++n) {
        EXPECT_EQ(PresetLevel(std::to_string(n) + ":1"), n);
        EXPECT_EQ(PresetLevel("1:" + std::to_string(n)), -n);
    }
    for (const char *bad : {"", "0:1", "1:0", "17:1", "1:17", "2:2", " 1:1", "1:1 "})
        EXPECT_EQ(PresetLevel(bad), std::nullopt) << bad;
}

TEST(Zoom, ScrollRangesAndOffsets) {
    EXPECT_EQ(ScrollMaximum(720, 500, 1), 220);
    EXPECT_EQ(ScrollMaximum(720, 500, 2), 470);
    EXPECT_EQ(ScrollMaximum(720, 501, 2), 470);    // 469.5 to the even neighbour
    EXPECT_EQ(ScrollMaximum(720, 500, 0.5F), -280);
    EXPECT_EQ(ScrollMaximum(100, 3000, 1.0F / 16), -32768);  // saturates

    EXPECT_DOUBLE_EQ(ClampOffset(300, 720, 500, 1), 220);
    EXPECT_DOUBLE_EQ(ClampOffset(-3, 720, 500, 1), 0);
    EXPECT_DOUBLE_EQ(ClampOffset(100, 720, 2000, 1), 0);  // view wider than the bitmap

    // Pointer (100, 50) at level 1, offsets 0, one step in: offsets (50, 25).
    EXPECT_DOUBLE_EQ(PointZoomOffset(0, 100, 1, 2, 4000, 800), 50);
    EXPECT_DOUBLE_EQ(PointZoomOffset(0, 50, 1, 2, 2000, 600), 25);
    // ... unless the far edge holds it back.
    EXPECT_DOUBLE_EQ(PointZoomOffset(300, 700, 1, 2, 720, 500), 470);
    // Fractions stay.
    EXPECT_DOUBLE_EQ(PointZoomOffset(10, 3, 1, 2, 4000, 800), 11.5);
    // Zooming out from the left edge stays at 0.
    EXPECT_DOUBLE_EQ(PointZoomOffset(0, 100, 1, 0.5F, 4000, 800), 0);
}

TEST(Zoom, ScrollValuesAtTheEndOfTheBar) {
    // W 720, view 500 at 1:1: thumb at the maximum 220.
    EXPECT_DOUBLE_EQ(ScrollOffset(220, 720, 500, 1, true), 219);
    EXPECT_DOUBLE_EQ(ScrollOffset(220, 720, 500, 1, false), 220);
    EXPECT_DOUBLE_EQ(ScrollOffset(100, 720, 500, 1, true), 100);
    EXPECT_DOUBLE_EQ(ScrollOffset(0, 300, 500, 1, true), 0);  // never negative

    EXPECT_EQ(StepTowardPointer(100, 220, +1, 1), 130);
    EXPECT_EQ(StepTowardPointer(100, 220, -1, 2), 40);
    EXPECT_EQ(StepTowardPointer(20, 220, -1, 1), 0);     // stops at 0
    EXPECT_EQ(StepTowardPointer(200, 220, +1, 1), 200);  // would pass the maximum: stays
}

TEST(Drag, MovesOfFivePixelsOrLessNeverScroll) {
    EXPECT_EQ(DragDirection(100, 95), 0);
    EXPECT_EQ(DragDirection(100, 105), 0);
    EXPECT_EQ(DragDirection(100, 94), 1);
    EXPECT_EQ(DragDirection(100, 106), -1);
    EXPECT_EQ(DragStep(1, 1), 30);
    EXPECT_EQ(DragStep(4, 4), 8);   // 7.5 to the even neighbour
    EXPECT_EQ(DragStep(-3, 1.0F / 3), 90);
    EXPECT_EQ(DragValue(100, 30, 1, 220), 130);
    EXPECT_EQ(DragValue(10, 30, -1, 220), 0);
    EXPECT_EQ(DragValue(200, 30, 1, 220), 220);
}

TEST(Layout, BarsAndViewFollowTheScale) {
    LayoutInput in;
    in.FW = 800;
    in.frameBottom = 60;
    in.vBarWidth = 16;
    in.hBarHeight = 16;
    in.statusTop = 600;
    in.statusWidth = 800;
    in.viewTop = 60;
    in.W = 1440;
    in.H = 720;
    in.mapScale = 1;
    LayoutResult r = LayoutMap(in);
    EXPECT_EQ(r.vBar, (Box{776, 60, 16, 524}));
    EXPECT_EQ(r.hBar, (Box{0, 584, 784, 16}));
    EXPECT_EQ(r.view, (Box{0, 60, 784, 524}));
    EXPECT_EQ(r.vMax, 196);
    EXPECT_EQ(r.hMax, 656);
    EXPECT_TRUE(r.vEnabled && r.hEnabled);

    // A view taller than the bitmap: no vertical bar, the view widens.
    in.H = 300;
    r = LayoutMap(in);
    EXPECT_FALSE(r.vEnabled);
    EXPECT_EQ(r.view.width, 800 - ViewRightGap);
    EXPECT_EQ(r.hBar.width, r.view.width);
    EXPECT_EQ(r.hMax, 1440 - r.view.width);

    // A view wider than the bitmap: no horizontal bar, the view grows down.
    in.H = 720;
    in.W = 500;
    r = LayoutMap(in);
    EXPECT_FALSE(r.hEnabled);
    EXPECT_TRUE(r.vEnabled);
    EXPECT_EQ(r.view.height, 540);
    EXPECT_EQ(r.vBar.height, 540);
    EXPECT_EQ(r.vMax, 180);

    // A window too small for its controls gives empty sizes, never negative ones.
    in.statusTop = 20;
    in.FW = 5;
    in.statusWidth = 5;
    r = LayoutMap(in);
    EXPECT_GE(r.view.width, 0);
    EXPECT_GE(r.view.height, 0);
    EXPECT_GE(r.vBar.height, 0);
}

} // namespace
