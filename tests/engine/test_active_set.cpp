// The whole active set reaches the estimate: fixed values worked out by hand.
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "fixture.h"

namespace tavisol::engine {
namespace {

using testing::MakeState;
using testing::Station;
using testing::StationFile;
using testing::TempFolder;

// Twenty stations due east of the point at 0.4, 0.8, ... 8 degrees (44 to
// 890 km): all read 0 but the twentieth, which reads 100; a 21st, farther but
// within the 1000 km, reads 1000. Worked out by hand with the power 1 and no
// corrections:
// - weights (1/i) / H20, H20 = 1 + 1/2 + ... + 1/20 = 3.5977396571, so the
//   inverse-distance average is 100 * (1/20) / H20 = 1.3897614826;
// - leaving station k < 20 out gives 100 * (1/(20-k)) / (H(k-1) + H(20-k)),
//   leaving the twentieth out gives 0 - 100; the mean of these twenty
//   residuals, the bias, is -1.4817940363, their spread 23.0993804848;
// - the estimate is the average less the bias: 2.8715555189.
// Without the twentieth every number is 0; with the 21st all are larger.
TEST(ActiveSet, TheTwentiethOfTwentyNeighboursCounts) {
    TempFolder folder;
    std::vector<Station> stations;
    for (int i = 1; i <= 21; ++i)
        stations.push_back({0, 0.4 * i, 100, std::vector<double>(12, i == 20 ? 100.0 : i == 21 ? 1000.0 : 0.0),
                            "S" + std::to_string(i), "C"});
    stations[20].lon = 8.4;
    folder.Write("windsp.txt", StationFile(stations));

    EngineState state = MakeState(0, 0, 100);
    ASSERT_EQ(state.MaxStations, 20);
    state.AltCorrOn = 0;
    state.GradCorrOn = 0;
    state.ShadowOn = 0;
    state.DataFolder = folder.path();
    ASSERT_TRUE(RunLocationResultsChain(state, 6));

    EXPECT_EQ(state.NeighbourCount, 20);
    EXPECT_EQ(state.ActiveCount, 20);
    EXPECT_EQ(state.Neighbours[20].Name, "S20");
    EXPECT_EQ(state.Neighbours[20].Active, 1);
    const EstimateResult &r = state.CurResult;
    for (std::size_t m = 1; m <= 12; ++m) {
        EXPECT_NEAR(r.Best[m], 2.8715555, 1e-3) << m;
        EXPECT_NEAR(r.Bias[m], -1.4817940, 1e-3) << m;
        EXPECT_NEAR(r.StdErr[m], 23.099380, 1e-2) << m;
        EXPECT_FLOAT_EQ(state.NeighbourSummary().Values[m], 5.0f) << m; // 100 / 20
    }
    EXPECT_NEAR(r.Best[13], 2.8715555, 1e-3);
    EXPECT_NEAR(state.NeighbourSummary().Longitude, 4.2, 1e-5); // (0.4 + ... + 8) / 20
}

} // namespace
} // namespace tavisol::engine
