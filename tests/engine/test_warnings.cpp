#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine.h"
#include "fixture.h"

namespace tavisol::engine {
namespace {

using testing::MakeState;
using testing::SetNeighbours;
using testing::Station;

// n stations on a ring around (45, 10), altitudes from the list.
std::vector<Station> Ring(int n, const std::vector<double> &altitudes) {
    std::vector<Station> stations;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * M_PI * i / n;
        stations.push_back({45 + 0.3 * std::cos(a), 10 + 0.4 * std::sin(a),
                            altitudes[static_cast<std::size_t>(i) % altitudes.size()], testing::Flat(5)});
    }
    return stations;
}

// The warnings of a state among the given neighbours.
void WarnAmong(EngineState &state, const std::vector<Station> &neighbours) {
    SetNeighbours(state, neighbours);
    EstimateWarnings(state);
}

// The warnings at (45, 10) at the given altitude.
EngineState Warned(float altitude, const std::vector<Station> &neighbours) {
    EngineState state = MakeState(45, 10, altitude);
    WarnAmong(state, neighbours);
    return state;
}

TEST(Warnings, HighAndLowAgainstTheNeighbourAltitudes) {
    EngineState state = Warned(500, Ring(4, {600, 900, 700, 800}));
    EXPECT_EQ(state.CurWarnings.Low, True);
    EXPECT_EQ(state.CurWarnings.High, False);
    EXPECT_EQ(state.NeighbourMaxAlt, 900.0f);
    EXPECT_EQ(state.NeighbourMinAlt, 600.0f);
    state.CalcAltitude = 900;
    EstimateWarnings(state);
    EXPECT_EQ(state.CurWarnings.Low, False);
    EXPECT_EQ(state.CurWarnings.High, False);
    state.CalcAltitude = 901;
    EstimateWarnings(state);
    EXPECT_EQ(state.CurWarnings.High, True);
}

TEST(Warnings, NoNeighbourAltitudeRaisesBoth) {
    EngineState state = Warned(500, Ring(12, {9999}));
    EXPECT_EQ(state.NeighbourMaxAlt, -9999.0f);
    EXPECT_EQ(state.NeighbourMinAlt, 999999.0f);
    EXPECT_EQ(state.CurWarnings.High, True);
    EXPECT_EQ(state.CurWarnings.Low, True);
    EXPECT_EQ(state.CurWarnings.Few, True);
}

TEST(Warnings, FewAndHit) {
    EngineState state = Warned(0, Ring(10, {100, 200, 300}));
    EXPECT_EQ(state.CurWarnings.Few, False);
    EXPECT_EQ(state.CurWarnings.Hit, False);
    WarnAmong(state, Ring(9, {100, 200, 300}));
    EXPECT_EQ(state.CurWarnings.Few, True);
    auto stations = Ring(10, {100, 200, 300});
    stations.insert(stations.begin(), Station{45.0002, 10, 0, testing::Flat(1)});
    WarnAmong(state, stations);
    EXPECT_EQ(state.CurWarnings.Hit, True);
    state.IdwPower = 0.001f;
    EstimateWarnings(state);
    EXPECT_EQ(state.CurWarnings.Hit, False);
}

TEST(Warnings, Loneliness) {
    EngineState state = Warned(0, Ring(6, {100}));
    EXPECT_EQ(state.CurWarnings.Lonely, False); // inside the ring
    state.CalcLatitude = 47;
    WarnAmong(state, Ring(6, {100}));
    EXPECT_EQ(state.CurWarnings.Lonely, True); // beyond the farthest neighbour
    // At the farthest neighbour's own place: as far from the mean point as it, so lonely.
    std::vector<Station> stations = {{45.1, 10, 0}, {44.9, 10, 0}, {45, 10.1, 0}, {45, 9.9, 0}, {45.5, 10, 0}};
    state.CalcLatitude = 45.5f;
    state.CalcLongitude = 10;
    WarnAmong(state, stations);
    EXPECT_EQ(state.CurWarnings.Lonely, True);
}

TEST(SidakQuantile, StepsOfTheTable) {
    EXPECT_EQ(SidakQuantile(1, 0.9f), 1.44f); // p is exactly 0.95, not above it
    EXPECT_EQ(SidakQuantile(10, 0.9f), 2.512f);
    EXPECT_EQ(SidakQuantile(12, 0.9f), 2.576f);
    EXPECT_EQ(SidakQuantile(20, 0.9f), 2.748f);
    EXPECT_EQ(SidakQuantile(1, 0.8f), 0.0f); // p = 0.9 is not above 0.9
    EXPECT_EQ(SidakQuantile(1, 0.99999f), 3.7119f);
}

// Twelve stations of known altitude, all 5 but June: eleven alternate 0 and
// 1 and the twelfth is 10.
std::vector<Station> StrangeJune() {
    auto stations = Ring(12, {100, 200, 300});
    for (std::size_t i = 0; i < 12; ++i)
        stations[i].values[5] = i == 11 ? 10 : static_cast<double>(i % 2);
    return stations;
}

TEST(Warnings, StrangeDataExample) {
    EngineState state = MakeState(45, 10, 200);
    state.AltCorrOn = 0;
    state.GradCorrOn = 0;
    SetNeighbours(state, StrangeJune());
    ASSERT_TRUE(EstimateLocation(state));
    EstimateWarnings(state);
    EXPECT_EQ(state.CurWarnings.Strange, True);
    EXPECT_EQ(state.CurWarnings.StrangeMonth, 6);
    EXPECT_EQ(state.CurWarnings.StrangeStation, 12);
}

TEST(Warnings, EarlierStrangeMonthWins) {
    EngineState state = MakeState(45, 10, 200);
    state.AltCorrOn = 0;
    state.GradCorrOn = 0;
    auto stations = StrangeJune();
    for (std::size_t i = 0; i < 12; ++i)
        stations[i].values[2] = i == 4 ? -20 : static_cast<double>(i % 2);
    SetNeighbours(state, stations);
    ASSERT_TRUE(EstimateLocation(state));
    EstimateWarnings(state);
    EXPECT_EQ(state.CurWarnings.StrangeMonth, 3);
    EXPECT_EQ(state.CurWarnings.StrangeStation, 5);
}

TEST(Warnings, AgreeingStationsMakeNoneStrange) {
    EngineState state = MakeState(45, 10, 200);
    state.AltCorrOn = 0;
    state.GradCorrOn = 0;
    auto stations = Ring(12, {100, 200, 300});
    stations[3].values[6] = 1000; // the others agree exactly in July: spread 0
    SetNeighbours(state, stations);
    ASSERT_TRUE(EstimateLocation(state));
    EstimateWarnings(state);
    EXPECT_EQ(state.CurWarnings.Strange, False);
}

TEST(Warnings, NineStationsWithAltitudeSkipTheStrangeTest) {
    EngineState state = MakeState(45, 10, 200);
    state.AltCorrOn = 0;
    state.GradCorrOn = 0;
    auto stations = StrangeJune();
    for (std::size_t i = 0; i < 3; ++i)
        stations[i].alt = 9999;
    SetNeighbours(state, stations);
    ASSERT_EQ(state.ActiveWithAltCount, 9);
    ASSERT_TRUE(EstimateLocation(state));
    EstimateWarnings(state);
    EXPECT_EQ(state.CurWarnings.Strange, False);
}

TEST(Warnings, DoubledSurvivesAndStrangeDetailsStay) {
    EngineState state = MakeState(45, 10, 200);
    auto stations = Ring(6, {100});
    stations.push_back(stations[0]);
    SetNeighbours(state, stations);
    ASSERT_EQ(state.CurWarnings.Doubled, True);
    state.CurWarnings.StrangeMonth = 4;
    state.CurWarnings.StrangeStation = 2;
    state.CurWarnings.Strange = True;
    EstimateWarnings(state);
    EXPECT_EQ(state.CurWarnings.Doubled, True);
    EXPECT_EQ(state.CurWarnings.Strange, False);
    EXPECT_EQ(state.CurWarnings.StrangeMonth, 4);
    EXPECT_EQ(state.CurWarnings.StrangeStation, 2);
}

} // namespace
} // namespace tavisol::engine
