// The raster map window inside the main window: its size as a child window,
// what the user can reach at common window sizes, and the end of the program
// during an export.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QtTest/QTest>

#include <deque>

#include "engine/engine.h"
#include "rastermap/raster_map_window.h"
#include "shell/appstate.h"
#include "shell/commands.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/programfolders.h"
#include "shell/sharedsettings.h"
#include "window_fixture.h"

namespace tavisol::rastermap {
namespace {

namespace fs = std::filesystem;

class RasterInMainWindow : public testing::RasterWindowTest {
protected:
    void SetUp() override {
        RasterWindowTest::SetUp();
        RasterMapWindow::SetSaveDialog([this](QWidget *, const QString &, const QString &) {
            ++saveDialogs;
            return QString::fromStdString((folder.path() / "out.img").string());
        });
        // A map nearly as high as wide, like the Africa map: at the window's
        // width its picture is taller than the window.
        testing::FixtureMap tall;
        tall.Name = "tall";
        tall.Columns = 100;
        tall.Rows = 98;
        tall.West = 5.0;
        tall.North = 55.0;
        tall.Cell = 0.1;
        testing::WriteFixtureMap(folder.path() / "vistreldata", tall);
        InstallRasterMapCommands();
        main = std::make_unique<MainWindow>();
        main->resize(1024, 720);
        main->show();
    }
    void TearDown() override {
        main.reset();  // takes the raster map window with it
        SetCommandHandler(Command::VectMap, {});
        RasterMapWindow::SetSaveDialog({});
        RasterWindowTest::TearDown();
    }

    RasterMapWindow *OpenFromMenu() {
        main->menuAction(QStringLiteral("mn_vectMap"))->trigger();
        QApplication::processEvents();
        return RasterMapWindow::instance();
    }
    static QMdiSubWindow *SubWindowOf(QWidget *w) { return qobject_cast<QMdiSubWindow *>(w->parentWidget()); }
    QRect AreaRect() const { return main->mdiArea()->viewport()->rect(); }

    // A size to work with, and the whole child window inside the frame's area.
    void ExpectUsable(const char *step) {
        RasterMapWindow *form = RasterMapWindow::instance();
        QMdiSubWindow *sub = SubWindowOf(form);
        ASSERT_NE(sub, nullptr) << step;
        EXPECT_GE(form->width(), 600) << step;
        EXPECT_GE(form->height(), 400) << step;
        EXPECT_TRUE(AreaRect().contains(sub->geometry())) << step;
    }

    // The widget and each control in it lie whole inside the raster map
    // window, clear of its status bar and map area, and inside the frame's area.
    void ExpectFullyVisible(QWidget *w, const std::string &step) {
        RasterMapWindow *form = RasterMapWindow::instance();
        ASSERT_TRUE(w->isVisible()) << step << " " << w->objectName().toStdString();
        std::vector<QWidget *> all{w};
        for (QWidget *c : w->findChildren<QWidget *>())
            if (c->isVisible()) all.push_back(c);
        for (QWidget *c : all) {
            const std::string name = step + " " + c->objectName().toStdString() + " " +
                                     c->metaObject()->className();
            const QRect inForm(c->mapTo(form, QPoint(0, 0)), c->size());
            EXPECT_TRUE(form->rect().contains(inForm)) << name;
            EXPECT_FALSE(inForm.intersects(form->mapStatusBar->geometry())) << name;
            EXPECT_FALSE(inForm.intersects(form->MapArea->geometry())) << name;
            const QRect inParent(c->mapTo(w, QPoint(0, 0)), c->size());
            EXPECT_TRUE(w->rect().contains(inParent)) << name << " is cut off by its frame";
            const QRect inArea(c->mapTo(main->mdiArea()->viewport(), QPoint(0, 0)), c->size());
            EXPECT_TRUE(AreaRect().contains(inArea)) << name;
        }
    }

    // Scrolling to the far edges brings the map's last row and column into view.
    void ExpectWholeMapReachable(const std::string &step) {
        RasterMapWindow *form = RasterMapWindow::instance();
        QScrollArea *area = form->MapArea;
        EXPECT_GE(area->height(), 120) << step;
        area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
        area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
        const QPoint corner =
            form->mapView->mapTo(area->viewport(), QPoint(form->mapView->width() - 1, form->mapView->height() - 1));
        EXPECT_TRUE(area->viewport()->rect().contains(corner)) << step;
        const QPoint legendCorner = form->legendView->mapTo(
            area->viewport(), QPoint(form->legendView->width() - 1, form->legendView->height() - 1));
        EXPECT_TRUE(area->viewport()->rect().contains(legendCorner)) << step;
        // A scroll bar only where the map needs one.
        EXPECT_EQ(area->horizontalScrollBar()->maximum(), 0) << step;
        area->verticalScrollBar()->setValue(0);
    }

    // Drags an export region on the map, runs the export and checks its
    // progress while the cells are computed.
    void ExportAndWatchTheProgress(const std::string &step) {
        RasterMapWindow *form = RasterMapWindow::instance();
        form->onToolButtonClicked(13);
        QTest::mousePress(form->mapView, Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mouseMove(form->mapView, QPoint(120, 90));
        QTest::mouseRelease(form->mapView, Qt::LeftButton, {}, QPoint(120, 90));
        QApplication::processEvents();
        ExpectFullyVisible(form->FrameLocation, step + " location");
        ExpectFullyVisible(form->exportFrame, step + " export");
        testing::TypeExportArea(*form, "10", "11", "50", "49");
        bool watched = false;
        QTimer::singleShot(0, form, [&] {
            watched = true;
            ExpectFullyVisible(form->exportProgress, step + " progress");
            ExpectFullyVisible(form->LblLonLat, step + " cell label");
        });
        QTest::mouseClick(form->exportSaveButton, Qt::LeftButton);
        EXPECT_TRUE(watched) << step;
        EXPECT_EQ(texts().back(), QStringLiteral("Data Saved Correctly")) << step;
    }

    std::unique_ptr<MainWindow> main;
    int saveDialogs = 0;
};

TEST_F(RasterInMainWindow, KeepsAUsableSizeThroughEveryWindowArrangement) {
    RasterMapWindow *form = OpenFromMenu();
    ASSERT_NE(form, nullptr);
    ExpectUsable("opened");
    QMdiSubWindow *sub = SubWindowOf(form);
    const QSize opened = sub->size();

    sub->showMaximized();
    QApplication::processEvents();
    sub->showNormal();
    QApplication::processEvents();
    ExpectUsable("restored");
    EXPECT_EQ(sub->size(), opened);
    sub->showMinimized();
    QApplication::processEvents();
    sub->showNormal();
    QApplication::processEvents();
    ExpectUsable("restored from minimised");

    main->cascadeWindows();
    QApplication::processEvents();
    ExpectUsable("cascade");
    main->tileWindowsHorizontally();
    ExpectUsable("tile horizontal");
    main->tileWindowsVertically();
    ExpectUsable("tile vertical");

    // Closed and opened again from the toolbar's command.
    sub->close();
    RunCommand(Command::VectMap);
    QApplication::processEvents();
    EXPECT_EQ(RasterMapWindow::instance(), form);
    ExpectUsable("reopened");
}

TEST_F(RasterInMainWindow, MapFramesAndProgressAreReachableAt800x600AndFullScreen) {
    testing::WriteStationData(folder.path() / "TavisolData",
                              {{50.2, 10.1, 100, 20.1}, {49.8, 10.4, 200, 20.1}, {50.5, 9.5, 150, 20.1}});
    RasterMapWindow *form = OpenFromMenu();
    QMdiSubWindow *sub = SubWindowOf(form);
    sub->move(0, 0);
    sub->resize(800, 600);
    QApplication::processEvents();
    ASSERT_FALSE(form->MapPending());
    // The map is taller than its area: it scrolls.
    EXPECT_GT(form->MapArea->verticalScrollBar()->maximum(), 0);
    ExpectWholeMapReachable("800x600");
    ExpectFullyVisible(form->FrameLocation, "800x600 location");
    ExportAndWatchTheProgress("800x600");

    main->resize(1600, 1000);
    sub->showMaximized();
    QApplication::processEvents();
    form->onRedrawTimer();
    ExpectWholeMapReachable("full screen");
    ExportAndWatchTheProgress("full screen");

    // A resize while the export frame is open leaves it open and in view.
    form->exportFrame->show();
    sub->showNormal();
    sub->resize(820, 640);
    QApplication::processEvents();
    ExpectFullyVisible(form->exportFrame, "after resize");
}

TEST_F(RasterInMainWindow, ASmallMainWindowScrollsToEveryPartOfTheMapWindow) {
    RasterMapWindow *form = OpenFromMenu();
    QMdiSubWindow *sub = SubWindowOf(form);
    main->resize(600, 400);
    QApplication::processEvents();
    QMdiArea *area = main->mdiArea();
    ASSERT_FALSE(AreaRect().contains(sub->geometry()));
    // Scrolled to either end, that end of the child window is in view.
    for (const bool far : {true, false}) {
        for (QScrollBar *bar : {area->horizontalScrollBar(), area->verticalScrollBar()})
            bar->setValue(far ? bar->maximum() : bar->minimum());
        QApplication::processEvents();
        const QPoint corner = far ? sub->geometry().bottomRight() : sub->geometry().topLeft();
        EXPECT_TRUE(AreaRect().contains(corner)) << (far ? "far end" : "near end");
    }
}

TEST_F(RasterInMainWindow, ExitDuringAnExportStopsTheRunAndEndsTheProgram) {
    testing::WriteStationData(folder.path() / "TavisolData",
                              {{50.2, 10.1, 100, 20.1}, {49.8, 10.4, 200, 20.1}, {50.5, 9.5, 150, 20.1}});
    RasterMapWindow *form = OpenFromMenu();
    testing::TypeExportArea(*form, "6", "14", "54", "46");
    form->exportFrame->show();
    answers.push_back(MsgAnswer::Yes);  // "Really end Application?"
    QTimer::singleShot(0, form, [&] {
        // Exit is chosen from the menu while the cells are computed.
        QTimer::singleShot(0, main.get(), [&] { main->menuAction(QStringLiteral("mn_Close"))->trigger(); });
        QTest::mouseClick(form->exportSaveButton, Qt::LeftButton);
    });
    // Only a hung program would need this.
    QTimer::singleShot(60000, qApp, [] { QCoreApplication::exit(2); });
    EXPECT_EQ(QApplication::exec(), 0);
    const std::vector<QString> shown = texts();
    EXPECT_EQ(QStringList(shown.begin(), shown.end()).join(QStringLiteral(" | ")).toStdString(),
              "Really end Application?");
    EXPECT_EQ(saveDialogs, 0);
    EXPECT_FALSE(fs::exists(folder.path() / "out.img"));
    EXPECT_FALSE(main->isVisible());
    EXPECT_FALSE(appState().Busy);
    EXPECT_FALSE(form->ExportCancelPressed());
}

} // namespace
} // namespace tavisol::rastermap
