#include <gtest/gtest.h>

#include "climate.h"
#include "geo.h"
#include "real48.h"
#include "textout.h"
#include "tiling.h"

#include <QStringList>

#include <cmath>
#include <random>
#include <set>

using namespace demodata;

namespace {

TEST(Real48, EncodesTheKnownValuesOfTheHeaderFields)
{
    EXPECT_EQ(encodeReal48(50.0), (Real48Bytes{134, 0, 0, 0, 0, 0x48}));
    EXPECT_EQ(encodeReal48(-50.0), (Real48Bytes{134, 0, 0, 0, 0, 0xC8}));
    EXPECT_EQ(encodeReal48(0.0), (Real48Bytes{}));
    EXPECT_EQ(encodeReal48(-0.0), (Real48Bytes{}));
    EXPECT_EQ(decodeReal48(Real48Bytes{}), 0.0);
    // 0.004 has no exact form: the fraction is cut, so it comes back a hair below.
    const double small = decodeReal48(encodeReal48(0.004));
    EXPECT_LE(small, 0.004);
    EXPECT_NEAR(small, 0.004, 1e-13);
}

TEST(Real48, RoundTripsHeaderValuesWithinItsPrecision)
{
    for (double v : {0.05, 0.1, 0.125, 1.0 / 12, 700.0, 380.0, 53.0, -60.25, 10.0, 250.0, -250.0, 8848.0, 1e-6}) {
        const double back = decodeReal48(encodeReal48(v));
        EXPECT_NEAR(back, v, std::abs(v) * std::ldexp(1.0, -38)) << v;
        EXPECT_EQ(std::signbit(back), std::signbit(v)) << v;
    }
}

TEST(TextOut, WritesWindows1252AndDropsWhatCannotBeRead)
{
    EXPECT_EQ(toWindows1252(QStringLiteral("Asunción")), QByteArray("Asunci\xF3n"));
    EXPECT_EQ(toWindows1252(QString::fromUtf8("\u20AC \u0160")), QByteArray("\x80 \x8A"));
    // Accents outside the code page are stripped, letters without a plain form become '?'.
    EXPECT_EQ(toWindows1252(QString::fromUtf8("H\u00E0 N\u1ED9i")), QByteArray("H\xE0 Noi"));
    EXPECT_EQ(toWindows1252(QString::fromUtf8("\u0141\u00F3d\u017A Ba\u011Fc\u0131lar")), QByteArray("L\xF3" "dz Bagcilar"));
    EXPECT_EQ(toWindows1252(QString::fromUtf8("\u6771\u4EAC")), QByteArray("??"));
    EXPECT_EQ(toWindows1252(QString::fromUtf8("Z\u0331ahab")), QByteArray("Zahab"));
    EXPECT_EQ(toWindows1252(QStringLiteral("say \"hi\"\r\n")), QByteArray("say hi"));
}

TEST(TextOut, FormatsRecordsWithPointsQuotesAndCrLf)
{
    StationLine s;
    s.latitude = -0.0001;
    s.longitude = 12.4836;
    s.altitude = 9999;
    for (int m = 0; m < 12; ++m)
        s.values[static_cast<std::size_t>(m)] = m - 0.04;
    s.name = QStringLiteral("Washington, D.C.");
    s.country = QStringLiteral("United States");
    const QByteArray line = formatStationLine(s, 1);
    EXPECT_EQ(line, QByteArray("0.000,12.484,9999,0.0,1.0,2.0,3.0,4.0,5.0,6.0,7.0,8.0,9.0,10.0,11.0,"
                               "\"Washington, D.C.\",United States\r\n"));
    EXPECT_EQ(fixed(-0.04, 1), QByteArray("0.0"));
    EXPECT_EQ(fixed(-1.25, 2), QByteArray("-1.25"));
}

TEST(Calibration, SourceGreysGiveKnownHeightsAndClimate)
{
    // Heights the relief legend names, and sea level where the land colours start.
    EXPECT_NEAR(reliefMetres(96.8), 0, 1e-9);
    EXPECT_NEAR(reliefMetres(178.7), 1000, 1e-9);
    EXPECT_NEAR(reliefMetres(229.9), 5000, 1e-9);
    EXPECT_LT(reliefMetres(40), -2000);
    for (int g = 1; g < 256; ++g)
        EXPECT_GT(reliefMetres(g), reliefMetres(g - 1));
    EXPECT_NEAR(temperatureCelsius(0), -69, 1e-9);
    EXPECT_NEAR(temperatureCelsius(255), 42, 1e-9);
    EXPECT_NEAR(precipitationMm(64), 64, 1e-9);
    EXPECT_NEAR(precipitationMm(192), 256, 1e-9);
    EXPECT_NEAR(precipitationMm(240), 1024, 1e-9);
    EXPECT_LE(precipitationMm(255), 3000);
}

TEST(Tiles, PointsReadTheirTileTheNorthAndEastOnesAndPolarFiles)
{
    auto names = [](const TileBounds& b, const QString& prefix, double lon, double lat) {
        QStringList out;
        for (int f : filesForPoint(b, lon, lat))
            out << tileFileName(prefix, f);
        return out.join(' ');
    };
    EXPECT_EQ(names(kTemperatureTiles, "me", 12.483, 41.9), "mela5lo4.txt mela6lo4.txt mela5lo5.txt mela6lo5.txt");
    EXPECT_EQ(names(kPrecipitationTiles, "pr", 12.483, 41.9), "prla5lo4.txt prla6lo4.txt prla5lo5.txt prla6lo5.txt");
    EXPECT_EQ(names(kTemperatureTiles, "me", -150, 41.9), "mela5lo6.txt mela6lo6.txt mela5lo1.txt mela6lo1.txt");
    EXPECT_EQ(names(kTemperatureTiles, "me", 180, 0), "mela2lo6.txt mela3lo6.txt mela2lo1.txt mela3lo1.txt");
    EXPECT_EQ(names(kTemperatureTiles, "me", 0, -2), "mela2lo4.txt mela3lo4.txt mela2lo5.txt mela3lo5.txt");
    EXPECT_EQ(names(kTemperatureTiles, "me", 0, 90), "mela6lo4.txt mela1lo4.txt mela6lo5.txt mela1lo5.txt menor.txt");
    EXPECT_TRUE(names(kTemperatureTiles, "me", 0, -60).endsWith("mesud.txt"));
    EXPECT_TRUE(names(kTemperatureTiles, "me", 0, 61).endsWith("menor.txt"));
    EXPECT_EQ(filesForPoint(kTemperatureTiles, 0, -50).size(), 4u);
    EXPECT_EQ(filesForPoint(kTemperatureTiles, 0, 60).size(), 4u);
}

// Every station within the search radius of a point is in the files it reads,
// and copies in more than one of them are rare.
TEST(Tiles, LayoutLetsEveryPointFindItsNeighboursWithFewDoubles)
{
    std::vector<double> lon;
    std::vector<double> lat;
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> ulon(-180, 180);
    std::uniform_real_distribution<double> ulat(-1, 1);
    for (int i = 0; i < 3000; ++i) {
        lon.push_back(ulon(rng));
        lat.push_back(std::asin(ulat(rng)) * 180 / 3.141592653589793);
    }
    for (const TileBounds* bounds : {&kTemperatureTiles, &kPrecipitationTiles}) {
        const TileLayout layout = layoutTiles(*bounds, lon, lat, 1005.0);
        int doubled = 0;
        int found = 0;
        for (int i = 0; i < 400; ++i) {
            const double plon = ulon(rng);
            const double plat = std::asin(ulat(rng)) * 180 / 3.141592653589793;
            std::uint64_t read = 0;
            for (int f : filesForPoint(*bounds, plon, plat))
                read |= std::uint64_t{1} << f;
            for (std::size_t s = 0; s < lon.size(); ++s) {
                if (greatCircleKm(plon, plat, lon[s], lat[s]) > 1000)
                    continue;
                const int copies = __builtin_popcountll(layout.filesOfStation[s] & read);
                ASSERT_GE(copies, 1) << "point " << plon << ',' << plat << " misses station " << s;
                ++found;
                doubled += copies > 1;
            }
        }
        EXPECT_GT(found, 1000);
        EXPECT_LT(doubled, found / 10);
        EXPECT_LE(layout.largestRun, 30000);
    }
}

TEST(Climate, NormalsStayPhysicallyConsistentEverywhere)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(0, 1);
    for (int i = 0; i < 2000; ++i) {
        ClimateInputs in;
        in.latitude = -89 + 178 * u(rng);
        in.longitude = -180 + 360 * u(rng);
        in.altitude = 5000 * u(rng) * u(rng);
        in.cellAltitude = in.altitude * (0.5 + u(rng));
        in.julyTemp = -65 + 105 * u(rng);
        in.decemberTemp = -65 + 105 * u(rng);
        in.julyPrecip = 3000 * u(rng) * u(rng) * u(rng);
        in.decemberPrecip = 3000 * u(rng) * u(rng) * u(rng);
        in.nearWater = u(rng) < 0.5;
        const Oddity odd = i % 3 == 0 ? Oddity::WarmMonth : i % 3 == 1 ? Oddity::WetMonth : Oddity::None;
        const StationNormals n = modelNormals(in, static_cast<std::uint64_t>(i), odd, i % 12 + 1);
        for (std::size_t m = 0; m < 12; ++m) {
            EXPECT_LE(n[MinTemp][m], n[MeanTemp][m] - 1.0);
            EXPECT_GE(n[MaxTemp][m], n[MeanTemp][m] + 1.0);
            EXPECT_GE(n[Precip][m], 0);
            EXPECT_LE(n[Precip][m], 3000);
            EXPECT_GE(n[VapourPressure][m], 0);
            EXPECT_LE(n[VapourPressure][m], saturationVapourPressure(n[MinTemp][m]));
            EXPECT_GE(n[Evapotranspiration][m], 0);
            EXPECT_GT(n[WindSpeed][m], 0);
            EXPECT_GE(n[Sunshine][m], 0);
            EXPECT_LE(n[Sunshine][m], 1);
            if (n[MeanTemp][m] <= 0) {
                EXPECT_EQ(n[Evapotranspiration][m], 0);
            }
        }
    }
}

TEST(Climate, EvapotranspirationFollowsWarmthAndDayLength)
{
    ClimateInputs tropical;
    tropical.latitude = 1;
    tropical.julyTemp = 27;
    tropical.decemberTemp = 27;
    tropical.julyPrecip = 200;
    tropical.decemberPrecip = 200;
    const StationNormals wet = modelNormals(tropical, 1, Oddity::None, 1);
    for (double pet : wet[Evapotranspiration]) {
        EXPECT_GT(pet, 100);
        EXPECT_LT(pet, 180);
    }
    // Arctic coast: a short thaw gives a little, the frozen months nothing.
    ClimateInputs arctic;
    arctic.latitude = 72;
    arctic.julyTemp = 3;
    arctic.decemberTemp = -25;
    arctic.julyPrecip = 20;
    arctic.decemberPrecip = 10;
    const StationNormals cold = modelNormals(arctic, 2, Oddity::None, 1);
    EXPECT_EQ(cold[Evapotranspiration][0], 0);
    EXPECT_GT(cold[Evapotranspiration][6], 5);
    EXPECT_LT(cold[Evapotranspiration][6], 90);
}

TEST(Climate, DayLengthFollowsLatitudeAndSeason)
{
    EXPECT_NEAR(dayLengthHours(0, 3), 12, 0.2);
    EXPECT_GT(dayLengthHours(60, 6), 18);
    EXPECT_LT(dayLengthHours(60, 12), 7);
    EXPECT_EQ(dayLengthHours(80, 12), 0);
    EXPECT_EQ(dayLengthHours(-80, 12), 24);
    EXPECT_NEAR(saturationVapourPressure(0), 6.1078, 1e-9);
    EXPECT_NEAR(saturationVapourPressure(20), 23.4, 0.1);
}

} // namespace
