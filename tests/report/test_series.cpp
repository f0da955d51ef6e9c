// Daily, dekadal and sorted daily values from the fitted annual cycle.
#include <gtest/gtest.h>

#include <algorithm>

#include "report/fixture.h"
#include "report/series.h"

namespace {

using namespace tavisol;

TEST(ReportSeriesValues, AmountsPerDayAndPerDekad) {
    const auto in = reporttest::ConstantInput(3, 30.4375f, 0);
    const auto daily = report::ComputeDaily(in.Result, 3, 1.645f);
    EXPECT_FLOAT_EQ(daily.Best[1], 1.0f);
    EXPECT_FLOAT_EQ(daily.Best[365], 1.0f);
    const auto dekads = report::ComputeDekadal(in.Result, 3, 1.645f);
    EXPECT_FLOAT_EQ(dekads.Best[1], 10.0f);
    EXPECT_FLOAT_EQ(dekads.Best[3], 11.0f);
    EXPECT_FLOAT_EQ(dekads.Best[6], 8.25f);
}

TEST(ReportSeriesValues, LimitsAndClamps) {
    // Precipitation dipping below zero: best 0, low 0, high = e.
    auto in = reporttest::ConstantInput(3, -30.4375f, 30.4375f);
    auto daily = report::ComputeDaily(in.Result, 3, 2.0f);
    EXPECT_EQ(daily.Best[100], 0.0f);
    EXPECT_EQ(daily.Low[100], 0.0f);
    EXPECT_FLOAT_EQ(daily.High[100], 2.0f);
    // Sunshine: best and low within 0..1, high may pass 1.
    in = reporttest::ConstantInput(7, 0.95f, 0.1f);
    in.Result.Harmonics[13] = 1.2f;
    daily = report::ComputeDaily(in.Result, 7, 1.96f);
    EXPECT_EQ(daily.Best[10], 1.0f);
    EXPECT_FLOAT_EQ(daily.Low[10], 0.804f);
    EXPECT_FLOAT_EQ(daily.High[10], 1.196f);
    // Temperatures keep their negative values.
    in = reporttest::ConstantInput(2, -5, 1);
    const auto dekads = report::ComputeDekadal(in.Result, 2, 1.0f);
    EXPECT_FLOAT_EQ(dekads.Best[20], -5.0f);
    EXPECT_FLOAT_EQ(dekads.Low[20], -6.0f);
    // Without a factor no limits.
    daily = report::ComputeDaily(in.Result, 2, 0.0f);
    EXPECT_EQ(daily.Low[5], 0.0f);
    EXPECT_EQ(daily.High[5], 0.0f);
}

TEST(ReportSeriesValues, StandardErrorOfTheDaysMonth) {
    auto in = reporttest::ConstantInput(0, 10, 1);
    in.Result.StdErr[2] = 3;
    const auto daily = report::ComputeDaily(in.Result, 0, 1.0f);
    EXPECT_FLOAT_EQ(daily.Low[30], 9.0f);
    EXPECT_FLOAT_EQ(daily.Low[31], 7.0f);
    const auto dekads = report::ComputeDekadal(in.Result, 0, 1.0f);
    EXPECT_FLOAT_EQ(dekads.Low[3], 9.0f);
    EXPECT_FLOAT_EQ(dekads.Low[4], 7.0f);
}

TEST(ReportSeriesValues, SortedAscending) {
    const auto in = reporttest::SampleInput(0);
    const auto daily = report::ComputeDaily(in.Result, 0, 1.645f);
    const auto sorted = report::ComputeDailySorted(in.Result, 0, 1.645f);
    for (const auto *pair : {&sorted.Best, &sorted.Low, &sorted.High})
        EXPECT_TRUE(std::is_sorted(pair->begin() + 1, pair->end()));
    EXPECT_EQ(sorted.Best[1], *std::min_element(daily.Best.begin() + 1, daily.Best.end()));
    EXPECT_EQ(sorted.High[365], *std::max_element(daily.High.begin() + 1, daily.High.end()));
}

} // namespace
