// The export's classes, checks, snapping, grid and per-cell estimate.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

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
    EXPECT_TRUE(IsNumeric("12,5"));
    EXPECT_FALSE(IsNumeric("10a"));
    EXPECT_FALSE(IsNumeric(""));
    EXPECT_FALSE(IsNumeric("."));
    for (const char *bare : {"-", "+", "e5", "5e", "1-2"})
        EXPECT_FALSE(IsNumeric(bare)) << bare;
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
    // A decimal comma as a user of such a locale types it: 49,5 lies above 49.
    in.LatStart = "49,5";
    EXPECT_EQ(check(), "ok");
}

TEST(Snap, RegionTextsToTheResolution) {
    std::array<std::string, 4> region{"10,37", "11", "49.81", "49"};
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

// Runs of the grid with a single worker, whose stub estimate records the
// points it is asked for: one worker takes the cells in grid order.
class GridRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::UseBuiltVantrix(); }
    void SetUp() override {
        // 20 x 10 map, column 0 at 5 E, row 0 at 55 N, one degree cells.
        image->Columns = 20;
        image->Rows = 10;
        image->Cells.assign(200, 1);
        map.Image = image;
        map.Geo = Georeference{15, 50, 10, 5, 1, 1};
        estimate = [this](float lon, float lat) {
            points.emplace_back(lon, lat);
            return 10.3f;
        };
    }
    // True when every cell was computed; a failure is thrown.
    bool RunOneWorker(const ExportRegion &g, int columns, int rows) {
        ParallelExportRun run(g, columns, rows, ClassTable[0], map, [this] { return estimate; });
        run.Start(1);
        const bool complete = run.Wait();
        cells = run.Cells();
        cellsDone = run.CellsDone();
        return complete;
    }
    std::shared_ptr<RasterImage> image = std::make_shared<RasterImage>();
    ExportMap map;
    CellEstimate estimate;
    std::vector<std::pair<float, float>> points;
    std::vector<std::uint8_t> cells;
    std::size_t cellsDone = 0;
};

TEST_F(GridRun, TwoByTwoRegionComputesItsCornersNorthWestFirst) {
    image->Cells[5 * 20 + 5] = NoDataClass;  // the map cell under (10, 50)
    const ExportRegion g{10, 11, 50, 49, 0.5f, 1};
    ASSERT_TRUE(RunOneWorker(g, 2, 2));
    EXPECT_EQ(points, (std::vector<std::pair<float, float>>{{10.5f, 50}, {10, 49.5f}, {10.5f, 49.5f}}));
    EXPECT_EQ(cells, (std::vector<std::uint8_t>{255, 150, 150, 150}));
    // The no-data cell counts towards the progress too.
    EXPECT_EQ(cellsDone, 4u);
}

TEST_F(GridRun, PointOutsideTheMapStopsTheRun) {
    const ExportRegion g{23, 26, 50, 49, 1.0f, 0};
    try {
        RunOneWorker(g, 3, 1);
        ADD_FAILURE() << "no error";
    } catch (const RasterError &e) {
        EXPECT_NE(std::string(e.what()).find("outside the loaded map"), std::string::npos);
    }
    EXPECT_EQ(WorkingText(10.5f, -49.25f), "Working on Lon: 10.5 - Lat: -49.25");
}

TEST_F(GridRun, CellWithoutAnEstimateIsNoData) {
    const ExportRegion g{10, 11, 50, 49, 0.5f, 1};
    estimate = [](float lon, float) -> std::optional<float> {
        if (lon == 10.5f) return std::nullopt;
        return 0.0f;  // a real 0 degC is data: class 125
    };
    ASSERT_TRUE(RunOneWorker(g, 2, 2));
    EXPECT_EQ(cells, (std::vector<std::uint8_t>{125, 255, 125, 255}));
}

TEST_F(GridRun, EngineFailureStopsTheRun) {
    const ExportRegion g{10, 11, 50, 49, 0.5f, 1};
    estimate = [this](float lon, float lat) -> std::optional<float> {
        points.emplace_back(lon, lat);
        if (points.size() == 2)
            throw engine::EngineError(engine::ErrorKind::FileNotFound, "File not found: vap.txt");
        return 10.3f;
    };
    EXPECT_THROW(RunOneWorker(g, 2, 2), engine::EngineError);
    EXPECT_EQ(points.size(), 2u);
}

// Only the worker that takes the first cell fails; the others, held in
// their first cell until the failure has asked them to stop, finish that
// cell and take no other.
TEST_F(GridRun, OneWorkersFailureStopsTheOthers) {
    const ParallelExportRun *self = nullptr;
    ParallelExportRun run({6, 23, 54, 47, 1.0f, 0}, 17, 7, ClassTable[0], map, [&] {
        return CellEstimate([&](float lon, float lat) -> std::optional<float> {
            if (lon == 6 && lat == 54)
                throw engine::EngineError(engine::ErrorKind::FileNotFound, "File not found: tmp.txt");
            while (!self->StopRequested()) std::this_thread::yield();
            return 10.3f;
        });
    });
    self = &run;
    run.Start(3);
    EXPECT_THROW(run.Wait(), engine::EngineError);
    EXPECT_LE(run.CellsDone(), 2u);
}

// 151.2 to 151.35 E by 71.2 to 71.05 N at 0.001 degree: 150 x 150 cells, far
// enough east that single-precision steps of 0.001 drift by whole cells.
TEST_F(GridRun, FineGridFarEastVisitsEveryCellWhereTheHeaderPlacesIt) {
    image->Columns = 400;
    image->Rows = 400;
    image->Cells.assign(400 * 400, 1);
    map.Geo = Georeference{151.3, 71.1, 200, 200, 0.001, 0.001};
    const ExportRegion g{151.2f, 151.35f, 71.2f, 71.05f, 0.001f, 3};
    const auto [columns, rows] = ExportGridSize(g);
    ASSERT_EQ(columns, 150);
    ASSERT_EQ(rows, 150);
    ASSERT_TRUE(RunOneWorker(g, columns, rows));
    ASSERT_EQ(points.size(), 22500u);
    EXPECT_EQ(std::count(cells.begin(), cells.end(), 150), 22500);
    // Column c at 151.2 + c x 0.001 and row r at 71.2 - r x 0.001, as decimals.
    for (int c : {0, 1, 73, 148, 149}) {
        EXPECT_EQ(points[static_cast<std::size_t>(c)].first, std::stof(std::to_string(151200 + c) + "e-3")) << c;
    }
    for (int r : {0, 1, 99, 149}) {
        EXPECT_EQ(points[static_cast<std::size_t>(r) * 150].second, std::stof(std::to_string(71200 - r) + "e-3")) << r;
    }
    // And each point reads the map cell the map's georeference gives it.
    std::int16_t mc = 0, mr = 0;
    LonLatToPixel(map.Geo, points[149].first, points[149].second, mc, mr);
    EXPECT_EQ(mc, 200 - 100 + 149);
    EXPECT_EQ(mr, 100);
}

// Stations around 10 E 50 N with varied values and altitudes, an elevation
// raster with relief, a map with a no-data hole; cells east of 20 E find no
// station within 300 km.
class ParallelRun : public GridRun {
protected:
    void SetUp() override {
        GridRun::SetUp();
        std::vector<testing::FixtureStation> stations;
        std::uint32_t seed = 12345;
        auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return (seed >> 8) / 16777216.0;
        };
        for (int k = 0; k < 60; ++k)
            stations.push_back({47 + 6 * next(), 6 + 8 * next(), k % 9 == 0 ? 9999.0 : 1500 * next(), 5 + 10 * next()});
        stations.push_back(stations[3]);  // a doubled station
        testing::WriteStationData(folder.path(), stations);
        std::vector<testsupport::RasterCell> relief;
        for (float lon = 5.0f; lon < 15.0f; lon += 0.25f)
            for (float lat = 46.0f; lat < 55.0f; lat += 0.25f)
                relief.push_back({{lon, lat}, static_cast<std::uint8_t>(static_cast<int>(lon * 7 + lat * 13) % 90)});
        testsupport::WriteElevationRaster(folder.path(), 10, relief);
        for (int c = 6; c < 9; ++c) image->Cells[static_cast<std::size_t>(3 * 20 + c)] = NoDataClass;
        settings = engine::DefaultSettings();
        settings.MaxDistance = 300;
    }
    // Files kept from their first use on (they were written moments ago).
    ParallelExportRun::EstimateFactory factory(int variable, int month) {
        return EngineEstimates({settings, folder.path(), cache}, variable, month);
    }
    std::shared_ptr<engine::CachingDataFiles> cache =
        std::make_shared<engine::CachingDataFiles>(std::chrono::milliseconds(0));
    testing::TempFolder folder;
    engine::EngineSettings settings;
    const ExportRegion region{6, 23, 54, 47, 1.0f, 0};
};

TEST_F(ParallelRun, ImageIsTheSameWithOneThreadOrManyAndAsThePlainRun) {
    const auto [columns, rows] = ExportGridSize(region);
    for (auto [variable, month] : {std::pair{0, 13}, std::pair{5, 7}}) {
        // The plain run: one worker whose engine state takes the long way,
        // files read from disk at every cell, cell after cell in grid order.
        ParallelExportRun plainRun(
            region, columns, rows, ClassTable[static_cast<std::size_t>(variable)], map,
            EngineEstimates({settings, folder.path(), std::make_shared<engine::PlainDataFiles>(), true}, variable, month));
        plainRun.Start(1);
        ASSERT_TRUE(plainRun.Wait());
        const std::vector<std::uint8_t> &plain = plainRun.Cells();
        // Estimates, no-data holes and cells without a neighbour all occur.
        EXPECT_GT(std::count_if(plain.begin(), plain.end(), [](std::uint8_t c) { return c < 250; }), 50);
        EXPECT_GT(std::count(plain.begin(), plain.end(), NoDataClass), 30);
        for (int threads : {1, 4}) {
            ParallelExportRun run(region, columns, rows, ClassTable[static_cast<std::size_t>(variable)], map,
                                  factory(variable, month));
            run.Start(threads);
            ASSERT_TRUE(run.Wait());
            EXPECT_EQ(run.CellsDone(), plain.size());
            EXPECT_TRUE(run.Cells() == plain) << "variable " << variable << ", " << threads << " threads";
        }
        EXPECT_GT(cache->StationFilesParsed(), 0u);
    }
}

TEST_F(ParallelRun, EngineFailureInAnyWorkerStopsAllAndIsPassedOn) {
    std::filesystem::remove(folder.path() / "pet.txt");
    const auto [columns, rows] = ExportGridSize(region);
    ParallelExportRun run(region, columns, rows, ClassTable[5], map, factory(5, 13));
    run.Start(4);
    try {
        run.Wait();
        ADD_FAILURE() << "no error";
    } catch (const engine::EngineError &e) {
        EXPECT_NE(std::string(e.what()).find("pet.txt"), std::string::npos) << e.what();
    }
    EXPECT_LT(run.CellsDone(), run.CellCount());
}

TEST_F(ParallelRun, StopEndsTheWorkersBeforeTheirNextCell) {
    const auto [columns, rows] = ExportGridSize(region);
    std::atomic<int> started{0};
    std::atomic<bool> release{false};
    ParallelExportRun run(region, columns, rows, ClassTable[0], map, [&] {
        return CellEstimate([&](float, float) -> std::optional<float> {
            ++started;
            while (!release.load()) std::this_thread::yield();
            return 1.0f;
        });
    });
    run.Start(3);
    while (started.load() < 3) std::this_thread::yield();
    EXPECT_FALSE(run.Finished());
    run.Stop();
    release = true;
    EXPECT_FALSE(run.Wait());
    EXPECT_TRUE(run.Finished());
    // Each worker finished the cell it was on and took no other.
    EXPECT_EQ(started.load(), 3);
    EXPECT_EQ(run.CellsDone(), 3u);
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
    EXPECT_NEAR(EstimateAtPoint(state, 10.0f, 50.0f, 4, 9).value_or(-1), 29.0f, 1e-3);
    EXPECT_NEAR(EstimateAtPoint(state, 10.0f, 50.0f, 4, 13).value_or(-1), 26.5f, 1e-3);
    EXPECT_FLOAT_EQ(state.CalcAltitude, -40.0f);
    // Far from every station: no estimate (not 0, not the last cell's).
    EXPECT_FALSE(EstimateAtPoint(state, 100.0f, -30.0f, 4, 9).has_value());
    // A missing station file or elevation raster is an error of the run.
    std::filesystem::remove(f.path() / "vap.txt");
    EXPECT_THROW(EstimateAtPoint(state, 10.0f, 50.0f, 4, 9), engine::EngineError);
    std::filesystem::remove(f.path() / engine::ElevationRasterName);
    EXPECT_THROW(EstimateAtPoint(state, 10.0f, 50.0f, 3, 9), engine::EngineError);
}

} // namespace
} // namespace tavisol::rastermap
