// Growing-season calculation: the situations of each season type, crossings
// placed to the day, the turn of the year, ordering and the table's limits.

#include <gtest/gtest.h>

#include "export/growing_season.h"
#include "export_fixture.h"

namespace ex = tavisol::exports;
using exportfx::Flat;
using exportfx::Months;

namespace {

const auto kPet100 = Flat(100.0F);

struct Expected {
    float type, begin, end, humidBegin, humidEnd, beginDay, endDay, length;
};

void ExpectRow(const ex::GrowingSeasons& g, int row, const Expected& e) {
    SCOPED_TRACE("row " + std::to_string(row));
    EXPECT_EQ(g.Cell(row, ex::ColSeasonType), e.type);
    EXPECT_FLOAT_EQ(g.Cell(row, ex::ColSeasonBegin), e.begin);
    EXPECT_FLOAT_EQ(g.Cell(row, ex::ColSeasonEnd), e.end);
    EXPECT_FLOAT_EQ(g.Cell(row, ex::ColHumidBegin), e.humidBegin);
    EXPECT_FLOAT_EQ(g.Cell(row, ex::ColHumidEnd), e.humidEnd);
    EXPECT_EQ(g.Cell(row, ex::ColBeginDay), e.beginDay);
    EXPECT_EQ(g.Cell(row, ex::ColEndDay), e.endDay);
    EXPECT_EQ(g.Cell(row, ex::ColLength), e.length);
}

ex::GrowingSeasons Calculated(const tavisol::engine::Months13& rain, const tavisol::engine::Months13& pet) {
    ex::GrowingSeasons g;
    g.Calculate(rain, pet);
    return g;
}

std::string Letters(const ex::GrowingSeasons& g) {
    std::string s;
    for (int i = 1; i <= static_cast<int>(g.EventCount); ++i) s += g.SeasonEvents[static_cast<std::size_t>(i)].Letter;
    return s;
}

TEST(GrowingSeasons, NoCrossingGivesOneRowByJune) {
    ex::GrowingSeasons dry = Calculated(Flat(10.0F), kPet100);
    EXPECT_EQ(dry.SeasonCount, 1.0F);
    ExpectRow(dry, 1, {1, -999, -999, -999, -999, -999, -999, 0});

    ex::GrowingSeasons wet = Calculated(Flat(150.0F), kPet100);
    EXPECT_EQ(wet.SeasonCount, 1.0F);
    ExpectRow(wet, 1, {5, -999, -999, -999, -999, -999, -999, 365});

    // Rainfall on the PET curve all year counts as above it.
    ex::GrowingSeasons onPet = Calculated(Flat(100.0F), kPet100);
    EXPECT_EQ(onPet.EventCount, 0.0F);
    EXPECT_EQ(onPet.Cell(1, ex::ColSeasonType), 5.0F);

    // Between half the PET and the PET (on the half curve counts as above it):
    // growing all year, no dates.
    ex::GrowingSeasons between = Calculated(Flat(50.0F), kPet100);
    ExpectRow(between, 1, {4, -999, -999, -999, -999, -999, -999, 365});
}

TEST(GrowingSeasons, OneWetSeasonPlacesEachCrossingToTheDay) {
    ex::GrowingSeasons g = Calculated(Months({40, 40, 40, 80, 180, 180, 180, 90, 30, 30, 30, 30}), kPet100);
    EXPECT_EQ(Letters(g), "bBEe");
    EXPECT_EQ(g.SeasonCount, 1.0F);
    // b: 8.0 days after mid-March; B: 6.5 after mid-April; E: 27.17 after
    // mid-July; e: 20.5 after mid-August.
    ExpectRow(g, 1, {3, 23.03F, 5.09F, 21.04F, 12.08F, 83, 245, 163});
}

TEST(GrowingSeasons, SeasonOverTheTurnOfTheYearIsRotatedAndWraps) {
    ex::GrowingSeasons g = Calculated(Months({180, 180, 90, 30, 30, 30, 30, 30, 30, 40, 80, 180}), kPet100);
    EXPECT_EQ(Letters(g), "bBEe");
    EXPECT_FLOAT_EQ(g.SeasonEvents[1].Date, 23.10F);
    // Day 293 to day 95: 95 - 293 + 1 + 365.
    ExpectRow(g, 1, {3, 23.10F, 5.04F, 21.11F, 12.03F, 293, 95, 168});
}

// Crossings between mid-December and mid-January compare December with
// January of the same year (month 13 is a copy of month 1). Values worked
// by hand: CrossingDay = 30 (R - X) / ((X' - R') - (X - R)) + 0.5.
TEST(GrowingSeasons, RiseAboveHalfThePetBetweenDecemberAndJanuary) {
    // January's PET differs from December's, so the crossing depends on both.
    auto pet = kPet100;
    pet[1] = 120;
    ex::GrowingSeasons g = Calculated(Months({80, 180, 180, 90, 30, 30, 30, 30, 30, 30, 30, 40}), pet);
    // Recorded B (10.5 days after mid-January, 25 January), E (12 April),
    // e (5 May), b (10.5 days after mid-December, 25 December), then rotated
    // to the b.
    EXPECT_EQ(Letters(g), "bBEe");
    EXPECT_FLOAT_EQ(g.SeasonEvents[1].Date, 25.12F);
    // Day 355 to day 125: 125 - 355 + 1 + 365.
    ExpectRow(g, 1, {3, 25.12F, 5.05F, 25.01F, 12.04F, 355, 125, 136});
}

TEST(GrowingSeasons, FallBelowBothCurvesLateInDecemberIsDatedInJanuary) {
    ex::GrowingSeasons g = Calculated(Months({30, 30, 30, 30, 30, 30, 30, 30, 40, 80, 180, 180}), kPet100);
    // E: 16.5 days after mid-December is 1 January; e: 26.5 days, 11 January.
    EXPECT_EQ(Letters(g), "bBEe");
    ExpectRow(g, 1, {3, 23.09F, 11.01F, 21.10F, 1.01F, 263, 11, 114});
}

TEST(GrowingSeasons, RiseAboveThePetBetweenDecemberAndJanuaryWithoutHalfPetCrossing) {
    auto pet = kPet100;
    pet[1] = 150;
    ex::GrowingSeasons g = Calculated(Months({180, 90, 60, 60, 60, 60, 60, 60, 60, 60, 60, 80}), pet);
    // E in January (23 days after mid-January, 8 February), B in December
    // (12.5 days after mid-December, 27 December): rotated to the B.
    EXPECT_EQ(Letters(g), "BE");
    EXPECT_EQ(g.SeasonCount, 1.0F);
    ExpectRow(g, 1, {6, -999, -999, 27.12F, 8.02F, 357, 38, 365});
}

TEST(GrowingSeasons, TwoSeasonsLongestFirst) {
    ex::GrowingSeasons g = Calculated(Months({30, 60, 70, 20, 40, 80, 180, 180, 90, 30, 30, 30}), kPet100);
    EXPECT_EQ(Letters(g), "bebBEe");
    EXPECT_EQ(g.SeasonCount, 2.0F);
    ExpectRow(g, 1, {3, 23.05F, 5.10F, 21.06F, 12.09F, 143, 275, 133});
    ExpectRow(g, 2, {2, 5.02F, 27.03F, -999, -999, 35, 87, 53});
}

TEST(GrowingSeasons, HumidPeriodsWithoutHalfPetCrossingAreRowsOfTypeSix) {
    ex::GrowingSeasons one = Calculated(Months({60, 60, 60, 60, 80, 180, 180, 90, 60, 60, 60, 60}), kPet100);
    EXPECT_EQ(Letters(one), "BE");
    EXPECT_EQ(one.SeasonCount, 1.0F);
    ExpectRow(one, 1, {6, -999, -999, 21.05F, 12.08F, 141, 222, 365});

    // Two humid periods, the first over the turn of the year: rotated to the
    // first rise.
    ex::GrowingSeasons two = Calculated(Months({180, 90, 60, 60, 80, 180, 90, 60, 60, 60, 80, 180}), kPet100);
    EXPECT_EQ(Letters(two), "BEBE");
    EXPECT_EQ(two.SeasonCount, 2.0F);
    EXPECT_EQ(two.Cell(1, ex::ColSeasonType), 6.0F);
    EXPECT_EQ(two.Cell(2, ex::ColSeasonType), 6.0F);
    EXPECT_FLOAT_EQ(two.Cell(1, ex::ColHumidBegin), 21.05F);
    EXPECT_FLOAT_EQ(two.Cell(2, ex::ColHumidBegin), 21.11F);
    EXPECT_EQ(two.Cell(2, ex::ColBeginDay), 321.0F);
}

TEST(GrowingSeasons, RainfallEqualToThePetCountsAsJustAbove) {
    ex::GrowingSeasons g = Calculated(Months({60, 60, 60, 60, 60, 100, 60, 60, 60, 60, 60, 60}), kPet100);
    EXPECT_EQ(Letters(g), "BE");
    EXPECT_EQ(g.Cell(1, ex::ColSeasonType), 6.0F);
}

TEST(GrowingSeasons, AdjustTurnsCrossingDaysIntoDates) {
    ex::GrowingSeasons g;
    // Halfway between mid-March and mid-April: day 0 of April.
    g.CrossingDay = 15.5F;
    g.Adjust("b", 3);
    EXPECT_EQ(g.EventMonth, 4.0F);
    EXPECT_EQ(g.CrossingDay, 0.5F);
    EXPECT_FLOAT_EQ(g.SeasonEvents[1].Date, 0.04F);
    // Exactly mid-month after the shift becomes day 1.
    g.CrossingDay = 15.0F;
    g.Adjust("B", 6);
    EXPECT_FLOAT_EQ(g.SeasonEvents[2].Date, 1.07F);
    // Late December runs into January.
    g.CrossingDay = 20.0F;
    g.Adjust("e", 12);
    EXPECT_FLOAT_EQ(g.SeasonEvents[3].Date, 5.01F);
    g.CrossingDay = 3.4F;
    g.Adjust("E", 12);
    EXPECT_FLOAT_EQ(g.SeasonEvents[4].Date, 18.12F);
    EXPECT_EQ(g.EventCount, 4.0F);
    EXPECT_EQ(Letters(g), "bBeE");
}

TEST(GrowingSeasons, DayNumbersAndLengthOverTheYearEnd) {
    EXPECT_EQ(ex::GrowingSeasons::GetNumDay(4, 0), 90);
    EXPECT_EQ(ex::GrowingSeasons::GetNumDay(12, 30), 360);
    ex::GrowingSeasons g;
    g.SeasonTable[1][ex::ColSeasonBegin] = 30.10F;
    g.SeasonTable[1][ex::ColSeasonEnd] = 30.02F;
    g.Dates(1);
    EXPECT_EQ(g.Cell(1, ex::ColBeginDay), 300.0F);
    EXPECT_EQ(g.Cell(1, ex::ColEndDay), 60.0F);
    EXPECT_EQ(g.Cell(1, ex::ColLength), 126.0F);
}

TEST(GrowingSeasons, SeveralHumidPeriodsInOneSeasonEndTheSeasonAtItsFall) {
    ex::GrowingSeasons g = Calculated(Months({30, 30, 40, 80, 180, 90, 180, 90, 30, 30, 30, 30}), kPet100);
    EXPECT_EQ(Letters(g), "bBEBEe");
    EXPECT_EQ(g.SeasonCount, 1.0F);
    // Season from the rise above half the PET to the fall below it; humid
    // span from the first rise above the PET to the last fall below it.
    ExpectRow(g, 1, {3, 23.03F, 5.09F, 21.04F, 12.08F, 83, 245, 163});
}

TEST(GrowingSeasons, MoreThanFiveSeasonsIsAnError) {
    ex::GrowingSeasons g;
    EXPECT_THROW(g.Calculate(Months({30, 70, 30, 70, 30, 70, 30, 70, 30, 70, 30, 70}), kPet100),
                 ex::SeasonRangeError);
    // Five still fit.
    ex::GrowingSeasons five = Calculated(Months({30, 70, 30, 70, 30, 70, 30, 70, 30, 70, 30, 30}), kPet100);
    EXPECT_EQ(five.SeasonCount, 5.0F);
}

TEST(GrowingSeasons, OrderingExchangesOnlyLongerRows) {
    ex::GrowingSeasons g;
    g.SeasonCount = 3;
    for (int s = 1; s <= 3; ++s) g.SeasonTable[static_cast<std::size_t>(s)][ex::ColSeasonType] = 4;
    g.CompleteSeasons();
    // All 365: nothing exchanged; then one longer row moves up.
    EXPECT_EQ(g.Cell(3, ex::ColLength), 365.0F);
    g.SeasonTable[1] = {0, 2, 1.01F, 11.01F, -999, -999, 0, 0, 0};
    g.SeasonTable[2] = {0, 2, 1.02F, 11.02F, -999, -999, 0, 0, 0};
    g.SeasonTable[3] = {0, 2, 1.03F, 1.06F, -999, -999, 0, 0, 0};
    g.CompleteSeasons();
    // Lengths 11, 11, 91: the third moves to the top in exchange for the
    // first; the two of equal length are not exchanged after that.
    EXPECT_FLOAT_EQ(g.Cell(1, ex::ColSeasonBegin), 1.03F);
    EXPECT_EQ(g.Cell(1, ex::ColLength), 91.0F);
    EXPECT_FLOAT_EQ(g.Cell(2, ex::ColSeasonBegin), 1.02F);
    EXPECT_FLOAT_EQ(g.Cell(3, ex::ColSeasonBegin), 1.01F);
}

} // namespace
