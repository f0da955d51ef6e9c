// Dekads, months of days, calendar days, confidence factors and the values
// of the fitted annual cycle shared by the workbench and the reports.
#include <gtest/gtest.h>

#include <array>

#include "calendar/calendar.h"
#include "calendar/confidence.h"
#include "calendar/cycle.h"

namespace tavisol::calendar {
namespace {

TEST(Calendar, DekadsMonthsAndDays) {
    // Day 30 takes January's error, day 31 already February's.
    EXPECT_EQ(MonthOfDay(1), 1);
    EXPECT_EQ(MonthOfDay(30), 1);
    EXPECT_EQ(MonthOfDay(31), 2);
    EXPECT_EQ(MonthOfDay(335), 12);
    EXPECT_EQ(MonthOfDay(365), 12);
    EXPECT_EQ(MonthOfDekad(1), 1);
    EXPECT_EQ(MonthOfDekad(3), 1);
    EXPECT_EQ(MonthOfDekad(4), 2);
    EXPECT_EQ(MonthOfDekad(34), 12);
    EXPECT_EQ(MonthOfDekad(36), 12);

    EXPECT_EQ(CalendarDay(59).day, 28);
    EXPECT_EQ(CalendarDay(59).month, 2);
    EXPECT_EQ(CalendarDay(60).day, 1);
    EXPECT_EQ(CalendarDay(60).month, 3);
    EXPECT_EQ(CalendarDay(365).day, 31);
    EXPECT_EQ(CalendarDay(365).month, 12);
}

TEST(Calendar, DekadLengthsMakeAYear) {
    double total = 0;
    for (int k = 1; k <= 36; ++k)
        total += DekadLength(k);
    EXPECT_DOUBLE_EQ(total, 365.25);
    EXPECT_EQ(DekadLength(6), 8.25f);
    EXPECT_EQ(DekadLength(24), 11.0f);
    EXPECT_EQ(DekadLength(3), 11.0f);
    EXPECT_EQ(DekadLength(27), 10.0f);
}

TEST(Confidence, FactorsAndLimits) {
    using tavisol::ConfidenceLevel;
    EXPECT_FLOAT_EQ(tavisol::ConfidenceFactor(ConfidenceLevel::P90), 1.645F);
    EXPECT_FLOAT_EQ(tavisol::ConfidenceFactor(ConfidenceLevel::P95), 1.96F);
    EXPECT_FLOAT_EQ(tavisol::ConfidenceFactor(ConfidenceLevel::P99), 2.579F);
    EXPECT_FLOAT_EQ(tavisol::ConfidenceLow(10.0F, 2.0F, ConfidenceLevel::P90), 6.71F);
    EXPECT_FLOAT_EQ(tavisol::ConfidenceHigh(10.0F, 2.0F, ConfidenceLevel::P99), 15.158F);
    EXPECT_EQ(tavisol::ConfidenceFactor(ConfidenceLevel::None), 0.0F);
    EXPECT_EQ(tavisol::ConfidenceFactorExact(ConfidenceLevel::P90), 1.645);  // the results grids' double
}

TEST(Confidence, TheLastLevelSetWins) {
    using tavisol::ConfidenceLevel;
    using tavisol::LastLevelSet;
    EXPECT_EQ(LastLevelSet(false, false, false), ConfidenceLevel::None);
    EXPECT_EQ(LastLevelSet(true, false, false), ConfidenceLevel::P90);
    EXPECT_EQ(LastLevelSet(true, true, false), ConfidenceLevel::P95);
    EXPECT_EQ(LastLevelSet(true, false, true), ConfidenceLevel::P99);
}

// A result block whose fitted cycle is the mean alone, with one error for all months.
engine::EstimateResult Constant(float mean, float stdErr) {
    engine::EstimateResult r{};
    r.Harmonics[13] = mean;
    r.StdErr.fill(stdErr);
    return r;
}

TEST(CycleValues, FactorZeroWritesOnlyTheBestValues) {
    std::array<Single, 367> best{}, low{}, high{};
    low.fill(-7);
    high.fill(7);
    DailyValues(Constant(5, 1), 0, 0, best, low, high);
    EXPECT_FLOAT_EQ(best[1], 5);
    EXPECT_FLOAT_EQ(best[365], 5);
    EXPECT_EQ(best[0], 0);
    EXPECT_EQ(best[366], 0);  // beyond the year: untouched
    EXPECT_EQ(low[100], -7);
    EXPECT_EQ(high[100], 7);

    std::array<Single, 37> dbest{}, dlow{}, dhigh{};
    dlow.fill(-7);
    DekadalValues(Constant(5, 1), 0, 0, dbest, dlow, dhigh);
    EXPECT_FLOAT_EQ(dbest[36], 5);
    EXPECT_EQ(dlow[36], -7);
}

TEST(CycleValues, LimitsOfAmountsScaleWithTheDayAndTheDekad) {
    std::array<Single, 366> best{}, low{}, high{};
    DailyValues(Constant(30.4375f, 30.4375f), 5, 2, best, low, high);
    EXPECT_NEAR(best[200], 1, 1e-5);
    EXPECT_NEAR(high[200], 3, 1e-5);
    EXPECT_EQ(low[200], 0);  // evaporation stays at or above zero

    std::array<Single, 37> dbest{}, dlow{}, dhigh{};
    DekadalValues(Constant(30.4375f, 30.4375f), 3, 1, dbest, dlow, dhigh);
    EXPECT_NEAR(dbest[3], 11, 1e-4);
    EXPECT_NEAR(dhigh[3], 22, 1e-3);
    EXPECT_NEAR(dhigh[6], 16.5f, 1e-3);
    EXPECT_EQ(dlow[3], 0);
    EXPECT_TRUE(IsAmount(3) && IsAmount(5) && !IsAmount(4));
}

} // namespace
} // namespace tavisol::calendar
