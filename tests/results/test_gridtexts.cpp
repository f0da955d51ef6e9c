#include <gtest/gtest.h>

#include "fixture.h"
#include "results/gridtexts.h"
#include "support/celltexts.h"

namespace {

using namespace tavisol::results;
using tavisol::engine::Missing;
using tavisol::engine::True;
using tavisol::numfmt::Locale;
using tavisol::results::fixture::SetActiveNeighbours;
using tavisol::testsupport::ExpectCellTexts;

const Locale kPoint = Locale::english();
const Locale kComma = Locale::decimalComma();

// Row of month i (1..12, 13 the annual value) in block b (0..2) of a results grid.
int ResultRow(int block, int i) { return i + 1 + 15 * block; }

// ---- Layout texts ----------------------------------------------------------------

TEST(GridLayoutText, SplitsHeadersAndLabelsAndTakesTheLeadingCaret) {
    const GridLayout g = ParseGridLayout("^|A|B;|r1|r2");
    EXPECT_EQ(g.headers, (std::vector<std::string>{"", "A", "B"}));
    EXPECT_EQ(g.columnAlign.front(), CellAlign::Center);
    EXPECT_EQ(g.columnAlign[1], CellAlign::Default);
    EXPECT_EQ(g.rowLabels, (std::vector<std::string>{"", "r1", "r2"}));
    const GridModel m(g);
    EXPECT_EQ(m.rows(), 3);
    EXPECT_EQ(m.columns(), 3);
    EXPECT_EQ(m.text(0, 2), "B");
    EXPECT_EQ(m.text(2, 0), "r2");
    EXPECT_EQ(m.labelAlign(), CellAlign::Center);
    // Blanks belong to the texts.
    EXPECT_EQ(ParseGridLayout("^| x |y ;| a").headers[1], " x ");
}

TEST(GridLayoutText, GridsHaveTheirRowsColumnsAndLabels) {
    struct Expect {
        std::string layout;
        int rows;
        int columns;
    };
    const Expect all[] = {
        {ResultsGridLayout(1), 45, 13},     {ResultsGridLayout(2), 30, 13},     {ResultsGridLayout(3), 45, 13},
        {StationGridLayout(1), 70, 9},      {StationGridLayout(2), 46, 9},      {StationGridLayout(3), 69, 9},
        {ObservationGridLayout(1), 70, 15}, {ObservationGridLayout(2), 46, 15}, {ObservationGridLayout(3), 69, 15},
    };
    for (const Expect &e : all) {
        const GridModel m(ParseGridLayout(e.layout));
        EXPECT_EQ(m.rows(), e.rows) << e.layout.substr(0, 40);
        EXPECT_EQ(m.columns(), e.columns);
    }
    const GridModel results(ParseGridLayout(ResultsGridLayout(1)));
    ExpectCellTexts(results, {{0, 5, "  Bias  "}, {16, 0, "T_Max"}, {44, 0, "Mean "}, {15, 0, " "}});
    EXPECT_EQ(GridModel(ParseGridLayout(ResultsGridLayout(2))).text(16, 0), " PET ");
    EXPECT_EQ(GridModel(ParseGridLayout(ResultsGridLayout(3))).text(44, 0), "Mean");

    const GridModel stations(ParseGridLayout(StationGridLayout(1)));
    ExpectCellTexts(stations, {
        {0, 7, "Station Name        "}, {0, 8, "Country Name         "}, {1, 0, "T_Mean "}, {47, 0, "T_Min"},
        {21, 0, "20"}, {68, 0, "Mean"}, {69, 0, " "}});
    EXPECT_EQ(GridModel(ParseGridLayout(StationGridLayout(2))).text(24, 0), "PET");

    const GridModel obs(ParseGridLayout(ObservationGridLayout(2)));
    ExpectCellTexts(obs, {{0, 3, "  March  "}, {0, 14, " Weight"}, {24, 0, " PET "}, {45, 0, "Mean "}});
}

// ---- Results grids --------------------------------------------------------------------

TEST(ResultsGridTexts, WindIsShownInKilometresPerHourWithNinetyPercentLimits) {
    LocationResults r;
    SetActiveNeighbours(r, 6, 6);
    auto &res = r[6].Result;
    res.Best[1] = 2.0f;
    res.StdErr[1] = 0.5f;
    res.Bias[1] = 0.25f;
    res.VertGrad[1] = 0.001f;
    res.LonGrad[1] = 1.0f;
    res.LatGrad[1] = -0.5f;
    res.DirGrad[1] = 123.456f;
    res.DirGradText[1] = "SE";
    res.AbsGrad[1] = 2.0f;
    res.ExplVar[1] = 0.75f;
    const GridModel g = ResultsGrid(3, r, kPoint);
    const int row = ResultRow(1, 1);  // wind is the second block of its grid
    const std::vector<std::string> expected = {"7.20", "4.24", "10.16", "1.80", "0.90", "0.36",
                                               "3.60", "-1.80", "123.46", "SE", "7.20", "0.75"};
    for (int c = 1; c <= 12; ++c)
        EXPECT_EQ(g.text(row, c), expected[static_cast<std::size_t>(c - 1)]) << "column " << c;
    // The decimal sign is the locale's.
    EXPECT_EQ(ResultsGrid(3, r, kComma).text(row, 1), "7,20");
}

TEST(ResultsGridTexts, AmountsAreFlooredAtZeroAfterTheLimitsAreWorkedOut) {
    LocationResults r;
    SetActiveNeighbours(r, 3, 6);
    r[3].Result.Best[1] = -0.3f;
    r[3].Result.StdErr[1] = 1.0f;
    // Sunshine keeps no upper limit here.
    SetActiveNeighbours(r, 7, 6);
    r[7].Result.Best[2] = 1.2f;
    const GridModel prec = ResultsGrid(2, r, kPoint);
    ExpectCellTexts(prec, {
        {ResultRow(0, 1), 1, "0.00"}, {ResultRow(0, 1), 2, "0.00"}, {ResultRow(0, 1), 3, "1.35"},  // -0.3 + 1.645
        {ResultRow(0, 1), 4, "1.00"}});
    EXPECT_EQ(ResultsGrid(3, r, kPoint).text(ResultRow(0, 2), 1), "1.20");

    // Temperatures keep their sign.
    SetActiveNeighbours(r, 0, 6);
    r[0].Result.Best[1] = -3.0f;
    r[0].Result.StdErr[1] = 1.0f;
    const GridModel temp = ResultsGrid(1, r, kPoint);
    EXPECT_EQ(temp.text(ResultRow(0, 1), 1), "-3.00");
    EXPECT_EQ(temp.text(ResultRow(0, 1), 2), "-4.65");
}

TEST(ResultsGridTexts, ColumnsFollowTheActiveCountAndTheHitWarning) {
    auto filled = [](const GridModel &g, int row) {
        std::string mask;
        for (int c = 1; c <= 12; ++c)
            mask += g.text(row, c).empty() ? '.' : 'x';
        return mask;
    };
    LocationResults r;
    for (int v = 0; v < 3; ++v)
        r[v].Result.DirGradText[4] = "N ";
    SetActiveNeighbours(r, 0, 5);
    SetActiveNeighbours(r, 1, 6);
    SetActiveNeighbours(r, 2, 6);
    r[2].Warnings.Hit = True;
    const GridModel g = ResultsGrid(1, r, kPoint);
    EXPECT_EQ(filled(g, ResultRow(0, 4)), "x....x.....x");
    EXPECT_EQ(filled(g, ResultRow(1, 4)), "xxxxxxxxxxxx");
    EXPECT_EQ(filled(g, ResultRow(2, 4)), "x....xxxxxxx");
    // A Hit flag other than True does not count.
    r[2].Warnings.Hit = 1;
    EXPECT_EQ(filled(ResultsGrid(1, r, kPoint), ResultRow(2, 4)), "xxxxxxxxxxxx");
    // The active count is record 21's, not the neighbour count.
    r[1].Neighbours[1].Active = 0;
    CountActiveNeighbours(r);
    EXPECT_EQ(filled(ResultsGrid(1, r, kPoint), ResultRow(1, 4)), "x....x.....x");
}

TEST(ResultsGridTexts, UnitsRowsAndAnnualRowsLookLikeHeaders) {
    LocationResults r;
    const GridModel temp = ResultsGrid(1, r, kPoint);
    ExpectCellTexts(temp, {
        {1, 1, "[°C]"}, {16, 5, "[°C]"}, {31, 6, "[°C/100m]"}, {1, 7, "[°C/100km]"}, {1, 9, "Degrees"},
        {1, 10, ""}, {1, 12, ""}});
    for (int row : {1, 14, 16, 29, 31, 44})
        EXPECT_EQ(temp.cell(row, 3).look, CellLook::Fixed) << row;
    EXPECT_EQ(temp.cell(2, 3).look, CellLook::Normal);
    EXPECT_EQ(temp.cell(2, 3).align, CellAlign::Center);
    for (int c = 1; c <= 12; ++c) {
        EXPECT_EQ(temp.text(15, c), "");
        EXPECT_EQ(temp.text(30, c), "");
    }
    const GridModel wind = ResultsGrid(3, r, kPoint);
    ExpectCellTexts(wind, {{1, 1, " "}, {1, 6, "[1/100m]"}, {16, 11, "[km/h/100km]"}, {31, 2, "[hPa]"}});
    EXPECT_EQ(ResultsGrid(2, r, kPoint).text(16, 8), "[mm/100km]");
    // Cleared copies hold no estimate: no number, not even a zero.
    ExpectCellTexts(temp, {{2, 1, ""}, {2, 6, ""}, {14, 12, ""}, {2, 2, ""}});
    // Filling twice gives the same grid.
    EXPECT_EQ(ResultsGrid(1, r, kPoint), temp);
}

// ---- Warning grids ------------------------------------------------------------------------

TEST(WarningGridTexts, MarksOnlyTrueFlagsWithDoubledBeforeStrange) {
    LocationResults r;
    for (StoredVariable &v : r.Variables)
        v.Computed = v.Estimated = true;
    r[2].Warnings.High = True;      // T_min is the first column
    r[0].Warnings.Strange = True;   // T_mean
    r[1].Warnings.Doubled = 1;      // not True: no mark
    r[7].Warnings.High = True;      // Sun, third column of the wind group
    r[4].Warnings.Few = True;
    const GridModel t = WarningGrid(1, r);
    EXPECT_EQ(t.rows(), 8);
    EXPECT_EQ(t.columns(), 4);
    ExpectCellTexts(t, {
        {0, 0, "Warnings"}, {0, 1, "T_min"}, {0, 3, "T_max"}, {4, 0, "Doubled"}, {5, 0, "Strange"}, {1, 1, "X"},
        {5, 2, "X"}, {4, 3, ""}});
    int marks = 0;
    for (int row = 1; row <= 7; ++row)
        for (int c = 1; c <= 3; ++c) {
            marks += t.text(row, c) == "X";
            EXPECT_EQ(t.cell(row, c).align, CellAlign::Center);
        }
    EXPECT_EQ(marks, 2);

    const GridModel p = WarningGrid(2, r);
    EXPECT_EQ(p.columns(), 3);
    EXPECT_EQ(p.text(0, 1), "Precip");
    EXPECT_EQ(p.text(0, 2), "PET");

    const GridModel w = WarningGrid(3, r);
    ExpectCellTexts(w, {{0, 1, "Wind"}, {0, 2, "Vapor"}, {0, 3, "Sun"}, {1, 3, "X"}, {6, 2, "X"}});

    // A variable that a failed run did not reach shows no warning.
    r[7].Computed = false;
    EXPECT_EQ(WarningGrid(3, r).text(1, 3), "");
}

// ---- Station grids ----------------------------------------------------------------------------

TEST(StationGridTexts, StationsMeanRowAndEmptySlots) {
    LocationResults r;
    SetActiveNeighbours(r, 3, 3);
    auto &n = r[3].Neighbours;
    n[1].Longitude = -3.5f;
    n[1].Latitude = 41.257f;
    n[1].Altitude = -12;
    n[1].Distance = 0.3f;
    n[1].Direction = 45.4f;
    n[1].Compass = "NE";
    n[1].Name = "Alpha";
    n[1].Country = "Spain";
    n[2].Altitude = Missing;
    n[2].Direction = Missing;  // at the location itself
    n[2].Compass = "X ";
    n[2].Distance = 0.04f;
    n[3].Country.clear();      // used by the estimate, though its file named no country
    n[3].Name = "Gamma";
    n[21].Longitude = 1.5f;
    n[21].Altitude = Missing;
    n[21].Direction = Missing;
    n[21].Compass = "X ";

    const GridModel g = StationGrid(2, r, kPoint);
    const std::vector<std::string> first = {"-3.50", "41.26", "-12", ".3", "45", "NE", "Alpha", "Spain"};
    for (int c = 1; c <= 8; ++c)
        EXPECT_EQ(g.text(2, c), first[static_cast<std::size_t>(c - 1)]) << c;
    EXPECT_EQ(g.cell(2, 3).align, CellAlign::Center);
    EXPECT_EQ(g.cell(2, 7).align, CellAlign::LeftCenter);
    ExpectCellTexts(g, {
        {3, 3, "9999"}, {3, 4, ".0"}, {3, 5, ""}, {3, 6, ""}, {4, 7, "Gamma"},  // shown although its country is empty
        {4, 8, ""}, {4, 1, "0.00"}});
    for (int c = 1; c <= 8; ++c)
        EXPECT_EQ(g.text(5, c), "") << "beyond the neighbour count";

    // The mean row shows direction and compass whatever they hold.
    ExpectCellTexts(g, {{22, 1, "1.50"}, {22, 3, "9999"}, {22, 5, "9999"}, {22, 6, "X "}, {22, 7, ""}});
    for (int c = 1; c <= 8; ++c) {
        EXPECT_EQ(g.cell(22, c).look, CellLook::Fixed);
        EXPECT_EQ(g.cell(22, c).align, CellAlign::Center);
    }
    // The separator row and the section titles hold nothing.
    for (int c = 1; c <= 8; ++c) {
        EXPECT_EQ(g.text(23, c), "");
        EXPECT_EQ(g.text(24, c), "");
    }
}

TEST(StationGridTexts, VariableWithoutNeighboursShowsNoMeans) {
    LocationResults r;  // cleared copies: no neighbour anywhere
    r[7].Computed = true;  // and one run that found none
    for (int group = 1; group <= 3; ++group) {
        const GridModel g = StationGrid(group, r, kPoint);
        for (int row = 1; row < g.rows(); ++row)
            for (int c = 1; c <= 8; ++c)
                EXPECT_EQ(g.text(row, c), "") << group << " " << row << " " << c;
        EXPECT_EQ(g.cell(22, 1).look, CellLook::Fixed);
        const GridModel o = ObservationGrid(group, r, kPoint);
        for (int c = 1; c <= 13; ++c)
            EXPECT_EQ(o.text(22, c), "") << group << " " << c;
    }
}

// Stations 20000 km away or farther never become neighbours, whatever the
// maximum distance allows.
TEST(MissingEstimatesNotice, DistanceBeyondTwentyThousandKilometres) {
    tavisol::engine::EngineSettings s = tavisol::engine::DefaultSettings();
    s.MaxDistance = 21000;
    EXPECT_EQ(MissingEstimatesNotice({{6, true, false, 0, tavisol::engine::NoNeighbourCause::Distance}}, s, "", kComma),
              "No estimate of Wind Speed: no station nearer than 20000 km.");
}

// ---- Observation grids -------------------------------------------------------------------------

TEST(ObservationGridTexts, ValuesWeightsAndMeanRow) {
    LocationResults r;
    SetActiveNeighbours(r, 6, 16);
    auto &n = r[6].Neighbours;
    n[1].Values[1] = 3.456f;
    n[1].Values[13] = -2.5f;
    n[1].Weight = 0.12345f;
    n[2].Active = 0;  // doubled: listed all the same
    n[2].Values[2] = 1.0f;
    n[3].Country.clear();  // took part in the estimate: listed all the same
    n[3].Values[4] = 7.0f;
    n[21].Values[12] = 4.0f;
    CountActiveNeighbours(r);

    const GridModel g = ObservationGrid(3, r, kPoint);
    ExpectCellTexts(g, {
        {25, 1, "3.46"},  // m/s, no conversion here
        {25, 13, "-2.50"}, {25, 14, "0.1235"}, {26, 2, "1.00"}, {26, 14, "0.0000"}, {27, 4, "7.00"}});
    for (int k = 17; k <= 20; ++k)
        for (int c = 1; c <= 14; ++c)
            EXPECT_EQ(g.text(24 + k, c), "") << k;
    ExpectCellTexts(g, {{45, 12, "4.00"}, {45, 1, "0.00"}, {45, 14, ""}});
    EXPECT_EQ(g.cell(45, 13).look, CellLook::Fixed);
    EXPECT_EQ(g.cell(45, 14).look, CellLook::Normal);
    EXPECT_EQ(g.cell(25, 5).align, CellAlign::Center);
    for (int c = 1; c <= 14; ++c)
        EXPECT_EQ(g.text(24, c), "");
    EXPECT_EQ(ObservationGrid(3, r, kComma).text(25, 14), "0,1235");
}

} // namespace
