#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "numfmt/numfmt.h"

namespace nf = tavisol::numfmt;

namespace {

const nf::Locale en = nf::Locale::english();
const nf::Locale de = nf::Locale::decimalComma();

TEST(Mask, TwoDecimalMasksWriteOneIntegerDigitAndNoGrouping) {
    for (const char* mask : {"##0.00", "###0.00"}) {
        SCOPED_TRACE(mask);
        EXPECT_EQ(nf::formatMask(0.0, mask, en), "0.00");
        EXPECT_EQ(nf::formatMask(0.4, mask, en), "0.40");
        EXPECT_EQ(nf::formatMask(41.99f, mask, en), "41.99");
        EXPECT_EQ(nf::formatMask(-5.5, mask, en), "-5.50");
        EXPECT_EQ(nf::formatMask(12345.678, mask, en), "12345.68");
        EXPECT_EQ(nf::formatMask(12345.678, mask, de), "12345,68");
    }
}

TEST(Mask, OptionalDigitsAddNoLeadingZero) {
    EXPECT_EQ(nf::formatMask(0.4, "####.0", en), ".4");
    EXPECT_EQ(nf::formatMask(0.0, "####.0", en), ".0");
    EXPECT_EQ(nf::formatMask(0.3f, "####.0", de), ",3");
    EXPECT_EQ(nf::formatMask(-12.25, "####.0", en), "-12.3");
    EXPECT_EQ(nf::formatMask(0.5, "###.00", en), ".50");
    EXPECT_EQ(nf::formatMask(41.9f, "###.00", en), "41.90");
    EXPECT_EQ(nf::formatMask(12.483f, "####.00", en), "12.48");
    EXPECT_EQ(nf::formatMask(17.0f, "####", en), "17");
    // Only optional digits and nothing significant: nothing is written.
    EXPECT_EQ(nf::formatMask(0.0f, "####", en), "");
    EXPECT_EQ(nf::formatMask(0.4f, "####", en), "");
    EXPECT_EQ(nf::formatMask(0.5f, "####", en), "1");
}

TEST(Mask, IntegerDigitsBeyondTheMaskAreKept) {
    EXPECT_EQ(nf::formatMask(123456.0, "##0", en), "123456");
    EXPECT_EQ(nf::formatMask(9999.0f, "###0", en), "9999");
    EXPECT_EQ(nf::formatMask(359.6, "##0", en), "360");
    EXPECT_EQ(nf::formatMask(1000.0f, "##.00", en), "1000.00");
}

TEST(Mask, LeadingZerosUpToTheLeftmostZeroPlaceholder) {
    EXPECT_EQ(nf::formatMask(13.01f, "0##.00", en), "013.01");
    EXPECT_EQ(nf::formatMask(-5.5f, "0##.00", en), "-005.50");
    EXPECT_EQ(nf::formatMask(-70.25f, "0##.00", en), "-070.25");
    EXPECT_EQ(nf::formatMask(179.999, "0##.00", en), "180.00");
    EXPECT_EQ(nf::formatMask(0.0, "0##.00", en), "000.00");
    EXPECT_EQ(nf::formatMask(5.1f, "##.00", en), "5.10");
    EXPECT_EQ(nf::formatMask(16.03f, "##.00", en), "16.03");
}

TEST(Mask, FourDecimalsAndOptionalDecimals) {
    EXPECT_EQ(nf::formatMask(0.25f, "0.0000", en), "0.2500");
    EXPECT_EQ(nf::formatMask(1.0f / 3.0f, "0.0000", de), "0,3333");
    EXPECT_EQ(nf::formatMask(12.5, "###0.0###", en), "12.5");
    EXPECT_EQ(nf::formatMask(12.0, "###0.0###", en), "12.0");
    EXPECT_EQ(nf::formatMask(12.34567, "###0.0###", en), "12.3457");
    EXPECT_EQ(nf::formatMask(-0.125, "###0.0###", en), "-0.125");
    EXPECT_EQ(nf::formatMask(7.25, "##0.0", en), "7.3");
}

TEST(Mask, HalvesRoundAwayFromZeroOnTheDecimalValue) {
    EXPECT_EQ(nf::formatMask(17.5f, "###0", en), "18");
    EXPECT_EQ(nf::formatMask(-17.5f, "###0", en), "-18");
    EXPECT_EQ(nf::formatMask(16.5f, "###0", en), "17");
    EXPECT_EQ(nf::formatMask(7.125f, "##0.00", en), "7.13");
    // 2.675 and 1.005 are stored just below the half; the decimal value counts.
    EXPECT_EQ(nf::formatMask(2.675, "##0.00", en), "2.68");
    EXPECT_EQ(nf::formatMask(2.675f, "##0.00", en), "2.68");
    EXPECT_EQ(nf::formatMask(1.005, "0.00", en), "1.01");
    EXPECT_EQ(nf::formatMask(-1.005, "0.00", en), "-1.01");
    EXPECT_EQ(nf::formatMask(0.05f, "####.0", en), ".1");
    // Carry through every digit.
    EXPECT_EQ(nf::formatMask(999.995, "##0.00", en), "1000.00");
    EXPECT_EQ(nf::formatMask(9.96f, "####.0", en), "10.0");
    // Just below the half stays down.
    EXPECT_EQ(nf::formatMask(2.6749, "##0.00", en), "2.67");
}

TEST(Mask, ValuesThatRoundToZeroCarryNoSign) {
    EXPECT_EQ(nf::formatMask(-0.001, "0.00", en), "0.00");
    EXPECT_EQ(nf::formatMask(-0.04f, "####.0", en), ".0");
    EXPECT_EQ(nf::formatMask(-0.0, "###0", en), "0");
    EXPECT_EQ(nf::formatMask(-0.3, "####", en), "");
    EXPECT_EQ(nf::formatMask(-0.005, "0.00", en), "-0.01");
}

TEST(Mask, CommaInTheIntegerPartGroupsDigits) {
    EXPECT_EQ(nf::formatMask(1234567.891, "#,##0.00", en), "1,234,567.89");
    EXPECT_EQ(nf::formatMask(1234567.891, "#,##0.00", de), "1.234.567,89");
    EXPECT_EQ(nf::formatMask(-999.0, "#,##0", en), "-999");
    EXPECT_EQ(nf::formatMask(-1000.0, "#,##0", en), "-1,000");
    nf::Locale noGroup = en;
    noGroup.group.clear();
    EXPECT_EQ(nf::formatMask(1234567.0, "#,##0", noGroup), "1234567");
}

TEST(Mask, LiteralPrefixAndSuffixAndEmptyMask) {
    EXPECT_EQ(nf::formatMask(5.0, "[0.0]", en), "[5.0]");
    EXPECT_EQ(nf::formatMask(-5.0, "0.0 °C", en), "-5.0 °C");
    EXPECT_EQ(nf::formatMask(0.1f, "", de), "0,1");
    EXPECT_EQ(nf::formatMask(12, "###0.00", en), "12.00");
}

TEST(Mask, NonFiniteValuesAreNamed) {
    EXPECT_EQ(nf::formatMask(std::numeric_limits<double>::quiet_NaN(), "0.00", en), "NaN");
    EXPECT_EQ(nf::formatMask(std::numeric_limits<float>::infinity(), "0.00", en), "Inf");
    EXPECT_EQ(nf::formatMask(-std::numeric_limits<double>::infinity(), "0.00", en), "-Inf");
}

TEST(Mask, HugeAndTinyValuesStayExact) {
    EXPECT_EQ(nf::formatMask(1e20, "0", en), "100000000000000000000");
    EXPECT_EQ(nf::formatMask(1.5e-10, "0.00", en), "0.00");
    EXPECT_EQ(nf::formatMask(3.4e38f, "0", en).size(), 39u);
}

TEST(ForcedPoint, SameBytesInEveryLocale) {
    EXPECT_EQ(nf::forcedPoint(13.01f, "0##.00"), "013.01");
    EXPECT_EQ(nf::forcedPoint(41.99f, "####.00"), "41.99");
    EXPECT_EQ(nf::forcedPoint(17.0f, "####.0"), "17.0");
    EXPECT_EQ(nf::forcedPoint(17, "####"), "17");
    EXPECT_EQ(nf::forcedPoint(1234567.0, "#,##0.00"), "1234567.00");
    EXPECT_EQ(nf::forcedPoint(-0.4f, "###.00"), "-.40");
}

TEST(ForcedPoint, FixedDecimalsWithoutGrouping) {
    EXPECT_EQ(nf::forcedPointFixed(1234.5f, 2), "1234.50");
    EXPECT_EQ(nf::forcedPointFixed(0.5, 2), "0.50");
    EXPECT_EQ(nf::forcedPointFixed(-3.25, 1), "-3.3");
    EXPECT_EQ(nf::forcedPointFixed(-0.001, 2), "0.00");
    EXPECT_EQ(nf::forcedPointFixed(12.0f * 86.4f, 1), "1036.8");
    EXPECT_EQ(nf::forcedPointFixed(124.0f / 31.0f, 1), "4.0");
    EXPECT_EQ(nf::forcedPointFixed(86.5f, 0), "87");
    EXPECT_EQ(nf::forcedPointFixed(2.5, -1), "3");
}

TEST(RegionalNumber, DecimalsGroupingAndLeadingZero) {
    EXPECT_EQ(nf::formatNumber(9999.0f, 2, en), "9,999.00");
    EXPECT_EQ(nf::formatNumber(9999.0f, 2, de), "9.999,00");
    EXPECT_EQ(nf::formatNumber(999999.0, 0, en), "999,999");
    EXPECT_EQ(nf::formatNumber(-9999.0, 0, de), "-9.999");
    EXPECT_EQ(nf::formatNumber(0.5f, 2, en), "0.50");
    EXPECT_EQ(nf::formatNumber(-0.125, 2, en), "-0.13");
    EXPECT_EQ(nf::formatNumber(365.0f, 2, en), "365.00");
    EXPECT_EQ(nf::formatNumber(0.4, 0, en), "0");
    nf::Locale noLead = en;
    noLead.leadingZero = false;
    EXPECT_EQ(nf::formatNumber(0.5, 2, noLead), ".50");
    EXPECT_EQ(nf::formatNumber(0.4, 0, noLead), "0");
}

TEST(RegionalNumber, DefaultDecimalsComeFromTheLocale) {
    EXPECT_EQ(nf::formatNumber(1.0f, en), "1.00");
    nf::Locale three = de;
    three.defaultDecimals = 3;
    EXPECT_EQ(nf::formatNumber(1.0, three), "1,000");
}

} // namespace
