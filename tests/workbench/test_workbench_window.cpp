#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QHeaderView>
#include <QScrollBar>
#include <QTabBar>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <utility>

#include "shell/appstate.h"
#include "shell/commands.h"
#include "shell/formcontrols.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/programfolders.h"
#include "shell/sharedsettings.h"
#include "wb_fixture.h"
#include "workbench/commands.h"
#include "workbench/workbench_window.h"
#include "workbench/pictures_qt.h"

namespace tavisol::workbench {
namespace {

class WorkbenchWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        ClearCommandHandlers();
        engine::SetInitialValues(sharedSettingsForTesting());
        testing::WriteDataFolder(folder_.path());
        setProgramFolderForTesting(folder_.path());
        SetCurrentLocation("Here", testing::PointLon, testing::PointLat, testing::PointAlt);
        SetMessageBoxHandler([this](QWidget *, const Message &r) {
            messages_.push_back(r);
            return r.buttons == MsgButtons::YesNo ? answer_ : MsgAnswer::Ok;
        });
    }
    void TearDown() override {
        WorkbenchWindow::destroyInstance();
        SetMessageBoxHandler(nullptr);
        ClearCommandHandlers();
        setProgramFolderForTesting({});
        ResetAppState();
    }

    template <typename T>
    T *child(WorkbenchWindow *w, const char *name) {
        T *c = w->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }

    // Screenshots for a look at the window: TAVISOL_WB_SHOTS=<folder>.
    void Shot(WorkbenchWindow *w, const char *name) {
        const QByteArray dir = qgetenv("TAVISOL_WB_SHOTS");
        if (dir.isEmpty())
            return;
        w->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + QString::fromLatin1(name) +
                       QStringLiteral(".png"));
    }

    testing::TempFolder folder_;
    std::vector<Message> messages_;
    MsgAnswer answer_ = MsgAnswer::No;
};

TEST_F(WorkbenchWindowTest, FirstUseComputesAndShowsTheNeighbours) {
    WorkbenchWindow *w = WorkbenchWindow::instance();
    EXPECT_TRUE(messages_.empty()) << messages_.front().text;
    EXPECT_EQ(w->windowTitle(), QStringLiteral("TAVISOL Workbench"));
    EXPECT_FALSE(w->RecalcPending());
    auto *station = child<FlexGrid>(w, "grdStation");
    EXPECT_EQ(station->cellText(0, 1), QStringLiteral("Longitude [°]"));
    EXPECT_EQ(station->cellText(1, 7), QStringLiteral("Station 1"));
    EXPECT_EQ(station->cellText(21, 0), QStringLiteral("Mean"));
    EXPECT_FALSE(station->isHidden());
    EXPECT_TRUE(child<FlexGrid>(w, "grdResults")->isHidden());
    EXPECT_FALSE(child<QGroupBox>(w, "activesFrame")->isHidden());
    EXPECT_FALSE(child<QCheckBox>(w, "neighbourCheck12")->isHidden());
    EXPECT_TRUE(child<QCheckBox>(w, "neighbourCheck13")->isHidden());
    EXPECT_TRUE(child<QCheckBox>(w, "neighbourCheck1")->isChecked());
    EXPECT_EQ(child<QComboBox>(w, "variableBox")->count(), 8);
    EXPECT_EQ(child<FlexGrid>(w, "grdStation")->property("tag").toString(), QStringLiteral("nofont"));
    EXPECT_EQ(child<QTabBar>(w, "periodTabs")->property("tag").toString(), QStringLiteral("nofont"));
    w->resize(1100, 700);
    Shot(w, "1_neighbours");
}

TEST_F(WorkbenchWindowTest, CheckBoxClickReestimatesAndColoursTheRow) {
    WorkbenchWindow *w = WorkbenchWindow::instance();
    const float before = w->State().CurResult.Best[1];
    auto *check = child<QCheckBox>(w, "neighbourCheck3");
    check->click();
    EXPECT_FALSE(check->isChecked());
    EXPECT_EQ(w->State().ActiveCount, 11);
    EXPECT_NE(w->State().CurResult.Best[1], before);
    EXPECT_EQ(child<FlexGrid>(w, "grdStation")->cellForeground(3, 1), QColor(255, 0, 0));
    EXPECT_EQ(child<FlexGrid>(w, "grdObservation")->cellForeground(3, 1), QColor(255, 0, 0));
    check->click();
    EXPECT_FLOAT_EQ(w->State().CurResult.Best[1], before);
}

TEST_F(WorkbenchWindowTest, TabsLevelsAndVariable) {
    WorkbenchWindow *w = WorkbenchWindow::instance();
    auto *tabs = child<QTabBar>(w, "pageTabs");
    auto *views = child<QTabBar>(w, "periodTabs");
    tabs->setCurrentIndex(4);
    EXPECT_FALSE(child<FlexGrid>(w, "grdResults")->isHidden());
    EXPECT_FALSE(views->isHidden());
    child<QRadioButton>(w, "optlev95")->click();
    EXPECT_EQ(w->SelectedLevel(), ConfidenceLevel::P95);
    EXPECT_FALSE(child<FlexGrid>(w, "grdResults")->cellText(2, 2).isEmpty());
    views->setCurrentIndex(2);
    EXPECT_FALSE(child<FlexGrid>(w, "GrdDay")->isHidden());
    EXPECT_TRUE(child<FlexGrid>(w, "grdResults")->isHidden());
    EXPECT_EQ(child<FlexGrid>(w, "GrdDay")->cellText(2, 0), QStringLiteral("1.1 (1)"));
    w->resize(1100, 700);
    Shot(w, "2_daily");
    tabs->setCurrentIndex(5);
    EXPECT_FALSE(child<PictureBox>(w, "picResults")->isHidden());
    EXPECT_FALSE(views->isHidden());
    EXPECT_TRUE(child<FlexGrid>(w, "GrdDay")->isHidden());
    views->setCurrentIndex(0);
    Shot(w, "3_chart");
    tabs->setCurrentIndex(2);
    Shot(w, "4_altitude");
    tabs->setCurrentIndex(3);
    Shot(w, "5_map");

    auto *combo = child<QComboBox>(w, "variableBox");
    emit combo->activated(3);
    EXPECT_EQ(w->State().CurrentVariable, 3);
    EXPECT_EQ(combo->currentIndex(), 3);
}

TEST_F(WorkbenchWindowTest, WarningButtonsExplainOnlyRaisedWarnings) {
    sharedSettingsForTesting().MaxStations = 5;  // Few is raised
    WorkbenchWindow *w = WorkbenchWindow::instance();
    EXPECT_FALSE(child<QGroupBox>(w, "framWarn")->isHidden());
    auto *few = child<QPushButton>(w, "CmdFew");
    auto *doubled = child<QPushButton>(w, "CmdDoubled");
    EXPECT_TRUE(few->isEnabled());
    EXPECT_FALSE(doubled->isEnabled());
    EXPECT_TRUE(child<QRadioButton>(w, "optlev90")->isHidden());
    EXPECT_FALSE(child<QLabel>(w, "labfew")->isHidden());
    few->click();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].title, "Few Neighbours Warning");
    EXPECT_EQ(messages_[0].icon, MsgIcon::Warning);
    EXPECT_TRUE(QString::fromStdString(messages_[0].text).startsWith(QStringLiteral(
        "There are not enough activated neighbours to provide full performance.\n\nLess than 10")));

    // Enabling the window's controls (the output dialog's closing) leaves
    // the warnings that were not raised disabled.
    EnableFormControls(w);
    EXPECT_FALSE(doubled->isEnabled());
    EXPECT_FALSE(child<QPushButton>(w, "CmdHit")->isEnabled());
    EXPECT_TRUE(few->isEnabled());

    // Below every neighbour: of the altitude warnings only Low is raised.
    SetCurrentLocation("Here", testing::PointLon, testing::PointLat, 0);
    w->onActivated();
    auto *low = child<QPushButton>(w, "CmdLow");
    EXPECT_TRUE(low->isEnabled());
    EXPECT_FALSE(child<QPushButton>(w, "CmdHigh")->isEnabled());
    messages_.clear();
    low->click();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].title, "Altitude Warning");
    EXPECT_TRUE(QString::fromStdString(messages_[0].text).startsWith(QStringLiteral("The lowest neighbour is higher")));
}

// The nearest station lies within the minimum distance: the level frame says
// "You hit a Station" only while it and another neighbour are ticked, and
// "To Few Data" in its place when fewer than six are ticked and no hit.
TEST_F(WorkbenchWindowTest, HitAndFewLinesFollowTheTickedNeighbours) {
    sharedSettingsForTesting().MinDistance = 40;  // km
    WorkbenchWindow *w = WorkbenchWindow::instance();
    ASSERT_LT(w->State().Neighbours[1].Distance, 40);
    ASSERT_EQ(w->State().NeighbourCount, 12);
    struct Row {
        std::vector<int> ticked;
        bool hit, few;
    };
    for (const Row &row : {
             Row{{1}, false, true},   // the nearest alone: its own values, no hit
             Row{{1, 2}, true, false},
             Row{{2, 3}, false, true},
             Row{{1, 2, 3, 4, 5, 6, 7}, true, false},
             Row{{2, 3, 4, 5, 6, 7}, false, false},
         }) {
        const auto ticked = [&row](int k) { return std::find(row.ticked.begin(), row.ticked.end(), k) != row.ticked.end(); };
        // Ticks first, so that some neighbour stays active throughout.
        for (const bool on : {true, false})
            for (int k = 1; k <= 12; ++k) {
                auto *box = child<QCheckBox>(w, ("neighbourCheck" + std::to_string(k)).c_str());
                if (ticked(k) == on && box->isChecked() != on)
                    box->click();
            }
        const std::string name = std::to_string(row.ticked.size()) + " ticked from " + std::to_string(row.ticked[0]);
        ASSERT_EQ(w->State().ActiveCount, static_cast<int>(row.ticked.size())) << name;
        EXPECT_EQ(!child<QLabel>(w, "Labhit")->isHidden(), row.hit) << name;
        EXPECT_EQ(child<QPushButton>(w, "CmdHit")->isEnabled(), row.hit) << name;
        EXPECT_EQ(!child<QLabel>(w, "labfew")->isHidden(), row.few) << name;
        EXPECT_EQ(!child<QRadioButton>(w, "optlev90")->isHidden(), !row.hit && !row.few) << name;
    }
    EXPECT_TRUE(messages_.empty()) << messages_.front().text;
}

TEST_F(WorkbenchWindowTest, RightClickOnTheMapAsksAndMovesTheEstimate) {
    WorkbenchWindow *w = WorkbenchWindow::instance();
    child<QTabBar>(w, "pageTabs")->setCurrentIndex(3);
    auto *map = child<PictureBox>(w, "picMapStation");
    map->resize(600, 360);
    ASSERT_TRUE(map->hasScale());
    const QPointF at = map->toPixel(0.2, 0.1);
    QMouseEvent move(QEvent::MouseMove, at, map->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(map, &move);
    EXPECT_TRUE(child<QLabel>(w, "decimalPositionLabel")->text().endsWith(QStringLiteral("° ")));
    EXPECT_FALSE(child<QLabel>(w, "dmsPositionLabel")->text().isEmpty());

    const std::string name = appState().LocationName;
    QMouseEvent press(QEvent::MouseButtonPress, at, map->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(map, &press);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "Do you want set this Location as current Location?");
    EXPECT_EQ(messages_[0].title, "Change Location");
    EXPECT_NEAR(w->State().CalcLongitude, testing::PointLon + 0.2, 0.02);
    EXPECT_EQ(appState().LocationName, name);
    EXPECT_FALSE(appState().Busy);
}

TEST_F(WorkbenchWindowTest, SaveAndPrintGoToTheInstalledHandlers) {
    WorkbenchWindow *w = WorkbenchWindow::instance();
    std::string saved;
    int printed = 0;
    WorkbenchWindow::SetSaveResultsHandler([&](WorkbenchWindow &, const std::string &file) {
        saved = file;
        return std::string();
    });
    WorkbenchWindow::SetPrintResultsHandler([&](WorkbenchWindow &) { ++printed; });
    w->SaveResults("out.tvs");
    w->printresults();
    EXPECT_EQ(saved, "out.tvs");
    EXPECT_EQ(printed, 1);
    WorkbenchWindow::SetSaveResultsHandler(nullptr);
    WorkbenchWindow::SetPrintResultsHandler(nullptr);
    w->SaveResults("x");  // nothing installed: nothing happens
}

TEST_F(WorkbenchWindowTest, MainWindowCommandOpensTheWorkbenchAsAChildUnlessBusy) {
    auto main = std::make_unique<MainWindow>();
    SetCurrentLocation("Here", testing::PointLon, testing::PointLat, testing::PointAlt);
    InstallWorkbenchCommands();
    appState().Busy = true;
    main->showWorkbench();
    EXPECT_EQ(WorkbenchWindow::existing(), nullptr);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "Tavisol Busy");
    appState().Busy = false;
    main->showWorkbench();
    WorkbenchWindow *w = WorkbenchWindow::existing();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(main->mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("TAVISOL Workbench"));

    // A change of the location recomputes on the next activation.
    SetCurrentLocation("Moved", testing::PointLon + 0.05f, testing::PointLat, testing::PointAlt);
    EXPECT_TRUE(w->RecalcPending());
    w->onActivated();
    EXPECT_FALSE(w->RecalcPending());
    EXPECT_FLOAT_EQ(w->State().CalcLongitude, appState().CurLongitude);
    WorkbenchWindow::destroyInstance();
    main.reset();
}

// ---- Honest panels ------------------------------------------------------------------

TEST_F(WorkbenchWindowTest, RunWithoutAnEstimateShowsNoValues) {
    WorkbenchWindow *w = WorkbenchWindow::instance();
    child<QTabBar>(w, "pageTabs")->setCurrentIndex(4);
    auto *results = child<FlexGrid>(w, "grdResults");
    ASSERT_FALSE(results->cellText(2, 1).isEmpty());
    ASSERT_TRUE(w->HasEstimate());
    auto *map = child<PictureBox>(w, "picMapStation");
    auto *readout = child<QLabel>(w, "decimalPositionLabel");
    map->resize(600, 360);
    QMouseEvent move(QEvent::MouseMove, QPointF(300, 180), map->mapToGlobal(QPointF(300, 180)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(map, &move);
    ASSERT_FALSE(readout->text().isEmpty());

    // No neighbour within the maximum distance.
    sharedSettingsForTesting().MaxDistance = 0.001f;
    emit child<QComboBox>(w, "variableBox")->activated(3);
    ASSERT_FALSE(messages_.empty());
    EXPECT_EQ(messages_.back().title, "No calculation can be done with 0 neighbours");
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Sorry, No Neighbors!"));
    EXPECT_FALSE(w->HasEstimate());
    EXPECT_EQ(results->cellText(2, 1), QString());
    EXPECT_EQ(results->cellText(1, 1), QString());  // no unit over values of another variable
    EXPECT_EQ(results->cellText(2, 0), QStringLiteral("January"));
    EXPECT_EQ(child<FlexGrid>(w, "grdStation")->cellText(1, 7), QString());
    EXPECT_TRUE(child<PictureBox>(w, "picResults")->drawing()->items.empty());
    EXPECT_TRUE(child<QGroupBox>(w, "framWarn")->isHidden());
    // A level or another view draws nothing from the old state.
    child<QRadioButton>(w, "optlev90")->click();
    child<QTabBar>(w, "periodTabs")->setCurrentIndex(2);
    EXPECT_EQ(child<FlexGrid>(w, "GrdDay")->cellText(2, 1), QString());
    EXPECT_EQ(results->cellText(2, 1), QString());
    // The blank map reads no pointer position and picks no point: no
    // question, the location stays.
    EXPECT_EQ(readout->text(), QString());
    QCoreApplication::sendEvent(map, &move);
    EXPECT_EQ(readout->text(), QString());
    EXPECT_EQ(child<QLabel>(w, "dmsPositionLabel")->text(), QString());
    const std::size_t shown = messages_.size();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(300, 180), map->mapToGlobal(QPointF(300, 180)),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(map, &press);
    EXPECT_EQ(messages_.size(), shown);

    // A failed run (the station files are gone): its message, stale, no values.
    sharedSettingsForTesting().MaxDistance = 1000;
    emit child<QComboBox>(w, "variableBox")->activated(0);
    ASSERT_TRUE(w->HasEstimate());
    messages_.clear();
    std::filesystem::remove_all(folder_.path() / "TavisolData");
    emit child<QComboBox>(w, "variableBox")->activated(5);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].icon, MsgIcon::NoIcon);
    EXPECT_FALSE(w->HasEstimate());
    EXPECT_FALSE(w->EstimateDue());  // not repeated for the same inputs
    EXPECT_EQ(child<FlexGrid>(w, "GrdDay")->cellText(2, 1), QString());
    EXPECT_EQ(child<FlexGrid>(w, "grdObservation")->cellText(1, 1), QString());
    // The neighbour boxes no longer show or re-estimate the old neighbours.
    EXPECT_TRUE(child<QGroupBox>(w, "activesFrame")->isHidden());
    child<QCheckBox>(w, "neighbourCheck2")->click();
    EXPECT_TRUE(child<QCheckBox>(w, "neighbourCheck2")->isChecked());
    EXPECT_FALSE(w->HasEstimate());
}

TEST_F(WorkbenchWindowTest, RefusedVariableChoiceKeepsTheShownVariable) {
    WorkbenchWindow *w = WorkbenchWindow::instance();
    child<QTabBar>(w, "pageTabs")->setCurrentIndex(4);
    auto *results = child<FlexGrid>(w, "grdResults");
    ASSERT_EQ(results->cellText(1, 1), QStringLiteral("[°C]"));
    auto *combo = child<QComboBox>(w, "variableBox");
    {
        BusyGuard other;  // another window's run
        ASSERT_TRUE(other.owns());
        combo->setCurrentIndex(3);
        emit combo->activated(3);
    }
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "Tavisol Busy");
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(w->State().CurrentVariable, 0);
    EXPECT_FALSE(w->RecalcPending());
    child<QRadioButton>(w, "optlev90")->click();  // refills the tables
    EXPECT_EQ(results->cellText(1, 1), QStringLiteral("[°C]"));
    EXPECT_EQ(results->cellText(1, 6), QStringLiteral("[°C/100m]"));
}

TEST_F(WorkbenchWindowTest, MonthButtonsWaitForTheRun) {
    WorkbenchWindow *w = WorkbenchWindow::instance();
    auto *next = child<QPushButton>(w, "cmdmonthnext");
    auto *back = child<QPushButton>(w, "cmdmonthback");
    const int month = w->model().PlotMonth;
    int clicksDuringRun = 0;
    QObject::connect(next, &QPushButton::clicked, [&] { clicksDuringRun += w->model().Running() ? 1 : 0; });
    // Clicks let through by the run's events, while the neighbours are read.
    QTimer::singleShot(0, next, &QPushButton::click);
    QTimer::singleShot(0, back, &QPushButton::click);
    QTimer::singleShot(0, next, &QPushButton::click);
    emit child<QComboBox>(w, "variableBox")->activated(1);
    ASSERT_EQ(clicksDuringRun, 2);
    EXPECT_EQ(w->model().PlotMonth, month);
    next->click();  // after the run the button works
    EXPECT_EQ(w->model().PlotMonth, month % 12 + 1);
}

// The map's commands draw from the neighbour array too: each let through by a
// run's events does nothing, as the month buttons.
TEST_F(WorkbenchWindowTest, MapCommandsWaitForTheRun) {
    WorkbenchWindow *w = WorkbenchWindow::instance();
    child<QTabBar>(w, "pageTabs")->setCurrentIndex(3);
    auto *map = child<PictureBox>(w, "picMapStation");
    map->resize(600, 360);
    auto *readout = child<QLabel>(w, "decimalPositionLabel");
    // Leaves each button something to do.
    child<QPushButton>(w, "cmdZoomOut")->click();
    child<QPushButton>(w, "CmdFine")->click();
    const WorkbenchModel &m = w->model();
    auto view = [&m] { return std::pair(m.ResolutionLevel, m.ExtentFactor); };
    const QPointF at = map->toPixel(0.2, 0.1);
    auto mouse = [&](QEvent::Type type, Qt::MouseButton button) {
        QMouseEvent e(type, at, map->mapToGlobal(at), button, button, Qt::NoModifier);
        QCoreApplication::sendEvent(map, &e);
    };
    const std::function<void()> commands[] = {
        [&] { child<QPushButton>(w, "CmdCoarse")->click(); },
        [&] { child<QPushButton>(w, "CmdFine")->click(); },
        [&] { child<QPushButton>(w, "cmdZoomOut")->click(); },
        [&] { child<QPushButton>(w, "cmdZoomIn")->click(); },
        [&] { mouse(QEvent::MouseButtonPress, Qt::RightButton); },
        [&] { mouse(QEvent::MouseMove, Qt::NoButton); },
    };
    for (std::size_t i = 0; i < std::size(commands); ++i) {
        const auto before = view();
        messages_.clear();
        readout->clear();
        bool duringRun = false;
        QString readDuringRun;
        QTimer::singleShot(0, w, [&] {
            duringRun = m.Running();
            commands[i]();
            readDuringRun = readout->text();
        });
        emit child<QComboBox>(w, "variableBox")->activated(static_cast<int>(i % 2));
        ASSERT_TRUE(duringRun) << i;
        EXPECT_EQ(view(), before) << i;
        EXPECT_TRUE(messages_.empty()) << i;  // no question about the picked point
        EXPECT_EQ(readDuringRun, QString()) << i;
    }
    ASSERT_EQ(view(), std::pair(2, 2));
}

TEST_F(WorkbenchWindowTest, ClosingForgetsAPointPickedOnTheMap) {
    auto main = std::make_unique<MainWindow>();
    SetCurrentLocation("Here", testing::PointLon, testing::PointLat, testing::PointAlt);
    InstallWorkbenchCommands();
    main->showWorkbench();
    WorkbenchWindow *w = WorkbenchWindow::existing();
    ASSERT_NE(w, nullptr);
    const float best = w->State().CurResult.Best[1];
    const QString distance = child<FlexGrid>(w, "grdStation")->cellText(1, 4);
    EXPECT_EQ(w->LocationName(), "Here");

    child<QTabBar>(w, "pageTabs")->setCurrentIndex(3);
    auto *map = child<PictureBox>(w, "picMapStation");
    map->resize(600, 360);
    const QPointF at = map->toPixel(0.3, 0.2);
    QMouseEvent press(QEvent::MouseButtonPress, at, map->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(map, &press);  // answered No
    ASSERT_NE(w->State().CurResult.Best[1], best);
    // The picked point is not the current location: the writers get its own name.
    EXPECT_EQ(w->LocationName().rfind("ST-Lon", 0), 0u) << w->LocationName();

    QMdiSubWindow *sub = main->mdiArea()->subWindowList().value(0);
    ASSERT_NE(sub, nullptr);
    sub->close();
    QCoreApplication::processEvents();
    ASSERT_EQ(WorkbenchWindow::existing(), w);
    EXPECT_TRUE(w->RecalcPending());
    EXPECT_FALSE(w->HasEstimate());

    main->showWorkbench();
    QCoreApplication::processEvents();
    EXPECT_FALSE(w->RecalcPending());
    EXPECT_TRUE(w->HasEstimate());
    EXPECT_FLOAT_EQ(w->State().CurResult.Best[1], best);
    EXPECT_FLOAT_EQ(w->State().CalcAltitude, appState().CurElevation);
    EXPECT_EQ(child<FlexGrid>(w, "grdStation")->cellText(1, 4), distance);
    EXPECT_EQ(w->LocationName(), "Here");
    WorkbenchWindow::destroyInstance();
    main.reset();
}

TEST_F(WorkbenchWindowTest, ResultTablesKeepTheirFixedRowsAndWidths) {
    WorkbenchWindow *w = WorkbenchWindow::instance();
    child<QTabBar>(w, "pageTabs")->setCurrentIndex(4);
    child<QTabBar>(w, "periodTabs")->setCurrentIndex(2);
    auto *day = child<FlexGrid>(w, "GrdDay");
    auto *thres = child<FlexGrid>(w, "grdThres");
    auto *results = child<FlexGrid>(w, "grdResults");
    // The unit row stands in the heads, which do not scroll: only data rows scroll.
    EXPECT_EQ(day->rowCount(), 368);
    EXPECT_EQ(day->horizontalHeaderItem(0)->text(), QStringLiteral("Best\n°C"));
    EXPECT_EQ(day->cellText(1, 1), QStringLiteral("°C"));
    EXPECT_EQ(day->cellText(1, 0), QStringLiteral("Day"));
    EXPECT_EQ(day->cellText(2, 0), QStringLiteral("1.1 (1)"));
    EXPECT_FALSE(day->cellText(2, 1).isEmpty());
    EXPECT_EQ(day->cornerText(), QStringLiteral("\nDay"));
    EXPECT_EQ(thres->rowCount(), 101);
    EXPECT_EQ(thres->horizontalHeaderItem(0)->text(), QStringLiteral("Best\nDays"));
    EXPECT_EQ(results->rowCount(), 13);
    EXPECT_EQ(results->cellText(1, 1), QStringLiteral("[°C]"));
    EXPECT_EQ(results->cellText(14, 0), QStringLiteral("Mean"));
    w->resize(1100, 500);
    w->show();
    QCoreApplication::processEvents();
    day->verticalScrollBar()->setValue(day->verticalScrollBar()->maximum());
    EXPECT_GT(day->rowAt(0), 300);
    const QFontMetrics fm(day->horizontalHeader()->font());
    EXPECT_GE(day->horizontalHeader()->height(), 2 * fm.height());
    EXPECT_TRUE(day->horizontalHeader()->isVisible());

    // 880 twips a column; the label column at least as wide.
    const int px = 880 * day->logicalDpiX() / 1440;
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(day->columnWidth(c), px);
        EXPECT_EQ(thres->columnWidth(c), px);
    }
    EXPECT_GE(day->verticalHeader()->width(), px);

    // A selected cell of the monthly table keeps its colours; the others highlight.
    EXPECT_EQ(results->palette().color(QPalette::Highlight), results->palette().color(QPalette::Base));
    EXPECT_EQ(results->palette().color(QPalette::HighlightedText), results->palette().color(QPalette::Text));
    EXPECT_NE(day->palette().color(QPalette::Highlight), day->palette().color(QPalette::Base));
    Shot(w, "6_daily_scrolled");
    w->hide();
}

} // namespace
} // namespace tavisol::workbench
