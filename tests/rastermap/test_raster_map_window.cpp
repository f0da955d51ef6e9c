// The raster map window over a program folder written by the test.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QTimerEvent>

#include <cstring>
#include <deque>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>

#include <cerrno>
#include <csignal>
#include <system_error>
#include <sys/resource.h>
#include <sys/stat.h>

#include "engine/engine.h"
#include "numfmt/numfmt.h"
#include "rastermap/dib_bitmap.h"
#include "rastermap/raster_map_window.h"
#include "rastermap/real48binding.h"
#include "shell/appstate.h"
#include "shell/commands.h"
#include "shell/messages.h"
#include "shell/programfolders.h"
#include "shell/sharedsettings.h"
#include "support/localechild.h"
#include "support/realdialogs.h"
#include "support/userlocale.h"
#include "window_fixture.h"

namespace tavisol::rastermap {
namespace {

namespace fs = std::filesystem;
using testsupport::UserDecimalsQ;

class RasterWindow : public testing::RasterWindowTest {
protected:
    void SetUp() override {
        RasterWindowTest::SetUp();
        RasterMapWindow::SetSaveDialog([this](QWidget *, const QString &, const QString &filter) {
            ++dialogs;
            lastFilter = filter;
            if (typed.empty()) return saveAs;
            const QString name = typed.front();
            typed.pop_front();
            return name;
        });
    }
    void TearDown() override {
        SetMessageBoxHandler({});
        RasterMapWindow::SetSaveDialog({});
        RasterMapWindow::SetColourDialog({});
        RasterMapWindow::SetSaveDataHandler({});
        RasterWindowTest::TearDown();
    }

    fs::path vistrel() const { return folder.path() / "vistreldata"; }

    // Two maps; "demo" has no data under (10, 50).
    void WriteMaps() {
        testing::FixtureMap demo;
        demo.Cells.clear();
        for (int r = 0; r < demo.Rows; ++r)
            for (int c = 0; c < demo.Columns; ++c)
                demo.Cells.push_back(static_cast<std::uint8_t>(c % 10));
        demo.Cells[5 * 20 + 5] = NoDataClass;
        testing::WriteFixtureMap(vistrel(), demo);
        testing::FixtureMap other;
        other.Name = "other";
        other.Columns = 10;
        other.Rows = 10;
        other.Legend = "L\r\n0\t9\t0\t255\t0\tGreen\r\n";
        testing::WriteFixtureMap(vistrel(), other);
    }

    std::unique_ptr<RasterMapWindow> LoadedForm() {
        WriteMaps();
        auto form = std::make_unique<RasterMapWindow>();
        form->resize(800, 600);
        form->onActivated();
        return form;
    }

    // Every file of the program folder and of the maps' folder, with its bytes.
    std::map<std::string, std::string> AllFiles() const {
        std::map<std::string, std::string> files;
        for (const fs::path &f : {folder.path(), vistrel()})
            for (const auto &e : fs::directory_iterator(f))
                if (e.is_regular_file()) files[fs::relative(e.path(), folder.path()).string()] = folder.Read(e.path());
        return files;
    }

    QString saveAs;
    std::deque<QString> typed;  // the dialog's answers before saveAs
    QString lastFilter;
    int dialogs = 0;
};

TEST_F(RasterWindow, WithoutMapsSaysSoOnceAndStillFollowsTheLocation) {
    RasterMapWindow form;
    ASSERT_EQ(texts(), std::vector<QString>{QStringLiteral("No Map available")});
    EXPECT_TRUE(form.NoMap());
    SetCurrentLocation("", 13.01f, 41.99f, 17.0f);
    form.onActivated();
    form.onActivated();
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(form.txtLat->text(), UserDecimalsQ("41.99"));
    EXPECT_EQ(form.txtlong->text(), UserDecimalsQ("13.01"));
    EXPECT_EQ(form.txtElev->text(), QStringLiteral("17"));
    EXPECT_TRUE(form.MapRaster().Empty());
    EXPECT_EQ(form.exportResolutionBox->count(), 17);
    EXPECT_EQ(form.exportResolutionBox->currentText(), QString());
    EXPECT_EQ(form.exportMonthBox->currentText(), QStringLiteral("Average"));
}

TEST_F(RasterWindow, LoadAndActivationDrawTheFirstMap) {
    auto form = LoadedForm();
    EXPECT_TRUE(messages.empty()) << messages.front().text;
    EXPECT_FALSE(form->MapPending());
    EXPECT_EQ(form->ListMap->count(), 2);
    EXPECT_EQ(form->Paths().Img, vistrel() / "demo.img");
    EXPECT_EQ(form->MapRaster().Columns, 20);
    EXPECT_EQ(form->Colors()[0].Name, "Low");
    EXPECT_EQ(form->Colors()[253].Name, "Capitals");
    ASSERT_EQ(form->RasterBoundaries().size(), 1u);
    EXPECT_EQ(form->RasterBoundaries().points(0).size(), 3u);
    EXPECT_EQ(form->exportVariableBox->count(), 8);
    EXPECT_EQ(form->CurrentTool(), "NONE");
    EXPECT_TRUE(form->ToolButtons[1]->isChecked());
    EXPECT_TRUE(form->ToolButtons[4]->isChecked());
    // Whole map: from the first cell to the last but one.
    EXPECT_FLOAT_EQ(form->View().Left, 5.0f);
    EXPECT_FLOAT_EQ(form->View().Top, 55.0f);
    EXPECT_FLOAT_EQ(form->View().Width, 18.0f);
    EXPECT_FLOAT_EQ(form->View().Height, 8.0f);
    // Picture 3/4 of the width less 100 twips, height by the map's aspect 2.
    EXPECT_EQ(form->mapView->width(), static_cast<int>(std::lround((800 * 15 * 0.75 - 100) / 15)));
    EXPECT_NEAR(form->mapView->height(), form->mapView->width() / 2, 1);
    EXPECT_EQ(form->legendView->x(), form->mapView->width());
    // Left quarter of the picture shows classes 0..4 (red), the middle 5..9 (blue).
    const QImage img = form->mapView->surface().toImage();
    EXPECT_EQ(QColor(img.pixel(20, 100)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(img.pixel(img.width() / 4 + 15, 100)), QColor(0, 0, 255));
    // First legend box at (50, 200) twips in the first class's colour, then
    // one box per name: Low, High, Capitals, Boundaries.
    const QImage legend = form->legendView->surface().toImage();
    EXPECT_EQ(QColor(legend.pixel(5, 15)), QColor(255, 0, 0));
    EXPECT_EQ(LegendRows(form->Colors()).size(), 4u);
    // The capital at (10, 50) is a black dot.
    int x = 0, y = 0;
    ASSERT_TRUE(OverlayPoint(form->View(), form->Zoom(), 19, 9, form->mapView->width(), form->mapView->height(),
                             10.0f, 50.0f, x, y));
    EXPECT_EQ(QColor(img.pixel(x, y)), QColor(0, 0, 0));
}

TEST_F(RasterWindow, MapWithUpperCaseExtensionsIsListedAndLoads) {
    testing::FixtureMap up;
    up.Name = "Up";
    testing::WriteFixtureMap(vistrel(), up);
    for (const char *ext : {".img", ".clr", ".cty", ".bnd"}) {
        std::string upper = ext;
        for (char &c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        fs::rename(vistrel() / (std::string("Up") + ext), vistrel() / ("Up" + upper));
    }
    RasterMapWindow form;
    form.resize(800, 600);
    form.onActivated();
    EXPECT_TRUE(messages.empty()) << messages.front().text;
    ASSERT_EQ(form.ListMap->count(), 1);
    EXPECT_EQ(form.ListMap->item(0)->text(), QStringLiteral("Up"));
    EXPECT_FALSE(form.MapPending());
    EXPECT_EQ(form.MapRaster().Columns, 20);
    EXPECT_EQ(form.Colors()[0].Name, "Low");
    EXPECT_EQ(form.RasterCapitals().size(), 1u);
    EXPECT_EQ(form.RasterBoundaries().size(), 1u);
}

TEST_F(RasterWindow, SecondActivationOnlyRefreshesTheLocation) {
    auto form = LoadedForm();
    fs::remove(vistrel() / "demo.img");
    SetCurrentLocation("", 1.5f, 2.5f, 3.0f);
    form->onActivated();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(form->txtlong->text(), UserDecimalsQ("1.5"));
    EXPECT_EQ(form->MapRaster().Columns, 20);
}

TEST_F(RasterWindow, BrokenImageKeepsTheLoadPending) {
    WriteMaps();
    std::ofstream(vistrel() / "demo.img", std::ios::binary | std::ios::trunc) << "short";
    RasterMapWindow form;
    form.onActivated();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(QString::fromStdString(messages[0].text).contains(QStringLiteral("shorter than its 512-byte header")));
    EXPECT_TRUE(form.MapPending());
    EXPECT_TRUE(form.isEnabled());
}

// 2 GB of zeros behind the image's header or for a companion, or a few kB
// of zeros: refused unread, naming the file.
TEST_F(RasterWindow, AWrongFileOfTheMapIsRefusedNamingIt) {
    for (const auto &[file, size, why] : {std::tuple{"demo.img", 2ull << 30, "holds more cells than its header gives"},
                                          {"demo.clr", 2ull << 30, "is larger than any colour legend"},
                                          {"demo.clr", 4096ull, "holds no class record"},
                                          {"demo.bnd", 2ull << 30, "is larger than any shape file"},
                                          {"demo.cty", 4096ull, "is no text file"}}) {
        WriteMaps();
        fs::resize_file(vistrel() / file, fs::path(file).extension() == ".img" ? size : 0);
        fs::resize_file(vistrel() / file, size);
        messages.clear();
        RasterMapWindow form;
        form.onActivated();
        ASSERT_FALSE(messages.empty()) << file;
        EXPECT_TRUE(texts()[0].contains(QLatin1String(file)) && texts()[0].contains(QLatin1String(why))) << file;
    }
}

TEST_F(RasterWindow, ZoomToolZoomsInAndBackOut) {
    auto form = LoadedForm();
    form->onToolButtonClicked(2);
    EXPECT_EQ(form->CurrentTool(), "ZOOMPUNTO");
    EXPECT_FALSE(form->ToolButtons[1]->isChecked());
    form->onMapMouseDown(Qt::LeftButton, form->mapView->width() / 2.0, form->mapView->height() / 2.0);
    EXPECT_EQ(form->Zoom().Zoom, 2);
    EXPECT_EQ(form->Zoom().OriginX, 10);  // half of 19 columns, rounded to even
    form->onMapMouseDown(Qt::RightButton, 0, 0);
    EXPECT_EQ(form->Zoom().Zoom, 1);
    EXPECT_EQ(form->Zoom().OriginX, 0);
    form->onMapClicked();  // not the picking tool: nothing picked
    EXPECT_TRUE(form->txtlong->text() != QStringLiteral("0.00"));
}

TEST_F(RasterWindow, DraggedRegionOpensTheExportFrameEitherWay) {
    auto form = LoadedForm();
    form->onToolButtonClicked(13);
    EXPECT_EQ(form->CurrentTool(), "RECTANGLE");
    form->onMapMouseDown(Qt::LeftButton, 100, 50);
    form->onMapMouseMove(200, 120);
    EXPECT_FALSE(form->mapView->band().isNull());
    form->onMapMouseUp(200, 120);
    EXPECT_TRUE(form->mapView->band().isNull());
    EXPECT_TRUE(form->exportFrame->isVisibleTo(form.get()));
    const auto region = form->DraggedRegion();
    EXPECT_LT(region[0], region[1]);
    EXPECT_GT(region[2], region[3]);
    EXPECT_EQ(form->TxtLonStart->text().toFloat(), region[0]);
    form->onMapMouseDown(Qt::LeftButton, 200, 120);
    form->onMapMouseMove(100, 50);
    form->onMapMouseUp(100, 50);
    EXPECT_EQ(form->DraggedRegion(), region);
}

TEST_F(RasterWindow, CursorReadOutAndPickedLocation) {
    auto form = LoadedForm();
    fs::create_directories(folder.path() / "TavisolData");
    testing::WriteStationData(folder.path() / "TavisolData", {});
    form->onMapMouseMove(0, 0);
    EXPECT_EQ(form->StatusPanels[0]->text(),
              QStringLiteral("Longitude= 5\u00B0 0' 0'' E  Latitude= 55\u00B0 0' 0'' N "));
    EXPECT_EQ(form->StatusPanels[1]->text(), QStringLiteral("Longitude= 5.00\u00B0 Latitude= 55.00\u00B0 "));
    EXPECT_EQ(form->StatusPanels[2]->text(), QStringLiteral("0 Y=0"));
    form->onMapClicked();
    EXPECT_EQ(form->txtlong->text(), UserDecimalsQ("5.00"));
    EXPECT_EQ(form->txtLat->text(), UserDecimalsQ("55.00"));
    EXPECT_EQ(form->txtElev->text(), QStringLiteral("-40"));
    form->txtName->setText(QStringLiteral("Hill"));
    appState().ResultsRecalcPending = appState().WorkbenchRecalcPending = false;
    EXPECT_TRUE(form->onSetLocationClicked());
    EXPECT_EQ(appState().LocationName, "Hill");
    EXPECT_FLOAT_EQ(appState().CurLongitude, 5.0f);
    EXPECT_FLOAT_EQ(appState().CurElevation, -40.0f);
    EXPECT_TRUE(appState().ResultsRecalcPending);
    EXPECT_TRUE(appState().WorkbenchRecalcPending);
}

TEST_F(RasterWindow, LatitudeChecksOfSetLocation) {
    auto form = LoadedForm();
    form->txtlong->setText(QStringLiteral("10,5"));
    form->txtLat->setText(QStringLiteral("75"));
    form->txtElev->setText(QStringLiteral("3"));
    EXPECT_TRUE(form->onSetLocationClicked());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, " Polar Region");
    EXPECT_FLOAT_EQ(appState().CurLatitude, 75.0f);
    EXPECT_FLOAT_EQ(appState().CurLongitude, 10.5f);
    EXPECT_EQ(appState().LocationName, "ST-Lon10.5-Lat75-Alt-3");
    form->txtLat->setText(QStringLiteral("95"));
    int opened = 0;
    RasterMapWindow::SetSaveDataHandler([&] { ++opened; });
    form->onSaveDataClicked();
    EXPECT_EQ(messages.back().text, "Latitude should be between -90\u00B0 and +90\u00B0.");
    EXPECT_EQ(messages.back().title, "Strange Location");
    EXPECT_FLOAT_EQ(appState().CurLatitude, 75.0f);
    EXPECT_EQ(opened, 0);
    form->txtLat->setText(QStringLiteral("45"));
    form->onSaveDataClicked();
    EXPECT_EQ(opened, 1);

    // The same rule as the world map: a comma latitude is read as stored, and
    // a number beyond single precision is refused, not stored.
    messages.clear();
    form->txtLat->setText(QStringLiteral("70,5"));
    EXPECT_TRUE(form->onSetLocationClicked());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, " Polar Region");
    form->txtLat->setText(QStringLiteral("90,5"));
    EXPECT_FALSE(form->onSetLocationClicked());
    EXPECT_EQ(messages.back().text, "Latitude should be between -90\u00B0 and +90\u00B0.");
    EXPECT_FLOAT_EQ(appState().CurLatitude, 70.5f);
    // An altitude the location dialog refuses is refused with its message,
    // its box given the focus.
    form->show();
    form->txtLat->setText(QStringLiteral("45"));
    form->txtElev->setText(QStringLiteral("99999"));
    EXPECT_FALSE(form->onSetLocationClicked());
    EXPECT_EQ(messages.back().text, "Elevation should be between -350 and 8848m.");
    EXPECT_EQ(form->focusWidget(), form->txtElev);
    form->onSaveDataClicked();
    EXPECT_EQ(opened, 1);
    EXPECT_FLOAT_EQ(appState().CurElevation, 3.0f);
}

TEST_F(RasterWindow, ChangeOfMapAsksThenLoadsTheOther) {
    auto form = LoadedForm();
    form->onToolButtonClicked(8);
    EXPECT_TRUE(form->FrameMap->isVisibleTo(form.get()));
    form->ListMap->setCurrentRow(1);
    form->onMapChoiceOkClicked();  // answered No
    EXPECT_EQ(messages.back().text, "Do you want use other Map?");
    EXPECT_EQ(form->Paths().Img, vistrel() / "demo.img");
    answers.push_back(MsgAnswer::Yes);
    form->onMapChoiceOkClicked();
    EXPECT_EQ(form->Paths().Img, vistrel() / "other.img");
    EXPECT_EQ(form->MapRaster().Columns, 10);
    EXPECT_FALSE(form->MapPending());
    EXPECT_FALSE(form->FrameMap->isVisibleTo(form.get()));
    EXPECT_EQ(form->Colors()[0].Name, "Green");
    EXPECT_EQ(form->Colors()[0].Red, 0);
}

TEST_F(RasterWindow, ColourGridChangesTheLegend) {
    auto form = LoadedForm();
    form->onToolButtonClicked(6);
    ASSERT_EQ(form->GrdColors->rowCount(), 4);
    EXPECT_EQ(form->GrdColors->item(0, 1)->text(), QStringLiteral("Low"));
    EXPECT_EQ(form->GrdColors->item(3, 1)->text(), QStringLiteral("Boundaries"));
    RasterMapWindow::SetColourDialog([](QWidget *, const QColor &) { return QColor(10, 20, 30); });
    form->onColorCellClicked(0, 0);
    form->onColorCellClicked(1, 1);  // the name column opens nothing
    form->onColorsOkClicked();
    for (int k = 0; k <= 4; ++k) {
        EXPECT_EQ(form->Colors()[static_cast<std::size_t>(k)].Red, 10);
        EXPECT_EQ(form->Colors()[static_cast<std::size_t>(k)].Green, 20);
        EXPECT_EQ(form->Colors()[static_cast<std::size_t>(k)].Blue, 30);
    }
    EXPECT_EQ(form->Colors()[5].Blue, 255);
    EXPECT_TRUE(form->RedrawPending());
    form->onRedrawTimer();
    EXPECT_FALSE(form->RedrawPending());
    EXPECT_EQ(QColor(form->mapView->surface().toImage().pixel(20, 100)), QColor(10, 20, 30));
}

TEST_F(RasterWindow, CapitalsAndBoundariesAreDrawnWhileSwitchedOn) {
    auto form = LoadedForm();
    const auto colourOf = [&form](int k) {
        const ColorEntry &e = form->Colors()[static_cast<std::size_t>(k)];
        return QColor(e.Red, e.Green, e.Blue);
    };
    // Whether the colour is on a pixel next to the point's place.
    const auto near = [&form](float lon, float lat, const QColor &colour) {
        const QImage img = form->mapView->surface().toImage();
        const auto [fx, fy] = OverlayXY(form->View(), form->Zoom(), 19, 9, form->mapView->width(),
                                        form->mapView->height(), lon, lat);
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (QColor(img.pixel(static_cast<int>(fx) + dx, static_cast<int>(fy) + dy)) == colour)
                    return true;
        return false;
    };
    const QColor capital = colourOf(CapitalsClass), boundary = colourOf(BoundariesClass);
    // The boundary's first leg, from (6, 54) to (12, 48), passes (9, 51).
    EXPECT_TRUE(near(10, 50, capital));
    EXPECT_TRUE(near(9, 51, boundary));

    form->onToolButtonClicked(10);
    EXPECT_FALSE(near(9, 51, boundary));
    EXPECT_TRUE(near(10, 50, capital));
    form->onToolButtonClicked(11);
    EXPECT_FALSE(near(10, 50, capital));
    form->onToolButtonClicked(10);
    EXPECT_TRUE(near(9, 51, boundary));
}

TEST_F(RasterWindow, ToggleButtonsFollowTheirFlags) {
    auto form = LoadedForm();
    form->onToolButtonClicked(10);
    EXPECT_FALSE(form->ShowBoundaries());
    EXPECT_FALSE(form->ToolButtons[10]->isChecked());
    form->onToolButtonClicked(11);
    EXPECT_FALSE(form->ShowCapitals());
    form->onToolButtonClicked(4);
    EXPECT_FALSE(form->TrackAutoSize());
    EXPECT_FALSE(form->ToolButtons[4]->isChecked());
}

class RasterExport : public RasterWindow {
protected:
    void SetUp() override {
        RasterWindow::SetUp();
        testing::WriteStationData(folder.path() / "TavisolData",
                                  {{50.2, 10.1, 100, 20.1}, {49.8, 10.4, 200, 20.1}, {50.5, 9.5, 150, 20.1}});
        form = LoadedForm();
        saveAs = QString::fromStdString((folder.path() / "out.img").string());
        form->exportVariableBox->setCurrentIndex(4);
        testing::TypeExportArea(*form, "10", "11", "50", "49");
        form->exportFrame->show();
    }
    fs::path out() const { return folder.path() / "out.img"; }
    std::unique_ptr<RasterMapWindow> form;
};

// The map's own extension, not the filter's upper-case one: the map list
// loads a map by its name followed by the map's extension.
TEST_F(RasterExport, ANameTypedWithoutExtensionGetsTheMapsImageExtension) {
    saveAs = QString::fromStdString((folder.path() / "typed").string());
    form->onExportSaveClicked();
    ASSERT_EQ(texts(), std::vector<QString>{QStringLiteral("Data Saved Correctly")});
    EXPECT_FALSE(fs::exists(folder.path() / "typed"));
    EXPECT_FALSE(fs::exists(folder.path() / "typed.IMG"));
    EXPECT_TRUE(fs::exists(folder.path() / "typed.img"));
    // Exported again under that name, of another variable: the legend
    // describes the new image.
    form->exportVariableBox->setCurrentIndex(3);
    form->onExportSaveClicked();
    std::ifstream clr(folder.path() / "typed.clr", std::ios::binary);
    const std::string legend((std::istreambuf_iterator<char>(clr)), std::istreambuf_iterator<char>());
    EXPECT_NE(legend.find(" mm"), std::string::npos);
    EXPECT_EQ(legend.find("hPa"), std::string::npos);
}

// Replacing an earlier export of the typed name is asked about first, also
// when the working folder holds a folder of that name.
TEST_F(RasterExport, ReplacingAnExportOfTheTypedNameIsAskedFirst) {
    RasterMapWindow::SetSaveDialog({});
    testsupport::RealDialogs real;
    std::ofstream(out(), std::ios::binary) << std::string(3000, 'x');
    testing::TempFolder working;
    fs::create_directory(working.path() / "out");
    struct WorkIn {
        fs::path before = fs::current_path();
        explicit WorkIn(const fs::path &folder) { fs::current_path(folder); }
        ~WorkIn() { fs::current_path(before); }
    } workIn(working.path());
    // The dialog gets the name and Save; shown again after the No, it is
    // cancelled.
    int shown = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (++shown > 1) {
            dialog->reject();
            return;
        }
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("out"));
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Save)->click();
    });
    watch.start(10);
    form->onExportSaveClicked();
    watch.stop();
    EXPECT_EQ(shown, 2);
    const QString asked = QString::fromStdString(out().string()) + QStringLiteral(" already exists.\nDo you want to replace it?");
    EXPECT_EQ(texts(), std::vector<QString>{asked});
    EXPECT_EQ(fs::file_size(out()), 3000u);
}

// An export replaces no file it did not ask about: a name whose map would be
// another map's, or that the map list would not find, is refused and asked
// for again; a legend beside no image is asked about first.
TEST_F(RasterExport, NameThatWouldReplaceFilesUnaskedIsRefusedOrAsked) {
    struct Row {
        std::vector<const char *> names;  // typed one after the other, then the dialog is cancelled
        const char *firstMessage;         // part of it
        MsgAnswer answer;                 // to a question
        const char *written;              // the map saved, or none
    };
    folder.Write("lone.clr", "a legend of no image");
    for (const Row &row : {Row{{"vistreldata/demo.temperature.img", "vistreldata/temperature"},
                               "so it would belong to the map demo and write that map's legend demo.clr.",
                               MsgAnswer::Ok, "vistreldata/temperature."},
                           Row{{"vistreldata/demo.IMG"}, "the map demo already has the image demo.img, and the export",
                               MsgAnswer::Ok, nullptr},
                           Row{{"result.dat"}, "result.dat: a map's image ends in \".img\".", MsgAnswer::Ok, nullptr},
                           Row{{"jan.2026.img"}, "so it would not be listed as a map.", MsgAnswer::Ok, nullptr},
                           Row{{"lone"}, "lone.clr already exists.\nDo you want to replace it?", MsgAnswer::No,
                               nullptr},
                           Row{{"lone"}, "lone.clr already exists.", MsgAnswer::Yes, "lone."}}) {
        for (const char *name : row.names) typed.push_back(QString::fromStdString((folder.path() / name).string()));
        saveAs.clear();
        answers.assign({row.answer});
        messages.clear();
        std::map<std::string, std::string> before = AllFiles();
        form->exportFrame->show();
        form->onExportSaveClicked();
        std::map<std::string, std::string> after = AllFiles();
        ASSERT_FALSE(messages.empty()) << row.names[0];
        EXPECT_NE(messages[0].text.find(row.firstMessage), std::string::npos) << messages[0].text;
        EXPECT_EQ(messages.back().text == "Data Saved Correctly", row.written != nullptr) << row.names[0];
        EXPECT_EQ(dialogs, static_cast<int>(row.names.size() + (row.written ? 0 : 1))) << row.names[0];
        dialogs = 0;
        // Only the saved map's files are new.
        if (row.written) {
            EXPECT_EQ(after.count(row.written + std::string("img")), 1u) << row.names[0];
            std::erase_if(after, [&](const auto &f) { return f.first.starts_with(row.written); });
            std::erase_if(before, [&](const auto &f) { return f.first.starts_with(row.written); });
        }
        EXPECT_EQ(after, before) << row.names[0];
    }
}

// The image and its legend are one set: when one of them cannot be written,
// every file stays as it was, the message names that one, and the file
// dialog asks again; the computed run is saved under the next name, or
// nothing is written when the dialog is cancelled.
TEST_F(RasterExport, FileOfTheSetThatCannotBeWrittenLeavesEveryFileAsItWasAndIsAskedAgain) {
    form->onExportSaveClicked();  // out.img with its legend, capitals and boundaries
    ASSERT_EQ(texts(), std::vector<QString>{QStringLiteral("Data Saved Correctly")});
    int variable = 4;
    const fs::path legend = folder.path() / "out.clr";
    struct Row {
        int error;  // the system's reason
        std::function<void()> spoil, mend;
        const char *then;  // the name typed next, or none (Cancel)
    };
    for (const Row &row : {
             Row{EACCES, [&] { ::chmod(legend.c_str(), 0444); }, [&] { ::chmod(legend.c_str(), 0644); },
                 nullptr},
             Row{EISDIR, [&] { fs::remove(legend); fs::create_directory(legend); },
                 [&] { fs::remove(legend); }, "again"}}) {
        row.spoil();
        const std::map<std::string, std::string> before = AllFiles();
        form->exportVariableBox->setCurrentIndex(++variable);  // an image unlike every earlier one
        messages.clear();
        dialogs = 0;
        typed = {QString::fromStdString(out().string())};
        saveAs = row.then ? QString::fromStdString((folder.path() / row.then).string()) : QString();
        form->exportFrame->show();
        form->exportSaveButton->click();
        std::map<std::string, std::string> after = AllFiles();
        row.mend();
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(texts()[0], QString::fromStdString("Cannot write the file " + legend.string() + ": " +
                                                     std::generic_category().message(row.error) +
                                                     ".\nChoose another name, or Cancel to end without saving."));
        EXPECT_EQ(dialogs, 2) << row.error;
        EXPECT_EQ(messages.size(), row.then ? 2u : 1u) << row.error;
        if (row.then) {
            EXPECT_EQ(texts().back(), QStringLiteral("Data Saved Correctly"));
            EXPECT_EQ(ReadRasterImage(folder.path() / "again.img").Cells.size(), 4u);
            std::erase_if(after, [](const auto &f) { return f.first.starts_with("again."); });
        }
        EXPECT_EQ(after, before) << row.error;
    }
}

// The copies of the loaded map's capitals and boundaries beside the image are
// the program's own addition: one that cannot be made never stops the save of
// the image and its legend, and the message names it.
TEST_F(RasterExport, ACopyOfTheMapsShapesThatCannotBeMadeIsNamedAndTheImageSaved) {
    const fs::path capitals = vistrel() / "demo.cty";
    rlimit noLimit{};
    ::getrlimit(RLIMIT_FSIZE, &noLimit);
    const rlimit fullDisk{16384, noLimit.rlim_max};
    struct Row {
        const char *copy;    // the copy that is not made
        std::string reason;  // or part of it
        std::function<void()> spoil, mend;
    };
    for (const Row &row : {
             Row{"capitals were not copied to out.cty", "demo.cty", [&] { fs::remove(capitals); }, [] {}},
             Row{"boundaries were not copied to out.bnd", "demo.bnd",
                 [&] { folder.Write("vistreldata/demo.bnd", std::string("\"Line\",1\r\n6,54\0\r\n", 17)); }, [] {}},
             Row{"capitals were not copied to out.cty", "demo.cty",
                 [&] { fs::resize_file(capitals, std::uintmax_t{1} << 30); }, [] {}},
             // A full disk: the long boundaries do not fit.
             Row{"boundaries were not copied to out.bnd", std::generic_category().message(EFBIG),
                 [&] {
                     folder.Write("vistreldata/demo.bnd", "\"Line\",1\r\n" + std::string(65536, ' '));
                     ::signal(SIGXFSZ, SIG_IGN);
                     ::setrlimit(RLIMIT_FSIZE, &fullDisk);
                 },
                 [&] {
                     ::setrlimit(RLIMIT_FSIZE, &noLimit);
                     ::signal(SIGXFSZ, SIG_DFL);
                 }}}) {
        WriteMaps();
        for (const char *ext : {".img", ".clr", ".cty", ".bnd"}) fs::remove(folder.path() / ("out" + std::string(ext)));
        row.spoil();
        messages.clear();
        form->exportFrame->show();
        form->exportSaveButton->click();
        row.mend();
        ASSERT_EQ(messages.size(), 1u) << row.copy;
        const std::string &text = messages[0].text;
        EXPECT_EQ(text.rfind("Data Saved Correctly\nThe map's " + std::string(row.copy), 0), 0u) << text;
        EXPECT_NE(text.find(row.reason), std::string::npos) << text;
        EXPECT_NE(text.find("\nThe map list shows out once out."), std::string::npos) << text;
        EXPECT_EQ(ReadRasterImage(out()).Cells.size(), 4u) << row.copy;
        EXPECT_TRUE(fs::exists(folder.path() / "out.clr")) << row.copy;
        const std::string missing = std::string(row.copy).substr(std::string(row.copy).find("out."), 7);
        EXPECT_FALSE(fs::exists(folder.path() / missing)) << row.copy;
    }
}

TEST_F(RasterExport, RegionOfFourCellsIsWrittenAndReadsBack) {
    form->exportMonthBox->setCurrentText(QStringLiteral("September"));
    std::ofstream(out(), std::ios::binary) << std::string(3000, 'x');
    form->onExportSaveClicked();
    ASSERT_EQ(texts(), std::vector<QString>{QStringLiteral("Data Saved Correctly")});
    EXPECT_EQ(lastFilter, QStringLiteral("Vistrel (*.IMG)"));
    EXPECT_EQ(form->ExportMonth(), 9);
    EXPECT_FALSE(form->exportFrame->isVisibleTo(form.get()));
    EXPECT_TRUE(form->exportSaveButton->isEnabled());
    EXPECT_FALSE(form->ExportCancelPressed());
    EXPECT_FALSE(appState().Busy);
    ASSERT_EQ(fs::file_size(out()), 516u);
    const RasterImage img = ReadRasterImage(out());
    // Vapour pressure 29.1 hPa in September: class 145 (scale 0.2); no data under (10, 50).
    EXPECT_EQ(img.Cells, (std::vector<std::uint8_t>{255, 145, 145, 145}));
    const Georeference g = SetHeaderDoubleValues(img.Header, VantrixConversions());
    EXPECT_DOUBLE_EQ(g.CentreLon, 10.5);
    EXPECT_DOUBLE_EQ(g.CentreLat, 49.5);
    EXPECT_DOUBLE_EQ(g.CellWidth, 0.5);
    EXPECT_EQ(img.Header.TitleText().substr(0, 16), "Marovel/Tavisol-");
    EXPECT_NE(img.Header.TitleText().find("-September "), std::string::npos);
}

// A region typed on the resolution's grid: the image has the region's cells,
// and its header places the first and the last column and row where they were
// computed. Also with the resolution in exponent form, an odd number of cells
// (the centre half a cell off the grid) and a resolution with more decimals
// than the run keeps (0.0015 runs as 0.002).
TEST_F(RasterExport, RegionOnTheGridKeepsItsCellsWhereTheHeaderPlacesThem) {
    struct Row {
        const char *resolution, *lonStart, *lonEnd, *latStart, *latEnd;
        double cell;
        int columns, rows;
    };
    for (const Row &row : {Row{"0.1", "10", "10.4", "50.1", "49.7", 0.1, 4, 4},
                           Row{"5e-2", "10", "10.2", "50", "49.8", 0.05, 4, 4},
                           Row{"0.01", "12.3", "12.35", "50.05", "50", 0.01, 5, 5},
                           Row{"0.0015", "10", "10.008", "50.006", "50", 0.002, 4, 3},
                           // typed with decimal commas
                           Row{"0,05", "10,5", "10,7", "50", "49,85", 0.05, 4, 3}}) {
        form->exportResolutionBox->setEditText(QString());
        form->TxtLonStart->setText(QString::fromLatin1(row.lonStart));
        form->TxtLonEnd->setText(QString::fromLatin1(row.lonEnd));
        form->TxtLatStart->setText(QString::fromLatin1(row.latStart));
        form->TxtLatEnd->setText(QString::fromLatin1(row.latEnd));
        form->exportResolutionBox->setEditText(QString::fromLatin1(row.resolution));
        form->exportFrame->show();
        messages.clear();
        form->onExportSaveClicked();
        ASSERT_EQ(texts(), std::vector<QString>{QStringLiteral("Data Saved Correctly")}) << row.resolution;
        const RasterImage img = ReadRasterImage(out());
        EXPECT_EQ(img.Columns, row.columns) << row.resolution;
        EXPECT_EQ(img.Rows, row.rows) << row.resolution;
        const Georeference g = SetHeaderDoubleValues(img.Header, VantrixConversions());
        EXPECT_NEAR(g.CellWidth, row.cell, 1e-9) << row.resolution;
        EXPECT_NEAR(g.CellHeight, row.cell, 1e-9) << row.resolution;
        const double west = numfmt::valCommaAsPoint(row.lonStart), north = numfmt::valCommaAsPoint(row.latStart);
        for (int c : {0, row.columns - 1})
            EXPECT_NEAR(g.CentreLon + (c - g.CentreCol) * g.CellWidth, west + c * row.cell, 1e-9)
                << row.resolution << " column " << c;
        for (int r : {0, row.rows - 1})
            EXPECT_NEAR(g.CentreLat + (g.CentreRow - r) * g.CellHeight, north - r * row.cell, 1e-9)
                << row.resolution << " row " << r;
    }
}

// As most users run the program, with a decimal comma: a region dragged on
// the map, the resolution 0.05 chosen from the list, the export written.
TEST_F(RasterExport, DraggedRegionIsExportedUnderADecimalCommaLocale) {
    if (testsupport::LocaleChild().empty()) {
        ASSERT_TRUE(testsupport::RunTestInLocale("de_DE.UTF-8", folder.path()));
        EXPECT_TRUE(fs::exists(folder.path() / "dragged.img"));
        return;
    }
    saveAs = QString::fromStdString((testsupport::ChildFolder() / "dragged.img").string());
    form->onToolButtonClicked(13);
    form->onMapMouseDown(Qt::LeftButton, 100, 50);
    form->onMapMouseMove(112, 58);
    form->onMapMouseUp(112, 58);
    const int hundredths = form->exportResolutionBox->findText(QStringLiteral("0,05"));
    ASSERT_GE(hundredths, 0);
    form->exportResolutionBox->setCurrentIndex(hundredths);
    form->onExportSaveClicked();
    ASSERT_EQ(texts(), std::vector<QString>{QStringLiteral("Data Saved Correctly")});
    const RasterImage img = ReadRasterImage(testsupport::ChildFolder() / "dragged.img");
    EXPECT_GT(img.Columns * img.Rows, 1);
    EXPECT_NEAR(SetHeaderDoubleValues(img.Header, VantrixConversions()).CellWidth, 0.05, 1e-9);
}

TEST_F(RasterExport, ValidationMessageKeepsTheFrameOpen) {
    form->TxtLonEnd->setText(QStringLiteral("9"));
    form->onExportSaveClicked();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "End Longitude must be in the range (10;24)  ");
    EXPECT_EQ(messages[0].icon, MsgIcon::Information);
    EXPECT_TRUE(form->exportFrame->isVisibleTo(form.get()));
    EXPECT_EQ(dialogs, 0);
}

TEST_F(RasterExport, CancelledFileDialogWritesNothingAndSaysNothing) {
    saveAs.clear();
    form->onExportSaveClicked();
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(fs::exists(out()));
}

// The last repeating timer of the application that fired, which can be made
// to fire once more at once (while still running).
struct RepeatingTimers : QObject {
    RepeatingTimers() { QCoreApplication::instance()->installEventFilter(this); }
    ~RepeatingTimers() override { QCoreApplication::instance()->removeEventFilter(this); }
    bool eventFilter(QObject *receiver, QEvent *e) override {
        auto *timer = qobject_cast<QTimer *>(receiver);
        if (e->type() == QEvent::Timer && timer && !timer->isSingleShot())
            last = timer;
        return false;
    }
    void FireTheLastAgain() {
        if (!last || !last->isActive())
            return;
        QTimerEvent tick(last->timerId());
        QCoreApplication::sendEvent(last, &tick);
    }
    QPointer<QTimer> last;
};

TEST_F(RasterExport, CancelAnsweredNoGoesOnAndYesStopsWithoutAFile) {
    QTimer::singleShot(0, form.get(), [this] { form->exportCancelButton->click(); });
    // While the question is open the run goes on, and asks no second one.
    RepeatingTimers timers;
    SetMessageBoxHandler([this, &timers](QWidget *, const Message &m) {
        messages.push_back(m);
        if (m.buttons != MsgButtons::YesNo)
            return MsgAnswer::Ok;
        if (messages.size() == 1)
            timers.FireTheLastAgain();
        return MsgAnswer::No;
    });
    form->onExportSaveClicked();
    EXPECT_EQ(texts(), (std::vector<QString>{QStringLiteral("Do you want abort Vistrel Export ?"),
                                             QStringLiteral("Data Saved Correctly")}));
    EXPECT_EQ(ReadRasterImage(out()).Cells, (std::vector<std::uint8_t>{255, 133, 133, 133}));
    fs::remove(out());

    messages.clear();
    dialogs = 0;
    SetMessageBoxHandler([this](QWidget *, const Message &m) {
        messages.push_back(m);
        return m.buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    });
    form->exportFrame->show();
    QTimer::singleShot(0, form.get(), [this] { form->exportCancelButton->click(); });
    form->onExportSaveClicked();
    EXPECT_EQ(texts(), std::vector<QString>{QStringLiteral("Do you want abort Vistrel Export ?")});
    EXPECT_EQ(dialogs, 0);
    EXPECT_FALSE(fs::exists(out()));
    EXPECT_FALSE(form->ExportCancelPressed());
    // Cancel with no run going closes the frame.
    form->exportFrame->show();
    form->onExportCancelClicked();
    EXPECT_FALSE(form->exportFrame->isVisibleTo(form.get()));
}

// Another map loaded while the run goes on: the run keeps reading the map it
// started on and saves beside it.
TEST_F(RasterExport, AnotherMapLoadedDuringTheRunLeavesTheRunItsMap) {
    QTimer::singleShot(0, form.get(), [this] {
        answers.push_back(MsgAnswer::Yes);
        form->ListMap->setCurrentItem(form->ListMap->findItems(QStringLiteral("other"), Qt::MatchExactly).front());
        form->onMapChoiceOkClicked();
    });
    form->onExportSaveClicked();
    EXPECT_EQ(texts(), (std::vector<QString>{QStringLiteral("Do you want use other Map?"),
                                             QStringLiteral("Data Saved Correctly")}));
    EXPECT_EQ(form->MapRaster().Columns, 10);
    EXPECT_EQ(ReadRasterImage(out()).Cells, (std::vector<std::uint8_t>{255, 133, 133, 133}));
    EXPECT_EQ(folder.Read("out.bnd"), folder.Read("vistreldata/demo.bnd"));
}

TEST_F(RasterExport, StopWithoutQuestionWritesNothing) {
    bool runningWhenStopped = false;
    QTimer::singleShot(0, form.get(), [&] {
        runningWhenStopped = form->ExportRunning();
        form->StopExport();
    });
    form->onExportSaveClicked();
    EXPECT_TRUE(runningWhenStopped);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(dialogs, 0);
    EXPECT_FALSE(fs::exists(out()));
    EXPECT_FALSE(form->ExportRunning());
    EXPECT_FALSE(appState().Busy);
}

TEST_F(RasterExport, RedrawDuringTheRunLeavesItsProgressShown) {
    bool shown = false;
    QTimer::singleShot(0, form.get(), [&] {
        form->ToolButtons[5]->trigger();  // Refresh
        shown = form->ExportRunning() && form->exportProgress->isVisibleTo(form.get());
    });
    form->onExportSaveClicked();
    EXPECT_TRUE(shown);
}

TEST_F(RasterExport, DoesNotStartWhileAnotherRunIsGoing) {
    BusyGuard other;
    ASSERT_TRUE(other.owns());
    form->onExportSaveClicked();
    EXPECT_EQ(texts(), std::vector<QString>{QStringLiteral("Tavisol Busy")});
    EXPECT_EQ(dialogs, 0);
}

TEST_F(RasterExport, MissingElevationRasterEndsTheRunWithItsMessage) {
    fs::remove(folder.path() / "TavisolData" / engine::ElevationRasterName);
    form->onExportSaveClicked();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(QString::fromStdString(messages[0].text).contains(QString::fromLatin1(engine::ElevationRasterName)))
        << messages[0].text;
    EXPECT_EQ(dialogs, 0);
    EXPECT_TRUE(form->exportSaveButton->isEnabled());
}

TEST_F(RasterExport, EngineFailureStopsTheRunWithTheEnginesMessageAndWritesNothing) {
    fs::remove(folder.path() / "TavisolData" / "vap.txt");
    std::ofstream(out(), std::ios::binary) << "old";
    form->onExportSaveClicked();
    ASSERT_EQ(messages.size(), 1u) << messages.back().text;
    EXPECT_TRUE(QString::fromStdString(messages[0].text).contains(QStringLiteral("vap.txt"))) << messages[0].text;
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(folder.Read("out.img"), "old");
    EXPECT_TRUE(form->exportSaveButton->isEnabled());
    EXPECT_FALSE(form->exportProgress->isVisibleTo(form.get()));
    EXPECT_FALSE(appState().Busy);
}

TEST_F(RasterExport, CellsWithoutANeighbourAreNoDataWithOneThreadOrMany) {
    // Only the two cells nearest the stations have one within 40 km.
    sharedSettingsForTesting().MaxDistance = 40;
    form->TxtLonEnd->setText(QStringLiteral("12"));
    std::vector<std::string> files;
    for (int threads : {1, 3}) {
        RasterMapWindow::SetExportThreads(threads);
        form->exportFrame->show();
        form->onExportSaveClicked();
        ASSERT_EQ(texts(), std::vector<QString>{QStringLiteral("Data Saved Correctly")});
        messages.clear();
        files.push_back(folder.Read("out.img"));
    }
    RasterMapWindow::SetExportThreads(0);
    EXPECT_EQ(files[0], files[1]);
    const RasterImage img = ReadRasterImage(out());
    ASSERT_EQ(img.Columns, 4);
    ASSERT_EQ(img.Rows, 2);
    for (std::size_t k = 0; k < img.Cells.size(); ++k)
        EXPECT_EQ(img.Cells[k] == NoDataClass, k != 1 && k != 5) << k;
}

TEST_F(RasterExport, ExportIntoTheMapFolderIsListedLoadedAndDrawn) {
    form->TxtLonEnd->setText(QStringLiteral("12"));
    form->TxtLatEnd->setText(QStringLiteral("48"));
    saveAs = QString::fromStdString((vistrel() / "vapour").string());  // typed without extension
    form->onExportSaveClicked();
    ASSERT_EQ(texts(), std::vector<QString>{QStringLiteral("Data Saved Correctly")});
    EXPECT_TRUE(fs::exists(vistrel() / "vapour.img"));
    EXPECT_EQ(folder.Read("vistreldata/vapour.cty"), folder.Read("vistreldata/demo.cty"));
    EXPECT_EQ(folder.Read("vistreldata/vapour.bnd"), folder.Read("vistreldata/demo.bnd"));
    const QList<QListWidgetItem *> listed = form->ListMap->findItems(QStringLiteral("vapour"), Qt::MatchExactly);
    ASSERT_EQ(listed.size(), 1);

    messages.clear();
    answers.push_back(MsgAnswer::Yes);
    form->ListMap->setCurrentItem(listed.front());
    form->onMapChoiceOkClicked();
    EXPECT_EQ(texts(), std::vector<QString>{QStringLiteral("Do you want use vapour Map?")});
    EXPECT_EQ(form->Paths().Img, vistrel() / "vapour.img");
    EXPECT_FALSE(form->MapPending());
    ASSERT_EQ(form->MapRaster().Columns, 4);
    EXPECT_EQ(form->MapRaster().Rows, 4);
    EXPECT_EQ(form->Colors()[255].Name, "No data");
    // The legend lists the export's classes only, none of the map it came from.
    const std::vector<LegendRow> rows = LegendRows(form->Colors());
    EXPECT_TRUE(std::none_of(rows.begin(), rows.end(), [](const LegendRow &r) { return r.Name == "Low"; }));
    // The estimated cells are drawn in their legend colour and named by value.
    const ColorEntry &entry = form->Colors()[form->MapRaster().At(1, 1)];
    EXPECT_NE(entry.Name.find(" hPa"), std::string::npos) << entry.Name;
    const QImage img = form->mapView->surface().toImage();
    const QColor wanted(entry.Red, entry.Green, entry.Blue);
    int found = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (QColor(img.pixel(x, y)) == wanted) ++found;
    EXPECT_GT(found, img.width() * img.height() / 4);
}

TEST(Bitmap, CreateFillPaintAndCopy) {
    DibBitmap dib;
    EXPECT_EQ(dib.pixelBits(), nullptr);
    ASSERT_TRUE(dib.Create(5, 3));
    EXPECT_EQ(dib.BytesPerScanLine(), 16);
    ASSERT_TRUE(dib.Create(2, 2));  // the first bitmap is released
    EXPECT_EQ(dib.Width(), 2);
    // First scan line in memory is the bottom row.
    dib.pixelBits()[2] = 200;  // red of the bottom-left pixel
    const QImage img = dib.ToImage();
    EXPECT_EQ(QColor(img.pixel(0, 1)), QColor(200, 0, 0));
    EXPECT_EQ(QColor(img.pixel(0, 0)), QColor(0, 0, 0));
    DibBitmap copy;
    ASSERT_TRUE(copy.CreateFromPicture(img));
    EXPECT_EQ(copy.pixelBits()[2], 200);
    dib.RandomiseBits(false);
    EXPECT_EQ(QColor(dib.ToImage().pixel(1, 1)), QColor(255, 0, 0));
    auto bigger = dib.Resample(4, 6);
    ASSERT_TRUE(bigger);
    EXPECT_EQ(bigger->Width(), 6);
    EXPECT_EQ(QColor(bigger->ToImage().pixel(5, 3)), QColor(255, 0, 0));
    QImage target(4, 4, QImage::Format_RGB32);
    target.fill(Qt::white);
    {
        QPainter p(&target);
        dib.PaintPicture(p, 1, 1);
    }
    EXPECT_EQ(QColor(target.pixel(2, 2)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(target.pixel(0, 0)), QColor(255, 255, 255));
    dib.ClearUp();
    EXPECT_EQ(dib.Width(), 0);
}

TEST(Bitmap, ClipboardTakesOnlyAPlainBitmap) {
    std::vector<QString> shown;
    SetMessageBoxHandler([&](QWidget *, const Message &r) {
        shown.push_back(QString::fromStdString(r.text));
        return MsgAnswer::Ok;
    });
    DibBitmap dib;
    ASSERT_TRUE(dib.Create(3, 2));
    dib.RandomiseBits(false);
    QApplication::clipboard()->setText(QStringLiteral("before"));
    EXPECT_FALSE(dib.CopyToClipboard(true));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], QStringLiteral("I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_TRUE(dib.CopyToClipboard(false));
    SetMessageBoxHandler({});
}

TEST_F(RasterWindow, CommandOpensTheSingleWindow) {
    WriteMaps();
    InstallRasterMapCommands();
    ASSERT_TRUE(HasCommandHandler(Command::VectMap));
    RunCommand(Command::VectMap);
    RasterMapWindow *form = RasterMapWindow::instance();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->MapPending());
    RunCommand(Command::VectMap);
    EXPECT_EQ(RasterMapWindow::instance(), form);
    SetCommandHandler(Command::VectMap, {});
    delete form;
}

} // namespace
} // namespace tavisol::rastermap
