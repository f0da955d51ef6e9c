#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "numfmt/numfmt.h"

namespace nf = tavisol::numfmt;

namespace {

const nf::Locale en = nf::Locale::english();
const nf::Locale de = nf::Locale::decimalComma();

TEST(Val, ReadsTheLeadingNumberWithThePoint) {
    EXPECT_DOUBLE_EQ(nf::val("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(nf::val("12.5abc"), 12.5);
    EXPECT_DOUBLE_EQ(nf::val("-0.75"), -0.75);
    EXPECT_DOUBLE_EQ(nf::val("+3"), 3.0);
    EXPECT_DOUBLE_EQ(nf::val(".5"), 0.5);
    EXPECT_DOUBLE_EQ(nf::val("-.5"), -0.5);
    EXPECT_DOUBLE_EQ(nf::val("5."), 5.0);
    EXPECT_DOUBLE_EQ(nf::val("1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(nf::val("1,5"), 1.0);
    EXPECT_DOUBLE_EQ(nf::val("0.1"), 0.1);
}

TEST(Val, NoNumberReadsAsZero) {
    EXPECT_EQ(nf::val(""), 0.0);
    EXPECT_EQ(nf::val("abc"), 0.0);
    EXPECT_EQ(nf::val("-"), 0.0);
    EXPECT_EQ(nf::val("."), 0.0);
    EXPECT_EQ(nf::val("-.e5"), 0.0);
    EXPECT_EQ(nf::val("x12"), 0.0);
}

TEST(Val, BlanksTabsAndLineFeedsAreRemovedEverywhere) {
    EXPECT_DOUBLE_EQ(nf::val("  42"), 42.0);
    EXPECT_DOUBLE_EQ(nf::val("\t-1 2 . 5\n"), -12.5);
    EXPECT_DOUBLE_EQ(nf::val("- 7"), -7.0);
    // A carriage return is not a blank: it ends the number.
    EXPECT_DOUBLE_EQ(nf::val("3\r4"), 3.0);
}

TEST(Val, OptionalExponentWithEOrD) {
    EXPECT_DOUBLE_EQ(nf::val("1.5E3"), 1500.0);
    EXPECT_DOUBLE_EQ(nf::val("1.5e-2"), 0.015);
    EXPECT_DOUBLE_EQ(nf::val("2D2"), 200.0);
    EXPECT_DOUBLE_EQ(nf::val("2e"), 2.0);
    EXPECT_DOUBLE_EQ(nf::val("2e+"), 2.0);
    EXPECT_DOUBLE_EQ(nf::val("2ex"), 2.0);
}

TEST(Val, OutOfRangeGivesInfinityOrZeroWithoutThrowing) {
    EXPECT_EQ(nf::val("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(nf::val("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(nf::val("1e-999"), 0.0);
}

TEST(Val, CommaCountsAsPointInInputFields) {
    EXPECT_DOUBLE_EQ(nf::valCommaAsPoint("1,5"), 1.5);
    EXPECT_DOUBLE_EQ(nf::valCommaAsPoint("0,1km"), 0.1);
    EXPECT_DOUBLE_EQ(nf::valCommaAsPoint("1,000,5"), 1.0);
}

TEST(ParseRegional, ReadsBackWhatTheFormsWrite) {
    for (const nf::Locale* loc : {&en, &de}) {
        for (float v : {13.01f, -5.5f, 0.1f, 17.0f, 1e7f, 1.5e-5f, -9999.0f}) {
            const auto back = nf::parseRegional(nf::general(v, *loc), *loc);
            ASSERT_TRUE(back.has_value()) << nf::general(v, *loc);
            EXPECT_EQ(static_cast<float>(*back), v);
        }
        for (double v : {0.0, 1234567.25, -0.5, 41.99}) {
            const auto back = nf::parseRegional(nf::formatNumber(v, 2, *loc), *loc);
            ASSERT_TRUE(back.has_value());
            EXPECT_DOUBLE_EQ(*back, v);
        }
    }
    EXPECT_DOUBLE_EQ(*nf::parseRegional(" 13,01 ", de), 13.01);
    EXPECT_DOUBLE_EQ(*nf::parseRegional(".5", en), 0.5);
    EXPECT_DOUBLE_EQ(*nf::parseRegional("+2", en), 2.0);
}

TEST(ParseRegional, RejectsTextThatIsNotOneNumber) {
    EXPECT_FALSE(nf::parseRegional("", en));
    EXPECT_FALSE(nf::parseRegional("abc", en));
    EXPECT_FALSE(nf::parseRegional("12abc", en));
    EXPECT_FALSE(nf::parseRegional("1.2.3", en));
    EXPECT_FALSE(nf::parseRegional("1e", en));
    // A sign or an exponent alone is no number either.
    for (const char *bare : {"-", "+", "e5", "-e5", "+.e5"})
        EXPECT_FALSE(nf::parseRegional(bare, en)) << bare;
    EXPECT_FALSE(nf::parseRegional("-", de));
    EXPECT_FALSE(nf::parseRegional(",5,", de));
}

TEST(Rounding, ReadValuesBecomeSinglesOrInfinities) {
    EXPECT_EQ(nf::toSingle(1.5), 1.5F);
    EXPECT_EQ(nf::toSingle(1e39), std::numeric_limits<float>::infinity());
    EXPECT_EQ(nf::toSingle(-1e39), -std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(nf::toSingle(std::nan(""))));
}

TEST(Rounding, HalvesToEvenForIntegerConversions) {
    EXPECT_EQ(nf::roundHalfEven(2.5), 2.0);
    EXPECT_EQ(nf::roundHalfEven(3.5), 4.0);
    EXPECT_EQ(nf::roundHalfEven(-2.5), -2.0);
    EXPECT_EQ(nf::roundHalfEven(-3.5), -4.0);
    EXPECT_EQ(nf::roundHalfEven(0.5), 0.0);
    EXPECT_EQ(nf::roundHalfEven(2.5000001), 3.0);
    EXPECT_EQ(nf::roundHalfEven(-0.4), -0.0);
    EXPECT_EQ(nf::cint(7.5), 8);
    EXPECT_EQ(nf::cint(2.5), 2);
    EXPECT_EQ(nf::cint(-32768.4), -32768);
    EXPECT_EQ(nf::clng(1.5), 2);
    EXPECT_EQ(nf::clng(-2147483648.0), std::numeric_limits<std::int32_t>::min());
}

TEST(Rounding, IntegerConversionsOverflowLikeTheOriginal) {
    EXPECT_THROW(nf::cint(32767.5), std::overflow_error);
    EXPECT_THROW(nf::cint(-32769.0), std::overflow_error);
    EXPECT_THROW(nf::cint(std::numeric_limits<double>::quiet_NaN()), std::overflow_error);
    EXPECT_EQ(nf::cint(32767.49), 32767);
    EXPECT_THROW(nf::clng(2147483647.5), std::overflow_error);
    EXPECT_THROW(nf::clng(std::numeric_limits<double>::infinity()), std::overflow_error);
}

TEST(Rounding, IntFloorsAndFixTruncates) {
    EXPECT_EQ(nf::intPart(0.5), 0.0);
    EXPECT_EQ(nf::intPart(-0.5), -1.0);
    EXPECT_EQ(nf::intPart(-2.0), -2.0);
    EXPECT_EQ(nf::fix(-0.5), 0.0);
    EXPECT_EQ(nf::fix(-2.7), -2.0);
    EXPECT_EQ(nf::fix(2.7), 2.0);
}

TEST(Rounding, DecimalRoundingMatchesTheMasks) {
    EXPECT_EQ(nf::roundDecimals(7.125f, 2), 7.13f);
    EXPECT_EQ(nf::roundDecimals(17.5f, 0), 18.0f);
    EXPECT_EQ(nf::roundDecimals(13.004999f, 2), 13.0f);
    EXPECT_EQ(nf::roundDecimals(2.675, 2), 2.68);
    EXPECT_EQ(nf::roundDecimals(-2.675, 2), -2.68);
    EXPECT_EQ(nf::roundDecimals(123.456, -1), 120.0);
    EXPECT_EQ(nf::roundDecimals(0.004f, 3), 0.004f);
    for (float v : {41.987f, -5.555f, 0.125f, 179.995f}) {
        const float r = nf::roundDecimals(v, 2);
        EXPECT_EQ(nf::formatMask(r, "##0.00", en), nf::formatMask(v, "##0.00", en));
        EXPECT_EQ(nf::formatMask(r, "##0.00000", en), nf::formatMask(v, "##0.00", en) + "000");
    }
}

TEST(Rounding, DecimalRoundingWithHalvesToEven) {
    EXPECT_EQ(nf::roundDecimalsHalfEven(0.125, 2), 0.12);
    EXPECT_EQ(nf::roundDecimalsHalfEven(0.135, 2), 0.14);
    EXPECT_EQ(nf::roundDecimalsHalfEven(0.1251, 2), 0.13);
    EXPECT_EQ(nf::roundDecimalsHalfEven(-2.5f, 0), -2.0f);
    EXPECT_EQ(nf::roundDecimalsHalfEven(0.5, 0), 0.0);
    EXPECT_EQ(nf::roundDecimalsHalfEven(86.5f, 0), 86.0f);
}

} // namespace
