#include <gtest/gtest.h>

#include "engine/engine.h"
#include "fixture.h"

namespace tavisol::engine {
namespace {

using testing::MakeState;
using testing::SetNeighbours;
using testing::Station;
using testing::StationFile;
using testing::TempFolder;

// A state whose station array holds stations with the given distances and
// altitudes (coordinates made distinct).
EngineState WithStations(const std::vector<std::pair<float, float>> &distanceAndAltitude) {
    EngineState state = MakeState(0, 0, 0);
    state.Stations.resize(distanceAndAltitude.size() + 1);
    int s = 0;
    for (const auto &[d, alt] : distanceAndAltitude) {
        ++s;
        StationRecord &r = state.Stations[static_cast<std::size_t>(s)];
        r.Latitude = static_cast<float>(s);
        r.Longitude = static_cast<float>(s);
        r.Altitude = alt;
        r.Distance = d;
        r.Name = "S" + std::to_string(s);
    }
    state.StationCount = static_cast<Integer>(s);
    return state;
}

TEST(SelectNearestStations, NearestFirstAndTiesInLoadOrder) {
    EngineState state = WithStations({{30, 0}, {10, 0}, {20, 0}, {10, 0}, {5, 0}});
    SelectNearestStations(state);
    ASSERT_EQ(state.NeighbourCount, 5);
    EXPECT_EQ(state.Neighbours[1].Name, "S5");
    EXPECT_EQ(state.Neighbours[2].Name, "S2"); // of two at 10 km the one loaded first
    EXPECT_EQ(state.Neighbours[3].Name, "S4");
    EXPECT_EQ(state.Neighbours[4].Name, "S3");
    EXPECT_EQ(state.Neighbours[5].Name, "S1");
    EXPECT_EQ(state.Neighbours[2].Distance, 10.0f);
}

TEST(SelectNearestStations, MaxDistanceIsInclusive) {
    EngineState state = WithStations({{1000.001f, 0}, {1000, 0}});
    SelectNearestStations(state);
    ASSERT_EQ(state.NeighbourCount, 1);
    EXPECT_EQ(state.Neighbours[1].Name, "S2");
}

TEST(SelectNearestStations, NothingWithinReach) {
    EngineState state = WithStations({{1500, 0}, {20000, 0}});
    state.MaxDistance = 30000;
    // 20000 km or more never enters, even within the maximum distance.
    SelectNearestStations(state);
    EXPECT_EQ(state.NeighbourCount, 1);
    state.MaxDistance = 1000;
    SelectNearestStations(state);
    EXPECT_EQ(state.NeighbourCount, 0);
    MarkDoubledStations(state);
    CompleteNeighbourRecords(state);
    EXPECT_EQ(state.ActiveCount, 0);
    for (int k = 1; k <= 20; ++k)
        EXPECT_EQ(state.Neighbours[k].Active, 0);
    const StationRecord &sum = state.NeighbourSummary();
    EXPECT_EQ(sum.Latitude, 0.0f);
    EXPECT_EQ(sum.Altitude, 0.0f);
    EXPECT_EQ(sum.Values[13], 0.0f);
}

TEST(SelectNearestStations, AltitudeWindowIncludesItsBounds) {
    EngineState state = WithStations({{10, 0}, {20, 500}, {5, 9999}, {7, 501}, {8, -1}});
    state.AltWindowOn = 1;
    state.MinAltitude = 0;
    state.MaxAltitude = 500;
    SelectNearestStations(state);
    ASSERT_EQ(state.NeighbourCount, 2);
    EXPECT_EQ(state.Neighbours[1].Name, "S1");
    EXPECT_EQ(state.Neighbours[2].Name, "S2");
    state.AltWindowOn = 0;
    SelectNearestStations(state);
    EXPECT_EQ(state.NeighbourCount, 5);
    EXPECT_EQ(state.Neighbours[1].Name, "S3"); // without altitude, taken when the window is off
}

TEST(SelectNearestStations, StationCountIsLimitedToOneToTwenty) {
    std::vector<std::pair<float, float>> many;
    for (int i = 0; i < 30; ++i)
        many.emplace_back(static_cast<float>(100 - i), 0.0f);
    EngineState state = WithStations(many);
    state.MaxStations = 5;
    SelectNearestStations(state);
    EXPECT_EQ(state.NeighbourCount, 5);
    EXPECT_EQ(state.Neighbours[1].Distance, 71.0f);
    MarkDoubledStations(state);
    for (int k = 6; k <= 20; ++k)
        EXPECT_EQ(state.Neighbours[k].Active, 0);
    state.MaxStations = 25;
    SelectNearestStations(state);
    EXPECT_EQ(state.NeighbourCount, 20);
    state.MaxStations = 0;
    SelectNearestStations(state);
    EXPECT_EQ(state.NeighbourCount, 1);
    state.MaxStations = -3;
    SelectNearestStations(state);
    EXPECT_EQ(state.NeighbourCount, 1);
}

TEST(MarkDoubledStations, LaterOfTwoAtOnePositionIsSwitchedOff) {
    EngineState state = MakeState(45, 10, 0);
    SetNeighbours(state, {{45.1, 10, 100}, {45.2, 10, 100}, {45.2, 10, 300}, {45.3, 10, 100}, {45.2, 10, 100}});
    EXPECT_EQ(state.Neighbours[1].Active, 1);
    EXPECT_EQ(state.Neighbours[2].Active, 1);
    EXPECT_EQ(state.Neighbours[3].Active, 0); // altitudes are not compared
    EXPECT_EQ(state.Neighbours[4].Active, 1);
    EXPECT_EQ(state.Neighbours[5].Active, 0);
    EXPECT_EQ(state.CurWarnings.Doubled, True);
    EXPECT_EQ(state.ActiveCount, 3);
    SetNeighbours(state, {{45.1, 10, 100}, {45.2, 10, 100}});
    EXPECT_EQ(state.CurWarnings.Doubled, False);
    EXPECT_EQ(state.ActiveCount, 2);
}

TEST(MarkDoubledStations, StationWithoutAltitudeCountsOnlyAsActive) {
    EngineState state = MakeState(45, 10, 0);
    SetNeighbours(state, {{45.1, 10, 9999, std::vector<double>(12, 3)}, {45.2, 10, 100, std::vector<double>(12, 6)},
                          {45.3, 10, 200, std::vector<double>(12, 9)}});
    EXPECT_EQ(state.ActiveCount, 3);
    EXPECT_EQ(state.ActiveWithAltCount, 2);
    const StationRecord &sum = state.NeighbourSummary();
    EXPECT_EQ(sum.Altitude, 150.0f); // the 9999 is not added
    EXPECT_FLOAT_EQ(sum.Latitude, 45.2f);
    EXPECT_EQ(sum.Longitude, 10.0f);
    EXPECT_EQ(sum.Values[1], 6.0f);
    EXPECT_EQ(sum.Values[13], 6.0f);
    EXPECT_EQ(sum.Direction, 0.0f);
    EXPECT_EQ(sum.Compass, "N ");
    EXPECT_EQ(state.Neighbours[3].Values[13], 9.0f);

    SetNeighbours(state, {{45.1, 10, 9999}, {45.2, 10, 9999}});
    EXPECT_EQ(state.ActiveWithAltCount, 0);
    EXPECT_EQ(state.NeighbourSummary().Altitude, 9999.0f);
}

TEST(CompleteNeighbourRecords, AnnualValuesOfInactiveNeighboursToo) {
    EngineState state = MakeState(45, 10, 0);
    SetNeighbours(state, {{45.1, 10, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}}, {45.1, 10, 0, std::vector<double>(12, 1)}});
    EXPECT_EQ(state.Neighbours[2].Active, 0);
    EXPECT_FLOAT_EQ(state.Neighbours[1].Values[13], 6.5f);
    EXPECT_FLOAT_EQ(state.Neighbours[2].Values[13], 1.0f);
    EXPECT_FLOAT_EQ(state.NeighbourSummary().Values[13], 6.5f); // means over the active ones only
    EXPECT_EQ(state.Neighbours[7].Values[13], 0.0f);
}

TEST(Workbench, ShowWritesTheCheckBoxesAndReadTakesThemBack) {
    EngineState state = MakeState(45, 10, 0);
    SetNeighbours(state, {{45.1, 10, 0}, {45.2, 10, 0}, {45.2, 10, 0}, {45.4, 10, 0}});
    state.Workbench.Check.fill(1);
    MarkDoubledStationsAndShow(state);
    EXPECT_TRUE(state.Workbench.activesFrameVisible);
    EXPECT_EQ(state.Workbench.Check[1], 1);
    EXPECT_EQ(state.Workbench.Check[3], 0);
    EXPECT_EQ(state.Workbench.Check[5], 0);
    EXPECT_TRUE(state.Workbench.CheckVisible[4]);
    EXPECT_FALSE(state.Workbench.CheckVisible[5]);
    state.Workbench.Check[1] = 0; // the user clears the first box
    ReadWorkbenchSelection(state);
    EXPECT_EQ(state.Neighbours[1].Active, 0);
    EXPECT_EQ(state.ActiveCount, 2);
    EXPECT_EQ(state.ActiveWithAltCount, 2);
    state.Workbench.Check[3] = 1; // and ticks the doubled one again
    ReadWorkbenchSelection(state);
    EXPECT_EQ(state.ActiveCount, 3);
}

TEST(PrepareNeighbours, SameStationFromOverlappingTilesIsDoubled) {
    TempFolder folder;
    EngineState state = MakeState(folder, 41.9f, 12.483f, 17);
    const Station rome{41.95, 12.5, 20, std::vector<double>(12, 15), "Roma"};
    const Station other{42.5, 12.9, 200, std::vector<double>(12, 12), "Rieti"};
    const auto names = TileFileNames(0, state.CalcLatitude, state.CalcLongitude);
    folder.Write(names[0], StationFile({rome, other}));
    folder.Write(names[1], StationFile({rome}));
    folder.Write(names[2], "");
    folder.Write(names[3], StationFile({{43.5, 13.5, 5}}));
    PrepareNeighbours(state);
    ASSERT_EQ(state.NeighbourCount, 4);
    EXPECT_EQ(state.Neighbours[1].Name, "Roma");
    EXPECT_EQ(state.Neighbours[2].Name, "Roma");
    EXPECT_EQ(state.Neighbours[1].Distance, state.Neighbours[2].Distance);
    EXPECT_EQ(state.Neighbours[1].Direction, state.Neighbours[2].Direction);
    EXPECT_EQ(state.Neighbours[3].Compass, "NE");
    MarkDoubledStations(state);
    EXPECT_EQ(state.Neighbours[2].Active, 0);
    EXPECT_EQ(state.CurWarnings.Doubled, True);
    EXPECT_EQ(state.ActiveCount, state.NeighbourCount - 1);
}

TEST(PrepareNeighbours, LetsEventsThrough) {
    TempFolder folder;
    folder.Write("pet.txt", StationFile({{1, 1, 1}, {2, 2, 2}, {3, 3, 3}}));
    EngineState state = MakeState(folder, 0, 0, 0);
    state.CurrentVariable = 5;
    int events = 0;
    state.Callbacks.DoEvents = [&] { ++events; };
    state.PlainSteps = true;
    PrepareNeighbours(state);
    EXPECT_GE(events, 3 + 3 + 3 + 3); // records, distances, selection, copies
    // Kept files searched through their index: after each file and each neighbour.
    events = 0;
    state.PlainSteps = false;
    PrepareNeighbours(state);
    EXPECT_GE(events, 1 + 3 + 3);
}

} // namespace
} // namespace tavisol::engine
