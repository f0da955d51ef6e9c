// The export's classes, checks, snapping, grid and per-cell estimate.
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "fixture.h"
#include "rastermap/exportgrid.h"
#include "rastermap/rastererror.h"
#include "rastermap/real48binding.h"

namespace tavisol::rastermap {
namespace {

TEST(Classes, ValuesToClassBytes) {
    const ClassEntry temp = ClassTable[0];
    EXPECT_EQ(ClassOfValue(-50.1f, temp), 253);
    EXPECT_EQ(ClassOfValue(-50.0f, temp), 0);
    EXPECT_EQ(ClassOfValue(10.3f, temp), 150);
    EXPECT_EQ(ClassOfValue(50.3f, temp), 250);
    EXPECT_EQ(ClassOfValue(51.0f, temp), 254);
    EXPECT_EQ(ClassOfValue(2008.0f, ClassTable[3]), 254);
    EXPECT_EQ(ClassOfValue(7.9f, ClassTable[3]), 0);
    EXPECT_EQ(ClassOfValue(1.0f, ClassTable[7]), 250);
}

TEST(Choices, MonthsAndDecimals) {
    EXPECT_EQ(ExportMonthOf("September", 13), 9);
    EXPECT_EQ(ExportMonthOf("Average", 4), 13);
    EXPECT_EQ(ExportMonthOf("september", 4), 4);
    EXPECT_EQ(DecimalsOf("0,05"), 2);
    EXPECT_EQ(DecimalsOf("2"), 0);
    EXPECT_TRUE(IsNumeric(" -10.5 "));
    EXPECT_FALSE(IsNumeric("10a"));
    EXPECT_FALSE(IsNumeric(""));
    EXPECT_FALSE(IsNumeric("."));
}

class Validation : public ::testing::Test {
protected:
    MapExtent extent{5.0f, 55.0f, 24.0f, 46.0f};
    ExportInputs in{"0.5", "10", "11", "50", "49"};
    float r = 0;
    std::string check() { return ValidateExport(in, extent, r).value_or("ok"); }
};

TEST_F(Validation, ResolutionRange) {
    in.Resolution = "0,5";
    EXPECT_EQ(check(), "ok");
    EXPECT_FLOAT_EQ(r, 0.5f);
    for (const char *bad : {"0", "3", "abc"}) {
        in.Resolution = bad;
        EXPECT_EQ(check(), "Resolution in decimal degrees must be in the range (2,0.001)  ") << bad;
    }
    in.Resolution = "0.001";
    EXPECT_EQ(check(), "ok");
}

TEST_F(Validation, RegionEdgesAndOrder) {
    in.LonStart = "5";
    EXPECT_EQ(check(), "ok");
    in.LonStart = "4.999";
    EXPECT_EQ(check(), "Start Longitude must be in the range (6;24)  ");
    in.LonStart = "10";
    in.LonEnd = "10";
    EXPECT_EQ(check(), "End Longitude must be in the range (10;24)  ");
    in.LonEnd = "25";
    EXPECT_EQ(check(), "End Longitude must be in the range (10;24)  ");
    in.LonEnd = "11";
    in.LatEnd = "46";
    EXPECT_EQ(check(), "End Latitude must be in the range (46;55)  ");
    in.LatEnd = "49";
    in.LatStart = "49";
    EXPECT_EQ(check(), "Start Latitude must be in the range (49;55)  ");
    in.LatStart = "50x";
    EXPECT_EQ(check(), "Start Latitude must be in the range (49;55)  ");
}

TEST(Snap, RegionTextsToTheResolution) {
    std::array<std::string, 4> region{"10.37", "11", "49.81", "49"};
    EXPECT_EQ(SnapRegionTexts("0.5", region), 1);
    EXPECT_EQ(region[0], "10");
    EXPECT_EQ(region[2], "49.5");
    std::array<std::string, 4> same{"1", "2", "3", "4"};
    EXPECT_EQ(SnapRegionTexts("abc", same), 0);
    EXPECT_EQ(same[0], "1");
}

TEST(Grid, SizeOfTheRegion) {
    ExportRegion g{10, 11, 50, 49, 0.5f, 1};
    EXPECT_EQ(ExportGridSize(g), std::make_pair(2, 2));
    g.LonEnd = 10.2f;
    EXPECT_THROW(ExportGridSize(g), RasterError);
    ExportRegion huge{0, 40, 40, 0, 0.001f, 3};
    EXPECT_THROW(ExportGridSize(huge), RasterError);
}

class GridRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::UseBuiltVantrix(); }
    void SetUp() override {
        AbortExport() = false;
        // 20 x 10 map, column 0 at 5 E, row 0 at 55 N, one degree cells.
        image.Columns = 20;
        image.Rows = 10;
        image.Cells.assign(200, 1);
        map.Image = &image;
        map.Geo = Georeference{15, 50, 10, 5, 1, 1};
        cb.Estimate = [this](float lon, float lat) {
            points.emplace_back(lon, lat);
            return 10.3f;
        };
    }
    RasterImage image;
    ExportMap map;
    ExportCallbacks cb;
    std::vector<std::pair<float, float>> points;
    std::vector<std::uint8_t> cells;
};

TEST_F(GridRun, TwoByTwoRegionComputesItsCornersNorthWestFirst) {
    image.Cells[5 * 20 + 5] = NoDataClass;  // the map cell under (10, 50)
    const ExportRegion g{10, 11, 50, 49, 0.5f, 1};
    std::vector<double> progress;
    cb.Progress = [&](double v) { progress.push_back(v); };
    ASSERT_TRUE(RunExportGrid(g, 2, 2, ClassTable[0], map, cb, cells));
    EXPECT_EQ(points, (std::vector<std::pair<float, float>>{{10.5f, 50}, {10, 49.5f}, {10.5f, 49.5f}}));
    EXPECT_EQ(cells, (std::vector<std::uint8_t>{255, 150, 150, 150}));
    // Maximum 0.04: the value grows by 0.01 while it stays below max - 0.01.
    EXPECT_GE(progress.size(), 3u);
    EXPECT_LE(progress.size(), 4u);
    EXPECT_LE(progress.back(), 0.0400001);
}

TEST_F(GridRun, CancelAnsweredNoGoesOnYesStops) {
    const ExportRegion g{10, 11, 50, 49, 0.5f, 1};
    int asked = 0;
    bool pressed = false;
    cb.ConfirmAbort = [&] {
        ++asked;
        return false;
    };
    // Cancel pressed once, while the first cell's events are let through.
    cb.DoEvents = [&] {
        if (points.size() == 1 && !pressed) {
            pressed = true;
            AbortExport() = true;
        }
    };
    ASSERT_TRUE(RunExportGrid(g, 2, 2, ClassTable[0], map, cb, cells));
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(AbortExport());
    EXPECT_EQ(points.size(), 4u);
    EXPECT_EQ(cells, std::vector<std::uint8_t>(4, 150));

    points.clear();
    pressed = false;
    cb.ConfirmAbort = [&] { return true; };
    EXPECT_FALSE(RunExportGrid(g, 2, 2, ClassTable[0], map, cb, cells));
    EXPECT_EQ(points.size(), 1u);
}

TEST_F(GridRun, PointOutsideTheMapStopsTheRun) {
    const ExportRegion g{23, 26, 50, 49, 1.0f, 0};
    try {
        RunExportGrid(g, 3, 1, ClassTable[0], map, cb, cells);
        ADD_FAILURE() << "no error";
    } catch (const RasterError &e) {
        EXPECT_NE(std::string(e.what()).find("outside the loaded map"), std::string::npos);
    }
    EXPECT_EQ(WorkingText(10.5f, -49.25f), "Working on Lon: 10.5 - Lat: -49.25");
}

TEST(CellEstimate, StationDataGiveTheMonthOrTheAnnualValue) {
    testing::TempFolder f;
    testing::WriteStationData(f.path(), {{50.2, 10.1, 100, 20}, {49.8, 10.4, 200, 20}, {50.5, 9.5, 150, 20}});
    engine::EngineState state;
    engine::SetInitialValues(state);
    state.DataFolder = f.path();
    state.AltCorrOn = 0;
    state.GradCorrOn = 0;
    // Monthly values base + month: 29 in September, 26.5 over the year.
    EXPECT_NEAR(EstimateAtPoint(state, 10.0f, 50.0f, 4, 9), 29.0f, 1e-3);
    EXPECT_NEAR(EstimateAtPoint(state, 10.0f, 50.0f, 4, 13), 26.5f, 1e-3);
    EXPECT_FLOAT_EQ(state.CalcAltitude, -40.0f);
    // Far from every station: no estimate, value 0 (not the last cell's).
    EXPECT_FLOAT_EQ(EstimateAtPoint(state, 100.0f, -30.0f, 4, 9), 0.0f);
    // A missing elevation raster is an error of the run.
    std::filesystem::remove(f.path() / engine::ElevationRasterName);
    EXPECT_THROW(EstimateAtPoint(state, 10.0f, 50.0f, 4, 9), engine::EngineError);
}

} // namespace
} // namespace tavisol::rastermap
