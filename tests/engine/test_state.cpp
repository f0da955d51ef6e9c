#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/workers.h"

namespace tavisol::engine {
namespace {

TEST(EngineState, InitialValuesAreTheDefaults) {
    EngineState s;
    EXPECT_EQ(s.MaxDistance, 0.0f); // nothing before the start-up sets the defaults
    SetInitialValues(s);
    EXPECT_EQ(s.MapExtentFactor, 1.0f);
    EXPECT_EQ(s.CalcLatitude, 41.9f);
    EXPECT_EQ(s.CalcLongitude, 12.483f);
    EXPECT_EQ(s.CalcAltitude, 17.0f);
    EXPECT_EQ(s.MaxStations, 20);
    EXPECT_EQ(s.MaxDistance, 1000.0f);
    EXPECT_EQ(s.MinDistance, 0.1f);
    EXPECT_EQ(s.MinAltitude, -350.0f);
    EXPECT_EQ(s.MaxAltitude, 8848.0f);
    EXPECT_EQ(s.IdwPower, 1.0f);
    EXPECT_EQ(s.MinActiveForErrors, 6.0f);
    EXPECT_EQ(s.GradCorrOn, 1);
    EXPECT_EQ(s.AltCorrOn, 1);
    EXPECT_EQ(s.ShadowOn, 1);
    EXPECT_EQ(s.ShadowCoef, 1.0f);
    EXPECT_EQ(s.ZeroTolerance, 1e-10f);
    EXPECT_EQ(s.AltWindowOn, 0); // the window is off although its bounds are set
}

TEST(EngineState, SetInitialValuesLeavesTheAltitudeWindowSwitchAlone) {
    EngineSettings shared;
    shared.AltWindowOn = 1;
    SetInitialValues(shared);
    EXPECT_EQ(shared.AltWindowOn, 1);
}

// A worker computes with the run's settings, data and way of stepping, but
// never with its callbacks (window events and message boxes stay on the
// window's thread) nor its stations.
TEST(EngineState, WorkerTakesTheRunsSetupAndNothingOfTheWindow) {
    EngineState run;
    SetInitialValues(run);
    run.MaxDistance = 300;
    run.AltWindowOn = 1;
    run.DataFolder = "data";
    run.Files = std::make_shared<PlainDataFiles>();
    run.PlainSteps = true;
    run.Callbacks.DoEvents = [] {};
    run.Callbacks.ShowMessage = [](const EngineMessage &) {};
    run.Stations.resize(3);
    run.StationCount = 2;
    const WorkerSetup setup = WorkerSetup::Of(run);
    run.MaxDistance = 50; // changed after the run started: not the workers' concern

    EngineState worker;
    setup.Prepare(worker);
    EngineSettings expected = run.Settings();
    expected.MaxDistance = 300;
    EXPECT_TRUE(worker.Settings() == expected);
    EXPECT_EQ(worker.DataFolder, run.DataFolder);
    EXPECT_EQ(worker.Files, run.Files);
    EXPECT_TRUE(worker.PlainSteps);
    EXPECT_FALSE(worker.Callbacks.DoEvents);
    EXPECT_FALSE(worker.Callbacks.ShowMessage);
    EXPECT_TRUE(worker.Stations.empty());
    EXPECT_EQ(worker.StationCount, 0);
    EXPECT_EQ(worker.CalcLatitude, 41.9f);

    EXPECT_GE(WorkerCount(), 1u);
    EXPECT_LE(WorkerCount(), 256u);
}

TEST(EngineState, MonthNamesAreTwelveCharactersWide) {
    EXPECT_EQ(MonthNames[9], "September   ");
    EXPECT_EQ(MonthNames[5], "May         ");
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(MonthNames[m].size(), 12u) << m;
}

TEST(EngineState, VariableCaptions) {
    EXPECT_EQ(VariableNames[0], "Monthly Mean Temperature in \u00b0C");
    EXPECT_EQ(VariableNames[3], "Monthly Precipitation Totals in mm (= Liter per Squaremeter)");
    EXPECT_EQ(VariableNames[6], "Wind Speed in m/s (multiply by 3.6 to get it in km/h)");
    EXPECT_EQ(VariableNames[7], "Sunshine Fraction");
}

TEST(EngineState, RunCopiesTheSharedSettingsIntoItsOwnInstance) {
    EngineSettings shared = DefaultSettings();
    shared.MaxStations = 7;
    EngineState a, b;
    a.UseSettings(shared);
    shared.MaxStations = 9;
    b.UseSettings(shared);
    EXPECT_EQ(a.MaxStations, 7);
    EXPECT_EQ(b.MaxStations, 9);
    a.IdwPower = 0; // a run lowering its power leaves the shared record alone
    EXPECT_EQ(shared.IdwPower, 1.0f);
}

} // namespace
} // namespace tavisol::engine
