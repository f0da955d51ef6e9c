#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "shell/outputformats.h"
#include "shell/statuslocation.h"

namespace {

using namespace tavisol;

TEST(RoundToDecimals, RoundsHalfAwayFromZeroOnTheDecimalForm) {
    EXPECT_EQ(RoundToDecimals(17.5F, 0), 18.0F);
    EXPECT_EQ(RoundToDecimals(-17.5F, 0), -18.0F);
    EXPECT_EQ(RoundToDecimals(16.5F, 0), 17.0F); // not to even
    EXPECT_EQ(RoundToDecimals(7.125F, 2), 7.13F);
    EXPECT_EQ(RoundToDecimals(-7.125F, 2), -7.13F);
    // 12.995 is stored a little below; the user typed 12.995 and sees 13.
    EXPECT_EQ(RoundToDecimals(12.995F, 2), 13.0F);
    EXPECT_EQ(RoundToDecimals(0.285F, 2), 0.29F);
    EXPECT_EQ(RoundToDecimals(13.0149F, 2), 13.01F);
    EXPECT_EQ(RoundToDecimals(179.996F, 2), 180.0F);
    EXPECT_EQ(RoundToDecimals(0.005F, 2), 0.01F);
    EXPECT_EQ(RoundToDecimals(0.0049F, 2), 0.0F);
    EXPECT_EQ(RoundToDecimals(0.4F, 0), 0.0F);
    EXPECT_EQ(RoundToDecimals(0.5F, 0), 1.0F);
    EXPECT_EQ(RoundToDecimals(8848.4F, 0), 8848.0F);
}

TEST(RoundToDecimals, LeavesNoNegativeZeroAndKeepsRoundedValues) {
    const float r = RoundToDecimals(-0.001F, 2);
    EXPECT_EQ(r, 0.0F);
    EXPECT_FALSE(std::signbit(r));
    EXPECT_EQ(GeneralNumber(r), "0");
    for (float v : {13.01F, 41.99F, -5.5F, 17.0F, -179.99F, 89.99F})
        EXPECT_EQ(RoundToDecimals(v, 2), v) << v;
}

TEST(GeneralNumber, ShortestFormWithoutTrailingZeros) {
    EXPECT_EQ(GeneralNumber(13.01F), "13.01");
    EXPECT_EQ(GeneralNumber(17.0F), "17");
    EXPECT_EQ(GeneralNumber(-5.5F), "-5.5");
    EXPECT_EQ(GeneralNumber(13.0F), "13");
    EXPECT_EQ(GeneralNumber(0.1F), "0.1");
    EXPECT_EQ(GeneralNumber(-179.99F), "-179.99");
    EXPECT_EQ(GeneralNumber(1234.567F), "1234.567");
    EXPECT_EQ(GeneralNumber(1e7F), "1E+07");  // the one general form of the number kit
}

TEST(LocationTexts, GeneratedNameAndPanelText) {
    EXPECT_EQ(GeneratedLocationName(13.01F, 41.99F, 17.0F), "ST-Lon13.01-Lat41.99-Alt-17");
    EXPECT_EQ(GeneratedLocationName(-5.5F, -33.25F, -12.0F), "ST-Lon-5.5-Lat-33.25-Alt--12");
    EXPECT_EQ(LocationPanelText(13.01F, 41.99F, 17.0F), " Lon : 13.01 Lat : 41.99 Alt : 17");
}

TEST(NormalizeLocation, RoundsInPlaceAndNamesOnlyAnEmptyName) {
    std::string name;
    float lon = 12.996F, lat = 41.994F, alt = 17.5F;
    EXPECT_EQ(NormalizeLocation(name, lon, lat, alt), "ST-Lon13-Lat41.99-Alt-18");
    EXPECT_EQ(name, "ST-Lon13-Lat41.99-Alt-18");
    EXPECT_EQ(lon, 13.0F);
    EXPECT_EQ(lat, 41.99F);
    EXPECT_EQ(alt, 18.0F);

    std::string blanks = "   ";
    float lon2 = -5.5F, lat2 = 1.0F, alt2 = 0.0F;
    EXPECT_EQ(NormalizeLocation(blanks, lon2, lat2, alt2), "   ");

    std::string west;
    float lon3 = -5.5F, lat3 = 40.123F, alt3 = 3.0F;
    NormalizeLocation(west, lon3, lat3, alt3);
    EXPECT_EQ(west.rfind("ST-Lon-5.5-Lat40.12", 0), 0U) << west;

    // A second pass over a rounded location changes nothing.
    std::string again = name;
    NormalizeLocation(again, lon, lat, alt);
    EXPECT_EQ(again, name);
    EXPECT_EQ(lon, 13.0F);
}

TEST(OutputFormats, NamesOfTheSevenCodes) {
    EXPECT_EQ(OutputFormatName(1), "Tavisol Format");
    EXPECT_EQ(OutputFormatName(2), "Standard Quorrel Format");
    EXPECT_EQ(OutputFormatName(3), "LGS Format (input)");
    EXPECT_EQ(OutputFormatName(4), "LGS Format (output)");
    EXPECT_EQ(OutputFormatName(5), "Ketlo Format");
    EXPECT_EQ(OutputFormatName(6), "Vistrel Format");
    EXPECT_EQ(OutputFormatName(7), "Furrowin Format");
    EXPECT_TRUE(OutputFormatName(0).empty());
    EXPECT_TRUE(OutputFormatName(8).empty());
    EXPECT_FALSE(IsOutputFormat(-1));
}

} // namespace
