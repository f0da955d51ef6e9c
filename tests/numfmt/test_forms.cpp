#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "numfmt/numfmt.h"

namespace nf = tavisol::numfmt;

namespace {

const nf::Locale en = nf::Locale::english();
const nf::Locale de = nf::Locale::decimalComma();

TEST(General, ShortestSingleFormWithTheLocaleDecimalSign) {
    EXPECT_EQ(nf::general(13.01f, en), "13.01");
    EXPECT_EQ(nf::general(41.99f, en), "41.99");
    EXPECT_EQ(nf::general(17.0f, en), "17");
    EXPECT_EQ(nf::general(-5.5f, en), "-5.5");
    EXPECT_EQ(nf::general(-5.5f, de), "-5,5");
    EXPECT_EQ(nf::general(0.1f, en), "0.1");
    EXPECT_EQ(nf::general(1000.0f, de), "1000");
    EXPECT_EQ(nf::general(1.0f / 3.0f, en), "0.3333333");
    EXPECT_EQ(nf::general(2.0f / 3.0f, en), "0.6666667");
    EXPECT_EQ(nf::general(1234567.0f, en), "1234567");
    EXPECT_EQ(nf::general(-0.0f, en), "0");
    EXPECT_EQ(nf::general(0.0001f, en), "0.0001");
}

TEST(General, ExponentFormForLargeAndSmallSingles) {
    EXPECT_EQ(nf::general(1e7f, en), "1E+07");
    EXPECT_EQ(nf::general(12345678.0f, en), "1.234568E+07");
    EXPECT_EQ(nf::general(9999999.6f, en), "1E+07");
    EXPECT_EQ(nf::general(0.00001f, en), "1E-05");
    EXPECT_EQ(nf::general(-1.5e-5f, de), "-1,5E-05");
    EXPECT_EQ(nf::general(3.4e38f, en), "3.4E+38");
}

TEST(General, DoublesKeepFifteenDigits) {
    EXPECT_EQ(nf::general(0.1 + 0.2, en), "0.3");
    EXPECT_EQ(nf::general(static_cast<double>(0.1f), en), "0.100000001490116");
    EXPECT_EQ(nf::general(123456789012345.0, en), "123456789012345");
    EXPECT_EQ(nf::general(1e15, en), "1E+15");
    EXPECT_EQ(nf::general(1e-100, en), "1E-100");
    EXPECT_EQ(nf::general(std::numeric_limits<double>::quiet_NaN(), en), "NaN");
}

TEST(General, IntegersAsTheyAre) {
    EXPECT_EQ(nf::general(365, en), "365");
    EXPECT_EQ(nf::general(std::int16_t{-999}, en), "-999");
    EXPECT_EQ(nf::general(std::numeric_limits<long long>::min(), en), "-9223372036854775808");
    EXPECT_EQ(nf::general(42u, en), "42");
}

TEST(StrForm, SignPositionPointAndNoLeadingZero) {
    EXPECT_EQ(nf::strForm(0.5f), " .5");
    EXPECT_EQ(nf::strForm(-0.5f), "-.5");
    EXPECT_EQ(nf::strForm(13.01f), " 13.01");
    EXPECT_EQ(nf::strForm(0.0f), " 0");
    EXPECT_EQ(nf::strForm(-0.0), " 0");
    EXPECT_EQ(nf::strForm(0.001f), " .001");
    EXPECT_EQ(nf::strForm(1e7f), " 1E+07");
    EXPECT_EQ(nf::strForm(1.0 / 3.0), " .333333333333333");
    EXPECT_EQ(nf::strForm(7), " 7");
    EXPECT_EQ(nf::strForm(-7), "-7");
}

TEST(PrintNumber, SignPositionLocaleDecimalAndTrailingBlank) {
    EXPECT_EQ(nf::printNumber(0.5f, en), " .5 ");
    EXPECT_EQ(nf::printNumber(0.5f, de), " ,5 ");
    EXPECT_EQ(nf::printNumber(-12.25f, de), "-12,25 ");
    EXPECT_EQ(nf::printNumber(1234.5f, en), " 1234.5 ");
    EXPECT_EQ(nf::printNumber(0.0f, en), " 0 ");
    EXPECT_EQ(nf::printNumber(12, en), " 12 ");
    EXPECT_EQ(nf::printNumber(-3, en), "-3 ");
    EXPECT_EQ(nf::printNumber(12345678.0f, en), " 1.234568E+07 ");
}

TEST(Align, RightAlignNeverCuts) {
    EXPECT_EQ(nf::rightAlign("Best", 10), "      Best");
    EXPECT_EQ(nf::rightAlign("", 3), "   ");
    EXPECT_EQ(nf::rightAlign("12345678901", 10), "12345678901");
    EXPECT_EQ(nf::rightAlign("x", 0), "x");
    EXPECT_EQ(nf::rightAlign("°C ", 5), "  °C ");
}

TEST(Align, RightAlignCutKeepsTheRightmostCharacters) {
    EXPECT_EQ(nf::rightAlignCut("12.5", 10), "      12.5");
    EXPECT_EQ(nf::rightAlignCut("12345678901", 10), "2345678901");
    EXPECT_EQ(nf::rightAlignCut("ab°cd", 3), "°cd");
    EXPECT_EQ(nf::rightAlignCut("abc", 0), "");
}

TEST(Align, PadRightCountsCharacters) {
    EXPECT_EQ(nf::padRight("Temp_mean_mly", 25), "Temp_mean_mly            ");
    EXPECT_EQ(nf::padRight("1036.8", 6), "1036.8");
    EXPECT_EQ(nf::padRight("°", 3), "°  ");
    EXPECT_EQ(nf::charCount("Lat = 41.99°"), 12u);
}

TEST(TextMask, AtSignsRightAlignWithoutCutting) {
    EXPECT_EQ(nf::formatText("Best", "@@@@@@@@@@"), "      Best");
    EXPECT_EQ(nf::formatText("", "@@@@@@"), "      ");
    EXPECT_EQ(nf::formatText("Low (2.5%)", "@@@@@@@@"), "Low (2.5%)");
    EXPECT_EQ(nf::formatText("°C ", "@@@@@@@"), "    °C ");
    EXPECT_EQ(nf::formatText("Strange", "@@@@@@@@@@@@@@@"), "        Strange");
}

TEST(TextMask, AmpersandLiteralsAndLeftFill) {
    EXPECT_EQ(nf::formatText("ab", "&&&&"), "ab");
    EXPECT_EQ(nf::formatText("1234", "@@-@@"), "12-34");
    EXPECT_EQ(nf::formatText("123", "@@-@@"), " 1-23");
    EXPECT_EQ(nf::formatText("ab", "!@@@@"), "ab  ");
    EXPECT_EQ(nf::formatText("abcdef", "!@@@"), "abcdef");
}

} // namespace
