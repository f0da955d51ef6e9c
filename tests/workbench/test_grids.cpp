#include <gtest/gtest.h>

#include "support/celltexts.h"
#include "wb_fixture.h"
#include "workbench/grids.h"

namespace tavisol::workbench {
namespace {

using engine::EngineState;
using testsupport::ExpectCellTexts;
using testing::MakeState;
using testing::SetNeighbours;
using testing::StationsAround;

const numfmt::Locale En = numfmt::Locale::english();

TEST(GridLayout, FormatStringSetsShapeHeadsLabelsAndWidths) {
    GridTable g;
    g.SetFormatString(std::string(StationGridLayout) + std::string(NeighbourRowLabels));
    EXPECT_EQ(g.Rows(), 22);
    EXPECT_EQ(g.Cols(), 9);
    ExpectCellTexts(g, {{0, 0, ""}, {0, 1, "Longitude [°]"}, {0, 7, "Station Name        "}});
    EXPECT_EQ(g.WidthChars[1], 13);  // the degree sign is one character
    EXPECT_EQ(g.Text(1, 0), "1");
    EXPECT_EQ(g.Text(21, 0), "Mean");
    EXPECT_TRUE(g.Centred[0]);
}

TEST(NeighbourTables, RowsOfFoundNeighboursMeanRowAndEmptiedRest) {
    EngineState s = MakeState(0);
    auto st = StationsAround(0, 20);
    SetNeighbours(s, st);
    GridTable station, obs;
    FillStationGrid(s, En, station);
    FillObservationGrid(s, En, obs);
    EXPECT_FALSE(station.Text(20, 1).empty());  // 20 neighbours: nothing emptied

    auto seven = StationsAround(0, 7);
    seven[2].alt = engine::Missing;
    SetNeighbours(s, seven);
    s.Neighbours[5].Direction = engine::Missing;
    s.Neighbours[1].Distance = 0.4f;
    FillStationGrid(s, En, station);
    FillObservationGrid(s, En, obs);
    for (int r = 8; r <= 20; ++r) {
        EXPECT_EQ(station.Text(r, 1), "") << r;
        EXPECT_EQ(obs.Text(r, 14), "") << r;
    }
    ExpectCellTexts(station, {{3, 3, "9999"}, {1, 4, ".4"}, {5, 5, ""}, {5, 6, ""}, {1, 7, "Station 1"}});
    EXPECT_EQ(station.At(1, 7).align, CellAlign::LeftCenter);
    EXPECT_EQ(station.Text(1, 8), "Italy");
    EXPECT_EQ(station.At(21, 1).look, CellLook::Fixed);
    EXPECT_EQ(station.Text(21, 1), numfmt::formatMask(s.NeighbourSummary().Longitude, "###0.00", En));
    ExpectCellTexts(obs, {
        {1, 1, numfmt::formatMask(s.Neighbours[1].Values[1], "###0.00", En)},
        {1, 14, numfmt::formatMask(s.Neighbours[1].Weight, "0.0000", En)},
        {21, 13, numfmt::formatMask(s.NeighbourSummary().Values[13], "###0.00", En)}, {21, 14, ""}});
    EXPECT_EQ(obs.At(21, 14).look, CellLook::Fixed);
}

TEST(NeighbourTables, UncheckedNeighbourTurnsRedInBothTablesAndBack) {
    EngineState s = MakeState(0);
    SetNeighbours(s, StationsAround(0, 8));
    s.Workbench.Check[3] = 0;
    engine::ReadWorkbenchSelection(s);
    GridTable station, obs;
    FillStationGrid(s, En, station);
    FillObservationGrid(s, En, obs);
    EXPECT_EQ(station.At(3, 2).look, CellLook::Inactive);
    EXPECT_EQ(obs.At(3, 13).look, CellLook::Inactive);
    EXPECT_EQ(station.At(2, 2).look, CellLook::Normal);

    s.Workbench.Check[3] = 1;
    engine::ReadWorkbenchSelection(s);
    FillStationGrid(s, En, station);
    FillObservationGrid(s, En, obs);
    EXPECT_EQ(station.At(3, 2).look, CellLook::Normal);
    EXPECT_EQ(obs.At(3, 13).look, CellLook::Normal);

    GridCell c;
    c.look = CellLook::Inactive;
    MarkActiveRow(c, 5);
    EXPECT_EQ(c.look, CellLook::Inactive);
}

TEST(NeighbourTables, MeanRowWithoutAltitudesAndDirection) {
    EngineState s = MakeState(0);
    auto st = StationsAround(0, 3);
    for (auto &x : st)
        x.alt = engine::Missing;
    SetNeighbours(s, st);
    s.NeighbourSummary().Direction = engine::Missing;
    s.NeighbourSummary().Compass = "X ";
    GridTable station;
    FillStationGrid(s, En, station);
    ExpectCellTexts(station, {{21, 3, "9999"}, {21, 5, "9999"}, {21, 6, "X "}});
}

// A state with n active neighbours and a result to show.
EngineState ResultState(int variable, int n) {
    EngineState s = MakeState(variable);
    SetNeighbours(s, StationsAround(variable, n));
    for (int i = 1; i <= 13; ++i) {
        s.CurResult.Best[i] = 10.0f + i;
        s.CurResult.StdErr[i] = 2;
        s.CurResult.Bias[i] = 0.5f;
        s.CurResult.VertGrad[i] = -0.0065f;
        s.CurResult.LonGrad[i] = 0.25f;
        s.CurResult.LatGrad[i] = -0.5f;
        s.CurResult.DirGrad[i] = 120;
        s.CurResult.DirGradText[i] = "SE";
        s.CurResult.AbsGrad[i] = 0.6f;
        s.CurResult.ExplVar[i] = 0.8f;
    }
    s.CurResult.Harmonics[13] = 12;
    return s;
}

void Fill(const EngineState &s, float z, ResultGrids &g, WorkbenchSeries &series) {
    ComputeDekadal(s, z, series);
    ComputeDailySorted(s, z, series);
    ComputeDaily(s, z, series);
    FillResultGrids(s, z, series, En, g);
}

TEST(ResultTables, BandErrorsAndGradientsByCounts) {
    ResultGrids g;
    WorkbenchSeries series;
    EngineState s = ResultState(0, 8);
    Fill(s, 1.645f, g, series);
    ExpectCellTexts(g.Results, {
        {2, 1, "11.00"}, {2, 2, "7.71"}, {2, 3, "14.29"}, {2, 4, "2.00"}, {2, 6, "-0.65"}, {2, 10, "SE"},
        {14, 0, "Mean"}, {14, 1, "23.00"}});
    EXPECT_EQ(g.Results.At(14, 1).look, CellLook::Fixed);
    EXPECT_EQ(g.Results.At(5, 1).look, CellLook::Normal);
    EXPECT_EQ(g.Dekad.Text(2, 2), "8.71");
    EXPECT_EQ(g.Day.Text(2, 3), "15.29");

    // No level: no band anywhere, thresholds over the best values.
    Fill(s, 0, g, series);
    ExpectCellTexts(g.Results, {{2, 2, ""}, {2, 3, ""}, {2, 4, "2.00"}});
    EXPECT_EQ(g.Dekad.Text(38, 3), "");
    EXPECT_EQ(g.Day.Text(100, 2), "");
    ExpectCellTexts(g.Thres, {{2, 0, "12.00"}, {2, 1, "365"}, {2, 2, ""}});

    // A hit with 8 active: errors gone, gradients stay, band gone.
    s.CurWarnings.Hit = engine::True;
    Fill(s, 1.96f, g, series);
    ExpectCellTexts(g.Results, {
        {2, 2, ""}, {2, 4, ""}, {2, 5, ""}, {2, 7, "0.25"}, {2, 11, "0.60"}, {2, 6, "-0.65"}});

    // Five active, a level: no band, no errors, no horizontal gradients; the
    // thresholds still span the limits of the sorted series.
    EngineState five = ResultState(0, 5);
    Fill(five, 1.645f, g, series);
    ExpectCellTexts(g.Results, {{2, 2, ""}, {2, 4, ""}, {2, 8, ""}, {2, 6, "-0.65"}});
    ExpectCellTexts(g.Thres, {
        {2, 0, numfmt::formatNumber(series.SortedDaily.low[1], 2, En)},
        {102, 0, numfmt::formatNumber(series.SortedDaily.high[365], 2, En)}, {2, 1, "365"}, {2, 2, ""}});

    // Fewer than 3 with an altitude: no vertical gradient, no explained variance.
    EngineState two = ResultState(0, 8);
    for (int k = 3; k <= 8; ++k)
        two.Neighbours[k].Altitude = engine::Missing;
    engine::ReadWorkbenchSelection(two);
    Fill(two, 1.645f, g, series);
    ExpectCellTexts(g.Results, {{2, 6, ""}, {2, 12, ""}, {2, 7, "0.25"}});
}

TEST(ResultTables, ClampedValuesAndUnitRowsFollowTheVariable) {
    ResultGrids g;
    WorkbenchSeries series;
    EngineState p = ResultState(3, 8);
    p.CurResult.StdErr.fill(20);
    Fill(p, 1.645f, g, series);
    ExpectCellTexts(g.Results, {{2, 2, "0.00"}, {1, 1, "[mm]"}, {1, 6, "[mm/100m]"}, {1, 11, "[mm/100km]"}});
    EXPECT_EQ(g.Day.Text(1, 1), "mm");

    EngineState sun = ResultState(7, 8);
    sun.CurResult.Best[1] = 1.3f;
    sun.CurResult.Best[2] = -0.2f;
    Fill(sun, 0, g, series);
    ExpectCellTexts(g.Results, {{2, 1, "1.00"}, {3, 1, "0.00"}, {1, 1, ""}, {1, 6, "[1/100m]"}});

    EngineState t = ResultState(0, 8);
    Fill(t, 0, g, series);
    ExpectCellTexts(g.Results, {
        {1, 1, "[°C]"}, {1, 6, "[°C/100m]"}, {1, 7, "[°C/100km]"}, {1, 9, "Degrees"}, {1, 10, ""},
        {1, 12, ""}});
    ExpectCellTexts(g.Dekad, {{1, 0, "dekade "}, {2, 0, " Jan 1 "}, {37, 0, " Dec 3 "}, {38, 0, " Mean"}});
}

TEST(ResultTables, DailyLabelsMeanAndEarliestExtremes) {
    EXPECT_EQ(DayLabel(31), "31.1 (31)");
    EXPECT_EQ(DayLabel(32), "1.2 (32)");
    EXPECT_EQ(DayLabel(59), "28.2 (59)");
    EXPECT_EQ(DayLabel(60), "1.3 (60)");
    EXPECT_EQ(DayLabel(365), "31.12 (365)");

    EngineState s = ResultState(0, 8);
    WorkbenchSeries series;
    for (int d = 1; d <= 365; ++d)
        series.Daily.best[d] = 5;
    series.Daily.best[15] = 1;
    series.Daily.best[40] = 1;
    series.Daily.best[100] = 9;
    series.Daily.best[200] = 9;
    ResultGrids g;
    FillResultGrids(s, 0, series, En, g);
    ExpectCellTexts(g.Day, {
        {2, 0, "1.1 (1)"}, {368, 0, "Min: 15"}, {369, 0, "Max: 100"}, {368, 1, "1.00"}, {367, 0, "Mean"},
        {367, 1, numfmt::formatMask((5.0f * 361 + 20) / 365, "###0.00", En)}});
    EXPECT_EQ(g.Day.At(367, 1).look, CellLook::Fixed);
    EXPECT_EQ(g.Day.At(100, 0).look, CellLook::Fixed);
    EXPECT_EQ(g.Day.At(100, 1).look, CellLook::Normal);
    EXPECT_EQ(g.Day.WidthTwips[2], 880);
}

TEST(ResultTables, ThresholdsRunFromLowestToHighest) {
    EngineState s = ResultState(0, 8);
    WorkbenchSeries series;
    for (int k = 1; k <= 365; ++k)
        series.SortedDaily.best[k] = static_cast<float>(k);
    ResultGrids g;
    FillResultGrids(s, 0, series, En, g);
    ExpectCellTexts(g.Thres, {
        {2, 0, "1.00"}, {2, 1, "365"}, {102, 0, "365.00"}, {102, 1, "1"}, {52, 0, "183.00"}, {52, 1, "183"},
        {1, 0, "°C"}, {1, 2, "Days"}});

    // The threshold column uses the locale's number form with grouping.
    for (int k = 1; k <= 365; ++k)
        series.SortedDaily.best[k] = 1000.0f + k;
    FillResultGrids(s, 0, series, numfmt::Locale::decimalComma(), g);
    EXPECT_EQ(g.Thres.Text(2, 0), "1.001,00");
}

} // namespace
} // namespace tavisol::workbench
