#include <gtest/gtest.h>

#include "shell/appstate.h"
#include "shell/programfolders.h"
#include "shell/sharedsettings.h"
#include "wb_fixture.h"
#include "workbench/model.h"

namespace tavisol::workbench {
namespace {

using testing::PointAlt;
using testing::PointLat;
using testing::PointLon;

class Workbench : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        engine::SetInitialValues(sharedSettingsForTesting());
        testing::WriteDataFolder(folder_.path(), stations_);
        setProgramFolderForTesting(folder_.path());
        SetCurrentLocation("Here", PointLon, PointLat, PointAlt);
        m_.hooks.EngineMessage = [this](const engine::EngineMessage &msg) { messages_.push_back(msg.Text); };
        m_.hooks.ErrorMessage = [this](const std::string &text) { errors_.push_back(text); };
        m_.hooks.AskYesNo = [this](const std::string &text, const std::string &title) {
            questions_.push_back(title + ": " + text);
            return answer_;
        };
        m_.hooks.Busy = [this] { ++busy_; };
    }
    void TearDown() override {
        setProgramFolderForTesting({});
        ResetAppState();
    }

    int stations_ = 12;
    testing::TempFolder folder_;
    WorkbenchModel m_;
    std::vector<std::string> messages_, errors_, questions_;
    bool answer_ = false;
    int busy_ = 0;
};

TEST_F(Workbench, LoadComputesMeanTemperatureOnceAndFillsThePanels) {
    m_.Load();
    EXPECT_TRUE(errors_.empty()) << errors_.front();
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(m_.Caption, "TAVISOL Workbench");
    EXPECT_EQ(m_.State.CurrentVariable, 0);
    EXPECT_EQ(m_.State.NeighbourCount, 12);
    EXPECT_EQ(m_.State.ActiveCount, 12);
    EXPECT_FALSE(m_.RecalcPending());
    EXPECT_FALSE(appState().Busy);
    EXPECT_EQ(m_.State.CalcLatitude, appState().CurLatitude);
    EXPECT_EQ(m_.Station.Text(12, 7), "Station 12");
    EXPECT_EQ(m_.Station.Text(13, 7), "");
    EXPECT_FALSE(m_.Results.Results.Text(2, 1).empty());
    EXPECT_EQ(m_.PlotMonth, 1);
    EXPECT_FALSE(m_.Map.items.empty());
    EXPECT_FALSE(m_.Plot.items.empty());
    EXPECT_FALSE(m_.Legend.items.empty());
    EXPECT_TRUE(m_.OptionsVisible);
    EXPECT_FALSE(m_.FewVisible);
    for (int k = 1; k <= 20; ++k)
        EXPECT_EQ(m_.State.Workbench.CheckVisible[static_cast<std::size_t>(k)], k <= 12) << k;

    // Activation without a change does not compute again.
    const float best = m_.State.CurResult.Best[1];
    m_.State.CurResult.Best[1] = -500;
    m_.Activate();
    EXPECT_EQ(m_.State.CurResult.Best[1], -500);
    // A marked window recomputes on activation.
    m_.SetRecalcPending(true);
    m_.Activate();
    EXPECT_EQ(m_.State.CurResult.Best[1], best);
    EXPECT_FALSE(m_.RecalcPending());
}

TEST_F(Workbench, UncheckingANeighbourReestimatesAndTheNextFullRunReactivatesIt) {
    m_.Load();
    const float before = m_.State.CurResult.Best[1];
    m_.ToggleNeighbour(1, false);
    EXPECT_EQ(m_.State.ActiveCount, 11);
    EXPECT_NE(m_.State.CurResult.Best[1], before);
    EXPECT_EQ(m_.Station.At(1, 1).look, CellLook::Inactive);
    EXPECT_EQ(m_.Observation.At(1, 1).look, CellLook::Inactive);
    EXPECT_EQ(m_.PlotMonth, 1);  // a refresh keeps the plot's month

    m_.ToggleNeighbour(1, true);
    EXPECT_FLOAT_EQ(m_.State.CurResult.Best[1], before);
    EXPECT_EQ(m_.Station.At(1, 1).look, CellLook::Normal);

    m_.ToggleNeighbour(2, false);
    m_.SelectVariable(1);  // another variable: every found neighbour active again
    EXPECT_EQ(m_.State.CurrentVariable, 1);
    EXPECT_EQ(m_.State.ActiveCount, 12);
    EXPECT_EQ(m_.State.Workbench.Check[2], 1);
}

TEST_F(Workbench, FiveActiveHideTheLevelsWhichApplyAgainFromSix) {
    m_.Load();
    m_.SetLevel(ConfidenceLevel::P95);
    EXPECT_FALSE(m_.Results.Results.Text(2, 2).empty());
    for (int k = 6; k <= 12; ++k)
        m_.ToggleNeighbour(k, false);
    EXPECT_EQ(m_.State.ActiveCount, 5);
    EXPECT_FALSE(m_.OptionsVisible);
    EXPECT_TRUE(m_.FewVisible);
    EXPECT_FALSE(m_.HitVisible);
    EXPECT_EQ(m_.Level, ConfidenceLevel::P95);
    EXPECT_TRUE(m_.Results.Results.Text(2, 2).empty());
    m_.ToggleNeighbour(6, true);
    EXPECT_TRUE(m_.OptionsVisible);
    EXPECT_FALSE(m_.FewVisible);
    EXPECT_FALSE(m_.Results.Results.Text(2, 2).empty());
}

TEST_F(Workbench, AHitHidesTheLevelsWhateverTheCount) {
    sharedSettingsForTesting().MinDistance = 40;  // km: the nearest station lies closer
    m_.Load();
    m_.SetLevel(ConfidenceLevel::P99);
    ASSERT_EQ(m_.State.CurWarnings.Hit, engine::True);
    EXPECT_FALSE(m_.OptionsVisible);
    EXPECT_TRUE(m_.HitVisible);
    EXPECT_FALSE(m_.FewVisible);
    EXPECT_TRUE(m_.Warnings.visible);
    EXPECT_TRUE(m_.Warnings.enabled[6]);
    EXPECT_TRUE(m_.Results.Results.Text(2, 2).empty());
    EXPECT_TRUE(m_.Results.Results.Text(2, 4).empty());
    EXPECT_FALSE(m_.Results.Results.Text(2, 7).empty());
    // The chart keeps the option's factor on a hit.
    int boxes = 0;
    for (const DrawItem &i : m_.Chart.items)
        boxes += i.kind == DrawItem::Kind::Box;
    EXPECT_EQ(boxes, 12);
}

TEST_F(Workbench, AllUncheckedShowsTheMessageAndKeepsThePanels) {
    m_.Load();
    const std::string row1 = m_.Station.Text(1, 1);
    for (int k = 1; k <= 12; ++k)
        m_.ToggleNeighbour(k, false);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], "There are no neighbouring stations that satisfy the selection   criteria.");
    EXPECT_EQ(m_.State.ActiveCount, 0);
    // The tables keep what the last refresh with active neighbours wrote.
    EXPECT_EQ(m_.Station.At(1, 1).look, CellLook::Inactive);
    EXPECT_EQ(m_.Station.At(12, 1).look, CellLook::Normal);
    EXPECT_FALSE(m_.OptionsVisible);
    EXPECT_TRUE(m_.FewVisible);
    // The month of the plot does not drift while no panel is refreshed.
    m_.ToggleNeighbour(3, true);
    EXPECT_EQ(m_.PlotMonth, 1);
}

TEST_F(Workbench, NoNeighboursFoundEmptiesThePanelsAndSaysSo) {
    m_.Load();
    ASSERT_FALSE(m_.Station.Text(1, 1).empty());
    sharedSettingsForTesting().MaxDistance = 1;  // km: nothing within reach
    m_.SetRecalcPending(true);
    m_.Activate();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(m_.Caption, "Sorry, No Neighbors!");
    // No neighbour or value of the previous run stays on show.
    EXPECT_EQ(m_.Station.Text(1, 1), "");
    EXPECT_EQ(m_.Station.Text(1, 0), "1");
    EXPECT_EQ(m_.Results.Results.Text(2, 1), "");
    EXPECT_TRUE(m_.Chart.items.empty());
    EXPECT_FALSE(m_.HasEstimate());
    for (int k = 1; k <= 20; ++k)
        EXPECT_FALSE(m_.State.Workbench.CheckVisible[static_cast<std::size_t>(k)]);
    EXPECT_FALSE(m_.RecalcPending());
}

TEST_F(Workbench, ShowDataWithoutMarkChangesNothingAndAnotherRunMakesItWait) {
    m_.Load();
    const float best = m_.State.CurResult.Best[3];
    m_.ShowData();
    EXPECT_EQ(m_.State.CurResult.Best[3], best);

    appState().Busy = true;  // another window's run
    m_.SetRecalcPending(true);
    m_.ShowData();
    EXPECT_EQ(busy_, 1);
    EXPECT_TRUE(m_.RecalcPending());
    EXPECT_TRUE(appState().Busy);
    appState().Busy = false;
    m_.Activate();
    EXPECT_FALSE(m_.RecalcPending());
}

TEST_F(Workbench, MissingStationFileIsReportedOnceUntilAnInputChanges) {
    std::filesystem::remove_all(folder_.path() / "TavisolData");
    m_.Load();
    m_.Activate();
    m_.ShowData();
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_NE(errors_[0].find("mela"), std::string::npos);
    EXPECT_FALSE(m_.EstimateDue());
    EXPECT_FALSE(m_.HasEstimate());
    EXPECT_FALSE(appState().Busy);
}

TEST_F(Workbench, RightClickAnsweredNoMovesOnlyTheWorkbench) {
    m_.Load();
    appState().ResultsRecalcPending = false;
    const std::string name = appState().LocationName;
    m_.MapRightClick(0.1, -0.05);
    ASSERT_EQ(questions_.size(), 1u);
    EXPECT_EQ(questions_[0], "Change Location: Do you want set this Location as current Location?");
    EXPECT_FLOAT_EQ(m_.State.CalcLongitude, PointLon + 0.1f);
    EXPECT_FLOAT_EQ(m_.State.CalcLatitude, PointLat - 0.05f);
    EXPECT_EQ(m_.State.CalcAltitude, 160);  // raster byte 10
    EXPECT_EQ(appState().LocationName, name);
    EXPECT_FALSE(appState().ResultsRecalcPending);
    EXPECT_FALSE(appState().Busy);
    EXPECT_EQ(m_.Caption, "TAVISOL Workbench");
}

TEST_F(Workbench, RightClickAnsweredYesMakesAGeneratedCurrentLocation) {
    m_.Load();
    appState().ResultsRecalcPending = false;
    answer_ = true;
    m_.MapRightClick(0.1, -0.05);
    EXPECT_EQ(appState().LocationName.rfind("ST-Lon", 0), 0u);
    EXPECT_FLOAT_EQ(appState().CurLongitude, 12.6f);
    EXPECT_FLOAT_EQ(appState().CurElevation, 160);
    EXPECT_TRUE(appState().ResultsRecalcPending);
    EXPECT_FALSE(m_.RecalcPending());
}

TEST_F(Workbench, ZoomAndResolutionButtons) {
    m_.Load();
    const int beeps = m_.BeepCount;
    m_.Coarser();
    EXPECT_EQ(m_.ResolutionLevel, 1);
    EXPECT_EQ(m_.BeepCount, beeps + 1);
    m_.Finer();
    EXPECT_EQ(m_.ResolutionLevel, 2);
    m_.MapZoomOut();
    EXPECT_EQ(m_.ExtentFactor, 2);
    m_.MapZoomIn();
    m_.MapZoomIn();
    EXPECT_EQ(m_.ExtentFactor, 1);  // 0, set back to 1 by the fit with a beep
    m_.ExtentFactor = MaxExtentFactor;
    m_.MapZoomOut();
    EXPECT_LE(m_.ExtentFactor, MaxExtentFactor);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(Workbench, MonthButtonsWrap) {
    m_.Load();
    m_.PreviousMonth();
    EXPECT_EQ(m_.PlotMonth, 12);
    m_.NextMonth();
    EXPECT_EQ(m_.PlotMonth, 1);
    m_.SelectVariable(2);
    EXPECT_EQ(m_.PlotMonth, 1);
}

TEST_F(Workbench, ViewsComputeTheirSeries) {
    m_.Load();
    m_.SetLevel(ConfidenceLevel::P90);
    m_.SelectTab(MainTab::TableOfResults);
    m_.SelectView(ResultView::Dekadal);
    EXPECT_NE(m_.Series.Dekad.best[1], 0);
    EXPECT_EQ(m_.Results.Dekad.Text(2, 1), numfmt::formatMask(m_.Series.Dekad.best[1], "###0.00", m_.Locale));
    m_.SelectView(ResultView::Threshold);
    EXPECT_EQ(m_.Series.Daily.best[1], 99999.0f);
    m_.SelectView(ResultView::Daily);
    EXPECT_NE(m_.Series.Daily.best[1], 99999.0f);
    EXPECT_EQ(m_.Results.Day.Text(2, 1), numfmt::formatMask(m_.Series.Daily.best[1], "###0.00", m_.Locale));
}

TEST_F(Workbench, UnloadHandsThePositionBack) {
    m_.Load();
    m_.MapRightClick(1, 1);
    m_.Unload();
    EXPECT_EQ(m_.State.CalcLongitude, appState().CurLongitude);
    EXPECT_EQ(m_.State.CalcLatitude, appState().CurLatitude);
}

} // namespace
} // namespace tavisol::workbench
