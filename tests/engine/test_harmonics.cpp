#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine.h"

namespace tavisol::engine {
namespace {

EstimateResult Fit(Integer variable, const std::array<double, 12> &best) {
    EngineState state;
    state.CurrentVariable = variable;
    for (int m = 1; m <= 12; ++m)
        state.CurResult.Best[m] = static_cast<float>(best[static_cast<std::size_t>(m - 1)]);
    FitHarmonics(state);
    return state.CurResult;
}

TEST(Harmonics, ConstantTemperatureIsItsOwnMean) {
    std::array<double, 12> best;
    best.fill(12.3);
    const EstimateResult r = Fit(0, best);
    EXPECT_EQ(r.Harmonics[13], 12.3f);
    for (int k = 1; k <= 12; ++k)
        EXPECT_EQ(r.Harmonics[k], 0.0f) << k;
    EXPECT_FLOAT_EQ(IntegrateHarmonics(r, 0.1f, 0.35f), 12.3f);
    EXPECT_FLOAT_EQ(IntegrateHarmonics(r, 0.9f, 0.9f), 12.3f);
}

TEST(Harmonics, TotalsAreBroughtToACommonMonth) {
    // 1 mm a day is 31, 30 or 28.25 mm a month.
    const std::array<double, 12> best = {31, 28.25, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (Integer variable : {3, 5}) {
        const EstimateResult r = Fit(variable, best);
        EXPECT_EQ(r.Harmonics[13], 30.4375f);
        for (int k = 1; k <= 12; ++k)
            EXPECT_EQ(r.Harmonics[k], 0.0f) << k;
        for (int d : {1, 45, 200, 365})
            EXPECT_FLOAT_EQ(IntegrateHarmonics(r, (d - 1) / 365.0f, d / 365.0f) / 30.4375f, 1.0f) << d;
    }
    // The same totals as a non-total variable do vary.
    EXPECT_NE(Fit(4, best).Harmonics[1], 0.0f);
}

TEST(Harmonics, SixthCosineIsNeverFitted) {
    const std::array<double, 12> best = {1, -1, 1, -1, 1, -1, 1, -1, 1, -1, 1, -1};
    const EstimateResult r = Fit(0, best);
    EXPECT_EQ(r.Harmonics[12], 0.0f);
    EXPECT_NE(r.Harmonics[6], 0.0f);
}

TEST(Harmonics, SampledHarmonicsAreScaledUpFromMonthlyMeans) {
    // Values on one harmonic at the mid-month times: the projection gives 1,
    // and the fit scales it by x / sin(x), x = pi k / 12, to undo the
    // smoothing of a monthly mean.
    const double days[13] = {0, 31, 28.25, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    double t[13];
    t[1] = 31.0 / 2 / 365.25;
    for (int m = 2; m <= 12; ++m)
        t[m] = t[m - 1] + (days[m - 1] + days[m]) / 2 / 365.25;
    std::array<double, 12> cosine1, sine2;
    for (int m = 1; m <= 12; ++m) {
        cosine1[static_cast<std::size_t>(m - 1)] = 100 * std::cos(2 * M_PI * t[m]);
        sine2[static_cast<std::size_t>(m - 1)] = 100 * std::sin(4 * M_PI * t[m]);
    }
    const double x1 = M_PI / 12, x2 = 2 * M_PI / 12;
    EXPECT_NEAR(Fit(0, cosine1).Harmonics[7], 100 * x1 / std::sin(x1), 0.2);
    EXPECT_NEAR(Fit(0, sine2).Harmonics[2], 100 * x2 / std::sin(x2), 0.2);
    const EstimateResult r = Fit(0, cosine1);
    EXPECT_NEAR(IntegrateHarmonics(r, 0, 1), r.Harmonics[13], 1e-4); // a whole year
}

} // namespace
} // namespace tavisol::engine
