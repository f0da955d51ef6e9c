#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPageLayout>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QRadioButton>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <fstream>
#include <vector>

#include "shell/formcontrols.h"
#include "shell/splash_window.h"
#include "shell/run_summary_window.h"
#include "shell/main_window.h"
#include "shell/printersetup.h"
#include "shell/widgetmakers.h"
#include "shell_fixture.h"

namespace {

using namespace tavisol;

class Splash : public ShellTest {};

TEST_F(Splash, LoadsTheWorldMapAndOpensTheMainWindowOnlyOnTheLabelClick) {
    std::vector<std::string> steps;
    SetCommandHandler(Command::WorldMapLoadBoundaries, [&] { steps.push_back("boundaries"); });
    SetCommandHandler(Command::WorldMapLoadCapitals, [&] { steps.push_back("capitals"); });

    std::unique_ptr<MainWindow> main;
    SplashWindow splash([&] {
        steps.push_back("main");
        main = std::make_unique<MainWindow>();
        main->show();
    });
    splash.show();
    EXPECT_EQ(splash.windowTitle(), QStringLiteral(" Tavisol, Marovel Tavisol Ver.1.0"));
    EXPECT_EQ(splash.startLabel->text(), QStringLiteral("Start Tavisol"));
    EXPECT_EQ(steps, (std::vector<std::string>{"boundaries", "capitals"}));

    // Until the click nothing of the main window is set.
    EXPECT_EQ(MainWindow::instance(), nullptr);
    EXPECT_TRUE(appState().LocationName.empty());

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(3, 3), QPointF(3, 3),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(splash.startLabel, &press);
    QCoreApplication::sendEvent(splash.startLabel, &release);

    EXPECT_EQ(splash.startLabel->text(), QStringLiteral("Loading..."));
    EXPECT_FALSE(splash.isVisible());
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->panelText(4), QStringLiteral("East of Rome"));
    EXPECT_EQ(steps.back(), "main");

    splash.onStartClicked(); // a second click starts nothing more
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "main"), 1);
}

TEST_F(Splash, PictureComesFromTheReliefWhenThereIsOne) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QSize size(64, 32);
    const QImage drawn = SplashWindow::SplashPicture(dir.path(), size);
    EXPECT_EQ(drawn.size(), size);

    // All water but a band of high land across the middle rows.
    {
        std::ofstream raw((dir.path() + QStringLiteral("/10k8b.raw")).toStdString(),
                          std::ios::binary);
        std::vector<char> row(4320);
        for (int y = 0; y < 2160; ++y) {
            std::fill(row.begin(), row.end(), char(y >= 1000 && y < 1160 ? 200 : 255));
            raw.write(row.data(), std::streamsize(row.size()));
        }
    }
    const QImage relief = SplashWindow::SplashPicture(dir.path(), size);
    ASSERT_EQ(relief.size(), size);
    EXPECT_NE(relief.pixel(10, 0), relief.pixel(10, 15));
    EXPECT_EQ(relief.pixel(10, 0), relief.pixel(60, 31)); // water both
}

// The windows' tests find controls by these names; a control with no caption
// of its own (a combo box) is made as well as a captioned one.
TEST_F(ShellTest, MadeControlsAreFoundUnderTheirParentByName) {
    QWidget window;
    auto *option = MakeNamed<QRadioButton>(&window, "optlev95", QStringLiteral("95 %"));
    auto *list = MakeNamed<QComboBox>(&window, "variableBox");
    auto *ticked = MakeCheckBox(&window, "chkAltCorr", QStringLiteral("Apply"), true);
    auto *plain = MakeCheckBox(&window, "chkNeighbAlt", QStringLiteral("Neighbors"));
    EXPECT_EQ(window.findChild<QRadioButton *>(QStringLiteral("optlev95")), option);
    EXPECT_EQ(option->text(), QStringLiteral("95 %"));
    EXPECT_EQ(window.findChild<QComboBox *>(QStringLiteral("variableBox")), list);
    EXPECT_EQ(window.findChild<QCheckBox *>(QStringLiteral("chkAltCorr")), ticked);
    EXPECT_TRUE(ticked->isChecked());
    EXPECT_EQ(plain->text(), QStringLiteral("Neighbors"));
    EXPECT_FALSE(plain->isChecked());
}

TEST(EnableFormControls, EnablesAllButNofontControls) {
    QWidget window;
    auto *button = new QPushButton("Save", &window);
    auto *field = new QLineEdit(&window);
    auto *kept = new QCheckBox("Keep", &window);
    kept->setProperty(ControlTagProperty, QStringLiteral("nofont"));
    for (QWidget *w : {static_cast<QWidget *>(button), static_cast<QWidget *>(field), static_cast<QWidget *>(kept)})
        w->setEnabled(false);
    EnableFormControls(&window);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(field->isEnabled());
    EXPECT_FALSE(kept->isEnabled());
    EnableFormControls(nullptr);
}

TEST(PrinterSetup, ChoicesReachThePrinterOnlyOnApply) {
    QPrinter printer;
    printer.setPageOrientation(QPageLayout::Portrait);
    PrinterSetupDialog dialog(&printer);
    EXPECT_TRUE(dialog.optPortrait->isChecked());
    dialog.optLandscape->setChecked(true);
    dialog.cboPaper->setCurrentIndex(dialog.cboPaper->findText(QPageSize::name(QPageSize::A3)));
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
    dialog.apply();
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A3);
}

class Summary : public ShellTest {};

TEST_F(Summary, HeaderAloneForAnEmptyArray) {
    RunSummaryWindow w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Summary of processed Data"));
    w.ShowSummaryLines(QStringList{QStringLiteral("element zero is not shown")});
    EXPECT_EQ(w.text(), RunSummaryWindow::kHeader);
    EXPECT_EQ(RunSummaryWindow::kHeader,
              QStringLiteral("Variable, Long., Lat.,  Altit.,  A(Long), A(Lat), A(Alt),  #Nb, "
                             "      Corr., Warnings"));
}

TEST_F(Summary, LinesFollowTheHeaderWithCrLfAndASecondCallReplacesThem) {
    RunSummaryWindow w;
    w.ShowSummaryLines({QString(), QStringLiteral("Tmean, 13.01"), QString(), QStringLiteral("Prec")});
    EXPECT_EQ(w.text(), RunSummaryWindow::kHeader + QStringLiteral("\r\nTmean, 13.01\r\n\r\nPrec"));
    w.ShowSummaryLines({QString(), QStringLiteral("Wind")});
    EXPECT_EQ(w.text(), RunSummaryWindow::kHeader + QStringLiteral("\r\nWind"));
    EXPECT_EQ(w.summaryText->font().styleHint(), QFont::TypeWriter);
}

// A long summary lets window events through now and then, not after every
// line (which took a minute for 32,000 lines).
TEST_F(Summary, ALongSummaryLetsEventsThroughNowAndThen) {
    RunSummaryWindow w;
    QStringList lines(5001, QStringLiteral(" _Tmax   10.00   45.00      50"));
    int passes = 0;
    QTimer counter;
    QObject::connect(&counter, &QTimer::timeout, [&passes] { ++passes; });
    counter.start(0);
    w.ShowSummaryLines(lines);
    counter.stop();
    EXPECT_EQ(w.summaryText->blockCount(), 5001);
    EXPECT_LT(passes, 100);
}

TEST_F(Summary, BackClosesTheWindow) {
    MainWindow main;
    main.show();
    auto *w = new RunSummaryWindow(&main);
    w->show();
    EXPECT_TRUE(w->isVisible());
    w->cmdBack->click();
    EXPECT_FALSE(w->isVisible());
}

} // namespace

namespace {

// Every box of the program passes through here: the logic's "\r" line breaks
// must reach the box as breaks, and a sink must answer No only for No.
TEST_F(ShellTest, MessagesBreakTheirLinesAndCarryTheApplicationTitle) {
    answer = MsgAnswer::No;
    const MessageSink sink = MessageSinkFor(nullptr);
    EXPECT_TRUE(sink(CriticalMessage("first\rsecond\r\nthird")));
    EXPECT_FALSE(sink(QuestionMessage("Go on?", "Ask")));
    answer = MsgAnswer::Yes;
    EXPECT_TRUE(sink(QuestionMessage("Go on?", "Ask")));
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], (Message{"first\nsecond\nthird", "Tavisol", MsgIcon::Critical, MsgButtons::Ok}));
    EXPECT_EQ(messages[1], (Message{"Go on?", "Ask", MsgIcon::Question, MsgButtons::YesNo}));
}

} // namespace
