#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QLocale>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include <clocale>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>

#include "batch/batchcommands.h"
#include "batch/grid_dialog.h"
#include "batch/batch_list_window.h"
#include "batch/list_placement.h"
#include "batch_fixture.h"
#include "engine/engine.h"
#include "numfmt/numfmt_qt.h"
#include "shell/appstate.h"
#include "shell/commands.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/programfolders.h"
#include "shell/sharedsettings.h"
#include "support/files.h"
#include "support/programstate.h"
#include "support/typing.h"
#include "support/userlocale.h"

namespace {

using namespace tavisol;
using ::testing::HasSubstr;
using batch::testing::TempFolder;

using testsupport::Key;
using testsupport::Type;
using testsupport::UserDecimals;

// The user's regional settings for one test: Qt's default locale and, when
// given, the C library's number settings; both put back at its end.
struct RegionalSettings {
    explicit RegionalSettings(const QLocale &qt, const char *numeric = nullptr) {
        QLocale::setDefault(qt);
        if (numeric)
            std::setlocale(LC_NUMERIC, numeric);
    }
    ~RegionalSettings() {
        QLocale::setDefault(savedQt);
        std::setlocale(LC_NUMERIC, savedNumeric.c_str());
    }
    const QLocale savedQt;
    const std::string savedNumeric = std::setlocale(LC_NUMERIC, nullptr);
};

// The files of the run in `folder` whose names end so.
std::vector<std::filesystem::path> RunFiles(const std::filesystem::path &folder, const std::string &end) {
    std::vector<std::filesystem::path> files;
    for (const auto &e : std::filesystem::directory_iterator(folder))
        if (e.path().filename().string().ends_with(end))
            files.push_back(e.path());
    return files;
}

// A raster of zero bytes: every land cell is -40 m.
void WriteRaster(const std::filesystem::path &program) {
    const auto data = program / "TavisolData";
    std::filesystem::create_directories(data);
    std::ofstream(data / engine::ElevationRasterName).close();
    std::filesystem::resize_file(data / engine::ElevationRasterName, 4320u * 2160u);
}

class BatchWindows : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::StartProgramIn(program.path());
        SetMessageBoxHandler([this](QWidget *, const Message &r) {
            messages.push_back(r);
            if (onMessage)
                onMessage(r);
            return r.buttons == MsgButtons::YesNo ? answer : MsgAnswer::Ok;
        });
        SetBatchDialogs({[this](QWidget *, const QString &title) {
                             asked.push_back(title);
                             return folder;
                         },
                         [this](QWidget *, const QString &filter, const QString &) {
                             asked.push_back(filter);
                             return file;
                         },
                         [this](QWidget *, const QString &filter) {
                             asked.push_back(filter);
                             return file;
                         }});
        InstallBatchCommands();
        list = &ListWindow();
        list->clearLocations();
        list->EnableForFormat(FormatTavisol);
    }
    void TearDown() override {
        if (QWidget *g = OpenGridDialog())
            delete g;
        // A fresh window for every test.
        delete ListWindowIfCreated();
        main.reset();
        SetBatchDialogs({});
        testsupport::EndProgram();
        batch::AbortExport() = false;
    }
    // A main window, the list window made anew as its child.
    void OpenMainWindow() {
        delete ListWindowIfCreated();
        main = std::make_unique<MainWindow>();
        main->resize(1024, 720);
        main->show();
        list = &ListWindow();
        list->EnableForFormat(FormatTavisol);
    }
    // Stations near 10E 45N; maximum temperature, best estimate, the listed
    // altitudes, into the out folder.
    void PrepareOwnFormatRun() {
        batch::testing::WriteDataFolder(program.path(), {{10, 45}});
        list->chkMax->setChecked(true);
        list->ChkBest->setChecked(true);
        list->OptAlt->setChecked(true);
        folder = QString::fromStdString(out.path().string());
    }
    std::vector<QString> Texts() const {
        std::vector<QString> t;
        for (const auto &m : messages)
            t.push_back(QString::fromStdString(m.text));
        return t;
    }

    TempFolder program, out;
    std::unique_ptr<MainWindow> main;
    BatchListWindow *list = nullptr;
    std::vector<Message> messages;
    std::function<void(const Message &)> onMessage;
    MsgAnswer answer = MsgAnswer::Yes;
    std::vector<QString> asked;
    QString folder, file;
};

TEST_F(BatchWindows, FirstOpeningAndFormatChoices) {
    // Format 1 unticks what the load ticked.
    EXPECT_FALSE(list->chkMean->isChecked());
    EXPECT_FALSE(list->ChkBest->isChecked());
    EXPECT_TRUE(list->optNew->isChecked());
    EXPECT_TRUE(list->OptDem->isChecked());
    EXPECT_TRUE(list->txtMinHigh->isReadOnly());
    EXPECT_EQ(list->chkAltCorr->text(), "Altitude Correction");
    EXPECT_EQ(list->ChkExplVar->text(), "Expl. Variance of Alt. Correction");
    EXPECT_EQ(list->windowTitle(), "Process Locations from Grid");

    list->ChkError->setChecked(true);
    TellOutputFormat(FormatLgsInput);
    EXPECT_TRUE(list->chkPrec->isChecked());
    EXPECT_TRUE(list->chkPET->isChecked());
    EXPECT_FALSE(list->chkMean->isChecked());
    EXPECT_FALSE(list->chkPrec->isEnabled());
    EXPECT_FALSE(list->ChkError->isEnabled());
    EXPECT_TRUE(list->ChkError->isChecked());
    EXPECT_TRUE(list->ChkBest->isChecked());
    EXPECT_FALSE(list->optlev95->isEnabled());

    TellOutputFormat(FormatFurrowin);
    EXPECT_TRUE(list->chkMax->isChecked() && list->chkMin->isChecked() && list->chkWind->isChecked() &&
                list->chkSun->isChecked() && list->chkPET->isChecked());
    EXPECT_FALSE(list->chkPrec->isChecked());

    TellOutputFormat(FormatKetlo);
    EXPECT_TRUE(list->chkMean->isEnabled());
    EXPECT_FALSE(list->chkMax->isChecked());
    EXPECT_TRUE(list->ChkBest->isChecked());
    EXPECT_FALSE(list->ChkBest->isEnabled());
}

// Also run on a 1024 x 600 screen (see CMakeLists.txt).
TEST_F(BatchWindows, OpensWhereTheMainWindowsMenusStayReachable) {
    {
        // The main window itself opens within the screen.
        MainWindow first;
        first.show();
        QApplication::processEvents();
        EXPECT_TRUE(first.screen()->availableGeometry().contains(first.frameGeometry()));
    }
    OpenMainWindow();
    main->showMaximized();
    QApplication::processEvents();
    main->menuAction(QStringLiteral("mn_saveGridOrFile"))->trigger();
    QApplication::processEvents();
    ASSERT_TRUE(list->isVisible());
    const QRect frame = list->frameGeometry();
    ASSERT_NE(frame, list->geometry()) << "the platform gives no frames";
    const QRect toolbar(main->mainToolBar()->mapToGlobal(QPoint(0, 0)), main->mainToolBar()->size());
    EXPECT_GT(frame.top(), toolbar.bottom());
    EXPECT_TRUE(main->screen()->availableGeometry().contains(frame));
    // Smaller than its choices, the window scrolls them; its buttons stay in view.
    auto *choices = list->findChild<QScrollArea *>();
    ASSERT_NE(choices, nullptr);
    choices->ensureWidgetVisible(list->txtMaxHigh);
    EXPECT_TRUE(choices->viewport()->rect().contains(
        QRect(list->txtMaxHigh->mapTo(choices->viewport(), QPoint(0, 0)), list->txtMaxHigh->size())));
    EXPECT_TRUE(list->rect().contains(QRect(list->CmdCanc->mapTo(list, QPoint(0, 0)), list->CmdCanc->size())));
}

TEST(ListWindowPlacement, TheFrameStartsBelowTheToolbarAndFitsTheScreen) {
    const QMargins titleBar(4, 19, 4, 4);
    const QSize wanted(1100, 640), minimum(400, 150);
    struct Row {
        const char *screen;
        QRect room;
        QPoint corner; // the top left of the main window's child area
        QRect frame;
    } rows[] = {
        {"1920 x 1050", {0, 0, 1920, 1050}, {0, 204}, {0, 204, 1108, 663}},
        {"1024 x 600", {0, 0, 1024, 600}, {4, 90}, {4, 90, 1020, 510}},
        // Too low for the smallest window: the menus still stay reachable.
        {"640 x 300", {0, 0, 640, 300}, {0, 200}, {0, 200, 640, 173}},
    };
    for (const Row &r : rows)
        EXPECT_EQ(batch::ListWindowGeometry(r.room, r.corner, titleBar, wanted, minimum).marginsAdded(titleBar),
                  r.frame)
            << r.screen;
}

TEST_F(BatchWindows, LevelsFollowTheConfidenceBox) {
    list->optlev99->setChecked(true);
    list->ChkHigh->click();
    EXPECT_TRUE(list->optlev90->isChecked());
    EXPECT_FALSE(list->optlev99->isChecked());
    list->ChkHigh->click();
    EXPECT_FALSE(list->optlev90->isChecked() || list->optlev95->isChecked() || list->optlev99->isChecked());
}

TEST_F(BatchWindows, TypedSettingsAreInForceAtOnce) {
    list->show();
    list->txtMaxStat->clear();
    Type(list->txtMaxStat, "-5");
    EXPECT_EQ(list->txtMaxStat->text(), "-5");
    EXPECT_EQ(sharedSettings().MaxStations, 20);  // refused as the settings dialog refuses it
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Problem: Too few stations.");

    list->txtPowExp->clear();
    Type(list->txtPowExp, "-2");
    EXPECT_EQ(list->txtPowExp->text(), "2");
    EXPECT_EQ(sharedSettings().IdwPower, 2);

    // Pasted, a text no key could type is refused: the box and its setting
    // keep their value.
    list->txtMinDist->selectAll();
    QGuiApplication::clipboard()->setText("1e30");
    list->txtMinDist->paste();
    QApplication::processEvents();
    EXPECT_EQ(list->txtMinDist->text(), "0.1");
    EXPECT_EQ(sharedSettings().MinDistance, 0.1f);
    EXPECT_EQ(messages.back().title, "Problem");

    list->chkNeighbAlt->click();
    EXPECT_FALSE(list->txtMinHigh->isReadOnly());
    list->txtMinHigh->setText("500");
    list->txtMaxHigh->setText("100");
    EXPECT_EQ(sharedSettings().MinAltitude, 500);
    list->chkNeighbAlt->click();
    EXPECT_EQ(list->txtMinHigh->text(), "-350");
    EXPECT_EQ(sharedSettings().MinAltitude, -350);
    EXPECT_EQ(sharedSettings().MaxAltitude, 8848);
    EXPECT_TRUE(list->txtMaxHigh->isReadOnly());
}

TEST_F(BatchWindows, SaveChecksSelectionListAndBusyMark) {
    list->chkMean->setChecked(true);
    list->onSaveClicked();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Nothing selected!");
    EXPECT_EQ(messages[0].text, "Please select at least one desired output and one desired variable");

    list->ChkBest->setChecked(true);
    list->onSaveClicked();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "No stations ");

    list->addLocation(batch::GridEntry(10, 45, 50, numfmt::userLocale()));
    appState().Busy = true;
    list->onSaveClicked();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2].text, "Tavisol Busy");
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(list->CmdSave->isEnabled());
    appState().Busy = false;

    // A box beyond single precision, pasted or typed, or a station count the
    // settings dialog refuses, is never in force, and Save refuses it with
    // that box's message before asking for anything.
    struct Refused {
        QLineEdit *box;
        const char *title, *text;
        QStringList texts = {QStringLiteral("1e309"), QString(40, QLatin1Char('9'))};
    };
    for (const Refused &r : {Refused{list->txtMaxDist, "Problem: Area too large.",
                                     "More than half of the Earth's surface\nis covered by   the neighbourhood size "
                                     "you chose.\nThis may not really   represent your local climate."},
                             Refused{list->txtPowExp, "Problem: Too large power selected.",
                                     "The selected power appears to be rather large...\nYou have to reduce it "
                                     "(maximum power = 5)!"},
                             Refused{list->txtMinDist, "Too large Minimum Distance", "The Minimum Distance is out of range."},
                             Refused{list->txtMinHigh, "Altitude Confusion", "The lowest altitude is out of range."},
                             Refused{list->txtMaxHigh, "Altitude Confusion", "The highest altitude is out of range."},
                             Refused{list->txtMaxStat, "Problem: Too few stations.",
                                     "You should allow one neighbour at least.\nJust to get a result.", {"0", ""}},
                             Refused{list->txtMaxStat, "Problem: Too many stations.",
                                     "More than 20 stations is unlikely\nto be meaningful", {"21"}}}) {
        const QString before = r.box->text();
        for (const QString &text : r.texts) {
            messages.clear();
            const engine::EngineSettings inForce = sharedSettings();
            r.box->setText(text);
            EXPECT_TRUE(sharedSettings() == inForce) << r.text;
            list->onSaveClicked();
            ASSERT_EQ(messages.size(), 1u) << r.text;
            EXPECT_EQ(messages[0].title, r.title);
            EXPECT_EQ(messages[0].text, r.text);
            EXPECT_TRUE(asked.empty());
        }
        r.box->setText(before);
    }
    EXPECT_EQ(sharedSettings().MaxStations, 20);

    // A cancelled folder browser is silent and frees the buttons.
    messages.clear();
    list->onSaveClicked();
    EXPECT_TRUE(messages.empty());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "Choose a Destination Folder");
    EXPECT_TRUE(list->CmdSave->isEnabled() && list->CmdRun->isEnabled());
}

// The values no box of the list window puts through the settings door as
// typed (the shadow coefficient waits for Save, which refuses it first; the
// rest only the start sets): whoever hands them in, the door keeps a value
// beyond single precision out.
TEST_F(BatchWindows, TheSettingsDoorKeepsOutWhatNoBoxHandsIn) {
    using S = engine::EngineSettings;
    for (engine::Single S::*value : {&S::ShadowCoef, &S::MinActiveForErrors, &S::ZeroTolerance, &S::MapExtentFactor})
        for (const engine::Single beyond :
             {std::numeric_limits<engine::Single>::infinity(), std::numeric_limits<engine::Single>::quiet_NaN()}) {
            const S inForce = sharedSettings();
            S asked = inForce;
            asked.*value = beyond;
            SetSharedSettings(asked);
            EXPECT_TRUE(sharedSettings() == inForce);
        }
}

TEST_F(BatchWindows, OwnFormatRunThroughTheWindowAndCancel) {
    PrepareOwnFormatRun();
    {
        // The C and POSIX locales of the C library have no digit grouping,
        // though Qt's system locale may have.
        const RegionalSettings c(QLocale::system(), "C");
        list->addLocation(batch::GridEntry(10, 45, 50, numfmt::userLocale()));
        list->addLocation(batch::GridEntry(10.1f, 45, 1500, numfmt::userLocale()));
        list->onSaveClicked();
    }
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Data Saved Correctly");
    EXPECT_EQ(messages[0].icon, MsgIcon::Information);
    EXPECT_FALSE(appState().Busy);
    const auto best = RunFiles(out.path(), "_Tmax_Best.tvs");
    ASSERT_EQ(best.size(), 1u);
    EXPECT_THAT(batch::testing::ReadLines(best[0]).back(), HasSubstr("    1500"));

    // Cancel while the run goes on, then Yes: no confirmation.
    messages.clear();
    QTimer::singleShot(0, list->CmdCanc, [this] {
        EXPECT_TRUE(list->isRunning());
        list->CmdCanc->click();
    });
    list->onSaveClicked();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Do you want end Export Data ?");
    EXPECT_FALSE(batch::AbortExport());
    EXPECT_TRUE(list->CmdSave->isEnabled());
    // Cancel outside a run hides the window.
    list->show();
    list->CmdCanc->click();
    EXPECT_FALSE(list->isVisible());
}

// Under digit grouping a number may fill its field: a blank still keeps it
// apart from the one before it, and a line whose numbers fit keeps its columns.
TEST_F(BatchWindows, OwnFormatNumbersThatFillTheirFieldsStayApart) {
    const RegionalSettings us(QLocale(QLocale::English, QLocale::UnitedStates));
    PrepareOwnFormatRun();
    list->addLocation(batch::GridEntry(10, 45, 50, numfmt::userLocale()));
    // So far below its stations that the altitude correction takes the
    // estimates below -1,000.
    list->addLocation(batch::GridEntry(10, 45, -82000, numfmt::userLocale()));
    list->onSaveClicked();
    const auto best = RunFiles(out.path(), "_Tmax_Best.tvs");
    ASSERT_EQ(best.size(), 1u);
    const auto lines = batch::testing::ReadLines(best[0]);
    const std::string &fits = lines.at(lines.size() - 2);
    for (const std::string &line : {fits, lines.back()}) {
        std::istringstream in(line);
        EXPECT_EQ(std::distance(std::istream_iterator<std::string>(in), {}), 1 + 3 + 13) << line;
    }
    EXPECT_THAT(lines.back(), HasSubstr(" -1,00"));
    EXPECT_EQ(fits.size(), fits.find("  ") + 2 + 3 * 8 + 13 * 10);
}

TEST_F(BatchWindows, ExitDuringARunStopsItAndEndsTheProgram) {
    OpenMainWindow();
    batch::testing::WriteDataFolder(program.path(), {{10, 45}});
    main->SetOutputFormat(FormatKetlo);
    list->chkMax->setChecked(true);
    for (int k = 0; k < 20; ++k)
        list->addLocation(batch::GridEntry(10 + 0.01f * static_cast<float>(k), 45, 50, numfmt::userLocale()));
    const auto target = out.path() / "k.dat";
    std::ofstream(target, std::ios::binary) << "old text\r\n";
    file = QString::fromStdString(target.string());
    list->show();
    QTimer::singleShot(0, list, [this] {
        // Exit is chosen from the menu while the run goes on.
        QTimer::singleShot(0, main.get(), [this] { main->menuAction(QStringLiteral("mn_Close"))->trigger(); });
        list->CmdSave->click();
    });
    // Only a hung program would need this.
    QTimer::singleShot(60000, qApp, [] { QCoreApplication::exit(2); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_THAT(Texts(), ::testing::ElementsAre("Really end Application?"));
    EXPECT_THAT(batch::testing::ReadLines(target), ::testing::ElementsAre("old text"));
    EXPECT_FALSE(list->isVisible());
    EXPECT_FALSE(appState().Busy);
    EXPECT_FALSE(batch::AbortExport());
}

TEST_F(BatchWindows, SaveTakesEachAltitudeLimitFromItsOwnBox) {
    PrepareOwnFormatRun();
    list->addLocation(batch::GridEntry(10, 45, 50, numfmt::userLocale()));
    list->show();
    list->chkNeighbAlt->click();
    list->txtMinHigh->clear();
    Type(list->txtMinHigh, "-20");
    list->txtMaxHigh->clear();
    Type(list->txtMaxHigh, "900");
    list->CmdSave->click();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(sharedSettings().AltWindowOn, 1);
    EXPECT_EQ(sharedSettings().MinAltitude, -20);
    EXPECT_EQ(sharedSettings().MaxAltitude, 900);
}

TEST_F(BatchWindows, SaveNamesTheLocationsLeftWithoutAnEstimate) {
    PrepareOwnFormatRun();
    list->addLocation(batch::GridEntry(10, 45, 50, numfmt::userLocale()));
    list->addLocation(batch::GridEntry(-100, -40, 0, numfmt::userLocale()));
    list->CmdSave->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_THAT(messages[0].text, ::testing::StartsWith("Data Saved without 1 of 2 locations"));
    EXPECT_THAT(messages[0].text, HasSubstr(UserDecimals("Lon : -100.00 Lat : -40.00 Alt : 0 - maximum temperature")));
    EXPECT_THAT(messages[0].text, ::testing::EndsWith("The run information file lists every one."));
}

TEST_F(BatchWindows, EscapeAndTheCloseBoxHideTheListAndItsTypedSettingsStayChecked) {
    list->show();
    list->activateWindow();
    list->chkNeighbAlt->click();
    list->txtMinHigh->setFocus();
    QApplication::processEvents();
    if (QApplication::focusWidget() != list->txtMinHigh)
        GTEST_SKIP() << "no keyboard focus on this platform";
    list->txtMinHigh->setText("500");
    list->txtMaxHigh->setText("100");
    // What is typed here is in force at once and stays after Cancel, so the
    // order check runs also on the way to Cancel.
    list->CmdCanc->setFocus(Qt::MouseFocusReason);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Altitude Confusion");

    QTest::keyClick(list->txtMaxHigh, Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(sharedSettings().MinAltitude, 500);
    EXPECT_EQ(list->txtMinHigh->text(), "500");

    list->show();
    EXPECT_TRUE(list->close());
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(ListWindowIfCreated(), list);
}

// Whichever way the window closes, a value that a box could not put in
// force is said as a click on Cancel says it: once, and what stays in force.
TEST_F(BatchWindows, HowEverTheWindowClosesABoxRefusingItsValueSaysSo) {
    const struct Closing {
        const char *name;
        std::function<void(BatchListWindow *, QLineEdit *)> close;
    } closings[] = {
        {"ClickOnCancel",
         [](BatchListWindow *l, QLineEdit *) {
             l->CmdCanc->setFocus(Qt::MouseFocusReason);
             l->CmdCanc->click();
         }},
        {"Escape", [](BatchListWindow *, QLineEdit *box) { QTest::keyClick(box, Qt::Key_Escape); }},
        {"FrameCloseButton", [](BatchListWindow *l, QLineEdit *) { l->close(); }},
        {"HiddenByAnotherWindow", [](BatchListWindow *l, QLineEdit *) { l->hide(); }},
    };
    const struct Box {
        const char *name;
        QLineEdit *SettingsControls::*box;
        std::function<void(BatchListWindow *, QLineEdit *)> type;
        const char *title, *textEnd;
    } boxes[] = {
        // "20", "2", "": the 2 stays in force.
        {"StationsClearedByTwoBackspaces", &SettingsControls::txtMaxStat,
         [](BatchListWindow *, QLineEdit *f) {
             f->end(false);
             Key(f, Qt::Key_Backspace, "\b");
             Key(f, Qt::Key_Backspace, "\b");
         },
         "Problem: Too few stations.", "Maximum number of stations in force: 2."},
        {"LowestAltitudeAboveTheHighest", &SettingsControls::txtMinHigh,
         [](BatchListWindow *l, QLineEdit *f) {
             l->txtMaxHigh->setText("100");
             f->selectAll();
             Type(f, "500");
         },
         "Altitude Confusion", "Lowest Altitude should be below highest altitude!"},
    };
    for (const Box &b : boxes)
        for (const Closing &c : closings) {
            const std::string row = std::string(b.name) + " " + c.name;
            delete ListWindowIfCreated();
            sharedSettingsForTesting() = engine::DefaultSettings();
            list = &ListWindow();
            list->show();
            list->activateWindow();
            list->chkNeighbAlt->click();
            QLineEdit *box = list->*b.box;
            box->setFocus();
            QApplication::processEvents();
            if (QApplication::focusWidget() != box)
                GTEST_SKIP() << "no keyboard focus on this platform";
            b.type(list, box);
            messages.clear();
            c.close(list, box);
            EXPECT_FALSE(list->isVisible()) << row;
            ASSERT_EQ(messages.size(), 1u) << row;
            EXPECT_EQ(messages[0].title, b.title) << row;
            EXPECT_THAT(messages[0].text, ::testing::EndsWith(b.textEnd)) << row;
        }
}

TEST_F(BatchWindows, OtherFormatRunReplacesTheChosenFileAndWritesItsInformationBesideIt) {
    batch::testing::WriteDataFolder(program.path(), {{10, 45}});
    appState().OutputFormat = FormatKetlo;
    list->EnableForFormat(FormatKetlo);
    list->chkMax->setChecked(true);
    list->addLocation(batch::GridEntry(10, 45, 50, numfmt::userLocale()));
    const auto target = out.path() / "k.dat";
    std::ofstream(target, std::ios::binary) << "old text\r\n";
    file = QString::fromStdString(target.string());

    // A run that fails leaves the old file as it was.
    const auto tmax = program.path() / "TavisolData" / "max.txt";
    std::filesystem::rename(tmax, out.path() / "aside.txt");
    list->onSaveClicked();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_THAT(messages[0].text, HasSubstr("Error while Processing Data :"));
    EXPECT_THAT(batch::testing::ReadLines(target), ::testing::ElementsAre("old text"));
    std::filesystem::rename(out.path() / "aside.txt", tmax);

    // The run information file goes beside the export file, not into the
    // working folder.
    messages.clear();
    TempFolder elsewhere;
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere.path());
    list->onSaveClicked();
    std::filesystem::current_path(here);
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere.path()));
    int information = 0;
    for (const auto &e : std::filesystem::directory_iterator(out.path()))
        information += e.path().filename().string().ends_with("_INFORMATION.tvs") ? 1 : 0;
    EXPECT_GE(information, 1);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], "Data (*.Dat)");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Data Saved Correctly");
    const auto lines = batch::testing::ReadLines(target);
    ASSERT_FALSE(lines.empty());
    EXPECT_THAT(lines.back(), HasSubstr(UserDecimals("Lon : 10.00")));
    EXPECT_NE(lines[0], "old text");
}

// Lets events through until the condition holds, a hundred passes at most:
// bounded by passes, not by the clock, so a slow build waits as long as it needs.
bool EventuallyTrue(const std::function<bool()> &condition) {
    for (int pass = 0; pass < 100 && !condition(); ++pass)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    return condition();
}

QWidget *SummaryWindow() {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == "runSummaryWindow")
            return w;
    return nullptr;
}

TEST_F(BatchWindows, SummaryComesAboveTheListAfterTheEndMessage) {
    batch::testing::WriteDataFolder(program.path(), {{10, 45}});
    list->chkMax->setChecked(true);
    list->ChkBest->setChecked(true);
    list->chksum->setChecked(true);
    list->OptAlt->setChecked(true);
    list->addLocation(batch::GridEntry(10, 45, 50, numfmt::userLocale()));
    folder = QString::fromStdString(out.path().string());
    list->show();
    ASSERT_TRUE(EventuallyTrue([this] { return QApplication::activeWindow() == list; }));
    bool summaryShownBefore = true;
    onMessage = [&](const Message &r) {
        if (r.text != "Data Saved Correctly")
            return;
        QWidget *summary = SummaryWindow();
        summaryShownBefore = summary && summary->isVisible();
        // Closing the message box gives the activation back to the list.
        list->activateWindow();
    };
    list->onSaveClicked();
    EXPECT_FALSE(summaryShownBefore);
    QWidget *summary = SummaryWindow();
    ASSERT_NE(summary, nullptr);
    EXPECT_TRUE(summary->isVisible());
    EXPECT_TRUE(EventuallyTrue([summary] { return QApplication::activeWindow() == summary; }));
    summary->close();
}

TEST_F(BatchWindows, ANameTypedWithoutExtensionGetsTheFilters) {
    batch::testing::WriteDataFolder(program.path(), {{10, 45}});
    appState().OutputFormat = FormatKetlo;
    list->EnableForFormat(FormatKetlo);
    list->chkMax->setChecked(true);
    list->addLocation(batch::GridEntry(10, 45, 50, numfmt::userLocale()));
    file = QString::fromStdString((out.path() / "ketlo").string());
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(out.path());
    list->onSaveClicked();
    std::filesystem::current_path(here);
    EXPECT_FALSE(std::filesystem::exists(out.path() / "ketlo"));
    ASSERT_TRUE(std::filesystem::exists(out.path() / "ketlo.Dat"));
    EXPECT_THAT(batch::testing::ReadLines(out.path() / "ketlo.Dat").back(), HasSubstr(UserDecimals("Lon : 10.00")));
}

TEST_F(BatchWindows, SetLocationTakesTheSelectedEntry) {
    list->addLocation({"A", UserDecimals("1.5"), UserDecimals("2.25"), "30"});
    list->addLocation({"B", UserDecimals("12.345"), UserDecimals("41.99"), UserDecimals("17.4")});
    list->onSetLocationClicked();
    EXPECT_FALSE(appState().ResultsRecalcPending);
    list->LstStations->topLevelItem(1)->setSelected(true);
    list->onSetLocationClicked();
    EXPECT_FLOAT_EQ(appState().CurLongitude, 12.35f);
    EXPECT_FLOAT_EQ(appState().CurElevation, 17);
    EXPECT_EQ(appState().LocationName, "ST-Lon12.35-Lat41.99-Alt-17");
    EXPECT_TRUE(appState().ResultsRecalcPending);
    EXPECT_TRUE(appState().WorkbenchRecalcPending);

    // A listed altitude the location dialog refuses is not put in force.
    list->addLocation({"C", "1", "2", "9000"});
    list->LstStations->clearSelection();
    list->LstStations->topLevelItem(2)->setSelected(true);
    list->onSetLocationClicked();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Elevation should be between -350 and 8848m.");
    EXPECT_EQ(appState().LocationName, "ST-Lon12.35-Lat41.99-Alt-17");
}

TEST_F(BatchWindows, GridFillsTheListAndUnloads) {
    WriteRaster(program.path());
    RunCommand(Command::LocationGrid);
    GridDialog *grid = OpenGridDialog();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->windowTitle(), "Definition of a Grid");
    grid->txtLongStep->setText("2");
    grid->txtLatStep->setText("1");
    grid->onOkClicked();
    ASSERT_EQ(list->locationCount(), 6);
    EXPECT_EQ(list->locations()[0], (batch::ListEntry{UserDecimals(" Lon : 5.00 Lat : 40.00 Alt : -40"), UserDecimals("5.00"),
                                                      UserDecimals("40.00"), "-40"}));
    EXPECT_EQ(list->locations()[5].Text, UserDecimals(" Lon : 15.00 Lat : 50.00 Alt : -40"));
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(OpenGridDialog(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // A fresh dialog starts from the design texts; a zero count is refused.
    RunCommand(Command::LocationGrid);
    grid = OpenGridDialog();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->txtLongStep->text(), "10");
    grid->txtLatStep->setText("0");
    grid->onOkClicked();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(list->locationCount(), 6);

    // 99 intervals from -10 to 30, typed key by key: the last column is there.
    for (QLineEdit *box : {grid->txtLongMin, grid->txtLongMax, grid->txtLongStep, grid->txtLatStep})
        box->clear();
    Type(grid->txtLongMin, "-10");
    Type(grid->txtLongMax, "30");
    Type(grid->txtLongStep, "99");
    Type(grid->txtLatStep, "1");
    EXPECT_EQ(grid->txtLongMin->text(), "-10");
    grid->onOkClicked();
    ASSERT_EQ(list->locationCount(), 200);
    EXPECT_EQ(list->locations().back().Text, UserDecimals(" Lon : 30.00 Lat : 50.00 Alt : -40"));
}

// Save and the location-file reader, chosen once the grid has put some
// entries into the list, wait for the whole list; Exit stops the filling.
TEST_F(BatchWindows, GridFillHoldsTheBusyMarkUntilTheListIsCompleteOrTheProgramEnds) {
    OpenMainWindow();
    PrepareOwnFormatRun();
    RunCommand(Command::LocationGrid);
    GridDialog *grid = OpenGridDialog();
    ASSERT_NE(grid, nullptr);
    grid->setElevation([this](float, float) {
        if (list->locationCount() == 40) {
            QTimer::singleShot(0, list->CmdSave, [this] { list->CmdSave->click(); });
            QTimer::singleShot(0, main.get(), [this] { main->menuAction(QStringLiteral("mn_LocationFile"))->trigger(); });
        } else if (list->locationCount() == 60) {
            QTimer::singleShot(0, main.get(), [this] { main->menuAction(QStringLiteral("mn_Close"))->trigger(); });
        }
        return 50;
    });
    QTimer::singleShot(0, grid, [grid] { grid->CmdRun->click(); });
    // Only a hung program would need this.
    QTimer::singleShot(60000, qApp, [] { QCoreApplication::exit(2); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_THAT(Texts(), ::testing::ElementsAre("Tavisol Busy", "Tavisol Busy", "Really end Application?"));
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(list->locationCount(), 61);
    EXPECT_FALSE(list->isVisible());
    EXPECT_FALSE(appState().Busy);
}

TEST_F(BatchWindows, GridCancelIsNotHeldUpByACoordinateCheck) {
    RunCommand(Command::LocationGrid);
    GridDialog *grid = OpenGridDialog();
    ASSERT_NE(grid, nullptr);
    grid->activateWindow();
    grid->txtLongMin->setFocus();
    QApplication::processEvents();
    if (QApplication::focusWidget() != grid->txtLongMin)
        GTEST_SKIP() << "no keyboard focus on this platform";
    grid->txtLongMin->setText("200");
    // A mouse press on Cancel gives it the focus first; the longitude message
    // then would take the click away and put the focus back.
    grid->CmdCanc->setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(messages.empty());
    ASSERT_EQ(QApplication::focusWidget(), grid->CmdCanc);
    grid->CmdCanc->click();
    EXPECT_FALSE(grid->isVisible());
    EXPECT_EQ(list->locationCount(), 0);

    // The close box is Cancel too: hidden, not unloaded.
    grid->show();
    EXPECT_TRUE(grid->close());
    EXPECT_FALSE(grid->isVisible());
    EXPECT_EQ(OpenGridDialog(), grid);
}

TEST_F(BatchWindows, GridWithoutRasterKeepsTheDialogUsable) {
    RunCommand(Command::LocationGrid);
    GridDialog *grid = OpenGridDialog();
    ASSERT_NE(grid, nullptr);
    grid->onOkClicked();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(grid->CmdRun->isEnabled());
    EXPECT_EQ(OpenGridDialog(), grid);
    EXPECT_FALSE(list->isVisible());
}

TEST_F(BatchWindows, LocationFileFillsTheList) {
    WriteRaster(program.path());
    const auto path = out.path() / "places.csv";
    std::ofstream(path, std::ios::binary) << "Rome, 12.5, 41.9, 20\r\n\r\n12.5,41.9\r\n6.86,45.83,\r\n";
    list->addLocation({"old", "1", "2", "3"});
    file = QString::fromStdString(path.string());
    RunCommand(Command::LocationFile);
    ASSERT_EQ(list->locationCount(), 3);
    EXPECT_EQ(list->locations()[0], (batch::ListEntry{"Rome", UserDecimals("12.5"), UserDecimals("41.9"), "20"}));
    EXPECT_EQ(list->locations()[1].Text, UserDecimals(" Lon : 12.5 Lat : 41.9 Alt : -40"));
    // A trailing comma leaves the altitude to the raster.
    EXPECT_EQ(list->locations()[2].Altitude, "-40");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Location Wrong Data Skipped : Longitude or Latitude or Altitude not valid.\n"
                                "Line 2 of " + path.string() +
                                    ": 1 field where 2, 3 or 4 are read: \"\".");
    EXPECT_EQ(messages[0].title, "Tavisol");
    EXPECT_TRUE(list->isVisible());

    // A file that cannot be opened: its reason, and the window stays hidden.
    list->hide();
    messages.clear();
    file = QString::fromStdString((out.path() / "missing.dat").string());
    RunCommand(Command::LocationFile);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_THAT(messages[0].text, HasSubstr("File not found: " + (out.path() / "missing.dat").string()));
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(list->locationCount(), 0);

    // 2 GB of zeros is refused unread; a file under /proc is read, though it
    // reports no size.
    testsupport::PutSparse(out.path() / "huge.dat", 2ull << 30);
    const std::string huge = (out.path() / "huge.dat").string();
    for (const auto &[name, says] : {std::pair{huge, huge + " is larger than any location list"},
                                     {"/proc/self/comm", "Line 1 of /proc/self/comm: 1 field where"}}) {
        messages.clear();
        file = QString::fromStdString(name);
        RunCommand(Command::LocationFile);
        ASSERT_EQ(messages.size(), 1u) << name;
        EXPECT_THAT(messages[0].text, HasSubstr(says));
    }
}

// A wrong file, such as one separated by semicolons, shows a few boxes; then
// the user reads on without them, or stops reading.
TEST_F(BatchWindows, AWrongLocationFileOffersToStopAfterAFewMessages) {
    WriteRaster(program.path());
    const auto path = out.path() / "semicolons.csv";
    std::string text;
    for (int i = 0; i < 30001; ++i)
        text += "12.5;41.9\r\n";
    std::ofstream(path, std::ios::binary) << text + "12.5,41.9\r\n";
    file = QString::fromStdString(path.string());
    for (const MsgAnswer readOn : {MsgAnswer::Yes, MsgAnswer::No}) {
        messages.clear();
        answer = readOn;
        RunCommand(Command::LocationFile);
        ASSERT_EQ(messages.size(), 7u);
        EXPECT_EQ(messages[5].buttons, MsgButtons::YesNo);
        EXPECT_THAT(messages[5].text, HasSubstr("Altitude not valid.\nLine 6 of " + path.string()));
        EXPECT_EQ(messages.back().text, readOn == MsgAnswer::Yes ? "30001 lines of " + path.string() + " were skipped."
                                                                 : "6 lines of " + path.string() +
                                                                       " were skipped; the reading stopped at line 6.");
        EXPECT_EQ(list->locationCount(), readOn == MsgAnswer::Yes ? 1 : 0);
    }
}

// A list saved by a spreadsheet (byte-order mark) or an old Mac (CR alone),
// ended by Ctrl-Z, reads as its rows through the Locations command.
TEST_F(BatchWindows, LocationFileFromOtherProgramsFillsTheList) {
    WriteRaster(program.path());
    const auto path = out.path() / "sheet.csv";
    std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBF" "Rome,12.5,41.9,20\r" "1e36,0\r" "Oslo,10.7,59.9,23\r"
                                          << "\x1A" "Lima,-77,-12,150\r";
    file = QString::fromStdString(path.string());
    RunCommand(Command::LocationFile);
    ASSERT_EQ(list->locationCount(), 2);
    EXPECT_EQ(list->locations()[0], (batch::ListEntry{"Rome", UserDecimals("12.5"), UserDecimals("41.9"), "20"}));
    EXPECT_EQ(list->locations()[1], (batch::ListEntry{"Oslo", UserDecimals("10.7"), UserDecimals("59.9"), "23"}));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_THAT(messages[0].text, HasSubstr("Line 2 of " + path.string() + ": field 1 (longitude \"1e36\")"));
}

} // namespace
