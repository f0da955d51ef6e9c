#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QToolBar>
#include <QToolButton>

#include "shell/about_window.h"
#include "shell/main_window.h"
#include "shell/programfolders.h"
#include "shell_fixture.h"

namespace {

using namespace tavisol;

class MainWindowTest : public ShellTest {
protected:
    QAction *act(const char *control) {
        QAction *a = window->menuAction(QString::fromLatin1(control));
        EXPECT_NE(a, nullptr) << control;
        return a;
    }
    QStringList checkedFormats() {
        QStringList names;
        for (const char *c : {"mn_OutputTavisol", "mn_Quorrel", "mn_TillwickInput",
                              "mn_TillwickOutput", "mn_Ketlo", "mn_Vistrel", "mn_Furrowin"})
            if (act(c)->isChecked())
                names << QString::fromLatin1(c);
        return names;
    }
    void SetUp() override {
        ShellTest::SetUp();
        window = std::make_unique<MainWindow>();
    }
    void TearDown() override {
        window.reset();
        ShellTest::TearDown();
    }
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, LoadSetsStartStateAndStatusTexts) {
    const AppState &s = appState();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tavisol, Marovel Tavisol Ver.1.0"));
    EXPECT_EQ(MainWindow::instance(), window.get());
    EXPECT_EQ(window->helpFile(), QString::fromStdString(helpFile().string()));  // the program folder's

    EXPECT_EQ(s.LocationName, "East of Rome");
    EXPECT_EQ(s.CurLongitude, 13.01F);
    EXPECT_EQ(s.CurLatitude, 41.99F);
    EXPECT_EQ(s.CurElevation, 17.0F);
    EXPECT_EQ(s.OutputFormat, 1);
    EXPECT_TRUE(s.ResultsRecalcPending);
    EXPECT_TRUE(s.WorkbenchRecalcPending);
    EXPECT_FALSE(s.Busy);

    EXPECT_EQ(window->panelText(1), QString());
    EXPECT_EQ(window->panelText(2), QStringLiteral("Tavisol Format"));
    EXPECT_EQ(window->panelText(3), QStringLiteral(" Lon : 13.01 Lat : 41.99 Alt : 17"));
    EXPECT_EQ(window->panelText(4), QStringLiteral("East of Rome"));
    EXPECT_EQ(checkedFormats(), QStringList{QStringLiteral("mn_OutputTavisol")});

    EXPECT_FALSE(window->progressBar()->isVisible());
    EXPECT_TRUE(window->mdiArea()->subWindowList().isEmpty());
}

TEST_F(MainWindowTest, LoadOpensNoWindow) {
    window.reset();
    int opened = 0;
    for (Command c : {Command::ViewData, Command::WorkBench, Command::SaveViewData,
                      Command::ChangeSettings, Command::SetLocation})
        SetCommandHandler(c, [&] { ++opened; });
    window = std::make_unique<MainWindow>();
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(appState().LocationName, "East of Rome");
}

TEST_F(MainWindowTest, MenusCarryEveryCommandWithIconsAndHelpTexts) {
    int icons = 0, helps = 0;
    for (const char *c :
         {"mn_save", "mn_SaveViewData", "mn_SaveWorkBench", "mn_saveGridOrFile",
          "mn_PrinterSetup", "mn_Print", "mn_PrintViewData", "mn_PrintWorkBench", "mn_Close",
          "mn_SetLocation", "mn_LocationMap", "mn_vectMap", "mn_LocationFile",
          "mn_LocationGrid", "mn_ViewData", "mn_WorkBench", "mn_OutputTavisol", "mn_Quorrel",
          "mn_Tillwick", "mn_TillwickInput", "mn_TillwickOutput", "mn_Ketlo", "mn_Vistrel",
          "mn_Furrowin", "mnChangeSettings", "mn_Coordinate", "mn_Cascade", "mn_horizontal",
          "mn_Vertical", "mn_TOC", "mn_Index", "mn_About"}) {
        QAction *a = act(c);
        if (!a)
            continue;
        icons += a->icon().isNull() ? 0 : 1;
        helps += a->statusTip().isEmpty() ? 0 : 1;
    }
    EXPECT_EQ(icons, 18);
    EXPECT_EQ(helps, 25);
    EXPECT_EQ(act("mn_PrinterSetup")->text(), QStringLiteral("Printer  Setup"));
    EXPECT_EQ(act("mn_TOC")->statusTip(), QStringLiteral(" Help Context"));
    EXPECT_EQ(act("mn_TillwickOutput")->statusTip(), QStringLiteral("Set LGS (output) Format "));
    EXPECT_FALSE(act("mn_Vistrel")->isVisible());

    QStringList tops;
    for (QAction *a : window->menuBar()->actions())
        tops << a->text();
    EXPECT_EQ(tops, (QStringList{"Files", "Locations", "View", "Output Formats", "Options",
                                 "Window", "Help"}));
}

TEST_F(MainWindowTest, HighlightedCommandShowsItsHelpUntilTheMouseCrossesTheBackground) {
    QMenu *locations = window->findChild<QMenu *>(QStringLiteral("mn_locations"));
    ASSERT_NE(locations, nullptr);
    emit locations->hovered(act("mn_SetLocation"));
    EXPECT_EQ(window->panelText(1), QStringLiteral("Set Location "));

    QWidget *background = window->mdiArea()->viewport();
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), background->mapToGlobal(QPointF(5, 5)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(background, &move);
    EXPECT_EQ(window->panelText(1), QString());
}

TEST_F(MainWindowTest, FormatMenuSetsCheckPanelCodeAndTellsTheThreeWindows) {
    std::vector<std::pair<char, int>> told;
    SetFormatChangeHandler(FormatListener::WorkbenchOutput, [&](int c) { told.push_back({'O', c}); });
    SetFormatChangeHandler(FormatListener::ResultsOutput, [&](int c) { told.push_back({'G', c}); });
    SetFormatChangeHandler(FormatListener::BatchList, [&](int c) { told.push_back({'L', c}); });

    act("mn_TillwickOutput")->trigger();
    EXPECT_EQ(checkedFormats(), QStringList{QStringLiteral("mn_TillwickOutput")});
    EXPECT_EQ(window->panelText(2), QStringLiteral("LGS Format (output)"));
    EXPECT_EQ(appState().OutputFormat, 4);
    EXPECT_EQ(told, (std::vector<std::pair<char, int>>{{'G', 4}, {'L', 4}, {'O', 4}}));

    // Choosing the selected format again keeps the same state.
    act("mn_TillwickOutput")->trigger();
    EXPECT_EQ(checkedFormats(), QStringList{QStringLiteral("mn_TillwickOutput")});
    EXPECT_EQ(appState().OutputFormat, 4);

    const std::pair<const char *, const char *> table[] = {
        {"mn_OutputTavisol", "Tavisol Format"}, {"mn_Quorrel", "Standard Quorrel Format"},
        {"mn_TillwickInput", "LGS Format (input)"}, {"mn_Ketlo", "Ketlo Format"},
        {"mn_Vistrel", "Vistrel Format"}, {"mn_Furrowin", "Furrowin Format"}};
    for (const auto &[control, text] : table) {
        act(control)->trigger();
        EXPECT_EQ(checkedFormats(), QStringList{QString::fromLatin1(control)});
        EXPECT_EQ(window->panelText(2), QString::fromLatin1(text));
    }
}

TEST_F(MainWindowTest, CodeOutsideTheTableOnlyClearsTheCheckMarks) {
    act("mn_Ketlo")->trigger();
    int toldCode = 0;
    SetFormatChangeHandler(FormatListener::BatchList, [&](int c) { toldCode = c; });
    window->SetOutputFormat(9);
    EXPECT_TRUE(checkedFormats().isEmpty());
    EXPECT_EQ(toldCode, 9);
    EXPECT_EQ(appState().OutputFormat, 5);
    EXPECT_EQ(window->panelText(2), QStringLiteral("Ketlo Format"));
}

TEST_F(MainWindowTest, OpeningTheLgsSubmenuEmptiesPanelTwoOnly) {
    QMenu *lgs = window->findChild<QMenu *>(QStringLiteral("mn_Tillwick"));
    ASSERT_NE(lgs, nullptr);
    emit lgs->aboutToShow();
    EXPECT_EQ(window->panelText(2), QString());
    EXPECT_EQ(appState().OutputFormat, 1);
    EXPECT_EQ(checkedFormats(), QStringList{QStringLiteral("mn_OutputTavisol")});
    act("mn_TillwickInput")->trigger();
    EXPECT_EQ(window->panelText(2), QStringLiteral("LGS Format (input)"));
}

TEST_F(MainWindowTest, ToolbarHasSixteenPositionsAndDropDownsWithTheirEntries) {
    const QList<QAction *> items = window->mainToolBar()->actions();
    ASSERT_EQ(items.size(), 16);
    for (int pos : {3, 9, 12, 14, 16})
        EXPECT_TRUE(items[pos - 1]->isSeparator()) << pos;
    const std::pair<int, const char *> tips[] = {
        {4, "Set Location"},   {5, "Set Location from Bitmap"},
        {6, "Set Location from Raster Map"}, {7, "Set Location from File"},
        {8, "Set Location from Grid"}, {10, "View Data"}, {11, "WorkBench"}, {15, "Show Help"}};
    for (const auto &[pos, tip] : tips)
        EXPECT_EQ(items[pos - 1]->toolTip(), QString::fromLatin1(tip)) << pos;

    auto dropDown = [&](int pos) {
        return qobject_cast<QToolButton *>(window->mainToolBar()->widgetForAction(items[pos - 1]));
    };
    ASSERT_NE(dropDown(1), nullptr);
    ASSERT_NE(dropDown(2), nullptr);
    ASSERT_NE(dropDown(13), nullptr);
    EXPECT_EQ(dropDown(1)->toolTip(), QStringLiteral("Save Data"));
    EXPECT_EQ(dropDown(2)->toolTip(), QStringLiteral("Print Data"));
    EXPECT_EQ(dropDown(13)->toolTip(), QStringLiteral("Set the Output Format"));
    EXPECT_EQ(dropDown(1)->menu()->actions().size(), 3);
    EXPECT_EQ(dropDown(2)->menu()->actions().size(), 2);

    const QList<QAction *> formats = dropDown(13)->menu()->actions();
    ASSERT_EQ(formats.size(), 6);
    EXPECT_EQ(formats[5]->text(), QStringLiteral("Furrowin"));
    formats[5]->trigger();
    EXPECT_EQ(appState().OutputFormat, 7);
    EXPECT_EQ(window->panelText(2), QStringLiteral("Furrowin Format"));
    formats[3]->trigger();
    EXPECT_EQ(appState().OutputFormat, 4);

    // The face of a drop-down runs nothing.
    int ran = 0;
    SetCommandHandler(Command::SaveViewData, [&] { ++ran; });
    SetCommandHandler(Command::SaveWorkBench, [&] { ++ran; });
    SetCommandHandler(Command::SaveGridOrFile, [&] { ++ran; });
    dropDown(1)->click();
    dropDown(13)->click();
    EXPECT_EQ(ran, 0);
    EXPECT_EQ(appState().OutputFormat, 4);
    dropDown(1)->menu()->actions()[2]->trigger();
    EXPECT_EQ(ran, 1);
}

TEST_F(MainWindowTest, CommandsRunTheirWiredWindowsAndUnwiredOnesDoNothing) {
    std::vector<Command> ran;
    const std::pair<const char *, Command> wired[] = {
        {"mn_SaveViewData", Command::SaveViewData},   {"mn_SaveWorkBench", Command::SaveWorkBench},
        {"mn_saveGridOrFile", Command::SaveGridOrFile}, {"mn_PrintViewData", Command::PrintViewData},
        {"mn_PrintWorkBench", Command::PrintWorkBench}, {"mn_SetLocation", Command::SetLocation},
        {"mn_LocationMap", Command::LocationMap},     {"mn_vectMap", Command::VectMap},
        {"mn_LocationFile", Command::LocationFile},   {"mn_LocationGrid", Command::LocationGrid},
        {"mn_ViewData", Command::ViewData},           {"mn_WorkBench", Command::WorkBench},
        {"mnChangeSettings", Command::ChangeSettings}, {"mn_Coordinate", Command::Coordinate}};
    for (const auto &[control, command] : wired)
        act(control)->trigger(); // nothing wired yet
    EXPECT_TRUE(messages.empty());

    for (const auto &[control, command] : wired) {
        const Command c = command;
        SetCommandHandler(c, [&ran, c] { ran.push_back(c); });
    }
    for (const auto &[control, command] : wired) {
        ran.clear();
        act(control)->trigger();
        EXPECT_EQ(ran, std::vector<Command>{command}) << control;
    }
}

TEST_F(MainWindowTest, BusyGateRefusesViewDataAndWorkBenchOnly) {
    int opened = 0;
    SetCommandHandler(Command::ViewData, [&] { ++opened; });
    SetCommandHandler(Command::WorkBench, [&] { ++opened; });
    SetCommandHandler(Command::SetLocation, [&] { ++opened; });

    BusyGuard run;
    act("mn_ViewData")->trigger();
    window->mainToolBar()->actions()[10]->trigger(); // WorkBench button
    EXPECT_EQ(opened, 0);
    ASSERT_EQ(messages.size(), 2U);
    EXPECT_EQ(messages[0].text, "Tavisol Busy");
    EXPECT_EQ(messages[0].title, "Tavisol");
    EXPECT_EQ(messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(messages[0].buttons, MsgButtons::Ok);

    act("mn_SetLocation")->trigger();
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(appState().Busy) << "the refusal leaves the running computation's mark";
}

TEST_F(MainWindowTest, BusyGatePassesWhenIdle) {
    int opened = 0;
    SetCommandHandler(Command::ViewData, [&] { ++opened; });
    window->mainToolBar()->actions()[9]->trigger(); // View Data button
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowTest, ExitAsksAndNoLeavesEverythingAsItWas) {
    int unloaded = 0;
    SetCommandHandler(Command::UnloadSettings, [&] { ++unloaded; });
    SetCommandHandler(Command::UnloadResultsOutput, [&] { ++unloaded; });
    window->show();
    answer = MsgAnswer::No;
    act("mn_Close")->trigger();
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].text, "Really end Application?");
    EXPECT_EQ(messages[0].title, "End");
    EXPECT_EQ(messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(messages[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(unloaded, 0);

    answer = MsgAnswer::Yes;
    act("mn_Close")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(unloaded, 2);
    window.reset();
    EXPECT_EQ(unloaded, 2) << "the unload runs once";
}

TEST_F(MainWindowTest, CloseBoxEndsWithoutTheQuestion) {
    int unloaded = 0;
    SetCommandHandler(Command::UnloadSettings, [&] { ++unloaded; });
    window->show();
    window->close();
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(unloaded, 1);
}

TEST_F(MainWindowTest, WriteStatusLocationRoundsTheCallersFieldsAndShowsThem) {
    std::string name;
    float lon = 12.996F, lat = -5.5F, alt = 17.5F;
    EXPECT_EQ(window->WriteStatusLocation(name, lon, lat, alt), "ST-Lon13-Lat-5.5-Alt-18");
    EXPECT_EQ(name, "ST-Lon13-Lat-5.5-Alt-18");
    EXPECT_EQ(lon, 13.0F);
    EXPECT_EQ(window->panelText(3), QStringLiteral(" Lon : 13 Lat : -5.5 Alt : 18"));
    EXPECT_EQ(window->panelText(4), QStringLiteral("ST-Lon13-Lat-5.5-Alt-18"));
}

TEST_F(MainWindowTest, LocationWriterProtocolReachesTheStatusBar) {
    appState().ResultsRecalcPending = false;
    appState().WorkbenchRecalcPending = false;
    SetCurrentLocation("Trieste", 13.7768F, 45.6495F, 2.4F);
    EXPECT_EQ(window->panelText(3), QStringLiteral(" Lon : 13.78 Lat : 45.65 Alt : 2"));
    EXPECT_EQ(window->panelText(4), QStringLiteral("Trieste"));
    EXPECT_TRUE(appState().ResultsRecalcPending);
    EXPECT_TRUE(appState().WorkbenchRecalcPending);
}

TEST_F(MainWindowTest, ChildWindowsOpenOnceAndTileInBothDirections) {
    window->resize(900, 700);
    window->show();
    std::vector<QWidget *> activated;
    QObject::connect(window.get(), &MainWindow::childActivated,
                     [&](QWidget *w) { activated.push_back(w); });
    auto *a = new QWidget;
    auto *b = new QWidget;
    QMdiSubWindow *sa = window->showChild(a);
    QMdiSubWindow *sb = window->showChild(b);
    EXPECT_EQ(window->showChild(a), sa) << "an open child is only activated";
    EXPECT_EQ(window->mdiArea()->subWindowList().size(), 2);
    EXPECT_EQ(window->mdiArea()->activeSubWindow(), sa);
    EXPECT_EQ(activated, (std::vector<QWidget *>{a, b, a}));

    const QRect area = window->mdiArea()->viewport()->rect();
    act("mn_horizontal")->trigger();
    EXPECT_EQ(sa->geometry(), QRect(0, 0, area.width(), area.height() / 2));
    EXPECT_EQ(sb->geometry().top(), area.height() / 2);
    EXPECT_EQ(sb->geometry().width(), area.width());

    act("mn_Vertical")->trigger();
    EXPECT_EQ(sa->geometry(), QRect(0, 0, area.width() / 2, area.height()));
    EXPECT_EQ(sb->geometry().left(), area.width() / 2);
    EXPECT_EQ(sb->geometry().height(), area.height());

    act("mn_Cascade")->trigger();
    EXPECT_NE(sa->geometry().topLeft(), sb->geometry().topLeft());

    // Closing a child hides it; showing it again brings back the same window.
    sa->close();
    EXPECT_FALSE(sa->isVisible());
    EXPECT_EQ(window->showChild(a), sa);
    EXPECT_TRUE(a->isVisible());
}

// A child asking for a size of its own.
class SizedChild : public QWidget {
public:
    explicit SizedChild(QSize wanted) : wanted_(wanted) {}
    QSize sizeHint() const override { return wanted_; }

private:
    QSize wanted_;
};

TEST_F(MainWindowTest, ChildWindowsKeepTheirSizeWithinTheAreaWhenOpenedAndCascaded) {
    window->resize(900, 700);
    window->show();
    const QRect area = window->mdiArea()->viewport()->rect();
    QMdiSubWindow *small = window->showChild(new SizedChild(QSize(300, 200)));
    QMdiSubWindow *large = window->showChild(new SizedChild(QSize(5000, 5000)));
    EXPECT_EQ(small->size(), small->sizeHint()) << "a child that fits opens at its preferred size";
    EXPECT_EQ(large->size(), area.size()) << "a larger one as large as the area";

    act("mn_Cascade")->trigger();
    for (QMdiSubWindow *s : {small, large}) {
        EXPECT_TRUE(area.contains(s->geometry())) << "no child reaches past the area";
        EXPECT_GE(s->width(), s->minimumSizeHint().width());
    }
    EXPECT_EQ(small->size(), small->sizeHint());
}

TEST_F(MainWindowTest, ProgressBarIsThereForRunsAndHiddenWhileIdle) {
    window->show();
    QProgressBar *pb = window->progressBar();
    EXPECT_FALSE(pb->isVisible());
    pb->setRange(0, 7);
    pb->setValue(3);
    pb->show();
    EXPECT_TRUE(pb->isVisible());
    pb->hide();
}

TEST_F(MainWindowTest, AboutWindowIsOneModelessInstance) {
    act("mn_About")->trigger();
    QWidget *about = window->aboutWindow();
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About"));
    act("mn_About")->trigger();
    EXPECT_EQ(static_cast<QWidget *>(window->aboutWindow()), about);
}

} // namespace
