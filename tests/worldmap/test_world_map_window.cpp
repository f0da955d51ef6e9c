#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QMdiSubWindow>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "shell/main_window.h"
#include "shell/programfolders.h"
#include "shell/shell_fixture.h"
#include "support/files.h"
#include "worldmap/world_map_window.h"
#include "worldmap/worldmap.h"

namespace {

using namespace tavisol;

// 1440 x 720: four pixels per degree. Every pixel has its own colour, never
// white, black or red, so the view tells which bitmap pixel it shows and the
// overlays stand out.
constexpr int BW = 1440;
constexpr int BH = 720;

QRgb patternAt(int x, int y) { return qRgb(x & 255, y & 255, 100 + (x >> 8) * 4 + (y >> 8)); }

QPoint decode(QRgb c) {
    const int b = qBlue(c) - 100;
    return {(b / 4) * 256 + qRed(c), (b % 4) * 256 + qGreen(c)};
}

const QRgb White = qRgb(255, 255, 255);
const QRgb Black = qRgb(0, 0, 0);
const QRgb Red = qRgb(255, 0, 0);

class WorldMapTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        // The texts below are written with a decimal point.
        savedLocale = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ASSERT_TRUE(dir.isValid());
        data = std::filesystem::path(dir.path().toStdString()) / "TavisolData";
        std::filesystem::create_directories(data);
        setProgramFolderForTesting(dir.path().toStdString());
        appState().CurLongitude = 13.01F;
        appState().CurLatitude = 41.99F;
        appState().CurElevation = 17;
    }
    void TearDown() override {
        map.reset();
        DestroyWorldMap();
        setProgramFolderForTesting({});
        QLocale::setDefault(savedLocale);
        ShellTest::TearDown();
    }

    void writeBitmap() {
        QImage image(BW, BH, QImage::Format_RGB32);
        for (int y = 0; y < BH; ++y)
            for (int x = 0; x < BW; ++x)
                image.setPixel(x, y, patternAt(x, y));
        ASSERT_TRUE(image.save(QString::fromStdString((data / "woma.bmp").string()), "BMP"));
    }
    void writeText(const char *name, const std::string &text) {
        std::ofstream(data / name, std::ios::binary) << text;
    }
    void writeShapes() {
        // One boundary along 80 N from 170 W to 160 W (row 40, columns 40..80),
        // one capital at 10 E 10 N (760, 320).
        writeText("Worad1.bna", "\"Line\",\"L\",2\r\n-170,80\r\n-160,80\r\n");
        writeText("WorldCap.bna", "\"Capital\",\"C\",1\r\n10,10\r\n");
    }
    // All water, with land of the given byte under each listed point.
    void writeRaster(const std::vector<std::pair<std::pair<float, float>, unsigned char>> &land) {
        std::vector<char> bytes(4320u * 2160u, static_cast<char>(255));
        for (const auto &[point, b] : land)
            bytes[static_cast<std::size_t>(engine::ElevationBytePosition(point.first, point.second) - 1)] =
                static_cast<char>(b);
        std::ofstream(data / "10k8b.raw", std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    WorldMapWindow &load() {
        map = std::make_unique<WorldMapWindow>();
        return *map;
    }
    QPoint shownAt(int vx, int vy) const { return decode(map->viewPicture().pixel(vx, vy)); }
    std::vector<QString> texts() const {
        std::vector<QString> t;
        for (const Message &m : messages)
            t.push_back(QString::fromStdString(m.text));
        return t;
    }

    QLocale savedLocale;
    QTemporaryDir dir;
    std::filesystem::path data;
    std::unique_ptr<WorldMapWindow> map;
};

// ---- Load and drawing -------------------------------------------------------------

TEST_F(WorldMapTest, LoadShowsTheTopLeftOfTheBitmapAndTheCurrentLocation) {
    writeBitmap();
    WorldMapWindow &m = load();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(m.windowTitle(), QStringLiteral("Bitmap"));
    EXPECT_EQ(m.W(), BW);
    EXPECT_EQ(m.H(), BH);
    EXPECT_EQ(m.ZoomLevel, 1);
    EXPECT_FLOAT_EQ(m.MapScale, 1);
    EXPECT_FLOAT_EQ(m.SelectedLongitude, -999);
    EXPECT_EQ(m.txtlong->text(), QStringLiteral("13.01"));
    EXPECT_EQ(m.txtLat->text(), QStringLiteral("41.99"));
    EXPECT_EQ(m.txtElev->text(), QStringLiteral("17"));

    const int VW = m.mapView->width();
    const int VH = m.mapView->height();
    ASSERT_GT(VW, 100);
    ASSERT_GT(VH, 100);
    ASSERT_LT(VW, BW);
    ASSERT_LT(VH, BH);
    EXPECT_EQ(m.hScrollMax(), BW - VW);
    EXPECT_EQ(m.vScrollMax(), BH - VH);
    EXPECT_TRUE(m.horizontalScroll->isEnabled());
    EXPECT_EQ(m.horizontalScroll->pageStep(), 30);
    EXPECT_EQ(m.horizontalScroll->singleStep(), 15);
    EXPECT_EQ(shownAt(0, 0), QPoint(0, 0));
    EXPECT_EQ(shownAt(57, 33), QPoint(57, 33));
    EXPECT_EQ(shownAt(VW - 1, VH - 1), QPoint(VW - 1, VH - 1));
}

TEST_F(WorldMapTest, MissingFilesAreReportedAndTheWindowStillWorks) {
    WorldMapWindow &m = load();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(messages[0].text, "File not found: " + (data / "woma.bmp").string());

    m.LoadBoundaries();
    m.LoadCapitals();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[1].text,
              "File not found: " + (data / "Worad1.bna").string());
    EXPECT_EQ(messages[1].title, "Tavisol");
    EXPECT_TRUE(QString::fromStdString(messages[2].text).endsWith(QStringLiteral("WorldCap.bna")));
    EXPECT_TRUE(m.BoundaryShapes.empty());

    m.DrawBoundaries();
    m.DrawCapitals();
    m.DrawSelectedPoint();
    m.SetZoomLevel(-3);
    m.SetZoomLevel(4);
    m.onMapMouseMove(Qt::NoButton, 0, 0);
    m.onMapMouseDown(Qt::LeftButton, 0, 0);
    EXPECT_TRUE(m.panelText(1).isEmpty());
    EXPECT_EQ(messages.size(), 3u);

    // No raster: the elevation look-up's error is shown, the box stays empty.
    m.onMapClicked();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_TRUE(QString::fromStdString(messages[3].text).contains(QStringLiteral("10k8b.raw")));
    EXPECT_TRUE(m.txtElev->text().isEmpty());

    m.txtLat->setText(QStringLiteral("10"));
    m.onSetLocationClicked();
    EXPECT_FLOAT_EQ(appState().CurLatitude, 10);

    // 2 GB of zeros, refused unread, and a few kB of them: no shape files.
    testsupport::PutSparse(data / "Worad1.bna", 2ull << 30);
    testsupport::PutSparse(data / "WorldCap.bna", 4096);
    messages.clear();
    m.LoadBoundaries();
    m.LoadCapitals();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text.find("The shape file " + (data / "Worad1.bna").string() + " is larger than any"), 0u);
    EXPECT_EQ(messages[1].text, "The shape file " + (data / "WorldCap.bna").string() + " is no text file: it holds NUL bytes.");
}

TEST_F(WorldMapTest, OverlaysAreDrawnOnTheSurfaceAndShownAtEnlargingLevelsOnly) {
    writeBitmap();
    writeShapes();
    WorldMapWindow &m = load();
    m.LoadBoundaries();
    m.LoadCapitals();
    ASSERT_TRUE(messages.empty());
    ASSERT_EQ(m.BoundaryShapes.size(), 1u);
    EXPECT_EQ(m.BoundaryShapes.name(0), "\"Line\"");
    ASSERT_EQ(m.CapitalShapes.size(), 1u);

    appState().CurLongitude = -100; // marker at (320, 540)
    appState().CurLatitude = -45;
    m.DrawBoundaries();
    m.DrawCapitals();
    m.DrawSelectedPoint();
    const QImage &s = m.surface();
    EXPECT_EQ(s.pixel(60, 40), White);
    EXPECT_NE(s.pixel(60, 41), White);
    EXPECT_EQ(s.pixel(760, 320), Black);
    EXPECT_EQ(s.pixel(762, 320), Black);
    EXPECT_NE(s.pixel(765, 320), Black);
    EXPECT_EQ(s.pixel(335, 540), Red);  // the cross
    EXPECT_EQ(s.pixel(320, 525), Red);
    EXPECT_EQ(s.pixel(325, 540), Red);  // the circle
    EXPECT_EQ(decode(s.pixel(322, 542)), QPoint(322, 542));

    EXPECT_EQ(m.viewPicture().pixel(60, 40), White);
    m.SetZoomLevel(-2);
    for (int x = 20; x < 40; ++x)
        EXPECT_NE(m.viewPicture().pixel(x, 20), White) << x;
    m.SetZoomLevel(1);
    EXPECT_EQ(m.viewPicture().pixel(60, 40), White);

    // A second location drawn on top keeps the first marker ...
    appState().CurLongitude = -110; // (280, 540)
    m.DrawSelectedPoint();
    EXPECT_EQ(m.surface().pixel(295, 540), Red);
    EXPECT_EQ(m.surface().pixel(335, 540), Red);
    // ... until Set Location loads the bitmap again.
    m.txtlong->setText(QStringLiteral("-110"));
    m.txtLat->setText(QStringLiteral("-45"));
    m.onSetLocationClicked();
    EXPECT_EQ(m.surface().pixel(295, 540), Red);
    EXPECT_EQ(decode(m.surface().pixel(335, 540)), QPoint(335, 540));
    EXPECT_EQ(m.surface().pixel(60, 40), White);
}

TEST_F(WorldMapTest, AMarkerNearTheEdgeIsClippedAndOneFarOutsideIsLeftOut) {
    writeBitmap();
    WorldMapWindow &m = load();
    appState().CurLongitude = 180;
    appState().CurLatitude = 90;
    m.DrawSelectedPoint();
    // Half the cross and half the circle fall off the bitmap.
    EXPECT_EQ(m.surface().pixel(BW - 10, 0), Red);
    EXPECT_EQ(m.surface().pixel(BW - 5, 0), Red);
    appState().CurLongitude = 1.0e7F;
    const QImage before = m.surface().copy();
    m.DrawSelectedPoint();
    EXPECT_EQ(m.surface(), before);
}

// ---- Point selection and location commands ---------------------------------------------

TEST_F(WorldMapTest, PointerReadOutAndClickSelectThePixelUnderThePointer) {
    writeBitmap();
    writeRaster({{{-150.0F, 80.0F}, 50}});
    WorldMapWindow &m = load();
    m.horizontalScroll->setValue(100);
    EXPECT_DOUBLE_EQ(m.OffsetX, 100);

    m.onMapMouseMove(Qt::NoButton, 20, 40);  // bitmap (120, 40)
    EXPECT_FLOAT_EQ(m.CursorLongitude, -150);
    EXPECT_FLOAT_EQ(m.CursorLatitude, 80);
    EXPECT_EQ(m.panelText(1), QStringLiteral("Longitude= -150.00\u00b0 Latitude= 80.00\u00b0 "));
    EXPECT_EQ(m.panelText(2),
              QStringLiteral("Longitude= 150\u00b0 0' 0'' W  Latitude= 80\u00b0 0' 0'' N "));

    // Beyond the bitmap's bottom: reported, the last position inside stays.
    m.onMapMouseMove(Qt::NoButton, 20, BH + 5);
    EXPECT_EQ(m.panelText(1), QStringLiteral("Y OUT"));
    EXPECT_FLOAT_EQ(m.CursorLatitude, 80);

    // A real click on the view.
    const QPointF at(20, 40);
    QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, at, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m.mapView, &press);
    QCoreApplication::sendEvent(m.mapView, &release);
    EXPECT_TRUE(messages.empty());
    EXPECT_FLOAT_EQ(m.SelectedLongitude, -150);
    EXPECT_FLOAT_EQ(m.SelectedLatitude, 80);
    EXPECT_FLOAT_EQ(m.SelectedElevation, 960);
    EXPECT_EQ(m.txtlong->text(), QStringLiteral("-150.00"));
    EXPECT_EQ(m.txtLat->text(), QStringLiteral("80.00"));
    EXPECT_EQ(m.txtElev->text(), QStringLiteral("960"));

    // Water gives 0 m; the name box is not touched.
    m.txtName->setText(QStringLiteral("Mine"));
    m.onMapMouseMove(Qt::NoButton, 400, 300);
    m.onMapClicked();
    EXPECT_EQ(m.txtElev->text(), QStringLiteral("0"));
    EXPECT_EQ(m.txtName->text(), QStringLiteral("Mine"));
}

TEST_F(WorldMapTest, ASelectedPointInADecimalCommaLocaleIsStoredAsShown) {
    writeBitmap();
    writeRaster({{{-150.0F, 80.0F}, 50}});
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    WorldMapWindow &m = load();
    m.horizontalScroll->setValue(100);
    m.onMapMouseMove(Qt::NoButton, 21, 102);  // bitmap (121, 102)
    m.onMapClicked();
    EXPECT_EQ(m.txtlong->text(), QStringLiteral("-149,75"));
    EXPECT_EQ(m.txtLat->text(), QStringLiteral("64,50"));
    m.onSetLocationClicked();
    EXPECT_TRUE(messages.empty());
    EXPECT_FLOAT_EQ(appState().CurLongitude, -149.75F);
    EXPECT_FLOAT_EQ(appState().CurLatitude, 64.5F);
    EXPECT_EQ(m.txtlong->text(), QStringLiteral("-149.75"));
}

TEST_F(WorldMapTest, SetLocationStoresTheFieldsThroughTheLocationProtocol) {
    writeBitmap();
    WorldMapWindow &m = load();
    std::vector<std::string> shown;
    SetLocationDisplay([&](const std::string &name, float, float, float) { shown.push_back(name); });

    m.txtlong->setText(QStringLiteral("12,345"));
    m.txtLat->setText(QStringLiteral("41,994"));
    m.txtElev->setText(QStringLiteral("17,6"));
    m.onSetLocationClicked();
    SetLocationDisplay(nullptr);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(m.txtlong->text(), QStringLiteral("12.345"));
    EXPECT_EQ(m.txtElev->text(), QStringLiteral("17.6"));
    EXPECT_FLOAT_EQ(appState().CurLongitude, 12.35F);
    EXPECT_FLOAT_EQ(appState().CurLatitude, 41.99F);
    EXPECT_FLOAT_EQ(appState().CurElevation, 18);
    EXPECT_EQ(appState().LocationName, "ST-Lon12.35-Lat41.99-Alt-18");
    EXPECT_EQ(shown, std::vector<std::string>{"ST-Lon12.35-Lat41.99-Alt-18"});
    EXPECT_TRUE(appState().ResultsRecalcPending);
    EXPECT_TRUE(appState().WorkbenchRecalcPending);

    m.txtName->setText(QStringLiteral("North Cape"));
    m.txtLat->setText(QStringLiteral("75"));
    m.onSetLocationClicked();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(messages[0].title, " Polar Region");
    EXPECT_EQ(messages[0].text, "Please note that the specified point lies in the polar region.");
    EXPECT_FLOAT_EQ(appState().CurLatitude, 75);
    EXPECT_EQ(appState().LocationName, "North Cape");

    // -70 gives no note.
    m.txtLat->setText(QStringLiteral("-70"));
    m.onSetLocationClicked();
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(WorldMapTest, AnOutOfRangeLatitudeIsRefusedAndNothingIsStored) {
    writeBitmap();
    WorldMapWindow &m = load();
    m.show();
    appState().LocationName = "Before";
    int saves = 0;
    WorldMapWindow::SetSaveDataHandler([&] { ++saves; });
    // The longitude and the altitude are refused as the location dialog
    // refuses them.
    const std::string latitude = "Latitude should be between -90\u00b0 and +90\u00b0.";
    const std::string longitude = "Longitude should be between -180 and +180   degrees.";
    const std::string altitude = "Elevation should be between -350 and 8848m.";
    struct Row {
        const char *lon, *lat, *alt;
        const std::string &message;
        QLineEdit *WorldMapWindow::*focused;
    };
    for (const Row &row : {Row{"5,5", "-91", "17", latitude, &WorldMapWindow::txtLat},
                           Row{"5,5", "91.5", "17", latitude, &WorldMapWindow::txtLat},
                           Row{"5,5", "-90.5", "17", latitude, &WorldMapWindow::txtLat},
                           Row{"5,5", "-90,5", "17", latitude, &WorldMapWindow::txtLat},
                           Row{"5,5", "1e300", "17", latitude, &WorldMapWindow::txtLat},
                           Row{"1e39", "10", "17", longitude, &WorldMapWindow::txtlong},
                           Row{"5,5", "10", "99999", altitude, &WorldMapWindow::txtElev},
                           Row{"5,5", "10", "8848,5", altitude, &WorldMapWindow::txtElev}}) {
        messages.clear();
        m.txtlong->setText(QString::fromLatin1(row.lon));
        m.txtLat->setText(QString::fromLatin1(row.lat));
        m.txtElev->setText(QString::fromLatin1(row.alt));
        m.onSetLocationClicked();
        m.onSaveDataClicked();
        ASSERT_EQ(messages.size(), 2u) << row.lon << " " << row.lat << " " << row.alt;
        EXPECT_EQ(messages[1].icon, MsgIcon::Critical);
        EXPECT_EQ(messages[1].title, row.message == altitude ? "Please Correct" : "Strange Location");
        EXPECT_EQ(messages[1].text, row.message);
        EXPECT_EQ(m.focusWidget(), m.*row.focused) << row.alt;
        EXPECT_EQ(m.txtlong->text(), QString::fromLatin1(row.lon));  // not even the commas change
    }
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(appState().LocationName, "Before");
    EXPECT_FALSE(appState().ResultsRecalcPending);
    WorldMapWindow::SetSaveDataHandler(nullptr);
}

TEST_F(WorldMapTest, SaveDataStoresTheLocationWithoutRedrawingAndOpensTheOutputDialog) {
    writeBitmap();
    WorldMapWindow &m = load();
    int saves = 0;
    WorldMapWindow::SetSaveDataHandler([&] {
        ++saves;
        EXPECT_FLOAT_EQ(appState().CurLatitude, -33.5F);  // stored before the dialog
    });
    const QImage before = m.surface().copy();
    m.txtlong->setText(QStringLiteral("-70.25"));
    m.txtLat->setText(QStringLiteral("-33.5"));
    m.txtElev->setText(QString());
    m.onSaveDataClicked();
    EXPECT_EQ(saves, 1);
    EXPECT_FLOAT_EQ(appState().CurElevation, 0);  // an empty box stores 0
    EXPECT_EQ(m.surface(), before);

    // Without a handler of its own the button runs Save > View Data.
    WorldMapWindow::SetSaveDataHandler(nullptr);
    int viewDataSaves = 0;
    SetCommandHandler(Command::SaveViewData, [&] { ++viewDataSaves; });
    m.onSaveDataClicked();
    EXPECT_EQ(viewDataSaves, 1);
    EXPECT_EQ(saves, 1);
}

// ---- Zoom, scrolling, tools ----------------------------------------------------------------

TEST_F(WorldMapTest, PointZoomKeepsThePixelUnderThePointer) {
    writeBitmap();
    WorldMapWindow &m = load();
    m.ZoomAtPoint(+1, 100, 50);
    EXPECT_EQ(m.ZoomLevel, 2);
    EXPECT_FLOAT_EQ(m.MapScale, 2);
    EXPECT_DOUBLE_EQ(m.OffsetX, 50);
    EXPECT_DOUBLE_EQ(m.OffsetY, 25);
    EXPECT_EQ(m.panelText(2), QStringLiteral("SCALA  2:1"));
    EXPECT_EQ(m.horizontalScroll->pageStep(), 15);
    EXPECT_EQ(m.horizontalScroll->singleStep(), 8);
    EXPECT_EQ(shownAt(100, 50), QPoint(100, 50));
    EXPECT_EQ(shownAt(0, 0), QPoint(50, 25));
    EXPECT_EQ(shownAt(3, 3), QPoint(51, 26));

    m.ZoomAtPoint(+1, 30, 30);  // 3:1 at fractional offsets
    EXPECT_EQ(m.ZoomLevel, 3);
    EXPECT_DOUBLE_EQ(m.OffsetX, 55);
    EXPECT_DOUBLE_EQ(m.OffsetY, 30);

    // Levels walk 1, -2, -1, 2 and stop at 16.
    m.SetZoomLevel(1);
    m.ZoomAtPoint(-1, 10, 10);
    EXPECT_EQ(m.ZoomLevel, -2);
    EXPECT_EQ(m.panelText(2), QStringLiteral("SCALA 1: 2"));
    m.ZoomAtPoint(+1, 10, 10);
    EXPECT_EQ(m.ZoomLevel, -1);
    EXPECT_EQ(m.horizontalScroll->pageStep(), 60);
    m.ZoomAtPoint(+1, 10, 10);
    EXPECT_EQ(m.ZoomLevel, 2);
    m.SetZoomLevel(16);
    const double ox = m.OffsetX;
    m.ZoomAtPoint(+1, 10, 10);
    EXPECT_EQ(m.ZoomLevel, 16);
    EXPECT_DOUBLE_EQ(m.OffsetX, ox);
    m.ZoomAtPoint(-1, 10, 10);
    EXPECT_EQ(m.ZoomLevel, 15);

    // Beyond the bitmap nothing changes but the note.
    m.SetZoomLevel(1);
    m.OffsetX = m.hScrollMax();
    m.ZoomAtPoint(+1, static_cast<float>(m.mapView->width() + 1), 5);
    EXPECT_EQ(m.panelText(1), QStringLiteral("X OUT"));
    EXPECT_EQ(m.ZoomLevel, 1);
}

TEST_F(WorldMapTest, ReducingBelowTheViewSizeTakesTheBarsAway) {
    writeBitmap();
    WorldMapWindow &m = load();
    const int FW = m.width();
    m.horizontalScroll->setValue(200);
    EXPECT_DOUBLE_EQ(m.OffsetX, 200);
    m.onZoomMenuEntryClicked(QStringLiteral("1:2"));
    EXPECT_EQ(m.ZoomLevel, -2);
    EXPECT_FLOAT_EQ(m.MapScale, 0.5F);
    // The view shows more than 1440 columns now: no horizontal bar.
    EXPECT_FALSE(m.horizontalScroll->isEnabled());
    EXPECT_DOUBLE_EQ(m.OffsetX, 0);
    EXPECT_EQ(m.horizontalScroll->pageStep(), 120);
    // A preset writes no scale text.
    EXPECT_EQ(m.panelText(2), QString());
    m.onZoomMenuEntryClicked(QStringLiteral("1:4"));
    EXPECT_FALSE(m.verticalScroll->isEnabled());
    EXPECT_EQ(m.mapView->width(), FW - 7);
    EXPECT_DOUBLE_EQ(m.OffsetY, 0);
    // The view shows the bitmap reduced from the corner; beyond it, the background.
    const QPoint reduced = decode(m.viewPicture().pixel(100, 50));  // smoothed: near, not exact
    EXPECT_NEAR(reduced.x(), 400, 2);
    EXPECT_NEAR(reduced.y(), 200, 2);
    EXPECT_EQ(m.viewPicture().pixel(BW / 4 + 20, 10), m.palette().color(QPalette::Window).rgb());

    // A change event of a disabled bar does nothing.
    m.OffsetX = 5;
    m.onHorizontalScrollChanged();
    EXPECT_DOUBLE_EQ(m.OffsetX, 5);

    m.onZoomMenuEntryClicked(QStringLiteral("1:1"));
    EXPECT_EQ(m.ZoomLevel, 1);
    EXPECT_TRUE(m.horizontalScroll->isEnabled());
    EXPECT_TRUE(m.verticalScroll->isEnabled());
    m.onZoomMenuEntryClicked(QStringLiteral("bogus"));
    EXPECT_EQ(m.ZoomLevel, 1);
}

TEST_F(WorldMapTest, ScrollBarsMoveTheViewAndStopAtTheFarEdge) {
    writeBitmap();
    WorldMapWindow &m = load();
    const int VW = m.mapView->width();
    m.horizontalScroll->setValue(m.hScrollMax());
    EXPECT_DOUBLE_EQ(m.OffsetX, BW - VW - 1);
    m.onHorizontalScrollMoved(m.hScrollMax());
    EXPECT_DOUBLE_EQ(m.OffsetX, BW - VW);
    EXPECT_EQ(shownAt(0, 0), QPoint(BW - VW, 0));
    m.verticalScroll->setValue(40);
    EXPECT_DOUBLE_EQ(m.OffsetY, 40);
    EXPECT_EQ(shownAt(0, 0), QPoint(BW - VW, 40));

    // One step toward the pointer, never beyond the ends.
    m.horizontalScroll->setValue(100);
    m.StepScrollBarToward(10, 0, 20, 0, QStringLiteral("X"));
    EXPECT_EQ(m.horizontalScroll->value(), 70);
    m.StepScrollBarToward(30, 0, 20, 0, QStringLiteral("X"));
    EXPECT_EQ(m.horizontalScroll->value(), 100);
    m.StepScrollBarToward(0, 10, 0, 20, QStringLiteral("Y"));
    EXPECT_EQ(m.verticalScroll->value(), 10);
    m.StepScrollBarToward(0, 10, 0, 20, QStringLiteral("Y"));
    EXPECT_EQ(m.verticalScroll->value(), 0);
    m.StepScrollBarToward(30, 0, 20, 0, QStringLiteral("x"));
    EXPECT_EQ(m.horizontalScroll->value(), 100);
    m.horizontalScroll->setValue(m.hScrollMax() - 10);
    m.StepScrollBarToward(30, 0, 20, 0, QStringLiteral("X"));
    EXPECT_EQ(m.horizontalScroll->value(), m.hScrollMax() - 10);
}

TEST_F(WorldMapTest, ToolButtonsSwitchThePointerAndFallBackToSelectPoint) {
    writeBitmap();
    WorldMapWindow &m = load();
    EXPECT_EQ(m.toolValue(6), 1);
    EXPECT_EQ(m.viewPointer(), WorldMapWindow::Pointer::Cross);

    m.toolButton(4)->click();
    EXPECT_EQ(m.toolValue(4), 1);
    EXPECT_EQ(m.toolValue(6), 0);
    EXPECT_TRUE(m.toolButton(4)->isChecked());
    EXPECT_FALSE(m.toolButton(6)->isChecked());
    EXPECT_EQ(m.viewPointer(), WorldMapWindow::Pointer::PointZoom);
    m.toolButton(4)->click();  // the tool that is down: back to Select Point
    EXPECT_EQ(m.toolValue(4), 0);
    EXPECT_EQ(m.toolValue(6), 1);
    EXPECT_TRUE(m.toolButton(6)->isChecked());
    EXPECT_EQ(m.viewPointer(), WorldMapWindow::Pointer::Cross);

    m.onToolButtonClicked(QStringLiteral("b5"));
    EXPECT_EQ(m.toolValue(5), 1);
    EXPECT_EQ(m.viewPointer(), WorldMapWindow::Pointer::DragTool);
    m.toolButton(6)->click();
    m.toolButton(6)->click();  // Select Point stays down
    EXPECT_EQ(m.toolValue(5), 0);
    EXPECT_EQ(m.toolValue(6), 1);
    EXPECT_TRUE(m.toolButton(6)->isChecked());

    // A zoom entry releases the tools without pressing Select Point.
    m.onToolButtonClicked(QStringLiteral("b4"));
    m.onZoomMenuEntryClicked(QStringLiteral("3:1"));
    EXPECT_EQ(m.ZoomLevel, 3);
    EXPECT_EQ(m.toolValue(4), 0);
    EXPECT_EQ(m.toolValue(6), 0);
    EXPECT_EQ(m.viewPointer(), WorldMapWindow::Pointer::Cross);
}

TEST_F(WorldMapTest, PointZoomToolZoomsInWithTheLeftAndOutWithTheRightButton) {
    writeBitmap();
    WorldMapWindow &m = load();
    m.onToolButtonClicked(QStringLiteral("b4"));
    m.onMapMouseDown(Qt::LeftButton, 100, 50);
    EXPECT_EQ(m.ZoomLevel, 2);
    m.onMapMouseDown(Qt::RightButton, 100, 50);
    EXPECT_EQ(m.ZoomLevel, 1);
    m.onMapMouseDown(Qt::RightButton, 100, 50);
    EXPECT_EQ(m.ZoomLevel, -2);
    m.onMapMouseDown(Qt::MiddleButton, 100, 50);
    EXPECT_EQ(m.ZoomLevel, -2);
}

TEST_F(WorldMapTest, DraggingPansInStepsAndIgnoresSmallMoves) {
    writeBitmap();
    WorldMapWindow &m = load();
    m.onToolButtonClicked(QStringLiteral("b5"));
    m.onMapMouseDown(Qt::LeftButton, 200, 200);
    EXPECT_TRUE(m.DragActive);
    m.onMapMouseMove(Qt::LeftButton, 150, 203);  // left by 50, down by 3
    EXPECT_EQ(m.viewPointer(), WorldMapWindow::Pointer::Dragging);
    EXPECT_EQ(m.horizontalScroll->value(), 30);
    EXPECT_EQ(m.verticalScroll->value(), 0);
    EXPECT_DOUBLE_EQ(m.OffsetX, 30);
    EXPECT_EQ(shownAt(0, 0), QPoint(30, 0));
    m.onMapMouseMove(Qt::LeftButton, 146, 198);  // 4 and 5 pixels: no step
    EXPECT_EQ(m.horizontalScroll->value(), 30);
    EXPECT_EQ(m.verticalScroll->value(), 0);
    m.onMapMouseMove(Qt::LeftButton, 160, 190);  // right and up
    EXPECT_EQ(m.horizontalScroll->value(), 0);
    EXPECT_EQ(m.verticalScroll->value(), 30);
    m.onMapMouseUp(Qt::LeftButton, 160, 190);
    EXPECT_FALSE(m.DragActive);
    EXPECT_EQ(m.viewPointer(), WorldMapWindow::Pointer::DragTool);
    // Without the button down a move only reads out.
    m.onMapMouseMove(Qt::NoButton, 100, 190);
    EXPECT_EQ(m.horizontalScroll->value(), 0);
}

TEST_F(WorldMapTest, APaintWithoutMapDirtyLeavesTheViewAlone) {
    writeBitmap();
    WorldMapWindow &m = load();
    m.MapDirty = false;
    m.OffsetX = 300;
    m.paintMapView();
    EXPECT_EQ(shownAt(0, 0), QPoint(0, 0));
    m.MapDirty = true;
    m.paintMapView();
    EXPECT_FALSE(m.MapDirty);
    EXPECT_EQ(shownAt(0, 0), QPoint(300, 0));
}

// ---- Commands ----------------------------------------------------------------------------------

TEST_F(WorldMapTest, CommandsLoadTheWindowHiddenAndShowItWithTheOverlays) {
    writeBitmap();
    writeShapes();
    InstallWorldMapCommands();
    RunCommand(Command::WorldMapLoadBoundaries);
    RunCommand(Command::WorldMapLoadCapitals);
    EXPECT_TRUE(messages.empty());
    WorldMapWindow *m = WorldMap();
    EXPECT_FALSE(m->isVisible());
    EXPECT_EQ(m->BoundaryShapes.size(), 1u);
    EXPECT_EQ(m->CapitalShapes.size(), 1u);
    EXPECT_NE(m->surface().pixel(60, 40), White);  // nothing drawn at load

    RunCommand(Command::LocationMap);
    EXPECT_TRUE(m->isVisible());
    EXPECT_EQ(m->surface().pixel(60, 40), White);
    EXPECT_EQ(m->surface().pixel(760, 320), Black);
    EXPECT_EQ(WorldMap(), m);
}

// Files of nothing but one-character names, a shape per two bytes, read at
// start-up: every shape is kept, in a few times the file's size.
TEST_F(WorldMapTest, FilesOfTinyShapesAreHeldInAFewTimesTheirSize) {
    writeBitmap();
    std::string names;
    for (int i = 0; i < 100000; ++i)
        names += "\"\n";
    writeText("Worad1.bna", names);
    writeText("WorldCap.bna", names);
    InstallWorldMapCommands();
    RunCommand(Command::WorldMapLoadBoundaries);
    RunCommand(Command::WorldMapLoadCapitals);
    EXPECT_TRUE(messages.empty());
    for (const worldmap::ShapeSet *shapes : {&WorldMap()->BoundaryShapes, &WorldMap()->CapitalShapes}) {
        EXPECT_EQ(shapes->size(), 100000u);
        EXPECT_LE(shapes->heldBytes(), 5 * names.size());
    }
}

TEST_F(WorldMapTest, InTheMainWindowTheMapIsAChildWindow) {
    writeBitmap();
    InstallWorldMapCommands();
    auto main = std::make_unique<MainWindow>();
    main->show();
    RunCommand(Command::LocationMap);
    WorldMapWindow *m = WorldMap();
    EXPECT_TRUE(m->isVisible());
    EXPECT_NE(qobject_cast<QMdiSubWindow *>(m->parentWidget()), nullptr);
    // Placed by hand, the controls still give the child a useful size.
    EXPECT_GE(m->width(), 600);
    EXPECT_GE(m->mapView->height(), 200);
    // The main window's start location (East of Rome) is marked.
    const auto at = QPoint(static_cast<int>((13.01 + 180) * 4 + 0.5), static_cast<int>((90 - 41.99) * 4 + 0.5));
    EXPECT_EQ(m->surface().pixel(at + QPoint(15, 0)), Red);
    main.reset();
    EXPECT_NE(WorldMap(), nullptr);  // a new one after the old went with the main window
}

} // namespace
