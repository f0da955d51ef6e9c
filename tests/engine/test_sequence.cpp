#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine.h"
#include "fixture.h"

namespace tavisol::engine {
namespace {

using ::testing::HasSubstr;
using testing::MakeState;
using testing::Station;
using testing::StationFile;
using testing::TempFolder;

constexpr float PointLat = 41.9f;
constexpr float PointLon = 12.483f;

// Twelve stations around the default point, values by variable with an
// altitude and a north-south gradient and a seasonal cycle; wind is 3 m/s
// everywhere. One far station stays beyond the maximum distance.
std::vector<Station> Stations(int variable) {
    std::vector<Station> stations;
    for (int i = 0; i < 12; ++i) {
        const double a = 2 * M_PI * i / 12 + 0.2;
        Station s;
        s.lat = PointLat + (0.3 + 0.05 * i) * std::cos(a);
        s.lon = PointLon + (0.4 + 0.05 * i) * std::sin(a);
        s.alt = 20 + 90 * i;
        s.name = "Station " + std::to_string(i + 1) + ", v" + std::to_string(variable);
        s.country = "Italy";
        s.values.clear();
        for (int m = 1; m <= 12; ++m) {
            const double season = -std::cos(2 * M_PI * (m - 0.5) / 12);
            double v = 0;
            switch (variable) {
            case 0: v = 15 + 8 * season - 0.0065 * s.alt - 0.5 * (s.lat - PointLat); break;
            case 1: v = 20 + 9 * season - 0.006 * s.alt; break;
            case 2: v = 10 + 7 * season - 0.006 * s.alt; break;
            case 3: v = 70 - 40 * season + 0.05 * s.alt + (i % 3) * 5; break;
            case 4: v = 14 + 6 * season - 0.003 * s.alt; break;
            case 5: v = 80 + 60 * season - 0.02 * s.alt; break;
            case 6: v = 3; break;
            case 7: v = 0.5 + 0.2 * season + 0.01 * (i % 4); break;
            }
            s.values.push_back(v);
        }
        stations.push_back(s);
    }
    stations.push_back({PointLat + 20, PointLon, 10, std::vector<double>(12, 1), "Far", "Away"});
    return stations;
}

// Writes the station files of all eight variables for the default point;
// the tiled variables get one station in two tiles.
void WriteDataFolder(const TempFolder &folder) {
    for (Integer v = 0; v <= 7; ++v) {
        const auto stations = Stations(v);
        const auto names = StationFileNames(v, PointLat, PointLon);
        if (names.size() == 1) {
            folder.Write(names[0], StationFile(stations));
            continue;
        }
        std::vector<std::vector<Station>> tiles(names.size());
        for (std::size_t i = 0; i < stations.size(); ++i)
            tiles[i % names.size()].push_back(stations[i]);
        tiles[3].push_back(stations[0]); // overlapping tiles
        for (std::size_t t = 0; t < names.size(); ++t)
            folder.Write(names[t], StationFile(tiles[t]));
    }
}

class EngineChain : public ::testing::Test {
protected:
    void SetUp() override {
        WriteDataFolder(folder_);
        settings_ = DefaultSettings();
        state_.UseSettings(settings_);
        SetInitialValues(state_);
        state_.DataFolder = folder_.path();
        state_.Callbacks.ShowMessage = [this](const EngineMessage &m) { messages_.push_back(m); };
        state_.Callbacks.DoEvents = [this] { ++events_; };
    }

    TempFolder folder_;
    EngineSettings settings_;
    EngineState state_;
    std::vector<EngineMessage> messages_;
    long events_ = 0;
};

TEST_F(EngineChain, LocationResultsForAllEightVariables) {
    ASSERT_EQ(state_.CalcLatitude, PointLat);
    ASSERT_EQ(state_.CalcLongitude, PointLon);
    struct Stored {
        EstimateResult result;
        std::array<StationRecord, 22> neighbours;
        WarningFlags warnings;
    };
    std::vector<Stored> stored;
    for (Integer v = 0; v <= 7; ++v) {
        ASSERT_TRUE(RunLocationResultsChain(state_, v)) << v;
        stored.push_back({state_.CurResult, state_.Neighbours, state_.CurWarnings});
    }
    EXPECT_TRUE(messages_.empty());
    EXPECT_GT(events_, 0);
    for (Integer v = 0; v <= 7; ++v) {
        const Stored &s = stored[static_cast<std::size_t>(v)];
        const bool tiled = v == 0 || v == 3;
        SCOPED_TRACE(v);
        // The far station is never a neighbour; the doubled one is switched off.
        int found = 0;
        while (found < 20 && !s.neighbours[static_cast<std::size_t>(found + 1)].Name.empty())
            ++found;
        EXPECT_EQ(found, tiled ? 13 : 12);
        EXPECT_EQ(s.warnings.Doubled, tiled ? True : False);
        EXPECT_EQ(s.warnings.Few, False);
        EXPECT_EQ(s.warnings.Lonely, False);
        EXPECT_EQ(s.warnings.Hit, False);
        EXPECT_THAT(s.neighbours[1].Name, HasSubstr(", v" + std::to_string(v)));
        for (int e = 1; e <= 13; ++e) {
            ASSERT_TRUE(std::isfinite(s.result.Best[e]));
            ASSERT_TRUE(std::isfinite(s.result.StdErr[e]));
            ASSERT_TRUE(std::isfinite(s.result.Harmonics[e]));
        }
        EXPECT_GT(s.result.StdErr[1] + s.result.StdErr[7], 0.0f);
        EXPECT_GT(s.neighbours[21].Values[13], 0.0f);
    }
    // Wind is 3 m/s everywhere.
    for (int m = 1; m <= 13; ++m)
        EXPECT_NEAR(stored[6].result.Best[m], 3, 1e-4);
    // Mean temperature in July at 17 m: the stations' July values moved to the point.
    EXPECT_NEAR(stored[0].result.Best[7], 15 + 8 * -std::cos(2 * M_PI * 6.5 / 12) - 0.0065 * 17, 0.3);
    EXPECT_NEAR(stored[0].result.VertGrad[7], -0.0065, 1e-3);
    EXPECT_GT(stored[3].result.Best[1], stored[3].result.Best[7]); // wet winter
    EXPECT_LT(stored[0].result.Best[1], stored[0].result.Best[7]);
}

TEST_F(EngineChain, StatesOfDifferentWindowsDoNotShareResults) {
    EngineState other = state_;
    other.CalcLatitude = PointLat + 0.2f;
    ASSERT_TRUE(RunLocationResultsChain(state_, 0));
    ASSERT_TRUE(RunLocationResultsChain(other, 3));
    EXPECT_EQ(state_.CurrentVariable, 0);
    EXPECT_LT(state_.CurResult.Best[7], 40.0f);
    EXPECT_GT(other.CurResult.Best[1], 40.0f);
}

TEST_F(EngineChain, CalculateWithNoNeighbourShowsTheMessageOnce) {
    state_.CurrentVariable = 4;
    ASSERT_TRUE(Calculate(state_));
    const EstimateResult before = state_.CurResult;
    state_.MaxDistance = 1;
    EXPECT_FALSE(Calculate(state_));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].Text, "There are no neighbouring stations that satisfy the selection   criteria.");
    EXPECT_EQ(messages_[0].Title, "No calculation can be done with 0 neighbours");
    EXPECT_EQ(messages_[0].Icon, MessageIcon::Critical);
    EXPECT_EQ(state_.CurResult.Best, before.Best);
    EXPECT_EQ(state_.CurResult.StdErr, before.StdErr);
}

TEST_F(EngineChain, NewCalculateStartsFromAllFoundNeighbours) {
    state_.CurrentVariable = 0;
    ASSERT_TRUE(Calculate(state_));
    EXPECT_EQ(state_.ActiveCount, 12);
    EXPECT_TRUE(state_.Workbench.activesFrameVisible);
    EXPECT_TRUE(state_.Workbench.CheckVisible[13]);
    EXPECT_FALSE(state_.Workbench.CheckVisible[14]);
    // The user switches three off and re-estimates.
    int switchedOff = 0;
    for (int k = 2; k <= 13 && switchedOff < 3; k += 3) {
        if (state_.Workbench.Check[k] == 1) {
            state_.Workbench.Check[k] = 0;
            ++switchedOff;
        }
    }
    ASSERT_EQ(switchedOff, 3);
    ASSERT_TRUE(RunWorkbenchReestimate(state_));
    EXPECT_EQ(state_.ActiveCount, 9);
    for (int k = 1; k <= 13; ++k) {
        if (state_.Workbench.Check[k] == 0) {
            EXPECT_EQ(state_.Neighbours[k].Weight, 0.0f) << k;
        }
    }
    // A new variable starts again from every found neighbour but the doubled.
    state_.CurrentVariable = 3;
    ASSERT_TRUE(Calculate(state_));
    EXPECT_EQ(state_.ActiveCount, 12);
    EXPECT_EQ(state_.NeighbourCount, 13);
}

TEST_F(EngineChain, BatchChainSkipsALocationWithoutNeighbours) {
    state_.CurrentVariable = 2;
    ASSERT_TRUE(RunBatchChain(state_));
    EXPECT_EQ(state_.NeighbourMinAlt, 20.0f);
    state_.CalcLatitude = -40;
    EXPECT_FALSE(RunBatchChain(state_));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(EngineChain, RasterExportChain) {
    state_.CurrentVariable = 7;
    ASSERT_TRUE(RunRasterExportChain(state_));
    EXPECT_GT(state_.CurResult.Best[13], 0.3f);
    EXPECT_LT(state_.CurResult.Best[13], 0.7f);
}

TEST_F(EngineChain, MissingStationFileStopsTheRunNamingTheFile) {
    std::filesystem::remove(folder_.path() / "vap.txt");
    try {
        RunLocationResultsChain(state_, 4);
        FAIL() << "no failure";
    } catch (const EngineError &e) {
        EXPECT_EQ(e.kind(), ErrorKind::FileNotFound);
        EXPECT_THAT(e.what(), HasSubstr("vap.txt"));
    }
    // A missing tile as well.
    std::filesystem::remove(folder_.path() / StationFileNames(0, PointLat, PointLon)[2]);
    EXPECT_THROW(RunLocationResultsChain(state_, 0), EngineError);
}

} // namespace
} // namespace tavisol::engine
