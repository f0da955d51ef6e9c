#include <gtest/gtest.h>

#include "wb_fixture.h"
#include "workbench/series.h"

namespace tavisol::workbench {
namespace {

using testing::MakeState;

// A state whose fitted cycle is the mean alone.
engine::EngineState ConstantCycle(int variable, float mean) {
    engine::EngineState s = MakeState(variable);
    s.CurResult.Harmonics[13] = mean;
    return s;
}

TEST(SeriesValues, ConstantPrecipitationGivesOneMillimetrePerDayAndDekadTotals) {
    const engine::EngineState s = ConstantCycle(3, 30.4375f);
    WorkbenchSeries series;
    ComputeDaily(s, 0, series);
    for (int d = 1; d <= 365; ++d)
        ASSERT_NEAR(series.Daily.best[d], 1.0f, 1e-5) << d;
    ComputeDekadal(s, 0, series);
    EXPECT_NEAR(series.Dekad.best[1], 10.0f, 1e-4);
    EXPECT_NEAR(series.Dekad.best[3], 11.0f, 1e-4);
    EXPECT_NEAR(series.Dekad.best[6], 8.25f, 1e-4);
    EXPECT_NEAR(series.Dekad.best[36], 11.0f, 1e-4);
}

TEST(SeriesValues, ConfidenceLimitsFollowTheMonthOfEachDay) {
    engine::EngineState s = ConstantCycle(0, 5);
    for (int m = 1; m <= 12; ++m)
        s.CurResult.StdErr[m] = static_cast<float>(m);
    WorkbenchSeries series;
    ComputeDaily(s, 2, series);
    EXPECT_NEAR(series.Daily.high[30] - series.Daily.best[30], 2.0f, 1e-5);
    EXPECT_NEAR(series.Daily.high[31] - series.Daily.best[31], 4.0f, 1e-5);
    EXPECT_NEAR(series.Daily.best[365] - series.Daily.low[365], 24.0f, 1e-5);
    // Temperatures stay negative.
    EXPECT_LT(series.Daily.low[365], 0);

    // Precipitation: the error goes on a daily or dekadal scale too.
    engine::EngineState p = ConstantCycle(3, 30.4375f);
    for (int m = 1; m <= 12; ++m)
        p.CurResult.StdErr[m] = 30.4375f;
    ComputeDaily(p, 1, series);
    EXPECT_NEAR(series.Daily.high[100], 2.0f, 1e-5);
    ComputeDekadal(p, 1, series);
    EXPECT_NEAR(series.Dekad.high[6], 16.5f, 1e-3);
}

TEST(SeriesValues, FactorZeroLeavesTheLimitsOfTheLastCall) {
    engine::EngineState s = ConstantCycle(0, 5);
    s.CurResult.StdErr.fill(1);
    WorkbenchSeries series;
    ComputeDaily(s, 1.645f, series);
    ComputeDekadal(s, 1.645f, series);
    s.CurResult.Harmonics[13] = 50;
    ComputeDaily(s, 0, series);
    ComputeDekadal(s, 0, series);
    EXPECT_NEAR(series.Daily.best[10], 50, 1e-4);
    EXPECT_NEAR(series.Daily.high[10], 6.645f, 1e-4);
    EXPECT_NEAR(series.Dekad.low[10], 3.355f, 1e-4);
}

TEST(SeriesValues, ClampingByVariable) {
    // Sunshine: best and low within 0..1, high may go beyond 1.
    engine::EngineState sun = ConstantCycle(7, 0.95f);
    sun.CurResult.StdErr.fill(0.5f);
    WorkbenchSeries series;
    ComputeDaily(sun, 1.96f, series);
    EXPECT_FLOAT_EQ(series.Daily.best[1], 0.95f);
    EXPECT_FLOAT_EQ(series.Daily.low[1], 0.0f);
    EXPECT_GT(series.Daily.high[1], 1.0f);
    sun.CurResult.Harmonics[13] = 1.4f;
    ComputeDekadal(sun, 0, series);
    EXPECT_FLOAT_EQ(series.Dekad.best[5], 1.0f);

    // Precipitation whose cycle dips below zero: best 0, low 0, high = e.
    engine::EngineState p = ConstantCycle(3, -30.4375f);
    p.CurResult.StdErr.fill(30.4375f);
    ComputeDaily(p, 1, series);
    EXPECT_EQ(series.Daily.best[200], 0.0f);
    EXPECT_EQ(series.Daily.low[200], 0.0f);
    EXPECT_NEAR(series.Daily.high[200], 1.0f, 1e-6);
}

TEST(SeriesValues, SortConsumesTheDailyArraysAndOrdersAscending) {
    engine::EngineState s = ConstantCycle(0, 10);
    s.CurResult.Harmonics[7] = 8;  // cosine: warm at the year's ends
    s.CurResult.StdErr.fill(1);
    WorkbenchSeries series;
    ComputeDailySorted(s, 1.645f, series);
    for (int d = 1; d <= 365; ++d) {
        ASSERT_EQ(series.Daily.best[d], 99999.0f);
        ASSERT_EQ(series.Daily.low[d], 99999.0f);
    }
    for (int k = 2; k <= 365; ++k) {
        ASSERT_LE(series.SortedDaily.best[k - 1], series.SortedDaily.best[k]);
        ASSERT_LE(series.SortedDaily.high[k - 1], series.SortedDaily.high[k]);
    }
    EXPECT_NEAR(series.SortedDaily.best[1], 2, 0.01);
    EXPECT_NEAR(series.SortedDaily.best[365], 18, 0.01);

    // Without a factor only best is sorted; the daily limits keep their values.
    ComputeDaily(s, 1.645f, series);
    const float lowBefore = series.Daily.low[3];
    ComputeDailySorted(s, 0, series);
    EXPECT_EQ(series.Daily.low[3], lowBefore);
}

TEST(SeriesValues, ConfidenceFactors) {
    EXPECT_EQ(ConfidenceFactor(ConfidenceLevel::None), 0.0f);
    EXPECT_EQ(ConfidenceFactor(ConfidenceLevel::P90), 1.645f);
    EXPECT_EQ(ConfidenceFactor(ConfidenceLevel::P95), 1.96f);
    EXPECT_EQ(ConfidenceFactor(ConfidenceLevel::P99), 2.579f);
}

} // namespace
} // namespace tavisol::workbench
