#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QImage>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>

#include <filesystem>
#include <memory>

#include "engine/state.h"
#include "fixture.h"
#include "results/chartview.h"
#include "results/results_window.h"
#include "results/install.h"
#include "shell/appstate.h"
#include "shell/commands.h"
#include "shell/settings_dialog.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/programfolders.h"
#include "shell/sharedsettings.h"
#include "support/activation.h"

namespace {

using namespace tavisol;
using namespace tavisol::results;
using tavisol::results::fixture::TempFolder;
using tavisol::results::fixture::WriteDataFolder;

class ResultsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        ClearCommandHandlers();
        engine::SetInitialValues(sharedSettingsForTesting());
        AppState &s = appState();
        s.CurLongitude = 13.01F;
        s.CurLatitude = 41.99F;
        s.CurElevation = 17.0F;
        WriteDataFolder(folder.path(), 13.01, 41.99);
        setProgramFolderForTesting(folder.path());
        SetMessageBoxHandler([this](QWidget *, const Message &r) {
            messages.push_back(r);
            return MsgAnswer::Ok;
        });
        mainBar = std::make_unique<QProgressBar>();
        mainBar->hide();
        window = std::make_unique<ResultsWindow>(mainBar.get());
        QObject::connect(mainBar.get(), &QProgressBar::valueChanged, [this](int v) {
            steps.push_back(v);
            visibleWhileRunning = visibleWhileRunning && mainBar->isVisible();
        });
    }
    void TearDown() override {
        window.reset();
        mainBar.reset();
        SetMessageBoxHandler(nullptr);
        setProgramFolderForTesting({});
        ClearCommandHandlers();
        ResetAppState();
    }
    QString Cell(int group, int page, int row, int column) {
        QTableWidgetItem *item = window->Grid(group, page)->item(row - 1, column - 1);
        return item ? item->text() : QString();
    }

    TempFolder folder;
    std::vector<Message> messages;
    std::unique_ptr<QProgressBar> mainBar;
    std::unique_ptr<ResultsWindow> window;
    std::vector<int> steps;
    bool visibleWhileRunning = true;
};

TEST_F(ResultsWindowTest, LoadMarksPendingAndOpensOnTheTemperatureChart) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("View Data"));
    EXPECT_TRUE(window->RecalcPending());
    EXPECT_EQ(window->variableTabs()->count(), 3);
    EXPECT_EQ(window->variableTabs()->tabText(0), QStringLiteral("Daily Temperatures "));
    EXPECT_EQ(window->InnerStrip(2)->tabText(2), QStringLiteral("Stations Information"));
    EXPECT_EQ(window->InnerStrip(2)->tabToolTip(3), QStringLiteral("Observations used for the Estimate."));
    EXPECT_TRUE(window->InnerStrip(2)->tabToolTip(4).isEmpty());
    EXPECT_FALSE(window->GroupFrame(1)->isHidden());
    EXPECT_TRUE(window->GroupFrame(2)->isHidden());
    EXPECT_FALSE(window->Page(1, 1)->isHidden());
    EXPECT_TRUE(window->Page(1, 2)->isHidden());
    EXPECT_FALSE(window->legendFrame()->isHidden());
    EXPECT_EQ(window->LegendLabel(1)->text(), QStringLiteral("Monthly Means of Daily Maximum Temperatures [°C]"));
    EXPECT_EQ(window->Grid(1, 2)->objectName(), QStringLiteral("grdTemp"));
    EXPECT_EQ(window->Grid(3, 0)->objectName(), QStringLiteral("grdwindWarn"));
}

TEST_F(ResultsWindowTest, ShowDataComputesAllVariablesWithTheProgressBar) {
    EXPECT_TRUE(window->ShowData());
    EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_TRUE(visibleWhileRunning);
    EXPECT_FALSE(mainBar->isVisible());
    EXPECT_EQ(mainBar->minimum(), 0);
    EXPECT_EQ(mainBar->maximum(), 7);
    EXPECT_FALSE(window->RecalcPending());
    EXPECT_FALSE(appState().Busy);
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(window->legendFrame()->isHidden());
    EXPECT_EQ(window->Engine().CurrentVariable, 7);
    const LocationResults &r = window->Results();
    EXPECT_TRUE(r.AllComputed());
    for (int v = 0; v < 8; ++v) {
        EXPECT_EQ(r[v].NeighbourCount, 8);
        EXPECT_EQ(r.ActiveNeighbours(v), 7);
        EXPECT_FLOAT_EQ(r[v].CalcLongitude, 13.01F);
    }
    // The chart shows the new values without any click.
    EXPECT_FALSE(window->Chart(1)->drawing().items.empty());
    EXPECT_GT(window->ChartMax(), 10);

    // Current: a second call computes nothing and keeps the point.
    steps.clear();
    EXPECT_TRUE(window->ShowData());
    window->onActivated();
    EXPECT_TRUE(steps.empty());
    EXPECT_FLOAT_EQ(window->Engine().CalcLongitude, 13.01F);

    // A new location marks the window; the next activation computes once.
    SetCurrentLocation("", 13.2F, 42.1F, 30);
    EXPECT_TRUE(window->RecalcPending());
    window->onActivated();
    window->onActivated();
    EXPECT_EQ(steps.size(), 8u);
    EXPECT_FLOAT_EQ(window->Results()[3].CalcLatitude, 42.1F);
}

TEST_F(ResultsWindowTest, FailedRunShowsItsMessageAndWaitsForAChange) {
    std::filesystem::remove(folder.path() / "TavisolData" / "pet.txt");
    EXPECT_FALSE(window->ShowData());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(QString::fromStdString(messages[0].text).contains(QStringLiteral("pet.txt"))) << messages[0].text;
    EXPECT_EQ(messages[0].icon, MsgIcon::NoIcon);
    EXPECT_EQ(messages[0].title, "Tavisol");
    EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_FALSE(mainBar->isVisible());
    EXPECT_FALSE(appState().Busy);
    EXPECT_FALSE(window->Results()[5].Computed);
    EXPECT_TRUE(window->Results()[4].Computed);
    // Said where the numbers would be, once the run has ended.
    const QString notice = window->MissingEstimates(3)->text();
    EXPECT_TRUE(notice.startsWith(QStringLiteral("No estimate of Sunshine Fraction, Wind Speed: the run stopped: ")))
        << notice.toStdString();
    EXPECT_TRUE(notice.contains(QStringLiteral("pet.txt")));

    // Not repeated for the same inputs, however often the window is activated.
    window->onActivated();
    EXPECT_FALSE(window->ShowData());
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(steps.size(), 6u);

    // Once the file is back, the next activation computes again.
    WriteDataFolder(folder.path(), 13.01, 41.99);
    steps.clear();
    window->onActivated();
    EXPECT_EQ(steps.size(), 8u);
    EXPECT_FALSE(window->RecalcPending());
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(ResultsWindowTest, VariablesWithoutAnEstimateShowNoValues) {
    window->variableTabs()->setCurrentIndex(1);    // precipitation and PET
    window->InnerStrip(2)->setCurrentIndex(1);  // results
    std::filesystem::remove(folder.path() / "TavisolData" / "pet.txt");
    EXPECT_FALSE(window->ShowData());
    // Precipitation was computed; PET, where the run failed, shows nothing.
    EXPECT_FALSE(Cell(2, 2, 2, 1).isEmpty());
    EXPECT_EQ(Cell(2, 2, 17, 1), QString());
    EXPECT_EQ(Cell(2, 2, 29, 1), QString());
    EXPECT_EQ(Cell(2, 2, 16, 1), QStringLiteral("[mm]"));  // the label row stays
    window->InnerStrip(2)->setCurrentIndex(0);  // chart: the precipitation curve only
    int curves = 0;
    for (const ChartItem &i : window->Chart(2)->drawing().items)
        curves += i.kind == ChartItem::Kind::Line && i.width == 3;
    EXPECT_EQ(curves, 23);

    // No neighbour within the maximum distance: no number anywhere.
    WriteDataFolder(folder.path(), 13.01, 41.99);
    sharedSettingsForTesting().MaxDistance = 0.001F;
    window->setRecalcPending(true);
    window->InnerStrip(2)->setCurrentIndex(2);  // stations
    EXPECT_TRUE(window->ShowData());
    for (int row = 1; row <= 44; ++row)
        for (int c = 1; c <= 8; ++c)
            EXPECT_EQ(Cell(2, 3, row, c), QString()) << row << " " << c;
    window->InnerStrip(2)->setCurrentIndex(1);
    EXPECT_EQ(Cell(2, 2, 2, 1), QString());
    EXPECT_TRUE(messages.size() == 1 && QString::fromStdString(messages[0].text).contains(QStringLiteral("pet.txt")));

    // Stations for the daily extremes only: the mean's zeros neither set the
    // temperature chart's range nor raise High or Low; Few says why.
    sharedSettingsForTesting().MaxDistance = 1000;
    testsupport::WriteStationFilesAt(folder.path() / "TavisolData", 41.99F, 13.01F, [](int v) {
        return v == 0 ? std::string() : fixture::StationFile(fixture::StationsAround(13.01, 41.99, v));
    });
    window->setRecalcPending(true);
    window->variableTabs()->setCurrentIndex(0);
    window->InnerStrip(1)->setCurrentIndex(0);
    ASSERT_TRUE(window->ShowData());
    EXPECT_GT(window->Chart(1)->drawing().min, 0);
    window->InnerStrip(1)->setCurrentIndex(4);
    EXPECT_EQ(Cell(1, 0, 1, 2), QString());
    EXPECT_EQ(Cell(1, 0, 2, 2), QString());
    EXPECT_EQ(Cell(1, 0, 6, 2), QStringLiteral("X"));
}

TEST_F(ResultsWindowTest, NoSecondRunWhileOneIsGoing) {
    int runs = 0;
    int refused = 0;
    QObject::connect(mainBar.get(), &QProgressBar::valueChanged, [&](int v) {
        if (v == 0)
            ++runs;
        // An activation (or a save) reached through the events of the run.
        window->onActivated();
        if (!window->ShowData())
            ++refused;
    });
    EXPECT_TRUE(window->ShowData());
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(refused, 8);
    EXPECT_EQ(steps.size(), 8u);
    EXPECT_FALSE(window->RecalcPending());
}

TEST_F(ResultsWindowTest, OtherComputationKeepsTheWindowPending) {
    {
        BusyGuard other;
        ASSERT_TRUE(other.owns());
        EXPECT_FALSE(window->ShowData());
        EXPECT_TRUE(steps.empty());
        EXPECT_TRUE(appState().Busy);
    }
    EXPECT_TRUE(window->RecalcPending());
    EXPECT_TRUE(window->ShowData());
}

TEST_F(ResultsWindowTest, CallerHoldingTheBusyMarkComputesThroughIt) {
    BusyGuard listRun;
    ASSERT_TRUE(listRun.owns());
    EXPECT_TRUE(window->ShowData(ResultsWindow::BusyMark::HeldByCaller));
    EXPECT_EQ(steps.size(), 8u);
    EXPECT_FALSE(window->RecalcPending());
    EXPECT_TRUE(appState().Busy);  // still the caller's
}

TEST_F(ResultsWindowTest, LocationChangedDuringTheRunKeepsItPending) {
    QObject::connect(mainBar.get(), &QProgressBar::valueChanged, [](int v) {
        if (v == 4)
            SetCurrentLocation("", 14.0F, 42.0F, 10);
    });
    EXPECT_FALSE(window->ShowData());
    EXPECT_TRUE(window->RecalcPending());
    EXPECT_TRUE(messages.empty());
}

TEST_F(ResultsWindowTest, PagesAndLegendFollowTheStrips) {
    ASSERT_TRUE(window->ShowData());
    window->variableTabs()->setCurrentIndex(1);
    EXPECT_TRUE(window->GroupFrame(1)->isHidden());
    EXPECT_FALSE(window->GroupFrame(2)->isHidden());
    EXPECT_TRUE(window->LegendLabel(3)->isHidden());
    EXPECT_TRUE(window->LegendLine(3)->isHidden());
    EXPECT_TRUE(window->LegendLabel(3)->text().isEmpty());
    EXPECT_EQ(window->LegendLabel(1)->text(), QStringLiteral("Precipitation [mm/month]"));

    window->InnerStrip(2)->setCurrentIndex(1);  // results
    EXPECT_TRUE(window->legendFrame()->isHidden());
    EXPECT_TRUE(window->Page(2, 1)->isHidden());
    EXPECT_FALSE(window->Page(2, 2)->isHidden());
    QTableWidget *grid = window->Grid(2, 2);
    EXPECT_EQ(grid->rowCount(), 29);
    EXPECT_EQ(grid->columnCount(), 12);
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QStringLiteral("Best Estimate"));
    EXPECT_EQ(grid->verticalHeaderItem(15)->text(), QStringLiteral(" PET "));
    EXPECT_EQ(Cell(2, 2, 1, 1), QStringLiteral("[mm]"));
    EXPECT_FALSE(Cell(2, 2, 2, 1).isEmpty());
    EXPECT_EQ(grid->item(1, 0)->textAlignment(), int(Qt::AlignCenter));
    EXPECT_EQ(grid->item(13, 0)->background().color(), grid->item(0, 0)->background().color());
    EXPECT_NE(grid->item(13, 0)->background().color(), grid->item(1, 0)->background().color());

    window->InnerStrip(2)->setCurrentIndex(4);  // warnings
    EXPECT_FALSE(window->Page(2, 0)->isHidden());
    EXPECT_EQ(CornerText(window->Grid(2, 0)), QStringLiteral("Warnings"));
    EXPECT_EQ(window->Grid(2, 0)->verticalHeaderItem(3)->text(), QStringLiteral("Doubled"));
    EXPECT_EQ(Cell(2, 0, 4, 1), QStringLiteral("X"));  // a doubled station in the precipitation file

    window->InnerStrip(2)->setCurrentIndex(0);  // chart again
    EXPECT_FALSE(window->legendFrame()->isHidden());

    window->variableTabs()->setCurrentIndex(2);
    EXPECT_FALSE(window->LegendLabel(3)->isHidden());
    EXPECT_EQ(window->LegendLabel(3)->text(), QStringLiteral("Water Vapor Pressure [hPa]"));
    window->InnerStrip(3)->setCurrentIndex(2);  // stations
    EXPECT_EQ(window->Grid(3, 3)->rowCount(), 68);
    EXPECT_EQ(Cell(3, 3, 2, 7), QStringLiteral("St7_1"));
    EXPECT_EQ(Cell(3, 3, 25, 7), QStringLiteral("St6_1"));
    EXPECT_EQ(Cell(3, 3, 10, 7), QString());  // slot 9 of 8 neighbours

    // The inner strip keeps its tab when the group changes.
    window->variableTabs()->setCurrentIndex(1);
    EXPECT_FALSE(window->Page(2, 0)->isHidden() && window->Page(2, 1)->isHidden());
    EXPECT_FALSE(window->Page(2, 1)->isHidden());
}

TEST_F(ResultsWindowTest, NewEstimateRedrawsTheSelectedPagesOfAllGroups) {
    window->InnerStrip(1)->setCurrentIndex(3);  // observations
    window->InnerStrip(3)->setCurrentIndex(1);  // results
    EXPECT_EQ(Cell(1, 4, 2, 1), QString());     // nothing computed yet
    ASSERT_TRUE(window->ShowData());
    EXPECT_FALSE(Cell(1, 4, 2, 1).isEmpty());
    EXPECT_FALSE(Cell(3, 2, 2, 1).isEmpty());
    // The chart's legend stays with a chart, not under the observations.
    EXPECT_TRUE(window->legendFrame()->isHidden());
}

TEST_F(ResultsWindowTest, ChartScaleSpansTheSurface) {
    ASSERT_TRUE(window->ShowData());
    // The three charts share the range members; the last one drawn holds them.
    EXPECT_EQ(window->ChartMin(), 0);
    window->onTemperatureTabChanged();
    ChartView *chart = window->Chart(1);
    chart->resize(290, 280);
    const ChartDrawing &d = chart->drawing();
    EXPECT_EQ(d.min, window->ChartMin());
    EXPECT_EQ(d.max, window->ChartMax());
    EXPECT_FLOAT_EQ(window->ChartStep(), (d.max - d.min) / 10);
    const QPointF topLeft = chart->toPixels(-2, d.top);
    const QPointF bottomRight = chart->toPixels(12.5, d.bottom);
    EXPECT_NEAR(topLeft.x(), 0, 1e-9);
    EXPECT_NEAR(topLeft.y(), 0, 1e-9);
    EXPECT_NEAR(bottomRight.x(), 290, 1e-9);
    EXPECT_NEAR(bottomRight.y(), 280, 1e-9);
    // -2 .. 12.5 over 290 pixels: 20 pixels a month.
    EXPECT_NEAR(chart->toPixels(0, d.min).x(), 40, 1e-9);
    const QImage image = chart->grab().toImage();
    EXPECT_FALSE(image.isNull());
}

TEST_F(ResultsWindowTest, ResizeCountStopsInsteadOfOverflowing) {
    window->show();
    for (int k = 0; k < 300; ++k)
        window->resize(600 + k, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->ResizeCount(), 255);
    window->close();
    EXPECT_EQ(window->ResizeCount(), 0);
}

TEST_F(ResultsWindowTest, ViewDataCommandShowsTheChildAndComputes) {
    window.reset();
    MainWindow main;
    engine::SetInitialValues(sharedSettingsForTesting());
    InstallResultsCommands(main);
    ASSERT_TRUE(HasCommandHandler(Command::ViewData));
    EXPECT_EQ(LocationResultsWindowIfCreated(), nullptr);
    main.showViewData();
    ResultsWindow *w = LocationResultsWindowIfCreated();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(main.mdiArea()->activeSubWindow()->widget(), w);
    EXPECT_FALSE(w->RecalcPending());
    EXPECT_TRUE(w->Results().AllComputed());
    EXPECT_FLOAT_EQ(w->Results()[0].CalcLongitude, appState().CurLongitude);
    EXPECT_FALSE(main.progressBar()->isVisible());
    QCoreApplication::processEvents();
    EXPECT_TRUE(messages.empty());

    // While busy, the main window refuses before the command runs.
    appState().Busy = true;
    main.showViewData();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Tavisol Busy");
    appState().Busy = false;
}

using testsupport::Activate;
using testsupport::CloseABoxOver;

class ResultsWindowInMainWindow : public ResultsWindowTest {
protected:
    void SetUp() override {
        ResultsWindowTest::SetUp();
        window.reset();
        main = std::make_unique<MainWindow>();
        engine::SetInitialValues(sharedSettingsForTesting());
        InstallResultsCommands(*main);
        main->show();
        ASSERT_TRUE(Activate(main.get()));
        QObject::connect(main->progressBar(), &QProgressBar::valueChanged, [this](int v) { steps.push_back(v); });
    }
    void TearDown() override {
        delete LocationResultsWindowIfCreated();
        main.reset();
        ResultsWindowTest::TearDown();
    }
    QMdiSubWindow *SubOf(QWidget *w) {
        for (QMdiSubWindow *s : main->mdiArea()->subWindowList())
            if (s->widget() == w)
                return s;
        return nullptr;
    }
    std::unique_ptr<MainWindow> main;
};

TEST_F(ResultsWindowInMainWindow, FailedRunShowsItsMessageOnceAndWaitsForTheUser) {
    std::filesystem::remove(folder.path() / "TavisolData" / "pet.txt");
    main->showViewData();
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(QString::fromStdString(messages[0].text).contains(QStringLiteral("pet.txt")));
    ResultsWindow *w = LocationResultsWindowIfCreated();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->EstimateDue());

    // Closing the box makes the main window active again, View Data is
    // chosen again: no new run for the same inputs.
    steps.clear();
    for (int k = 0; k < 3; ++k)
        CloseABoxOver(main.get());
    main->showViewData();
    QCoreApplication::processEvents();
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_TRUE(steps.empty());

    // Asked again once the file is back, it computes.
    WriteDataFolder(folder.path(), 13.01, 41.99);
    main->showViewData();
    EXPECT_EQ(steps.size(), 8u);
    EXPECT_FALSE(w->RecalcPending());
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(ResultsWindowInMainWindow, DialogOkOverTheActiveWindowComputesOnce) {
    main->showViewData();
    ResultsWindow *w = LocationResultsWindowIfCreated();
    ASSERT_NE(w, nullptr);
    ASSERT_FALSE(w->RecalcPending());
    steps.clear();
    SettingsDialog settings(main.get());
    settings.show();
    ASSERT_TRUE(Activate(&settings));
    settings.txtPowExp->setText(QStringLiteral("3"));
    settings.okButton->click();
    Activate(main.get());
    QCoreApplication::processEvents();
    EXPECT_EQ(steps.size(), 8u);
    EXPECT_FALSE(w->RecalcPending());
    CloseABoxOver(main.get());
    EXPECT_EQ(steps.size(), 8u);
}

TEST_F(ResultsWindowInMainWindow, DialogOkRunsNothingUntilTheWindowIsActivated) {
    main->showViewData();
    ResultsWindow *w = LocationResultsWindowIfCreated();
    ASSERT_NE(w, nullptr);
    ASSERT_FALSE(w->RecalcPending());
    // Another child in front of the results window.
    main->showChild(new QWidget);
    QCoreApplication::processEvents();
    ASSERT_TRUE(w->isVisible());

    steps.clear();
    SettingsDialog settings(main.get());
    settings.show();
    ASSERT_TRUE(Activate(&settings));
    settings.okButton->click();  // OK: marks both windows, hides the dialog
    Activate(main.get());
    CloseABoxOver(main.get());
    EXPECT_TRUE(steps.empty());
    EXPECT_TRUE(w->RecalcPending());
    EXPECT_TRUE(messages.empty());

    // The run belongs to the window's own activation.
    main->mdiArea()->setActiveSubWindow(SubOf(w));
    QCoreApplication::processEvents();
    EXPECT_EQ(steps.size(), 8u);
    EXPECT_FALSE(w->RecalcPending());
}

} // namespace
