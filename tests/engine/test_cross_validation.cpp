#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine.h"
#include "fixture.h"

namespace tavisol::engine {
namespace {

using testing::MakeState;
using testing::SetNeighbours;
using testing::Station;

std::vector<double> Flat(double v) { return std::vector<double>(12, v); }

// Six stations around (45, 10), none closer than a few km to another.
std::vector<Station> Ring(const std::vector<double> &januaryValues) {
    std::vector<Station> stations;
    for (std::size_t i = 0; i < januaryValues.size(); ++i) {
        const double a = static_cast<double>(i) * 1.1;
        stations.push_back({45 + 0.3 * std::cos(a) + 0.02 * static_cast<double>(i), 10 + 0.4 * std::sin(a), 0,
                            Flat(januaryValues[i])});
    }
    return stations;
}

TEST(CrossValidate, FiveActiveNeighboursDoNotRunIt) {
    EngineState state = MakeState(45, 10, 0);
    SetNeighbours(state, Ring({1, 5, 2, 8, 3}));
    ASSERT_TRUE(EstimateLocation(state));
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(state.CurResult.Bias[m], 0.0f);
        EXPECT_EQ(state.CurResult.StdErr[m], 0.0f);
    }
}

TEST(CrossValidate, EqualValuesGiveNoBiasAndNoError) {
    EngineState state = MakeState(45, 10, 0);
    SetNeighbours(state, Ring({4, 4, 4, 4, 4, 4}));
    ASSERT_TRUE(EstimateLocation(state));
    EXPECT_NEAR(state.CurResult.Bias[1], 0, 1e-6);
    EXPECT_NEAR(state.CurResult.StdErr[1], 0, 1e-6);
    EXPECT_NEAR(state.CurResult.Best[1], 4, 1e-6);
}

TEST(CrossValidate, StandardErrorDividesByN) {
    // Plain mean (power 0), no shadow, no gradients: the leave-one-out
    // estimate of k is the mean of the other five, so values -5/6, 5/6, ...
    // give residuals 1, -1, 1, -1, 1, -1.
    EngineState state = MakeState(45, 10, 0);
    state.IdwPower = 0;
    state.ShadowOn = 0;
    state.GradCorrOn = 0;
    state.AltCorrOn = 0;
    const double v = 5.0 / 6;
    SetNeighbours(state, Ring({-v, v, -v, v, -v, v}));
    ASSERT_TRUE(EstimateLocation(state));
    EXPECT_NEAR(state.CurResult.Bias[1], 0, 1e-6);
    EXPECT_NEAR(state.CurResult.StdErr[1], 1, 1e-5); // not sqrt(6/5)
}

TEST(CrossValidate, WithoutShadowTheWeightsArePlainInverseDistances) {
    EngineState state = MakeState(45, 10, 0);
    state.ShadowOn = 0;
    state.GradCorrOn = 0;
    state.AltCorrOn = 0;
    const std::vector<double> values = {1, 5, 2, 8, 3, 7};
    SetNeighbours(state, Ring(values));
    ASSERT_TRUE(EstimateLocation(state));
    double bias = 0;
    for (int k = 1; k <= 6; ++k) {
        double sum = 0, weighted = 0;
        for (int j = 1; j <= 6; ++j) {
            if (j == k)
                continue;
            const StationRecord &a = state.Neighbours[k];
            const StationRecord &b = state.Neighbours[j];
            const double w = 1.0 / GreatCircleDistance(a.Longitude, a.Latitude, b.Longitude, b.Latitude);
            sum += w;
            weighted += w * b.Values[1];
        }
        bias += (weighted / sum - state.Neighbours[k].Values[1]) / 6;
    }
    EXPECT_NEAR(state.CurResult.Bias[1], bias, 1e-5);
    const float unshadowed = state.CurResult.Bias[1];
    state.ShadowOn = 1;
    ASSERT_TRUE(EstimateLocation(state));
    EXPECT_NE(state.CurResult.Bias[1], unshadowed);
}

TEST(CrossValidate, BiasRemovalOnTotalsNeverGoesBelowZero) {
    EngineState state = MakeState(45, 10, 0);
    state.CurrentVariable = 3;
    state.GradCorrOn = 0;
    state.AltCorrOn = 0;
    std::vector<double> values = {10, 50, 20, 80, 30, 70};
    SetNeighbours(state, Ring(values));
    state.CurResult.Best[1] = 100;
    CrossValidateNeighbours(state);
    const float bias = state.CurResult.Bias[1];
    ASSERT_NE(bias, 0.0f);
    // The same layout with the values negated has the opposite bias.
    for (double &v : values)
        v = -v;
    EngineState negated = MakeState(45, 10, 0);
    negated.CurrentVariable = 3;
    SetNeighbours(negated, Ring(values));
    EngineState &lifted = bias < 0 ? state : negated;
    EngineState &pushed = bias < 0 ? negated : state;
    lifted.CurResult.Best[1] = 0;
    CrossValidateNeighbours(lifted);
    EXPECT_FLOAT_EQ(lifted.CurResult.Best[1], std::fabs(bias)); // a negative bias lifts a 0
    pushed.CurResult.Best[1] = 0;
    CrossValidateNeighbours(pushed);
    EXPECT_EQ(pushed.CurResult.Best[1], 0.0f);
    EXPECT_FLOAT_EQ(pushed.CurResult.Bias[1], std::fabs(bias));
}

TEST(CrossValidate, TwoActiveStationsAtOnePlaceShowTheMessageOnce) {
    EngineState state = MakeState(45, 10, 0);
    state.GradCorrOn = 0;
    state.AltCorrOn = 0;
    auto stations = Ring({1, 5, 2, 8, 3, 7});
    stations.push_back(stations[1]);
    SetNeighbours(state, stations);
    ASSERT_EQ(state.ActiveCount, 6);
    std::vector<EngineMessage> shown;
    state.Callbacks.ShowMessage = [&](const EngineMessage &m) { shown.push_back(m); };
    // The user ticks the doubled station again.
    for (int k = 1; k <= 7; ++k)
        state.Workbench.Check[k] = 1;
    ReadWorkbenchSelection(state);
    CompleteNeighbourRecords(state);
    ASSERT_EQ(state.ActiveCount, 7);
    EngineState withoutErrors = state;
    withoutErrors.MinActiveForErrors = 100;
    ASSERT_TRUE(EstimateLocation(withoutErrors));
    ASSERT_TRUE(EstimateLocation(state));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Text, "No Sence of two different Stations at the same location.\nYou must uncheck at least one of them");
    EXPECT_EQ(shown[0].Title, "Two Stations at the same Location");
    EXPECT_EQ(shown[0].Icon, MessageIcon::Critical);
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(state.CurResult.Bias[m], 0.0f);
        EXPECT_EQ(state.CurResult.StdErr[m], 0.0f);
        EXPECT_EQ(state.CurResult.Best[m], withoutErrors.CurResult.Best[m]);
    }
}

TEST(CrossValidate, NoWeightLeftEndsWithoutAMessage) {
    // Six stations a few hundred metres apart: every distance between them
    // rounds to 0, so a left-out station has nothing to be estimated from.
    EngineState state = MakeState(45, 10, 0);
    std::vector<Station> stations;
    for (int i = 0; i < 6; ++i)
        stations.push_back({45.5 + 0.001 * i, 10.0 + 0.0007 * i, 0, Flat(i)});
    SetNeighbours(state, stations);
    ASSERT_EQ(state.ActiveCount, 6);
    int messages = 0;
    state.Callbacks.ShowMessage = [&](const EngineMessage &) { ++messages; };
    ASSERT_TRUE(EstimateLocation(state));
    EXPECT_EQ(messages, 0);
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(state.CurResult.Bias[m], 0.0f);
        EXPECT_EQ(state.CurResult.StdErr[m], 0.0f);
        EXPECT_TRUE(std::isfinite(state.CurResult.Best[m]));
    }
}

} // namespace
} // namespace tavisol::engine
