#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine.h"
#include "fixture.h"

namespace tavisol::engine {
namespace {

using testing::Flat;
using testing::MakeState;
using testing::SetNeighbours;
using testing::Station;

void ExpectAllFinite(const EstimateResult &r) {
    for (int e = 1; e <= 13; ++e) {
        for (const Months13 *f : {&r.Best, &r.Bias, &r.StdErr, &r.AbsGrad, &r.DirGrad, &r.VertGrad, &r.LonGradDeg,
                                  &r.LatGradDeg, &r.LonGrad, &r.LatGrad, &r.ExplVar, &r.Harmonics})
            ASSERT_TRUE(std::isfinite((*f)[e])) << e;
    }
}

TEST(ComputeWeights, TinyPowerBecomesThePlainMean) {
    EngineState state = MakeState(0, 0, 0);
    SetNeighbours(state, {{0.1, 0, 0}, {0, 0.2, 0}, {-0.3, 0, 0}});
    for (int k = 1; k <= 3; ++k)
        state.Neighbours[k].Distance = 10 + static_cast<float>(k); // nearer ones shadow farther ones
    state.ShadowOn = 0;
    state.IdwPower = 0.00005f;
    ComputeWeights(state);
    EXPECT_EQ(state.IdwPower, 0.0f);
    for (int k = 1; k <= 3; ++k)
        EXPECT_FLOAT_EQ(state.Neighbours[k].Weight, 1.0f / 3) << k;
    state.IdwPower = 1;
    ComputeWeights(state);
    EXPECT_LT(state.Neighbours[3].Weight, 0.33f);
}

TEST(ComputeWeights, TwoNeighboursHaveNoShadow) {
    EngineState state = MakeState(0, 0, 0);
    SetNeighbours(state, {{0.09, 0, 0}, {0.27, 0, 0}});
    state.Neighbours[1].Distance = 10;
    state.Neighbours[2].Distance = 30;
    ComputeWeights(state);
    EXPECT_FLOAT_EQ(state.Neighbours[1].Weight, 0.75f);
    EXPECT_FLOAT_EQ(state.Neighbours[2].Weight, 0.25f);
}

TEST(ComputeWeights, ShadowOfANearerNeighbourInTheSameDirection) {
    EngineState state = MakeState(0, 0, 0);
    // A 10 km north, B 20 km north, C 20 km south.
    SetNeighbours(state, {{0.09, 0, 0}, {0.18, 0, 0}, {-0.18, 0, 0}});
    state.Neighbours[1].Distance = 10;
    state.Neighbours[2].Distance = 20;
    state.Neighbours[3].Distance = 20;
    ComputeWeights(state);
    EXPECT_FLOAT_EQ(state.Neighbours[1].Weight, 4.0f / 7);
    EXPECT_FLOAT_EQ(state.Neighbours[2].Weight, 1.0f / 7);
    EXPECT_FLOAT_EQ(state.Neighbours[3].Weight, 2.0f / 7);
    state.ShadowOn = 0;
    ComputeWeights(state);
    EXPECT_FLOAT_EQ(state.Neighbours[2].Weight, 0.25f);
    // Stations within about 1.5 km of the point all lie at distance 0:
    // none is nearer than another, so the plain mean (power 0) stays plain.
    state.ShadowOn = 1;
    state.IdwPower = 0;
    for (int k = 1; k <= 3; ++k)
        state.Neighbours[k].Distance = 0;
    ComputeWeights(state);
    for (int k = 1; k <= 3; ++k)
        EXPECT_FLOAT_EQ(state.Neighbours[k].Weight, 1.0f / 3) << k;
}

TEST(ComputeWeights, InactiveNeighboursWeighNothing) {
    EngineState state = MakeState(0, 0, 0);
    SetNeighbours(state, {{0.09, 0, 0}, {0.18, 0, 0}, {-0.18, 0, 0}});
    state.Workbench.Check = {0, 1, 0, 1};
    ReadWorkbenchSelection(state);
    ComputeWeights(state);
    EXPECT_EQ(state.Neighbours[2].Weight, 0.0f);
    EXPECT_FLOAT_EQ(state.Neighbours[1].Weight + state.Neighbours[3].Weight, 1.0f);
}

TEST(EstimateLocation, HitTakesTheStationItself) {
    // 50 m from the first station.
    EngineState state = MakeState(45.00045f, 10, 120);
    SetNeighbours(state, {{45, 10, 100, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
                          {45.3, 10, 300, Flat(20)},
                          {45, 10.4, 500, Flat(30)}});
    ASSERT_LT(state.Neighbours[1].Distance, state.MinDistance);
    ASSERT_TRUE(EstimateLocation(state));
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(state.CurResult.Best[m], static_cast<float>(m));
        EXPECT_EQ(state.CurResult.Bias[m], 0.0f);
        EXPECT_EQ(state.CurResult.StdErr[m], 0.0f);
    }
    EXPECT_EQ(state.Neighbours[1].Weight, 1.0f);
    EXPECT_EQ(state.Neighbours[2].Weight, 0.0f);
    EXPECT_FLOAT_EQ(state.CurResult.Best[13], 6.5f);
    EXPECT_NE(state.CurResult.VertGrad[1], 0.0f); // gradients reported, not applied

    // The workbench's first box cleared and ticked again: back on the station,
    // the other neighbours' weights of the estimate between go.
    state.Workbench.Check = {0, 0, 1, 1};
    ReadWorkbenchSelection(state);
    ASSERT_TRUE(EstimateLocation(state));
    ASSERT_GT(state.Neighbours[2].Weight, 0.0f);
    state.Workbench.Check = {0, 1, 1, 1};
    ReadWorkbenchSelection(state);
    ASSERT_TRUE(EstimateLocation(state));
    EXPECT_EQ(state.Neighbours[2].Weight, 0.0f);

    state.IdwPower = 0.001f; // the power must exceed 0.001
    ASSERT_TRUE(EstimateLocation(state));
    EXPECT_NE(state.CurResult.Best[1], 1.0f);
}

TEST(EstimateLocation, StationExactlyAtThePointHitsAtAnyLatitude) {
    const float lat = -81.3599396f; // the latitude terms as Singles would miss here
    EngineState state = MakeState(lat, 20, 0);
    SetNeighbours(state, {{lat, 20, 0, Flat(-3)}, {lat + 0.5, 20, 0, Flat(5)}, {lat, 21, 0, Flat(7)}});
    EXPECT_EQ(state.Neighbours[1].Distance, 0.0f);
    ASSERT_TRUE(EstimateLocation(state));
    EXPECT_EQ(state.CurResult.Best[4], -3.0f);
}

TEST(EstimateLocation, FiveNeighboursFitNoHorizontalGradient) {
    EngineState state = MakeState(45, 10, 0);
    SetNeighbours(state, {{45.2, 10, 0, Flat(1)}, {45, 10.3, 0, Flat(2)}, {44.6, 10, 0, Flat(3)},
                          {45, 9.5, 0, Flat(4)}, {45.5, 10.5, 0, Flat(5)}});
    ASSERT_TRUE(EstimateLocation(state));
    const EstimateResult &r = state.CurResult;
    for (int e = 1; e <= 13; ++e) {
        EXPECT_EQ(r.AbsGrad[e], 0.0f) << e;
        EXPECT_EQ(r.DirGrad[e], 180.0f) << e;
        EXPECT_EQ(r.DirGradText[e], "S ") << e;
        EXPECT_EQ(r.Bias[e], 0.0f) << e; // no error estimation below six
        EXPECT_EQ(r.StdErr[e], 0.0f) << e;
    }
}

TEST(EstimateLocation, GradientsOffLeaveBlankTexts) {
    EngineState state = MakeState(45, 10, 0);
    state.GradCorrOn = 0;
    SetNeighbours(state, {{45.2, 10, 0, Flat(1)}, {45, 10.3, 0, Flat(2)}});
    ASSERT_TRUE(EstimateLocation(state));
    EXPECT_EQ(state.CurResult.DirGrad[13], 0.0f);
    EXPECT_EQ(state.CurResult.DirGradText[13], "  ");
    EXPECT_EQ(state.CurResult.DirGradText[5], "  ");
}

TEST(EstimateLocation, NegativeTotalsBecomeZeroButTemperaturesStay) {
    // Stations low down, the point high up: the altitude gradient drives the mean below 0.
    EngineState state = MakeState(45, 10, 3000);
    SetNeighbours(state, {{45.2, 10, 0, Flat(30)}, {45, 10.3, 100, Flat(20)}, {44.8, 10, 200, Flat(10)}});
    state.CurrentVariable = 3;
    ASSERT_TRUE(EstimateLocation(state));
    EXPECT_FLOAT_EQ(state.CurResult.VertGrad[1], -0.1f);
    EXPECT_EQ(state.CurResult.Best[1], 0.0f);
    state.CurrentVariable = 0;
    ASSERT_TRUE(EstimateLocation(state));
    EXPECT_LT(state.CurResult.Best[1], -200.0f);
}

TEST(EstimateLocation, AnnualBestIsTheMeanOfTheMonths) {
    EngineState state = MakeState(45, 10, 100);
    std::vector<Station> stations;
    for (int i = 0; i < 8; ++i) {
        const double a = i * 0.7;
        std::vector<double> v;
        for (int m = 1; m <= 12; ++m)
            v.push_back(10 + m + i * 0.3 + std::sin(a * m));
        stations.push_back({45 + 0.3 * std::cos(a), 10 + 0.4 * std::sin(a), 50.0 * i, v});
    }
    SetNeighbours(state, stations);
    ASSERT_TRUE(EstimateLocation(state));
    const EstimateResult &r = state.CurResult;
    EXPECT_NE(r.Bias[3], 0.0f);
    double sum = 0;
    for (int m = 1; m <= 12; ++m)
        sum += r.Best[m];
    EXPECT_NEAR(r.Best[13], sum / 12, 1e-5);
    ExpectAllFinite(r);
}

TEST(EstimateLocation, OneActiveNeighbourGivesItsValues) {
    EngineState state = MakeState(45, 10, 0);
    SetNeighbours(state, {{45.2, 10, 0, Flat(1)}, {45, 10.3, 0, Flat(2)}, {44.6, 10, 0, {5, 6, 7, 8, 9, 10, 11, 12, 1, 2, 3, 4}}});
    state.Workbench.Check = {0, 0, 0, 1};
    ReadWorkbenchSelection(state);
    CompleteNeighbourRecords(state);
    ASSERT_TRUE(EstimateLocation(state));
    EXPECT_EQ(state.CurResult.Best[1], 5.0f);
    EXPECT_EQ(state.CurResult.Best[12], 4.0f);
    EXPECT_EQ(state.Neighbours[3].Weight, 1.0f);
    EXPECT_EQ(state.Neighbours[1].Weight, 0.0f);
    EXPECT_FLOAT_EQ(state.CurResult.Best[13], 6.5f);
    EXPECT_NE(state.CurResult.Harmonics[1], 0.0f);
}

TEST(EstimateLocation, NoActiveNeighbourLeavesTheResultAndSaysSo) {
    EngineState state = MakeState(45, 10, 0);
    SetNeighbours(state, {{45.2, 10, 0, Flat(1)}, {45, 10.3, 0, Flat(2)}});
    ASSERT_TRUE(EstimateLocation(state));
    const EstimateResult before = state.CurResult;
    state.Workbench.Check.fill(0);
    ReadWorkbenchSelection(state);
    EXPECT_FALSE(EstimateLocation(state));
    EXPECT_EQ(state.CurResult.Best, before.Best);
    EXPECT_EQ(state.CurResult.Harmonics, before.Harmonics);
    EXPECT_NE(state.Neighbours[1].Weight, 0.0f);
}

TEST(EstimateLocation, NeighbourWithoutAltitudeGetsNoAltitudeTerm) {
    // Five stations on an exact altitude gradient of -0.01 per metre, all
    // worth 9 at the point's 100 m; a sixth without altitude is worth 9 too.
    EngineState state = MakeState(0, 0, 100);
    SetNeighbours(state, {{0.5, 0, 0, Flat(10)},
                          {-0.5, 0, 50, Flat(9.5)},
                          {0, 0.5, 150, Flat(8.5)},
                          {0, -0.5, 200, Flat(8)},
                          {0.5, 0.5, 100, Flat(9)},
                          {-0.5, -0.5, 9999, Flat(9)}});
    ASSERT_EQ(state.ActiveCount, 6);
    ASSERT_EQ(state.ActiveWithAltCount, 5);
    ASSERT_TRUE(EstimateLocation(state));
    const EstimateResult &r = state.CurResult;
    EXPECT_NEAR(r.VertGrad[1], -0.01, 1e-6);
    EXPECT_NEAR(r.ExplVar[1], 1, 1e-4);
    EXPECT_NEAR(r.LonGradDeg[1], 0, 1e-4); // the unknown altitude does not tilt the plane
    EXPECT_NEAR(r.LatGradDeg[1], 0, 1e-4);
    EXPECT_NEAR(r.Best[1] + r.Bias[1], 9, 1e-4); // the weighted mean before bias removal
    EXPECT_LT(std::fabs(r.Bias[1]), 0.5f);
    EXPECT_LT(r.StdErr[1], 0.5f);
}

TEST(FitHorizontalGradient, SolvesTheNormalEquationsWhereVxyIsZero) {
    // Symmetric about the mean point: Vxy = 0, a plane of slopes 2 and 3.
    EngineState state = MakeState(0, 10, 0);
    state.AltCorrOn = 0;
    std::vector<Station> stations;
    for (auto [lon, lat] : {std::pair{11.0, 0.0}, {9.0, 0.0}, {10.0, 1.0}, {10.0, -1.0}, {12.0, 0.0}, {8.0, 0.0}})
        stations.push_back({lat, lon, 0, Flat(10 + 2 * (lon - 10) + 3 * lat)});
    SetNeighbours(state, stations);
    ASSERT_TRUE(EstimateLocation(state));
    const EstimateResult &r = state.CurResult;
    EXPECT_NEAR(r.LonGradDeg[1], 2, 1e-5);
    EXPECT_NEAR(r.LatGradDeg[1], 3, 1e-5);
    EXPECT_NEAR(r.Best[1], 10, 1e-4); // a plane is reproduced exactly
    EXPECT_NEAR(r.Bias[1], 0, 1e-4);
    EXPECT_NEAR(r.StdErr[1], 0, 1e-4);
}

TEST(FitHorizontalGradient, GeneralLayoutRecoversThePlane) {
    EngineState state = MakeState(45, 10, 0);
    state.AltCorrOn = 0;
    std::vector<Station> stations;
    for (int i = 0; i < 9; ++i) {
        const double lat = 45 + 0.4 * std::cos(i * 1.3) + 0.05 * i;
        const double lon = 10 + 0.6 * std::sin(i * 1.3);
        stations.push_back({lat, lon, 0, Flat(5 + 0.5 * (lon - 10) - 0.25 * (lat - 45))});
    }
    SetNeighbours(state, stations);
    FitHorizontalGradient(state);
    EXPECT_NEAR(state.CurResult.LonGradDeg[7], 0.5, 1e-4);
    EXPECT_NEAR(state.CurResult.LatGradDeg[7], -0.25, 1e-4);
}

TEST(FitHorizontalGradient, NeighboursOnOneLineGiveNoSlopes) {
    EngineState state = MakeState(0, 10.5f, 0);
    std::vector<Station> stations;
    for (double lat : {1.0, -1.0, 2.0, -2.0, 3.0, -3.0})
        stations.push_back({lat, 10, 0, Flat(10 + lat)});
    SetNeighbours(state, stations);
    ASSERT_TRUE(EstimateLocation(state));
    EXPECT_EQ(state.CurResult.LonGradDeg[1], 0.0f);
    EXPECT_EQ(state.CurResult.LatGradDeg[1], 0.0f);
    ExpectAllFinite(state.CurResult);
}

TEST(FinishEstimate, DueEastAndDueWestGradients) {
    for (double slope : {2.0, -2.0}) {
        EngineState state = MakeState(0, 10, 0);
        state.AltCorrOn = 0;
        std::vector<Station> stations;
        for (auto [lon, lat] : {std::pair{11.0, 0.0}, {9.0, 0.0}, {10.0, 1.0}, {10.0, -1.0}, {12.0, 0.0}, {8.0, 0.0}})
            stations.push_back({lat, lon, 0, Flat(10 + slope * (lon - 10))});
        SetNeighbours(state, stations);
        ASSERT_TRUE(EstimateLocation(state));
        const EstimateResult &r = state.CurResult;
        ASSERT_EQ(r.LatGradDeg[1], 0.0f);
        ASSERT_EQ(r.LatGrad[1], 0.0f);
        const float expected = slope > 0 ? 90.0f : 270.0f;
        const char *text = slope > 0 ? "E " : "W ";
        for (int e = 1; e <= 13; ++e) {
            EXPECT_EQ(r.DirGrad[e], expected) << e;
            EXPECT_EQ(r.DirGradText[e], text) << e;
        }
        EXPECT_NEAR(r.AbsGrad[1], std::fabs(slope) * 360 / 2 / 3.1415927 / 6370.997 * 100, 1e-4);
        EXPECT_FLOAT_EQ(r.AbsGrad[1], std::fabs(r.LonGrad[1]));
    }
}

TEST(FinishEstimate, NorthwardGradientDirection) {
    EngineState state = MakeState(0, 10, 0);
    state.AltCorrOn = 0;
    std::vector<Station> stations;
    for (auto [lon, lat] : {std::pair{11.0, 0.0}, {9.0, 0.0}, {10.0, 1.0}, {10.0, -1.0}, {12.0, 0.5}, {8.0, -0.5}})
        stations.push_back({lat, lon, 0, Flat(10 + 2 * lat)});
    SetNeighbours(state, stations);
    ASSERT_TRUE(EstimateLocation(state));
    EXPECT_NEAR(std::fmin(state.CurResult.DirGrad[1], 360 - state.CurResult.DirGrad[1]), 0, 1e-3);
    stations.clear();
    for (auto [lon, lat] : {std::pair{11.0, 0.0}, {9.0, 0.0}, {10.0, 1.0}, {10.0, -1.0}, {12.0, 0.5}, {8.0, -0.5}})
        stations.push_back({lat, lon, 0, Flat(10 - 2 * lat - 2 * (lon - 10))});
    SetNeighbours(state, stations);
    ASSERT_TRUE(EstimateLocation(state));
    EXPECT_NEAR(state.CurResult.DirGrad[1], 225, 1e-2); // south-west
    EXPECT_EQ(state.CurResult.DirGradText[1], "SW");
}

TEST(EstimateLocation, NeighbourAtThePointTakesTheWholeWeightOffTheHitPath) {
    EngineState state = MakeState(45, 10, 100);
    state.IdwPower = 0.0005f; // no hit path below 0.001, no plain mean above 0.0001
    SetNeighbours(state, {{45, 10, 100, Flat(7)}, {45.3, 10, 100, Flat(20)}, {45, 10.4, 100, Flat(30)}});
    ASSERT_EQ(state.Neighbours[1].Distance, 0.0f);
    ASSERT_TRUE(EstimateLocation(state));
    EXPECT_EQ(state.CurResult.Best[1], 7.0f);
    EXPECT_EQ(state.Neighbours[1].Weight, 1.0f);
    EXPECT_EQ(state.Neighbours[3].Weight, 0.0f);
    ExpectAllFinite(state.CurResult);
}

TEST(EstimateLocation, VeryHighPowerFallsToTheNearestNeighbour) {
    EngineState state = MakeState(45, 10, 100);
    state.IdwPower = 40;
    SetNeighbours(state, {{46, 10, 100, Flat(7)}, {47, 10, 100, Flat(20)}, {45, 12, 100, Flat(30)}});
    ASSERT_TRUE(EstimateLocation(state));
    EXPECT_EQ(state.CurResult.Best[1], 7.0f);
    ExpectAllFinite(state.CurResult);
}

TEST(EstimateLocation, OverflowIsAnError) {
    EngineState state = MakeState(45, 10, 100);
    try {
        SetNeighbours(state, {{46, 10, 100, Flat(3e38)}, {47, 10, 100, Flat(3e38)}, {45, 12, 100, Flat(3e38)}});
        EstimateLocation(state);
        FAIL() << "no failure";
    } catch (const EngineError &e) {
        EXPECT_EQ(e.kind(), ErrorKind::Overflow);
    }
}

} // namespace
} // namespace tavisol::engine
