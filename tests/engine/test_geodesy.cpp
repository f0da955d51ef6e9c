#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine.h"

namespace tavisol::engine {
namespace {

TEST(GreatCircleDistance, PointWithItselfIsZeroAtEveryLatitude) {
    // Rounding the latitude terms to Singles breaks this at about one
    // latitude in five (x one step below 1 gives about 2.2 km).
    for (float lat = -90.0f; lat <= 90.0f; lat += 0.37f)
        for (float lon : {-180.0f, -17.3f, 0.0f, 12.483f, 179.9f})
            ASSERT_EQ(GreatCircleDistance(lon, lat, lon, lat), 0.0f) << lat << " " << lon;
    EXPECT_EQ(GreatCircleDistance(12.0f, -81.3599396f, 12.0f, -81.3599396f), 0.0f);
}

TEST(GreatCircleDistance, SinglePrecisionStepsNearZero) {
    // About 1 km apart along a meridian: x rounds to 1.
    EXPECT_EQ(GreatCircleDistance(10.0f, 45.0f, 10.0f, 45.009f), 0.0f);
    // A few km apart comes out in coarse steps, the smallest about 2.2 km.
    const float d = GreatCircleDistance(10.0f, 45.0f, 10.0f, 45.03f);
    EXPECT_GT(d, 2.0f);
    EXPECT_LT(d, 4.5f);
    // Far apart: close to the true arc.
    EXPECT_NEAR(GreatCircleDistance(0.0f, 0.0f, 1.0f, 0.0f), 6370.997 * M_PI / 180, 0.5);
}

TEST(GreatCircleDistance, OppositePointsAreHalfTheCircumference) {
    const float half = static_cast<float>(6370.997 * static_cast<double>(3.1415927f));
    EXPECT_EQ(GreatCircleDistance(0.0f, 0.0f, 180.0f, 0.0f), half);
    EXPECT_EQ(GreatCircleDistance(10.0f, 90.0f, 10.0f, -90.0f), half);
    EXPECT_NEAR(half, 20015.1f, 0.1f);
}

TEST(Azimuth, NearPointsUseThePlanarPath) {
    EXPECT_EQ(Azimuth(10, 45, 10, 45), 9999.0f);
    EXPECT_EQ(Azimuth(10, 45, 10.005, 45), 9999.0f); // latitude difference exactly 0
    EXPECT_EQ(Azimuth(10, 45, 9.995, 44.995), 45.0f); // no quadrant on this path
}

TEST(Azimuth, WestRuleMirrorsEastAndWest) {
    const float east = Azimuth(10, 45, 11, 45);
    EXPECT_GT(east, 0.0f);
    EXPECT_LT(east, 180.0f);
    EXPECT_FLOAT_EQ(Azimuth(10, 45, 9, 45), 360.0f - east);
    EXPECT_EQ(Azimuth(0, 0, 0, 10), 0.0f);
    EXPECT_EQ(Azimuth(0, 10, 0, 0), 180.0f);
    EXPECT_NEAR(Azimuth(0, 0, 10, 0), 90.0f, 1e-4);
    EXPECT_NEAR(Azimuth(0, 0, -10, 0), 270.0f, 1e-4);
    EXPECT_NEAR(Azimuth(-10, 0, -20, 0), 270.0f, 1e-4);
    EXPECT_NEAR(Azimuth(-10, 0, 0, 0), 90.0f, 1e-4);
}

TEST(Azimuth, Poles) {
    EXPECT_EQ(Azimuth(30, 89.995, 0, 10), 180.0f);
    EXPECT_EQ(Azimuth(30, 10, 0, 89.995), 0.0f);
    EXPECT_EQ(Azimuth(30, 10, 0, -89.99995), 180.0f);
    EXPECT_EQ(Azimuth(30, -89.99995, 0, 10), 0.0f);
    // Half a hundredth of a degree from the South Pole: the spherical path.
    // From there north is away from the pole along its own meridian, so a
    // point on a meridian 30 degrees away lies about 30 degrees off north.
    const float a = Azimuth(30, -89.995, 0, 10);
    EXPECT_NE(a, 0.0f);
    EXPECT_NEAR(std::fmin(a, 360 - a), 30.0f, 0.5f);
}

TEST(Azimuth, OnePlaceAndOppositePointsHaveDefinedDirections) {
    EXPECT_EQ(Azimuth(-180, 45, 180, 45), 9999.0f);
    EXPECT_EQ(Azimuth(180, -30, -180, -30), 9999.0f);
    EXPECT_EQ(Azimuth(-170, 20, 190, 20), 9999.0f);
    EXPECT_EQ(Azimuth(0, 0, 180, 0), 0.0f);
    EXPECT_EQ(Azimuth(10, 30, -170, -30), 0.0f);
    EXPECT_EQ(Azimuth(-100, -45, 80, 45), 0.0f);
    // Close to opposite but not exactly: an ordinary direction.
    const float a = Azimuth(0, 0, 179, 0);
    EXPECT_FALSE(std::isnan(a));
}

TEST(CompassLetters, Sectors) {
    EXPECT_EQ(CompassLetters(-10), "N ");
    EXPECT_EQ(CompassLetters(0), "N ");
    EXPECT_EQ(CompassLetters(350), "N ");
    EXPECT_EQ(CompassLetters(9999), "X ");
    EXPECT_EQ(CompassLetters(45), "NE");
    EXPECT_EQ(CompassLetters(90), "E ");
    EXPECT_EQ(CompassLetters(135), "SE");
    EXPECT_EQ(CompassLetters(180), "S ");
    EXPECT_EQ(CompassLetters(225), "SW");
    EXPECT_EQ(CompassLetters(270), "W ");
    EXPECT_EQ(CompassLetters(315), "NW");
}

TEST(CompassLetters, BoundsBelongToTheSectorClockwise) {
    EXPECT_EQ(CompassLetters(22.5f), "NE");
    EXPECT_EQ(CompassLetters(67.5f), "E ");
    EXPECT_EQ(CompassLetters(112.5f), "SE");
    EXPECT_EQ(CompassLetters(157.5f), "S ");
    EXPECT_EQ(CompassLetters(202.5f), "SW");
    EXPECT_EQ(CompassLetters(247.5f), "W ");
    EXPECT_EQ(CompassLetters(292.5f), "NW");
    EXPECT_EQ(CompassLetters(337.5f), "N ");
    EXPECT_EQ(CompassLetters(22.499998f), "N ");
}

TEST(ClampToRange, ByVariable) {
    float v = -0.5f;
    EXPECT_EQ(ClampToRange(v, 1), -0.5f);
    v = -0.5f;
    EXPECT_EQ(ClampToRange(v, 3), 0.0f);
    EXPECT_EQ(v, 0.0f); // changed in place
    v = 1.2f;
    EXPECT_EQ(ClampToRange(v, 7), 1.0f);
    v = 1.2f;
    EXPECT_EQ(ClampToRange(v, 6), 1.2f);
    EXPECT_EQ(ClampValue(-3, 0), -3.0f);
}

TEST(NiceValue, DownLadder) {
    auto down = [](float x) {
        const Integer r = NiceValueDown(x);
        EXPECT_EQ(static_cast<float>(r), x);
        return x;
    };
    EXPECT_EQ(down(15), 10);
    EXPECT_EQ(down(10), 4);
    EXPECT_EQ(down(0), -1);
    EXPECT_EQ(down(1), 0);
    EXPECT_EQ(down(-3), -4);
    EXPECT_EQ(down(25000), 20000);
    EXPECT_EQ(down(0.5f), 0);
    float below = -25000;
    EXPECT_EQ(NiceValueDown(below), -25000);
    EXPECT_EQ(below, -25000.0f);
    float far = -1e6f; // beyond the 16-bit range: the nearest whole number it can hold
    EXPECT_EQ(NiceValueDown(far), -32768);
    EXPECT_EQ(far, -1e6f);
}

TEST(NiceValue, UpLadder) {
    auto up = [](float x) {
        const Integer r = NiceValueUp(x);
        EXPECT_EQ(static_cast<float>(r), x);
        return x;
    };
    EXPECT_EQ(up(15), 20);
    EXPECT_EQ(up(5), 6);
    EXPECT_EQ(up(-7), 1);
    EXPECT_EQ(up(0), 1);
    EXPECT_EQ(up(10), 20);
    EXPECT_EQ(up(1), 2);
    EXPECT_EQ(up(700), 800);
    EXPECT_EQ(up(20000), 20000);
    float far = 1e6f;
    EXPECT_EQ(NiceValueUp(far), 32767);
    float half = 20000.5f; // left unchanged, returned rounded half to even
    EXPECT_EQ(NiceValueUp(half), 20000);
}

} // namespace
} // namespace tavisol::engine
