#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QComboBox>
#include <QPageLayout>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QRadioButton>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <vector>

#include "shell/frmintroduction.h"
#include "shell/frmsummary.h"
#include "shell/mdiform1.h"
#include "shell/printersetup.h"
#include "shell_fixture.h"

namespace {

using namespace tavisol;

class Splash : public ShellTest {};

TEST_F(Splash, LoadsTheWorldMapAndOpensTheMainWindowOnlyOnTheLabelClick) {
    std::vector<std::string> steps;
    SetCommandHandler(Command::WorldMapLoadBoundaries, [&] { steps.push_back("boundaries"); });
    SetCommandHandler(Command::WorldMapLoadCapitals, [&] { steps.push_back("capitals"); });

    std::unique_ptr<MDIForm1> main;
    frmIntroduction splash([&] {
        steps.push_back("main");
        main = std::make_unique<MDIForm1>();
        main->show();
    });
    splash.show();
    EXPECT_EQ(splash.windowTitle(), QStringLiteral(" Tavisol, Marovel Tavisol Ver.1.0"));
    EXPECT_EQ(splash.Label1->text(), QStringLiteral("Start Tavisol"));
    EXPECT_EQ(steps, (std::vector<std::string>{"boundaries", "capitals"}));

    // Until the click nothing of the main window is set.
    EXPECT_EQ(MDIForm1::instance(), nullptr);
    EXPECT_TRUE(appState().LocationName.empty());

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(3, 3), QPointF(3, 3),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(splash.Label1, &press);
    QCoreApplication::sendEvent(splash.Label1, &release);

    EXPECT_EQ(splash.Label1->text(), QStringLiteral("Loading..."));
    EXPECT_FALSE(splash.isVisible());
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->panelText(4), QStringLiteral("East of Rome"));
    EXPECT_EQ(steps.back(), "main");

    splash.Label1_Click(); // a second click starts nothing more
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "main"), 1);
}

TEST_F(Splash, PictureComesFromTheReliefWhenThereIsOne) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QSize size(64, 32);
    const QImage drawn = frmIntroduction::SplashPicture(dir.path(), size);
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
    const QImage relief = frmIntroduction::SplashPicture(dir.path(), size);
    ASSERT_EQ(relief.size(), size);
    EXPECT_NE(relief.pixel(10, 0), relief.pixel(10, 15));
    EXPECT_EQ(relief.pixel(10, 0), relief.pixel(60, 31)); // water both
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
    frmSummary w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Summary of processed Data"));
    w.givesum(QStringList{QStringLiteral("element zero is not shown")});
    EXPECT_EQ(w.text(), frmSummary::kHeader);
    EXPECT_EQ(frmSummary::kHeader,
              QStringLiteral("Variable, Long., Lat.,  Altit.,  A(Long), A(Lat), A(Alt),  #Nb, "
                             "      Corr., Warnings"));
}

TEST_F(Summary, LinesFollowTheHeaderWithCrLfAndASecondCallReplacesThem) {
    frmSummary w;
    w.givesum({QString(), QStringLiteral("Tmean, 13.01"), QString(), QStringLiteral("Prec")});
    EXPECT_EQ(w.text(), frmSummary::kHeader + QStringLiteral("\r\nTmean, 13.01\r\n\r\nPrec"));
    w.givesum({QString(), QStringLiteral("Wind")});
    EXPECT_EQ(w.text(), frmSummary::kHeader + QStringLiteral("\r\nWind"));
    EXPECT_EQ(w.List1->font().styleHint(), QFont::TypeWriter);
}

TEST_F(Summary, BackClosesTheWindow) {
    MDIForm1 main;
    main.show();
    auto *w = new frmSummary(&main);
    w->show();
    EXPECT_TRUE(w->isVisible());
    w->cmdBack->click();
    EXPECT_FALSE(w->isVisible());
}

} // namespace
