// Every window that shows an estimate follows every change of the location or
// the settings, whichever window or dialog made it, as the user drives them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTabBar>
#include <QTimer>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>

#include <cmath>
#include <fstream>
#include <set>

#include "app/wiring.h"
#include "batch/batch_list_window.h"
#include "batch/batchcommands.h"
#include "engine/engine.h"
#include "outdlg/dialogs.h"
#include "outdlg/install.h"
#include "rastermap/raster_map_window.h"
#include "results/install.h"
#include "results/results_window.h"
#include "results/storedresults.h"
#include "shell/appstate.h"
#include "shell/coordinate_dialog.h"
#include "shell/dialogcommands.h"
#include "shell/estimateinputs.h"
#include "shell/location_dialog.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/programfolders.h"
#include "shell/settings_dialog.h"
#include "shell/sharedsettings.h"
#include "rastermap/window_fixture.h"
#include "support/activation.h"
#include "support/datafolder.h"
#include "support/programstate.h"
#include "support/userlocale.h"
#include "workbench/pictures_qt.h"
#include "workbench/workbench_window.h"
#include "worldmap/world_map_window.h"
#include "worldmap/worldmap.h"

namespace {

using namespace tavisol;
using testsupport::Activate;
using testsupport::UserDecimals;

enum class Shown { Results, Workbench };

// Stations around Rome whose values follow their place, so that every move
// changes the estimate.
std::string Stations() {
    std::vector<testsupport::Station> stations;
    for (int k = 0; k < 10; ++k) {
        testsupport::Station s;
        s.lat = 41.5 + 0.11 * k;
        s.lon = 12.4 + 0.13 * ((k * 7) % 10);
        s.alt = 10.0 + 90.0 * k;
        for (int m = 0; m < 12; ++m)
            s.values[static_cast<std::size_t>(m)] = 5.0 + m + 3.0 * (s.lat - 41.5) - 2.0 * (s.lon - 12.4) - s.alt / 200;
        s.name = "S" + std::to_string(k);
        stations.push_back(s);
    }
    return testsupport::StationFile(stations);
}

class EstimatesFollowChanges : public ::testing::Test {
public:
    void SetUp() override {
        testsupport::StartProgramIn(program.path());
        const auto data = program.path() / "TavisolData";
        testsupport::WriteStationFilesEverywhere(data, Stations());
        testsupport::WriteElevationRaster(data, 3);
        QImage world(720, 360, QImage::Format_RGB32);
        world.fill(Qt::white);
        ASSERT_TRUE(world.save(QString::fromStdString((data / "woma.bmp").string()), "BMP"));
        SetMessageBoxHandler([this](QWidget *, const Message &m) {
            messages.push_back(m);
            return m.buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
        });
        SetBatchDialogs({[this](QWidget *, const QString &) { return QString::fromStdString(out.path().string()); },
                         {}, {}});
        InstallEarlyCommands();
        main = std::make_unique<MainWindow>();
        InstallMainWindowCommands(*main);
        main->show();
        ASSERT_TRUE(Activate(main.get()));
    }
    void TearDown() override {
        main.reset();
        DestroyWorldMap();
        SetBatchDialogs({});
        outdlg::SetSaveFileDialog({});
        testsupport::EndProgram();
    }

    void Trigger(const char *command) {
        QAction *a = main->menuAction(QString::fromLatin1(command));
        ASSERT_NE(a, nullptr) << command;
        a->trigger();
        QCoreApplication::processEvents();
    }
    QWidget *Open(Shown w) {
        Trigger(w == Shown::Results ? "mn_ViewData" : "mn_WorkBench");
        if (w == Shown::Results)
            return results::LocationResultsWindowIfCreated();
        return workbench::WorkbenchWindow::existing();
    }
    // The user clicks on the window again, which also makes the main window
    // the active one.
    void ClickOn(QWidget *window) {
        Activate(main.get());
        for (QMdiSubWindow *s : main->mdiArea()->subWindowList())
            if (s->widget() == window)
                main->mdiArea()->setActiveSubWindow(s);
        QCoreApplication::processEvents();
    }
    // A dialog's OK hid it: the main window is active again.
    void BackToMain() {
        Activate(main.get());
        QCoreApplication::processEvents();
    }

    // What the window computed from, and its estimate of mean temperature in
    // January.
    struct Estimate {
        float lon = 0, lat = 0;
        engine::EngineSettings settings;
        engine::Single january = 0;
        bool due = true;
    };
    static Estimate ShownBy(Shown w) {
        Estimate e;
        if (w == Shown::Results) {
            const results::ResultsWindow *r = results::LocationResultsWindowIfCreated();
            e.lon = r->Results()[0].CalcLongitude;
            e.lat = r->Results()[0].CalcLatitude;
            e.settings = r->Engine();
            e.january = r->Results()[0].Result.Best[1];
            e.due = r->EstimateDue();
        } else {
            const workbench::WorkbenchWindow *b = workbench::WorkbenchWindow::existing();
            e.lon = b->State().CalcLongitude;
            e.lat = b->State().CalcLatitude;
            e.settings = b->State();
            e.january = b->State().CurResult.Best[1];
            e.due = b->EstimateDue();
        }
        return e;
    }
    // The line above the window's pages that says why they hold no values
    // (View Data: its first group); empty while hidden.
    static std::string NoticeOf(Shown w) {
        const QLabel *l = w == Shown::Results ? results::LocationResultsWindowIfCreated()->MissingEstimates(1)
                                              : workbench::WorkbenchWindow::existing()->findChild<QLabel *>(
                                                    QStringLiteral("missingEstimate"));
        return l && l->isVisibleTo(l->window()) ? l->text().toStdString() : std::string();
    }
    // Its beginning, with the variables it names.
    static std::string NoEstimateOf(Shown w) {
        return std::string("No estimate of ") +
               (w == Shown::Results ? "Monthly Mean Temperature, Monthly Mean of Daily Maximum Temperature, Monthly "
                                      "Mean of Daily Minimum Temperature: "
                                    : "Monthly Mean Temperature: ");
    }
    // The same estimate made afresh from what is in force.
    static engine::Single Reference() {
        engine::EngineState state;
        state.UseSettings(sharedSettings());
        state.DataFolder = dataFolder();
        results::LocationResults r;
        const AppState &app = appState();
        EXPECT_TRUE(results::RunLocationEstimate(r, state, app.CurLongitude, app.CurLatitude, app.CurElevation).ok);
        return r[0].Result.Best[1];
    }

    testsupport::TempFolder program, out;
    std::unique_ptr<MainWindow> main;
    std::vector<Message> messages;
};

// ---- Changes as the user makes them -----------------------------------------------

void TypeInto(QLineEdit *field, const char *text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, QString::fromLatin1(text));
}

// An entry of the list window as its grid and file readers write it, in the
// user's locale.
batch::ListEntry ListedPoint() {
    return {UserDecimals(" Lon : 12.9 Lat : 42.2 Alt : 80"), UserDecimals("12.9"), UserDecimals("42.2"), "80"};
}

struct Change {
    const char *name;
    // Makes the change; returns the window the user clicks on afterwards
    // (null: the change came from a dialog over the main window).
    std::function<bool(EstimatesFollowChanges &)> make;
};

class ChangeSource : public EstimatesFollowChanges,
                     public ::testing::WithParamInterface<std::tuple<Shown, int>> {
public:
    static const std::vector<Change> &Changes();
};

const std::vector<Change> &ChangeSource::Changes() {
    static const std::vector<Change> changes = {
        {"SettingsDialogOk",
         [](EstimatesFollowChanges &t) {
             t.Trigger("mnChangeSettings");
             SettingsDialog *d = OpenSettingsDialog();
             Activate(d);
             TypeInto(d->txtPowExp, "3");
             d->okButton->click();
             t.BackToMain();
             return false;
         }},
        {"CoordinateDialogOk",
         [](EstimatesFollowChanges &t) {
             t.Trigger("mn_Coordinate");
             CoordinateDialog *d = CoordDialog();
             Activate(d);
             TypeInto(d->txtlong, "12.7");
             TypeInto(d->txtLat, "42.3");
             d->cmdBack->click();
             t.BackToMain();
             return false;
         }},
        {"LocationDialogOk",
         [](EstimatesFollowChanges &t) {
             t.Trigger("mn_SetLocation");
             LocationDialog *d = OpenLocationDialog();
             Activate(d);
             TypeInto(d->txtlong, "12.6");
             TypeInto(d->txtLat, "41.8");
             TypeInto(d->txtElev, "300");
             d->cmdBack->click();
             t.BackToMain();
             return false;
         }},
        {"ListWindowTyping",
         [](EstimatesFollowChanges &t) {
             t.Trigger("mn_saveGridOrFile");
             BatchListWindow &list = ListWindow();
             TypeInto(list.txtPowExp, "3");
             list.CmdCanc->click();
             return true;
         }},
        {"ListWindowSetLocation",
         [](EstimatesFollowChanges &t) {
             t.Trigger("mn_saveGridOrFile");
             BatchListWindow &list = ListWindow();
             list.addLocation(ListedPoint());
             list.LstStations->topLevelItem(0)->setSelected(true);
             list.CmdRun->click();
             return true;
         }},
        {"ListWindowRunWithItsCheckBoxes",
         [](EstimatesFollowChanges &t) {
             t.Trigger("mn_saveGridOrFile");
             BatchListWindow &list = ListWindow();
             list.addLocation(ListedPoint());
             list.chkMean->setChecked(true);
             list.ChkBest->setChecked(true);
             list.chkAltCorr->click();  // put in force by the run
             list.CmdSave->click();
             EXPECT_EQ(t.messages.back().text, "Data Saved Correctly");
             return true;
         }},
        {"WorldMapSetLocation",
         [](EstimatesFollowChanges &t) {
             t.Trigger("mn_LocationMap");
             WorldMapWindow *m = WorldMap();
             m->txtlong->setText(QStringLiteral("12.8"));
             m->txtLat->setText(QStringLiteral("41.7"));
             m->txtElev->setText(QStringLiteral("150"));
             m->CmdRun->click();
             return true;
         }},
        {"RasterMapSetLocation",
         [](EstimatesFollowChanges &t) {
             t.Trigger("mn_vectMap");
             rastermap::RasterMapWindow *m = rastermap::RasterMapWindow::instance();
             m->txtlong->setText(QStringLiteral("13.2"));
             m->txtLat->setText(QStringLiteral("41.6"));
             m->txtElev->setText(QStringLiteral("250"));
             m->CmdRun->click();
             return true;
         }},
        {"WorkbenchMapLocation",
         [](EstimatesFollowChanges &t) {
             t.Trigger("mn_WorkBench");
             auto *map = workbench::WorkbenchWindow::existing()->findChild<workbench::PictureBox *>(
                 QStringLiteral("picMapStation"));
             map->resize(600, 360);
             QTest::mouseClick(map, Qt::RightButton, Qt::NoModifier, QPoint(420, 120));  // Yes: made current
             return true;
         }},
    };
    return changes;
}

TEST_P(ChangeSource, TheWindowShowsTheEstimateOfWhatIsInForce) {
    const auto [shown, row] = GetParam();
    const Change &change = Changes()[static_cast<std::size_t>(row)];
    QWidget *window = Open(shown);
    ASSERT_NE(window, nullptr);
    const Estimate before = ShownBy(shown);
    ASSERT_FALSE(before.due);
    const EstimateInputs inputs = CurrentEstimateInputs();

    if (change.make(*this))
        ClickOn(window);
    ASSERT_NE(CurrentEstimateInputs(), inputs) << "the change changed nothing";

    const Estimate after = ShownBy(shown);
    EXPECT_FALSE(after.due);
    EXPECT_EQ(after.lon, appState().CurLongitude);
    EXPECT_EQ(after.lat, appState().CurLatitude);
    EXPECT_TRUE(after.settings == sharedSettings());
    EXPECT_FLOAT_EQ(after.january, Reference());
    // Only what the change itself says; no failure, nothing twice.
    const std::set<std::string> expected = {"Data Saved Correctly", "No Map available",
                                            "Do you want set this Location as current Location?"};
    for (const Message &m : messages)
        EXPECT_TRUE(expected.count(m.text)) << m.text;
}

std::string RowName(const ::testing::TestParamInfo<std::tuple<Shown, int>> &info) {
    const auto [shown, row] = info.param;
    return std::string(shown == Shown::Results ? "ViewData_" : "WorkBench_") +
           ChangeSource::Changes()[static_cast<std::size_t>(row)].name;
}

// The workbench's own map is a change for the results window only.
INSTANTIATE_TEST_SUITE_P(ViewData, ChangeSource,
                         ::testing::Combine(::testing::Values(Shown::Results), ::testing::Range(0, 9)), RowName);
INSTANTIATE_TEST_SUITE_P(WorkBench, ChangeSource,
                         ::testing::Combine(::testing::Values(Shown::Workbench), ::testing::Range(0, 8)), RowName);

// Typed into the list window, a setting is in force at once when the settings
// dialog would take it; a value it refuses leaves the one before in force, and
// leaving the box says so. The numbers, the saved report's methods and the
// settings dialog all tell what is in force.
struct ListBoxTyping {
    const char *name;
    QLineEdit *SettingsControls::*box;
    std::function<void(QLineEdit *)> type;
    const char *inForce;  // as the settings dialog shows it
    const char *reportLine;
    std::vector<std::string> leaving;  // titles of the messages on leaving the box
};

void PrintTo(const ListBoxTyping &row, std::ostream *os) { *os << row.name; }

class ListWindowTyping : public EstimatesFollowChanges, public ::testing::WithParamInterface<ListBoxTyping> {};

TEST_P(ListWindowTyping, WhatIsInForceReachesTheEstimateTheReportAndTheSettingsDialog) {
    const ListBoxTyping &row = GetParam();
    Open(Shown::Results);
    const engine::Single before = ShownBy(Shown::Results).january;
    Trigger("mn_saveGridOrFile");
    BatchListWindow &list = ListWindow();
    ASSERT_TRUE(Activate(&list));
    row.type(list.*row.box);
    list.CmdCanc->setFocus(Qt::MouseFocusReason);  // the click on Cancel
    list.CmdCanc->click();
    std::vector<std::string> titles;
    for (const Message &m : messages)
        titles.push_back(m.title);
    EXPECT_EQ(titles, row.leaving);
    if (!messages.empty()) {
        EXPECT_THAT(messages[0].text,
                    ::testing::EndsWith("Maximum number of stations in force: " + std::string(row.inForce) + "."));
    }
    messages.clear();
    Open(Shown::Results);
    EXPECT_NE(ShownBy(Shown::Results).january, before);
    EXPECT_FLOAT_EQ(ShownBy(Shown::Results).january, Reference());

    const auto report = out.path() / "rome.tvs";
    outdlg::SetSaveFileDialog([&](QWidget *, const QString &, const QString &) {
        return QString::fromStdString(report.string());
    });
    Trigger("mn_SaveViewData");
    outdlg::ResultsOutputDialog &d = outdlg::ResultsOutput();
    d.chkMean->setChecked(true);
    d.ChkBest->setChecked(true);
    d.CmdSave->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Data Saved Correctly");
    std::ifstream in(report, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find(std::string(row.reportLine) + "\r\n"), std::string::npos) << text;

    Trigger("mnChangeSettings");
    EXPECT_EQ((OpenSettingsDialog()->*row.box)->text(), QString::fromLatin1(row.inForce));
}

INSTANTIATE_TEST_SUITE_P(
    , ListWindowTyping,
    ::testing::Values(
        ListBoxTyping{"Power", &SettingsControls::txtPowExp, [](QLineEdit *f) { TypeInto(f, "3"); }, "3",
                      "Power Exponent 3", {}},
        // "20", "2", "": the 2 stays in force.
        ListBoxTyping{"StationsClearedByTwoBackspaces", &SettingsControls::txtMaxStat,
                      [](QLineEdit *f) {
                          f->setFocus();
                          f->end(false);
                          QTest::keyClicks(f, QStringLiteral("\b\b"));
                      },
                      "2", "Maximum Number of Stations: 2", {"Problem: Too few stations."}},
        // "9", "99": the 9 stays in force.
        ListBoxTyping{"TooManyStations", &SettingsControls::txtMaxStat, [](QLineEdit *f) { TypeInto(f, "99"); }, "9",
                      "Maximum Number of Stations: 9", {"Problem: Too many stations."}}),
    [](const ::testing::TestParamInfo<ListBoxTyping> &info) { return std::string(info.param.name); });

// ---- What the windows say ---------------------------------------------------------

class EachWindow : public EstimatesFollowChanges, public ::testing::WithParamInterface<Shown> {};

std::string WindowName(const ::testing::TestParamInfo<Shown> &info) {
    return info.param == Shown::Results ? "ViewData" : "WorkBench";
}

INSTANTIATE_TEST_SUITE_P(, EachWindow, ::testing::Values(Shown::Results, Shown::Workbench), WindowName);

// A failed run says so once and is not run again until something changes;
// the data put back is such a change.
TEST_P(EachWindow, AFailedRunIsShownOnce) {
    const auto data = program.path() / "TavisolData";
    std::filesystem::rename(data, out.path() / "aside");
    QWidget *window = Open(GetParam());
    ASSERT_EQ(messages.size(), 1u);
    // Said above the blank pages too, after the box is gone.
    EXPECT_TRUE(NoticeOf(GetParam()).starts_with(NoEstimateOf(GetParam()) + "the run stopped: " + messages[0].text))
        << NoticeOf(GetParam());
    // Opened at its usual size, not at that of the few panels a failed run shows.
    EXPECT_GE(window->parentWidget()->height(), main->mdiArea()->viewport()->height() * 9 / 10);
    Open(GetParam());
    Trigger("mn_saveGridOrFile");  // another child, then back
    ClickOn(window);
    testsupport::CloseABoxOver(main.get());
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_FALSE(ShownBy(GetParam()).due);

    std::filesystem::rename(out.path() / "aside", data);
    messages.clear();
    Open(GetParam());
    EXPECT_TRUE(messages.empty());
    EXPECT_FLOAT_EQ(ShownBy(GetParam()).january, Reference());
    EXPECT_EQ(NoticeOf(GetParam()), "");
}

// A change that leaves no neighbour: the window says so as soon as it is
// active again, naming the criterion of the selection that left none.
struct NoNeighbourChange {
    const char *name;
    std::function<void(EstimatesFollowChanges &, QWidget *window)> make;
    const char *reason;
};

void PrintTo(const NoNeighbourChange &change, std::ostream *os) { *os << change.name; }

class LeftWithoutNeighbours : public EstimatesFollowChanges,
                              public ::testing::WithParamInterface<std::tuple<Shown, NoNeighbourChange>> {};

TEST_P(LeftWithoutNeighbours, TheWindowNamesTheCriterion) {
    const auto &[shown, change] = GetParam();
    QWidget *window = Open(shown);
    messages.clear();
    change.make(*this, window);
    EXPECT_FALSE(ShownBy(shown).due);
    EXPECT_EQ(NoticeOf(shown), NoEstimateOf(shown) + change.reason + ".");
    if (shown == Shown::Workbench) {
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].title, "No calculation can be done with 0 neighbours");
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Sorry, No Neighbors!"));
    }
}

void ChangeSettings(EstimatesFollowChanges &t, const std::function<void(SettingsDialog &)> &edit) {
    t.Trigger("mnChangeSettings");
    edit(*OpenSettingsDialog());
    OpenSettingsDialog()->okButton->click();
    t.BackToMain();
}

INSTANTIATE_TEST_SUITE_P(
    , LeftWithoutNeighbours,
    ::testing::Combine(
        ::testing::Values(Shown::Results, Shown::Workbench),
        ::testing::Values(
            NoNeighbourChange{"MaximumDistance",
                              [](EstimatesFollowChanges &t, QWidget *) {
                                  ChangeSettings(t, [](SettingsDialog &d) { TypeInto(d.txtMaxDist, "1"); });
                              },
                              "no station within the Maximum Distance of 1 km"},
            NoNeighbourChange{"FarFromEveryStation",
                              [](EstimatesFollowChanges &t, QWidget *) {
                                  t.Trigger("mn_Coordinate");
                                  TypeInto(CoordDialog()->txtlong, "-140");
                                  TypeInto(CoordDialog()->txtLat, "-45");
                                  CoordDialog()->cmdBack->click();
                                  t.BackToMain();
                              },
                              "no station within the Maximum Distance of 1000 km"},
            NoNeighbourChange{"AltitudeWindow",
                              [](EstimatesFollowChanges &t, QWidget *) {
                                  ChangeSettings(t, [](SettingsDialog &d) {
                                      d.chkNeighbAlt->click();
                                      TypeInto(d.txtMinHigh, "5000");
                                  });
                              },
                              "no station within the Maximum Distance of 1000 km meets the Altitude Restrictions (a "
                              "known altitude from 5000 to 8848 m)"},
            NoNeighbourChange{"EmptyStationFiles",
                              [](EstimatesFollowChanges &t, QWidget *window) {
                                  testsupport::WriteStationFilesEverywhere(t.program.path() / "TavisolData", "");
                                  t.Trigger("mn_saveGridOrFile");  // another window, then back
                                  t.ClickOn(window);
                              },
                              "the station files hold no station"})),
    [](const ::testing::TestParamInfo<std::tuple<Shown, NoNeighbourChange>> &info) {
        return std::string(std::get<0>(info.param) == Shown::Results ? "ViewData_" : "WorkBench_") +
               std::get<1>(info.param).name;
    });

// A report states the methods its run used, also after the settings dialog
// showed them in the user's form ("0,5") and was cancelled.
TEST_P(EachWindow, ReportStatesTheSettingsUsedAfterTheSettingsDialogIsCancelled) {
    Open(GetParam());
    Trigger("mnChangeSettings");
    TypeInto(OpenSettingsDialog()->txtShad, "0,5");
    TypeInto(OpenSettingsDialog()->txtMaxDist, "800,5");
    OpenSettingsDialog()->okButton->click();
    BackToMain();
    const auto report = out.path() / "methods.tvs";
    outdlg::SetSaveFileDialog([&](QWidget *, const QString &, const QString &) {
        return QString::fromStdString(report.string());
    });
    const auto saved = [&] {
        outdlg::OutputDialog &d = GetParam() == Shown::Results
                                      ? static_cast<outdlg::OutputDialog &>(outdlg::ResultsOutput())
                                      : outdlg::WorkbenchOutput();
        Trigger(GetParam() == Shown::Results ? "mn_SaveViewData" : "mn_SaveWorkBench");
        if (GetParam() == Shown::Results)
            outdlg::ResultsOutput().chkMean->setChecked(true);
        d.ChkBest->setChecked(true);
        d.CmdSave->click();
        std::ifstream in(report, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    const std::string before = saved();
    Trigger("mnChangeSettings");
    OpenSettingsDialog()->CmdCanc->click();
    BackToMain();
    const std::string after = saved();
    for (const std::string &text : {before, after}) {
        EXPECT_NE(text.find("Shadow Correction with weight: " + UserDecimals("0.50") + "\r\n"), std::string::npos)
            << text;
        EXPECT_NE(text.find("Maximum Distance of Neighbors in km: " + UserDecimals("800.5") + "\r\n"),
                  std::string::npos)
            << text;
    }
    EXPECT_FLOAT_EQ(sharedSettings().MaxDistance, 800.5f);
    EXPECT_FLOAT_EQ(sharedSettings().ShadowCoef, 0.5f);
}

// While the window computes, nothing of the previous estimate is on show.
TEST_P(EachWindow, ShowsNothingOfTheLastEstimateWhileItComputes) {
    QWidget *window = Open(GetParam());
    std::vector<QString> seen;
    QString before;
    std::function<void()> look;
    if (GetParam() == Shown::Results) {
        auto *r = static_cast<results::ResultsWindow *>(window);
        r->InnerStrip(1)->setCurrentIndex(1);  // table of results
        // January's best estimate of the first section.
        auto cell = [r] { return r->Grid(1, 2)->item(1, 0) ? r->Grid(1, 2)->item(1, 0)->text() : QString(); };
        before = cell();
        QObject::connect(main->progressBar(), &QProgressBar::valueChanged, r, [&seen, cell](int v) {
            if (v == 0)
                seen.push_back(cell());
        });
    } else {
        auto *b = static_cast<workbench::WorkbenchWindow *>(window);
        auto *grid = b->findChild<workbench::FlexGrid *>(QStringLiteral("grdStation"));
        before = grid->cellText(1, 7);
        auto letThrough = b->model().hooks.DoEvents;
        b->model().hooks.DoEvents = [&seen, grid, letThrough] {
            seen.push_back(grid->cellText(1, 7));
            letThrough();
        };
    }
    ASSERT_FALSE(before.isEmpty());
    Trigger("mn_Coordinate");
    TypeInto(CoordDialog()->txtlong, "12.7");
    CoordDialog()->cmdBack->click();
    BackToMain();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), QString());
    EXPECT_FALSE(ShownBy(GetParam()).due);
}

// ---- A failure is said once -------------------------------------------------------

// A run that fails, started as the user starts it; returns its window. Where
// given, what tells that the run is still on show.
struct FailingRun {
    const char *name;
    std::function<QWidget *(EstimatesFollowChanges &)> start;
    std::function<bool()> onShow = {};
};

// The raster map's export, started by the OK key (Space on the focused
// button) or by a click.
QWidget *ExportFromTheRasterMap(EstimatesFollowChanges &t, bool byKey) {
    t.Trigger("mn_vectMap");
    rastermap::RasterMapWindow *form = rastermap::RasterMapWindow::instance();
    rastermap::testing::TypeExportArea(*form, "10", "11", "50", "49");
    form->exportFrame->show();
    form->exportSaveButton->setFocus();
    if (byKey)
        QTest::keyClick(form->window()->windowHandle(), Qt::Key_Space);
    else
        QTest::mouseClick(form->exportSaveButton, Qt::LeftButton);
    return form;
}

bool RasterExportOnShow() {
    const rastermap::RasterMapWindow *form = rastermap::RasterMapWindow::instance();
    return form->ExportRunning() || form->LblLonLat->isVisible() || form->exportFrame->isVisible();
}

const std::vector<FailingRun> FailingRuns = {
    {"ViewData", [](EstimatesFollowChanges &t) { return t.Open(Shown::Results); }},
    {"WorkBench", [](EstimatesFollowChanges &t) { return t.Open(Shown::Workbench); }},
    {"ListRun",
     [](EstimatesFollowChanges &t) -> QWidget * {
         t.Trigger("mn_saveGridOrFile");
         ListWindow().addLocation({" Lon : 12.9 Lat : 42.2 Alt : 80", "12.9", "42.2", "80"});
         ListWindow().chkMean->setChecked(true);
         ListWindow().ChkBest->setChecked(true);
         QTest::mouseClick(ListWindow().CmdSave, Qt::LeftButton);
         return &ListWindow();
     }},
    {"RasterExportByKey", [](EstimatesFollowChanges &t) { return ExportFromTheRasterMap(t, true); },
     RasterExportOnShow},
    {"RasterExportByClick", [](EstimatesFollowChanges &t) { return ExportFromTheRasterMap(t, false); },
     RasterExportOnShow},
};

// A box that the user closes with the key (Qt::Key_unknown: a click on OK).
// What follows of the key, a repeat and its release, goes to `after`, the
// window that has the focus again once the box is gone.
void ShowAndCloseABox(QWidget *parent, const QString &text, Qt::Key key, QWindow *after) {
    QMessageBox box(parent);
    box.setText(text);
    QTimer::singleShot(0, &box, [&box, key, after] {
        Activate(&box);
        if (key == Qt::Key_unknown)
            return QTest::mouseClick(box.button(QMessageBox::Ok), Qt::LeftButton);
        QTest::keyClick(box.windowHandle(), key);
        QTimer::singleShot(0, after, [key, after] {
            QTest::simulateEvent(after, true, key, {}, QString(), true);
            QTest::keyRelease(after, key);
        });
    });
    box.exec();
}

// Closed by Enter, Space, Escape or a click.
class FailureSaidOnce : public EstimatesFollowChanges,
                        public ::testing::WithParamInterface<std::tuple<int, Qt::Key>> {};

INSTANTIATE_TEST_SUITE_P(, FailureSaidOnce,
                         ::testing::Combine(::testing::Range(0, 5), ::testing::Values(Qt::Key_Return, Qt::Key_Space,
                                                                                      Qt::Key_Escape, Qt::Key_unknown)),
                         [](const auto &info) {
                             const QString key = QKeySequence(std::get<1>(info.param)).toString();
                             return std::string(FailingRuns[static_cast<std::size_t>(std::get<0>(info.param))].name) +
                                    "_" + (key.isEmpty() ? "Click" : key.toStdString());
                         });

// Without the data folder every run fails. Its box, however it is closed
// and whatever of the closing key reaches the window afterwards, is the only
// one, also when the user clicks on the window again; it comes once the run
// is no longer on show, so that the closing key finds nothing of it.
TEST_P(FailureSaidOnce, HoweverItsBoxIsClosed) {
    const auto [run, key] = GetParam();
    const FailingRun &failing = FailingRuns[static_cast<std::size_t>(run)];
    rastermap::testing::UseBuiltVantrix();
    rastermap::testing::WriteFixtureMap(program.path() / "vistreldata", {});
    std::filesystem::rename(program.path() / "TavisolData", out.path() / "aside");
    bool onShow = false;
    // What follows of the closing key reaches the window the box was over.
    SetMessageBoxHandler([&, key = key](QWidget *parent, const Message &m) {
        messages.push_back(m);
        onShow = onShow || (failing.onShow && failing.onShow());
        QWindow *over = parent ? parent->window()->windowHandle() : nullptr;
        ShowAndCloseABox(parent, QString::fromStdString(m.text), key, over ? over : main->windowHandle());
        return MsgAnswer::Ok;
    });
    QWidget *window = failing.start(*this);
    QCoreApplication::processEvents();
    ClickOn(window);
    EXPECT_EQ(messages.size(), 1u) << (messages.empty() ? "" : messages.back().text);
    EXPECT_FALSE(onShow);
}

} // namespace
