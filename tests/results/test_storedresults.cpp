#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/engine.h"
#include "fixture.h"
#include "results/storedresults.h"

namespace {

using namespace tavisol::results;
using namespace tavisol::engine;
using tavisol::results::fixture::TempFolder;
using tavisol::results::fixture::WriteDataFolder;

constexpr double kLon = 13.01;
constexpr double kLat = 41.99;

class LocationEstimateRun : public ::testing::Test {
protected:
    void SetUp() override {
        WriteDataFolder(folder.path(), kLon, kLat);
        SetInitialValues(state);
        state.DataFolder = folder.path() / "TavisolData";
    }
    RunOutcome Run(std::vector<int> *steps = nullptr) {
        return RunLocationEstimate(results, state, static_cast<Single>(kLon), static_cast<Single>(kLat), 17,
                                [steps](int v) {
                                    if (steps)
                                        steps->push_back(v);
                                });
    }

    TempFolder folder;
    EngineState state;
    LocationResults results;
};

TEST_F(LocationEstimateRun, StoresEveryVariableWithItsCountsAndPoint) {
    std::vector<int> steps;
    const RunOutcome outcome = Run(&steps);
    ASSERT_TRUE(outcome.ok) << outcome.error;
    EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_TRUE(results.AllComputed());
    EXPECT_EQ(state.CurrentVariable, 7);
    for (int v = 0; v < VariableCount; ++v) {
        const StoredVariable &s = results[v];
        EXPECT_TRUE(s.Estimated) << v;
        EXPECT_EQ(s.NeighbourCount, 8) << v;
        // One of the two stations at one position is switched off.
        EXPECT_EQ(s.ActiveCount, 7) << v;
        EXPECT_EQ(results.ActiveNeighbours(v), 7) << v;
        EXPECT_EQ(s.Warnings.Doubled, True) << v;
        EXPECT_FLOAT_EQ(s.CalcLongitude, static_cast<Single>(kLon));
        EXPECT_FLOAT_EQ(s.CalcLatitude, static_cast<Single>(kLat));
        EXPECT_FLOAT_EQ(s.CalcAltitude, 17);
        // Each variable has its own stations and values.
        EXPECT_EQ(s.Neighbours[1].Name.substr(0, 3), "St" + std::to_string(v));
        EXPECT_TRUE(s.Neighbours[9].Country.empty());
    }
    EXPECT_GT(results.StoredResult(3).Best[1], results.StoredResult(0).Best[1]);
    EXPECT_LT(results.StoredResult(7).Best[1], 1.0f);
}

TEST_F(LocationEstimateRun, RestorePutsTheVariableBackExactly) {
    ASSERT_TRUE(Run().ok);
    // Recompute variable 2 alone on a second state to compare with.
    EngineState fresh;
    SetInitialValues(fresh);
    fresh.DataFolder = state.DataFolder;
    fresh.CalcLongitude = static_cast<Single>(kLon);
    fresh.CalcLatitude = static_cast<Single>(kLat);
    fresh.CalcAltitude = 17;
    RunLocationResultsChain(fresh, 2);

    EngineState target;
    SetInitialValues(target);
    target.NeighbourCount = 3;
    RestoreVariable(results, 2, target);
    EXPECT_EQ(target.CurrentVariable, 2);
    EXPECT_EQ(target.NeighbourCount, fresh.NeighbourCount);
    EXPECT_EQ(target.ActiveCount, fresh.ActiveCount);
    EXPECT_EQ(target.ActiveWithAltCount, fresh.ActiveWithAltCount);
    EXPECT_EQ(target.NeighbourMaxAlt, fresh.NeighbourMaxAlt);
    EXPECT_EQ(target.NeighbourMinAlt, fresh.NeighbourMinAlt);
    EXPECT_EQ(target.CalcLatitude, fresh.CalcLatitude);
    EXPECT_EQ(target.CurResult.Best, fresh.CurResult.Best);
    EXPECT_EQ(target.CurResult.StdErr, fresh.CurResult.StdErr);
    EXPECT_EQ(target.CurResult.DirGradText, fresh.CurResult.DirGradText);
    EXPECT_EQ(target.CurWarnings.Lonely, fresh.CurWarnings.Lonely);
    for (int k = 1; k <= 20; ++k) {
        EXPECT_EQ(target.Neighbours[k].Name, fresh.Neighbours[k].Name);
        EXPECT_EQ(target.Neighbours[k].Weight, fresh.Neighbours[k].Weight);
    }
    // Record 21 carries the active count.
    EXPECT_EQ(target.Neighbours[21].Active, 7);
    EXPECT_EQ(target.Neighbours[21].Longitude, fresh.Neighbours[21].Longitude);
}

TEST_F(LocationEstimateRun, MissingFileStopsAtItsVariableAndNamesIt) {
    ASSERT_TRUE(Run().ok);
    std::filesystem::remove(state.DataFolder / "windsp.txt");
    std::vector<int> steps;
    const RunOutcome outcome = Run(&steps);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.failedVariable, 6);
    EXPECT_NE(outcome.error.find("windsp.txt"), std::string::npos) << outcome.error;
    EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_FALSE(results.AllComputed());
    for (int v = 0; v < 6; ++v)
        EXPECT_TRUE(results[v].Computed) << v;
    for (int v = 6; v < 8; ++v) {
        // Cleared, not the previous run's values.
        EXPECT_FALSE(results[v].Computed) << v;
        EXPECT_EQ(results.StoredResult(v).Best[1], 0) << v;
        EXPECT_EQ(results[v].NeighbourCount, 0) << v;
        EXPECT_EQ(results.StoredWarnings(v).Doubled, 0) << v;
        EXPECT_TRUE(results.StoredNeighbours(v)[1].Name.empty()) << v;
    }
    EXPECT_EQ(state.CurrentVariable, 7);
}

TEST_F(LocationEstimateRun, VariableWithoutNeighboursStoresZeros) {
    // Sunshine stations only on the other side of the globe.
    std::vector<tavisol::results::fixture::Station> far(2);
    far[0].lat = -40;
    far[0].lon = -170;
    far[1].lat = -41;
    far[1].lon = -171;
    std::ofstream(state.DataFolder / "sufr.txt", std::ios::binary) << tavisol::results::fixture::StationFile(far);
    ASSERT_TRUE(Run().ok);
    const StoredVariable &sun = results[7];
    EXPECT_TRUE(sun.Computed);
    EXPECT_FALSE(sun.Estimated);
    EXPECT_EQ(sun.NeighbourCount, 0);
    EXPECT_EQ(results.ActiveNeighbours(7), 0);
    for (int m = 1; m <= 13; ++m)
        EXPECT_EQ(sun.Result.Best[static_cast<std::size_t>(m)], 0);
}

TEST(StoredCopies, ActiveCountTakesOnlyExactOnes) {
    LocationResults r;
    r[4].Neighbours[1].Active = 1;
    r[4].Neighbours[2].Active = 0;
    r[4].Neighbours[3].Active = -1;
    r[4].Neighbours[4].Active = 1;
    r[4].Neighbours[21].Active = 12;
    CountActiveNeighbours(r);
    EXPECT_EQ(r.ActiveNeighbours(4), 2);
    EXPECT_EQ(r.ActiveNeighbours(5), 0);
    ClearResults(r);
    EXPECT_EQ(r.StoredNeighbours(4)[1].Active, 0);
    EXPECT_EQ(r.StoredResult(4).DirGradText[5], "  ");
}

} // namespace
