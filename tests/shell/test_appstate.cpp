#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/appstate.h"

namespace {

using namespace tavisol;

struct Shown {
    std::string name;
    float lon, lat, alt;
};

class CurrentLocation : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        SetLocationDisplay([this](const std::string &n, float lon, float lat, float alt) {
            shown.push_back({n, lon, lat, alt});
        });
    }
    void TearDown() override {
        SetLocationDisplay(nullptr);
        ResetAppState();
    }
    std::vector<Shown> shown;
};

TEST_F(CurrentLocation, WriterStoresRoundsNamesShowsAndMarksBothWindows) {
    const std::string name = SetCurrentLocation("", 7.125F, -33.333F, 17.5F);
    const AppState &s = appState();
    EXPECT_EQ(name, "ST-Lon7.13-Lat-33.33-Alt-18");
    EXPECT_EQ(s.LocationName, name);
    EXPECT_EQ(s.CurLongitude, 7.13F);
    EXPECT_EQ(s.CurLatitude, -33.33F);
    EXPECT_EQ(s.CurElevation, 18.0F);
    EXPECT_TRUE(s.ResultsRecalcPending);
    EXPECT_TRUE(s.WorkbenchRecalcPending);
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_EQ(shown[0].name, name);
    EXPECT_EQ(shown[0].lon, 7.13F); // the display sees the rounded values
    EXPECT_EQ(shown[0].alt, 18.0F);
}

TEST_F(CurrentLocation, GivenNameIsKeptAndStationMapMarksOnlyTheResultsWindow) {
    SetCurrentLocation("Valle", 10.0F, 45.0F, 200.0F, RecalcMarks::ResultsOnly);
    EXPECT_EQ(appState().LocationName, "Valle");
    EXPECT_TRUE(appState().ResultsRecalcPending);
    EXPECT_FALSE(appState().WorkbenchRecalcPending);
}

TEST_F(CurrentLocation, WorksWithoutAMainWindow) {
    SetLocationDisplay(nullptr);
    EXPECT_EQ(SetCurrentLocation("", 1.0F, 2.0F, 3.0F), "ST-Lon1-Lat2-Alt-3");
    EXPECT_TRUE(shown.empty());
}

TEST(BusyGuard, OnlyTheOuterRunOwnsTheMark) {
    ResetAppState();
    {
        BusyGuard outer;
        EXPECT_TRUE(outer.owns());
        EXPECT_TRUE(appState().Busy);
        {
            BusyGuard inner; // a second run let in through the event loop
            EXPECT_FALSE(inner);
            EXPECT_TRUE(appState().Busy);
        }
        EXPECT_TRUE(appState().Busy) << "the refused run must not clear the outer run's mark";
    }
    EXPECT_FALSE(appState().Busy);
}

} // namespace
