#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "wb_fixture.h"
#include "workbench/altitudeplot.h"
#include "workbench/resultchart.h"
#include "workbench/stationmap.h"
#include "workbench/warnings.h"

namespace tavisol::workbench {
namespace {

using engine::EngineState;
using testing::MakeState;
using testing::SetNeighbours;
using testing::Station;

const numfmt::Locale En = numfmt::Locale::english();

Station At(double lat, double lon, double alt = 100, double value = 10) {
    Station s;
    s.lat = lat;
    s.lon = lon;
    s.alt = alt;
    s.values = std::vector<double>(12, value);
    return s;
}

std::vector<const DrawItem *> Texts(const Drawing &d) {
    std::vector<const DrawItem *> out;
    for (const DrawItem &i : d.items)
        if (i.kind == DrawItem::Kind::Text)
            out.push_back(&i);
    return out;
}

const DrawItem *FindText(const Drawing &d, const std::string &prefix) {
    for (const DrawItem &i : d.items)
        if (i.kind == DrawItem::Kind::Text && i.text.rfind(prefix, 0) == 0)
            return &i;
    return nullptr;
}

// ---- Warnings -------------------------------------------------------------------

TEST(WarningPanelTest, HiddenWithoutWarningsOneBeepPerRaisedWarning) {
    engine::WarningFlags f;
    int beeps = -1;
    WarningPanel p = PanelFor(f, &beeps);
    EXPECT_FALSE(p.visible);
    EXPECT_EQ(beeps, 0);

    f.Few = engine::True;
    f.Hit = engine::True;
    f.Low = 1;  // only -1 counts
    p = PanelFor(f, &beeps);
    EXPECT_TRUE(p.visible);
    EXPECT_EQ(beeps, 2);
    EXPECT_FALSE(p.enabled[0]);
    EXPECT_TRUE(p.enabled[5]);
    EXPECT_TRUE(p.enabled[6]);
}

TEST(WarningPanelTest, ExplanationTexts) {
    engine::WarningFlags f;
    f.StrangeMonth = 3;
    f.StrangeStation = 4;
    const WarningExplanation strange = ExplainWarning(WarningKind::Strange, f);
    EXPECT_EQ(strange.title, "Strange Data!");
    EXPECT_EQ(strange.text,
              "At least one of the neighbouring stations provides strange data.\r"
              "Strange looking data are detected in March        at Station Nr. 4\r\r"
              "Please verify altitude distribution for the respective months.");
    const WarningExplanation low = ExplainWarning(WarningKind::Low, f);
    EXPECT_EQ(low.title, "Altitude Warning");
    const std::string tail = "\r\r Please verify station altitude on the map.";
    EXPECT_EQ(low.text.substr(low.text.size() - tail.size()), tail);
    const WarningExplanation hit = ExplainWarning(WarningKind::Hit, f);
    EXPECT_EQ(hit.title, "Station too close to existing   stations!");
    EXPECT_NE(hit.text.find("give this station a nearly infinite weight. \rThis"), std::string::npos);
    const WarningExplanation few = ExplainWarning(WarningKind::Few, f);
    EXPECT_NE(few.text.find("\rLess than  6 active stations: No Error"), std::string::npos);
    EXPECT_NE(few.text.find("Only 1 active station:  Nearest"), std::string::npos);

    // A block without strange data names no month rather than reading outside the names.
    f.StrangeMonth = 0;
    EXPECT_NE(ExplainWarning(WarningKind::Strange, f).text.find("detected in              at Station Nr. 4"),
              std::string::npos);
}

// ---- Station map ------------------------------------------------------------------

TEST(StationMapGeometry, NeighboursAcrossTheDateLineSitBesideThePoint) {
    EXPECT_FLOAT_EQ(WrapLongitudeOffset(-350), 10);
    EXPECT_FLOAT_EQ(WrapLongitudeOffset(350), -10);
    EngineState s = MakeState(0, 0, 175, 0);
    SetNeighbours(s, {At(1, -175), At(-1, 170)});
    StationMapBox b;
    Drawing map;
    int ef = 1;
    FitMapExtent(s, ef, b, map);
    EXPECT_FLOAT_EQ(b.East, 10);
    EXPECT_FLOAT_EQ(b.West, -5);
}

TEST(StationMapGeometry, AspectPolesAndScale) {
    EngineState s = MakeState(0, 0, 0, 0);
    StationMapBox b;
    Drawing map;
    int ef = 1;
    // 10 wide, 2 high: 6 high.
    SetNeighbours(s, {At(1, 5), At(-1, -5)});
    FitMapExtent(s, ef, b, map);
    EXPECT_FLOAT_EQ(b.Width, 10);
    EXPECT_FLOAT_EQ(b.Height, 6);
    EXPECT_DOUBLE_EQ(map.left, -5 - 1.0);
    EXPECT_NEAR(map.right, -5 + 11.0, 1e-6);
    EXPECT_NEAR(map.top, 1 + 0.6, 1e-6);
    EXPECT_NEAR(map.bottom, 1 - 6.6, 1e-6);
    // 2 wide, 3 high: 5 wide.
    SetNeighbours(s, {At(1.5, 1), At(-1.5, -1)});
    FitMapExtent(s, ef, b, map);
    EXPECT_FLOAT_EQ(b.Width, 5);
    EXPECT_FLOAT_EQ(b.Height, 3);

    EngineState polar = MakeState(0, 89, 0, 0);
    SetNeighbours(polar, {At(91, 0), At(88, 1)});
    FitMapExtent(polar, ef, b, map);
    EXPECT_FLOAT_EQ(b.North, 1);
}

TEST(StationMapGeometry, ZoomFactorCorrections) {
    EngineState s = MakeState(0, 0, 0, 0);
    SetNeighbours(s, {At(1, 5), At(-1, -5)});
    StationMapBox b;
    Drawing map;
    int ef = 0;
    EXPECT_EQ(FitMapExtent(s, ef, b, map), 1);
    EXPECT_EQ(ef, 1);
    ef = 2;
    FitMapExtent(s, ef, b, map);
    EXPECT_FLOAT_EQ(b.East, 10);
    EXPECT_FLOAT_EQ(b.South, -2);
    // Beyond the world on all four sides: the factor is halved with a beep.
    ef = 128;
    EXPECT_EQ(FitMapExtent(s, ef, b, map), 1);
    EXPECT_EQ(ef, 64);

    // Every neighbour on the point: still a picture of some extent.
    SetNeighbours(s, {At(0, 0)});
    ef = 1;
    FitMapExtent(s, ef, b, map);
    EXPECT_GT(map.ScaleWidth(), 0);
    EXPECT_LT(map.ScaleHeight(), 0);
}

TEST(StationMapDrawing, RasterCrossDotsCornerLabelsAndLevels) {
    EngineState s = MakeState(0, 0, 0, 0);
    SetNeighbours(s, {At(1, 5), At(-1, -5), At(0.5, 2)});
    s.Workbench.Check[2] = 0;
    engine::ReadWorkbenchSelection(s);
    StationMapBox b;
    Drawing map;
    int ef = 1, level = 1;
    FitMapExtent(s, ef, b, map);
    long calls = 0;
    ElevationLookup fake = [&](float, float, engine::Integer &water) {
        ++calls;
        water = 0;
        return static_cast<engine::Integer>(150);
    };
    int beeps = 0;
    ASSERT_TRUE(DrawStationMap(s, level, b, map, MapMetrics{}, fake, En, &beeps));
    EXPECT_EQ(calls, 800);
    EXPECT_EQ(map.items[0].kind, DrawItem::Kind::Box);
    EXPECT_EQ(map.items[0].fill, (Rgb{68, 140, 58}));
    // Dots: active black and filled, inactive hollow light red, numbered.
    const DrawItem *two = FindText(map, " 2 ");
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->color, LightRed);
    EXPECT_EQ(two->fontSize, 10);
    EXPECT_EQ(FindText(map, " 1 ")->color, Black);
    // Eight corner labels at the design height.
    EXPECT_NE(FindText(map, "-5.0°"), nullptr);
    EXPECT_NE(FindText(map, "-1.0°"), nullptr);
    EXPECT_EQ(Texts(map).size(), 3u + 8u);

    level = 4;
    EXPECT_FALSE(DrawStationMap(s, level, b, map, MapMetrics{}, fake, En, &beeps));
    EXPECT_EQ(level, 3);
    EXPECT_EQ(beeps, 1);
    level = 0;
    EXPECT_FALSE(DrawStationMap(s, level, b, map, MapMetrics{}, fake, En, &beeps));
    EXPECT_EQ(level, 1);

    // A low picture on a small screen: small numbers, no corner labels.
    level = 2;
    calls = 0;
    ASSERT_TRUE(DrawStationMap(s, level, b, map, MapMetrics{3000, 9000}, fake, En));
    EXPECT_EQ(calls, 3200);
    EXPECT_EQ(Texts(map).size(), 3u);
    EXPECT_EQ(FindText(map, " 1 ")->fontSize, 6);

    // The cross: 100 km in all, wider in degrees of longitude away from the equator.
    EXPECT_NEAR(CrossSpanDegrees(), 0.8993, 1e-4);
}

TEST(StationMapDrawing, ElevationClassesAndLegend) {
    EXPECT_EQ(ElevationClassRow(0, true), 24);
    EXPECT_EQ(ElevationClassRow(3000, true), 24);
    EXPECT_EQ(ElevationClassRow(-1, false), 23);
    EXPECT_EQ(ElevationClassRow(0, false), 22);
    EXPECT_EQ(ElevationClassRow(99, false), 22);
    EXPECT_EQ(ElevationClassRow(100, false), 21);
    EXPECT_EQ(ElevationClassRow(999, false), 13);
    EXPECT_EQ(ElevationClassRow(1000, false), 12);
    EXPECT_EQ(ElevationClassRow(3999, false), 4);
    EXPECT_EQ(ElevationClassRow(4999, false), 2);
    EXPECT_EQ(ElevationClassRow(5000, false), 1);
    const auto &c = ElevationClasses();
    EXPECT_EQ(c[3].map, (Rgb{200, 150, 125}));
    EXPECT_EQ(c[3].legend, (Rgb{200, 151, 124}));
    Drawing legend;
    DrawAltitudeLegend(legend, 1);
    EXPECT_EQ(legend.items[0].text, " Altitude");
    EXPECT_EQ(legend.items[1].kind, DrawItem::Kind::Box);
    EXPECT_EQ(legend.items[1].y1, 1);
    EXPECT_EQ(legend.items.back().text, " Sea");
    EXPECT_EQ(legend.items.back().y1, 231);
}

TEST(StationMapPointer, DecimalAndSexagesimalReadout) {
    const PointerReadout r = ReadPointer(-12.0f, 41.0f, -0.25, 0.5, En);
    EXPECT_EQ(r.decimal, "-12.25°  41.50° ");
    EXPECT_EQ(r.dms, "12° 15' 0'' W   41° 30' 0'' N ");
    const PointerReadout zero = ReadPointer(0, 0, 0, 0, En);
    EXPECT_EQ(zero.dms, "0° 0' 0'' W   0° 0' 0'' S ");
    EXPECT_EQ(ReadPointer(0, 0, 1.5, -2.25, numfmt::Locale::decimalComma()).decimal, "1,50°  -2,25° ");
}

// ---- Altitude plot -----------------------------------------------------------------

TEST(AltitudePlotAxes, LadderEdges) {
    EngineState s = MakeState(0, 0, 0, 500);
    SetNeighbours(s, {At(1, 1, 12), At(2, 2, 1500)});
    PlotAxis a = ScaleAltitudeAxis(s);
    EXPECT_EQ(a.Min, 0);
    EXPECT_EQ(a.Max, 2000);
    EXPECT_EQ(a.Step, 200);
    SetNeighbours(s, {At(1, 1, 0), At(2, 2, 900)});
    EXPECT_EQ(ScaleAltitudeAxis(s).Min, -1);
    SetNeighbours(s, {At(1, 1, 150), At(2, 2, 900)});
    EXPECT_EQ(ScaleAltitudeAxis(s).Min, 100);
    s.CalcAltitude = 3000;  // the point widens the range
    EXPECT_EQ(ScaleAltitudeAxis(s).Max, 4000);
    s.CalcAltitude = 500;
    SetNeighbours(s, {At(1, 1, 20), At(2, 2, 900)});
    EXPECT_EQ(ScaleAltitudeAxis(s).Min, 10);
    SetNeighbours(s, {At(1, 1, 150), At(2, 2, 400)});
    EXPECT_EQ(ScaleAltitudeAxis(s).Min, 100);

    // Values: temperatures from the ladder below, the rest from 0.
    SetNeighbours(s, {At(1, 1, 150, -3), At(2, 2, 400, 28.7)});
    PlotAxis v = ScaleValueAxis(s);
    EXPECT_EQ(v.Min, -4);
    EXPECT_EQ(v.Max, 40);
    s.CurrentVariable = 3;
    EXPECT_EQ(ScaleValueAxis(s).Min, 0);
    // Without any known altitude the range is not inverted.
    SetNeighbours(s, {At(1, 1, engine::Missing, 5), At(2, 2, engine::Missing, 9)});
    v = ScaleValueAxis(s);
    EXPECT_LT(v.Min, v.Max);
}

TEST(AltitudePlotRegression, FewPointsAndEqualAltitudes) {
    EngineState s = MakeState(0, 0, 0, 100);
    PlotAxis alt{1000, 0, 100}, val{20, 0, 2};

    // One active neighbour with an altitude: vertical line through its value.
    SetNeighbours(s, {At(1, 1, 300, 7)});
    AltitudeRegression r = FitAltitudeRegression(s, 1);
    EXPECT_EQ(r.Slope, 0);
    EXPECT_EQ(r.ExplainedVariance, 1);
    RegressionLine l = RegressionEnds(r, alt, val);
    EXPECT_FLOAT_EQ(r.Slope, 1e-10f);
    EXPECT_NEAR(l.v1, 7, 1e-3);
    EXPECT_NEAR(l.v2, 7, 1e-3);
    EXPECT_EQ(l.a1, -50);
    EXPECT_EQ(l.a2, 1050);
    EXPECT_EQ(numfmt::formatMask(l.SlopePer100m(), "####0.00", En), "0.00");

    // Two: through both.
    SetNeighbours(s, {At(1, 1, 200, 10), At(2, 2, 400, 8)});
    r = FitAltitudeRegression(s, 1);
    EXPECT_NEAR(r.Slope, -0.01, 1e-6);
    EXPECT_NEAR(r.Intercept, 12, 1e-4);
    EXPECT_EQ(r.ExplainedVariance, 1);

    // All at one altitude: slope 0, line at the mean value.
    SetNeighbours(s, {At(1, 1, 200, 10), At(2, 2, 200, 8), At(3, 3, 200, 6)});
    r = FitAltitudeRegression(s, 1);
    EXPECT_EQ(r.Slope, 0);
    l = RegressionEnds(r, alt, val);
    EXPECT_NEAR(l.v1, 8, 1e-3);

    // Three on a noisy line: explained variance below 1.
    SetNeighbours(s, {At(1, 1, 0, 10), At(2, 2, 100, 9), At(3, 3, 200, 8.5)});
    r = FitAltitudeRegression(s, 1);
    EXPECT_GT(r.ExplainedVariance, 0.9);
    EXPECT_LT(r.ExplainedVariance, 1);

    // No active neighbour with an altitude: no line.
    s.Workbench.Check = {};
    engine::ReadWorkbenchSelection(s);
    EXPECT_FALSE(FitAltitudeRegression(s, 1).valid);
}

TEST(AltitudePlotDrawing, MonthStepsLabelsAndTexts) {
    EXPECT_EQ(StepMonth(1, -1), 12);
    EXPECT_EQ(StepMonth(12, 1), 1);
    EXPECT_EQ(StepMonth(1, -2), 11);

    EngineState s = MakeState(3, 0, 0, 100);
    SetNeighbours(s, {At(1, 1, 0, 100), At(2, 2, 500, 150), At(3, 3, 1000, 190)});
    const PlotAxis alt = ScaleAltitudeAxis(s), val = ScaleValueAxis(s);
    Drawing plot;
    AltitudeRegression r;
    int month = 12;
    ShowAltitudePlot(s, month, alt, val, PlotMetrics{}, En, plot, r);
    EXPECT_EQ(month, 1);
    // Design size: top at Max + 2 steps, title in 12 points, every text drawn.
    EXPECT_NEAR(plot.top, alt.Max + 2 * alt.Step, 1e-3);
    const DrawItem *title = FindText(plot, "January");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->fontSize, 12);
    EXPECT_EQ(title->text, std::string(engine::MonthNames[1]));
    ASSERT_NE(FindText(plot, "Explained Variance = "), nullptr);
    const DrawItem *slope = FindText(plot, "Slope = ");
    ASSERT_NE(slope, nullptr);
    EXPECT_EQ(slope->text, "Slope = 9.00 mm/Month /100 m");
    EXPECT_NE(FindText(plot, "Altitude"), nullptr);
    EXPECT_EQ(FindText(plot, " 1 ")->color, Green);

    // A narrow picture: no axis labels or regression texts, small title.
    ShowAltitudePlot(s, month, alt, val, PlotMetrics{4000, 6000}, En, plot, r);
    EXPECT_EQ(month, 2);
    EXPECT_EQ(FindText(plot, "Slope = "), nullptr);
    EXPECT_EQ(FindText(plot, "February")->fontSize, 8);
    EXPECT_NEAR(plot.top, alt.Max + 3 * alt.Step, 1e-3);
}

// The five labels under the value axis run evenly from its bottom to its top,
// from 0 or, for temperatures, from below 0.
TEST(AltitudePlotDrawing, ValueLabelsSpanTheAxisEvenly) {
    struct Row {
        int variable;
        double low, high;  // the neighbours' values
        std::vector<std::string> labels;
    };
    for (const Row &row : {Row{3, 12, 37, {".00", "10.00", "20.00", "30.00", "40.00"}},
                           Row{0, -3, 28.7, {"-4.00", "7.00", "18.00", "29.00", "40.00"}}}) {
        EngineState s = MakeState(row.variable, 0, 0, 100);
        SetNeighbours(s, {At(1, 1, 150, row.low), At(2, 2, 400, row.high)});
        const PlotAxis alt = ScaleAltitudeAxis(s), val = ScaleValueAxis(s);
        Drawing plot;
        AltitudeRegression r;
        int month = 1;
        ShowAltitudePlot(s, month, alt, val, PlotMetrics{}, En, plot, r);
        std::vector<std::pair<double, std::string>> under;
        for (const DrawItem *i : Texts(plot))
            if (std::abs(i->y1 - (alt.Min - alt.Step / 2)) < 1e-6)
                under.emplace_back(i->x1, i->text);
        std::sort(under.begin(), under.end());
        std::vector<std::string> labels;
        for (const auto &u : under)
            labels.push_back(u.second);
        EXPECT_EQ(labels, row.labels) << row.variable;
    }
}

// ---- Result chart -----------------------------------------------------------------

EngineState ChartState(int variable, float best, float err) {
    EngineState s = MakeState(variable);
    for (int m = 1; m <= 13; ++m) {
        s.CurResult.Best[m] = best;
        s.CurResult.StdErr[m] = err;
    }
    s.CurResult.Harmonics[13] = best;
    return s;
}

TEST(ResultChartScale, RangesByVariable) {
    EngineState t = ChartState(0, 10, 1);
    t.CurResult.Best[1] = -1.2f;   // -3.2 with two errors
    t.CurResult.Best[7] = 26.7f;   // 28.7
    ResultChartRange r;
    SetResultScale(t, r);
    EXPECT_EQ(r.ChartMin, -4);
    EXPECT_EQ(r.ChartMax, 40);
    WorkbenchSeries series;
    MonthlyChart monthly;
    Drawing c;
    DrawResultChart(t, ResultView::Monthly, 0, series, r, monthly, En, c);
    EXPECT_FLOAT_EQ(r.ChartStep, 4.4f);

    EngineState sun = ChartState(7, 0.5f, 0.1f);
    DrawResultChart(sun, ResultView::Monthly, 0, series, r, monthly, En, c);
    EXPECT_EQ(r.ChartMin, 0);
    EXPECT_EQ(r.ChartMax, 1);
    std::vector<std::string> levels;
    for (const DrawItem *i : Texts(c))
        if (i->x1 < -1.5 && i->x1 > -1.7)
            levels.push_back(i->text);
    EXPECT_EQ(levels, (std::vector<std::string>{".00", "1.00", ".50", ".25", ".75"}));
}

TEST(ResultChartViews, BandsLegendsAndScaledPrecipitation) {
    EngineState p = ChartState(3, 60, 10);
    WorkbenchSeries series;
    MonthlyChart monthly;
    ResultChartRange r;
    Drawing c;
    DrawResultChart(p, ResultView::Monthly, 1.645f, series, r, monthly, En, c);
    int boxes = 0;
    for (const DrawItem &i : c.items)
        boxes += i.kind == DrawItem::Kind::Box;
    EXPECT_EQ(boxes, 12);
    EXPECT_EQ(r.ChartMax, 100);
    EXPECT_EQ(c.left, -2);
    EXPECT_EQ(c.right, 12.5);
    ASSERT_NE(FindText(c, "Red Area = Confidence Interval"), nullptr);
    EXPECT_EQ(FindText(c, "Red Area = Confidence Interval")->line, 1);

    // No factor: no boxes, the legend still names the band.
    DrawResultChart(p, ResultView::Dekadal, 0, series, r, monthly, En, c);
    boxes = 0;
    for (const DrawItem &i : c.items)
        boxes += i.kind == DrawItem::Kind::Box;
    EXPECT_EQ(boxes, 0);
    EXPECT_NE(FindText(c, "Red Area = Confidence Interval"), nullptr);
    EXPECT_FLOAT_EQ(r.ChartMax, 100.0f / 3);
    EXPECT_EQ(c.left, -6);
    EXPECT_NEAR(series.Dekad.best[1], 60 * 10 / 30.4375, 1e-3);

    DrawResultChart(p, ResultView::Daily, 1.96f, series, r, monthly, En, c);
    EXPECT_FLOAT_EQ(r.ChartMax, static_cast<float>(100 / 30.4375));
    EXPECT_NE(FindText(c, "Red Lines = Confidence Interval"), nullptr);
    EXPECT_NE(FindText(c, " 12 "), nullptr);

    DrawResultChart(p, ResultView::Threshold, 1.96f, series, r, monthly, En, c);
    EXPECT_NE(FindText(c, " 360 "), nullptr);
    EXPECT_EQ(series.Daily.best[1], 99999.0f);  // the sort used the daily values up
    EXPECT_EQ(c.right, 380);
}

TEST(ResultChartViews, DayCurvesFollowTheDaysAndTheThresholdViewRunsFromTheHighestDay) {
    EngineState t = ChartState(0, 10, 1);
    t.CurResult.Harmonics[1] = 8;  // a year's wave, so that the days differ
    t.CurResult.Harmonics[7] = 3;
    WorkbenchSeries series;
    MonthlyChart monthly;
    ResultChartRange r;
    Drawing c;
    auto curve = [&c](Rgb colour) {
        std::vector<const DrawItem *> lines;
        for (const DrawItem &i : c.items)
            if (i.kind == DrawItem::Kind::Line && i.color == colour)
                lines.push_back(&i);
        return lines;
    };

    DrawResultChart(t, ResultView::Daily, 1.96f, series, r, monthly, En, c);
    const DailyArrays &days = series.Daily;
    ASSERT_EQ(c.items[0].kind, DrawItem::Kind::Line);
    for (int d = 1; d <= 364; ++d) {
        const DrawItem &l = c.items[static_cast<std::size_t>(d - 1)];
        EXPECT_EQ(l.color, Black);
        EXPECT_EQ(l.x1, d);
        EXPECT_EQ(l.y1, days.best[static_cast<std::size_t>(d)]);
        EXPECT_EQ(l.y2, days.best[static_cast<std::size_t>(d + 1)]);
    }
    EXPECT_NE(days.best[1], days.best[180]);
    EXPECT_EQ(curve(LightRed).size(), 2u * 364);  // the band's two limits

    DrawResultChart(t, ResultView::Threshold, 1.96f, series, r, monthly, En, c);
    const DailyArrays &sorted = series.SortedDaily;
    EXPECT_EQ(c.items[0].y1, sorted.best[365]);
    for (std::size_t k = 0; k < 364; ++k) {
        EXPECT_EQ(c.items[k].color, Black);
        EXPECT_GE(c.items[k].y1, c.items[k].y2);  // highest day first
    }
    EXPECT_EQ(curve(LightRed).size(), 2u * 364);

    // No factor: the curve alone.
    DrawResultChart(t, ResultView::Daily, 0, series, r, monthly, En, c);
    EXPECT_TRUE(curve(LightRed).empty());
}

} // namespace
} // namespace tavisol::workbench
