#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "engine/engine.h"
#include "fixture.h"

namespace tavisol::engine {
namespace {

using testing::MakeState;
using testing::SetNeighbours;
using testing::Station;

// Six stations around (45, 10), none closer than a few km to another.
std::vector<Station> Ring(const std::vector<double> &januaryValues) {
    std::vector<Station> stations;
    for (std::size_t i = 0; i < januaryValues.size(); ++i) {
        const double a = static_cast<double>(i) * 1.1;
        stations.push_back({45 + 0.3 * std::cos(a) + 0.02 * static_cast<double>(i), 10 + 0.4 * std::sin(a), 0,
                            testing::Flat(januaryValues[i])});
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

// Leave-one-out bias and standard error of month m, worked through in the
// engine's number widths: distances, directions, weights, the cosine, the
// residuals and the running sums are Singles; each shadow factor is part of
// the weight's formula and is not rounded on its own. Gradients are 0.
std::pair<float, float> LeaveOneOut(const EngineState &st, int m) {
    const double pi = 3.1415926535;
    const int n = st.NeighbourCount;
    std::vector<float> residual;
    for (int k = 1; k <= n; ++k) {
        const StationRecord &a = st.Neighbours[k];
        float w[21] = {}, d[21] = {};
        for (int j = 1; j <= n; ++j) {
            if (j == k)
                continue;
            const StationRecord &b = st.Neighbours[j];
            d[j] = GreatCircleDistance(a.Longitude, a.Latitude, b.Longitude, b.Latitude);
            w[j] = static_cast<float>(std::pow(static_cast<double>(d[j]), -static_cast<double>(st.IdwPower)));
        }
        for (int j = 1; j <= n; ++j) {
            for (int l = 1; l <= n; ++l) {
                if (j == k || l == j || l == k || !(d[l] < d[j]))
                    continue;
                const StationRecord &b = st.Neighbours[j];
                const StationRecord &c = st.Neighbours[l];
                const float al = Azimuth(a.Longitude, a.Latitude, c.Longitude, c.Latitude);
                const float aj = Azimuth(a.Longitude, a.Latitude, b.Longitude, b.Latitude);
                const float cosine = static_cast<float>(std::cos((static_cast<double>(aj) - al) * pi / 180));
                w[j] = static_cast<float>(w[j] * (1.0 - static_cast<double>(st.ShadowCoef) *
                                                            (1.0 - static_cast<double>(d[l]) / d[j]) *
                                                            (1.0 - (1.0 - static_cast<double>(cosine)) * 0.5)));
            }
        }
        float sum = 0;
        for (int j = 1; j <= n; ++j)
            sum = static_cast<float>(static_cast<double>(sum) + w[j]);
        float estimate = 0;
        for (int j = 1; j <= n; ++j) {
            const float wj = static_cast<float>(static_cast<double>(w[j]) / sum);
            estimate = static_cast<float>(estimate + static_cast<double>(wj) * st.Neighbours[j].Values[m]);
        }
        residual.push_back(static_cast<float>(static_cast<double>(estimate) - a.Values[m]));
    }
    float sum = 0;
    for (float r : residual)
        sum = static_cast<float>(static_cast<double>(sum) + r);
    const float bias = static_cast<float>(static_cast<double>(sum) / n);
    float squares = 0;
    for (float r : residual)
        squares = static_cast<float>(squares + (static_cast<double>(r) - bias) * (static_cast<double>(r) - bias));
    return {bias, static_cast<float>(std::sqrt(static_cast<double>(squares) / n))};
}

TEST(CrossValidate, ShadowFactorsAreNotRoundedOnTheirOwn) {
    EngineState state = MakeState(45, 10, 0);
    state.GradCorrOn = 0;
    state.AltCorrOn = 0;
    state.ShadowCoef = 0.7f;
    std::vector<Station> stations;
    for (int i = 0; i < 7; ++i) {
        std::vector<double> values;
        for (int m = 1; m <= 12; ++m)
            values.push_back(10 + 5 * std::sin(1.7 * i + 0.9 * m));
        stations.push_back({45 + 0.45 * std::cos(2.3 * i + 0.4), 10 + 0.55 * std::sin(1.9 * i + 1.1), 0, values});
    }
    SetNeighbours(state, stations);
    ASSERT_EQ(state.ActiveCount, 7);
    CrossValidateNeighbours(state);
    for (int m = 1; m <= 12; ++m) {
        const auto [bias, stdErr] = LeaveOneOut(state, m);
        EXPECT_EQ(state.CurResult.Bias[m], bias) << m;
        EXPECT_EQ(state.CurResult.StdErr[m], stdErr) << m;
    }
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
        stations.push_back({45.5 + 0.001 * i, 10.0 + 0.0007 * i, 0, testing::Flat(i)});
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

// Stations spread enough that most pairs are shadowed by several others.
std::vector<Station> Scattered(int count) {
    std::vector<Station> stations;
    for (int i = 0; i < count; ++i) {
        std::vector<double> values;
        for (int m = 1; m <= 12; ++m)
            values.push_back(10 + 5 * std::sin(1.3 * i + 0.7 * m));
        stations.push_back({45 + 0.6 * std::cos(2.1 * i + 0.3), 10 + 0.8 * std::sin(1.7 * i + 0.9),
                            i % 4 == 0 ? 9999.0 : 100.0 * i, values});
    }
    return stations;
}

// Runs the step on `fast` (which keeps its memo from earlier runs) and on a
// plain state with the same neighbours and settings; both must end the same.
void ExpectPlainResults(EngineState &fast, const std::vector<Station> &stations, const char *when,
                        int switchedOff = 0) {
    EngineState plain = fast;
    plain.PlainSteps = true;
    SetNeighbours(fast, stations);
    SetNeighbours(plain, stations);
    if (switchedOff > 0)
        fast.Neighbours[switchedOff].Active = plain.Neighbours[switchedOff].Active = 0;
    for (int m = 1; m <= 13; ++m)
        fast.CurResult.Best[m] = plain.CurResult.Best[m] = static_cast<Single>(3 * m);
    std::vector<std::string> fastMessages, plainMessages;
    fast.Callbacks.ShowMessage = [&](const EngineMessage &message) { fastMessages.push_back(message.Text); };
    plain.Callbacks.ShowMessage = [&](const EngineMessage &message) { plainMessages.push_back(message.Text); };
    CrossValidateNeighbours(fast);
    CrossValidateNeighbours(plain);
    EXPECT_EQ(fastMessages, plainMessages) << when;
    for (int m = 1; m <= 13; ++m) {
        EXPECT_EQ(std::bit_cast<std::uint32_t>(fast.CurResult.Bias[m]), std::bit_cast<std::uint32_t>(plain.CurResult.Bias[m]))
            << when << ", month " << m;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(fast.CurResult.StdErr[m]),
                  std::bit_cast<std::uint32_t>(plain.CurResult.StdErr[m]))
            << when << ", month " << m;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(fast.CurResult.Best[m]), std::bit_cast<std::uint32_t>(plain.CurResult.Best[m]))
            << when << ", month " << m;
    }
    fast.Callbacks.ShowMessage = nullptr;
}

TEST(CrossValidateMemo, ReusedWeightsEqualComputedOnesWhenTheShadowOrderChanges) {
    EngineState state = MakeState(45, 10, 0);
    state.ShadowOn = 1;
    state.ShadowCoef = 0.7f;
    auto stations = Scattered(12);
    ExpectPlainResults(state, stations, "first run");
    const auto first = state.LeaveOneOut.counts();
    EXPECT_EQ(first.hits, 0);
    EXPECT_EQ(first.misses, 12 * 11);

    ExpectPlainResults(state, stations, "same order again");
    EXPECT_EQ(state.LeaveOneOut.counts().hits, 12 * 11);

    // The same stations in another order: the shadow factors apply in
    // another order, so a weight reused from the first order would differ.
    std::reverse(stations.begin(), stations.end());
    std::swap(stations[2], stations[7]);
    ExpectPlainResults(state, stations, "reversed");
    const auto reversed = state.LeaveOneOut.counts();
    EXPECT_GT(reversed.misses, first.misses + 60);

    // Only two neighbours swapped: pairs shadowed by both are computed anew,
    // the others are reused.
    std::swap(stations[4], stations[5]);
    ExpectPlainResults(state, stations, "two swapped");
    const auto swapped = state.LeaveOneOut.counts();
    EXPECT_GT(swapped.misses, reversed.misses);
    EXPECT_GT(swapped.hits, reversed.hits);

    // One station more, one switched off, two at one place.
    stations.push_back(Scattered(13).back());
    ExpectPlainResults(state, stations, "one more");
    ExpectPlainResults(state, stations, "one switched off", 4);
    stations.push_back(stations[6]);
    ExpectPlainResults(state, stations, "two at one place");
}

TEST(CrossValidateMemo, ChangedSettingsAreNeverAnsweredFromTheMemo) {
    EngineState state = MakeState(45, 10, 0);
    state.ShadowOn = 1;
    const auto stations = Scattered(10);
    ExpectPlainResults(state, stations, "defaults");
    long long misses = state.LeaveOneOut.counts().misses;
    auto expectRecomputed = [&](const char *when) {
        ExpectPlainResults(state, stations, when);
        const long long now = state.LeaveOneOut.counts().misses;
        EXPECT_EQ(now, misses + 10 * 9) << when;
        misses = now;
    };
    state.ShadowCoef = 0.35f;
    expectRecomputed("shadow coefficient");
    state.IdwPower = 3;
    expectRecomputed("power");
    // Every distance below about 200 km is 0: the first left-out station has no weight left.
    state.ZeroTolerance = 1e-3f;
    ExpectPlainResults(state, stations, "zero tolerance that zeroes every distance");
    misses = state.LeaveOneOut.counts().misses;
    state.ZeroTolerance = 1e-6f;
    expectRecomputed("zero tolerance");
    state.ShadowOn = 0;
    ExpectPlainResults(state, stations, "shadow off");
    state.ShadowOn = 1;
    ExpectPlainResults(state, stations, "shadow on again");
    state.IdwPower = 2;
    expectRecomputed("power back");
    state.ShadowCoef = 0.7f;
    expectRecomputed("shadow coefficient back");
}

TEST(CrossValidateMemo, ACopiedStateStartsWithAnEmptyMemoOfItsOwn) {
    EngineState state = MakeState(45, 10, 0);
    state.ShadowOn = 1;
    SetNeighbours(state, Scattered(8));
    CrossValidateNeighbours(state);
    const auto before = state.LeaveOneOut.counts();
    ASSERT_GT(before.misses, 0);
    EngineState copy = state;
    EXPECT_EQ(copy.LeaveOneOut.counts().hits + copy.LeaveOneOut.counts().misses, 0);
    CrossValidateNeighbours(copy);
    EXPECT_EQ(copy.LeaveOneOut.counts().misses, before.misses);
    EXPECT_EQ(state.LeaveOneOut.counts().misses, before.misses);
    EXPECT_EQ(state.LeaveOneOut.counts().hits, 0);
    copy = state;
    EXPECT_EQ(copy.LeaveOneOut.counts().misses, 0);
}

} // namespace
} // namespace tavisol::engine
