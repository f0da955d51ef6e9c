#include "rastermap/raster_map_window.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QEventLoop>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>

#include <cmath>
#include <tuple>

#include "engine/engine.h"
#include "numfmt/numfmt.h"
#include "numfmt/numfmt_qt.h"
#include "rastermap/dib_bitmap.h"
#include "rastermap/exportlegend.h"
#include "rastermap/rastererror.h"
#include "rastermap/real48binding.h"
#include "shell/appstate.h"
#include "shell/commands.h"
#include "shell/dialoggate.h"
#include "shell/icons.h"
#include "shell/main_window.h"
#include "shell/maplocation.h"
#include "shell/messages.h"
#include "shell/programfolders.h"
#include "shell/savefiledialog.h"
#include "shell/sharedsettings.h"
#include "shell/widgetmakers.h"

namespace tavisol::rastermap {

namespace {

QString q(const std::string &s) { return QString::fromStdString(s); }
std::string s(const QString &t) { return t.toStdString(); }
int px(double twips) { return static_cast<int>(std::lround(twips / TwipsPerPixel)); }

RasterMapWindow::SaveDialog &saveDialog() {
    static RasterMapWindow::SaveDialog d;
    return d;
}
RasterMapWindow::ColourDialog &colourDialog() {
    static RasterMapWindow::ColourDialog d;
    return d;
}
std::function<void()> &saveDataHandler() {
    static std::function<void()> h;
    return h;
}

QColor colourOf(const ColorEntry &e) { return QColor(e.Red, e.Green, e.Blue); }

// The zoom tool's pointer: a small magnifier.
QCursor zoomCursor() {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    p.drawEllipse(QRectF(2, 2, 13, 13));
    p.drawLine(QPointF(13, 13), QPointF(21, 21));
    p.drawLine(QPointF(6, 8.5), QPointF(11, 8.5));
    p.drawLine(QPointF(8.5, 6), QPointF(8.5, 11));
    p.end();
    return QCursor(pm, 8, 8);
}

void doEvents() { QCoreApplication::processEvents(); }

} // namespace

// ---- PictureBox ---------------------------------------------------------------

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setBand(const QRect &band) {
    band_ = band;
    update();
}

void PictureBox::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.drawPixmap(0, 0, surface());
    if (!band_.isNull()) {
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(band_);
    }
}

QPixmap &PictureBox::surface() {
    const QSize wanted = size().expandedTo(QSize(1, 1));
    if (surface_.size() != wanted) {
        // The drawing stays where it was; the new area is blank until redrawn.
        QPixmap next(wanted);
        next.fill(Qt::white);
        if (!surface_.isNull()) {
            QPainter p(&next);
            p.drawPixmap(0, 0, surface_);
        }
        surface_ = next;
    }
    return surface_;
}

void PictureBox::mousePressEvent(QMouseEvent *e) {
    pressed_ = true;
    if (onMouseDown) onMouseDown(e->button(), e->position());
}

void PictureBox::mouseMoveEvent(QMouseEvent *e) {
    if (onMouseMove) onMouseMove(e->position());
}

void PictureBox::mouseReleaseEvent(QMouseEvent *e) {
    if (onMouseUp) onMouseUp(e->position());
    if (pressed_ && rect().contains(e->position().toPoint()) && onClick) onClick();
    pressed_ = false;
}

// ---- RasterMapWindow --------------------------------------------------------------------

QPointer<RasterMapWindow> RasterMapWindow::instance_;

RasterMapWindow *RasterMapWindow::instance() {
    if (!instance_) instance_ = new RasterMapWindow;
    return instance_;
}

void RasterMapWindow::SetSaveDialog(SaveDialog dialog) { saveDialog() = std::move(dialog); }
void RasterMapWindow::SetColourDialog(ColourDialog dialog) { colourDialog() = std::move(dialog); }
void RasterMapWindow::SetSaveDataHandler(std::function<void()> handler) { saveDataHandler() = std::move(handler); }

RasterMapWindow::RasterMapWindow(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("rasterMapWindow"));
    setWindowTitle(QStringLiteral("Raster Map"));
    setWindowIcon(MakeIcon(IconId::RasterMap));
    buildControls();
    resize(900, 640);
    setUp();
}

RasterMapWindow::~RasterMapWindow() = default;

namespace {

QLabel *label(const QString &text, QWidget *parent, int x, int y, int w = 120) {
    auto *l = new QLabel(text, parent);
    l->setGeometry(x, y, w, 20);
    return l;
}

QLineEdit *edit(const char *name, QWidget *parent, int x, int y, int w) {
    auto *e = MakeNamed<QLineEdit>(parent, name);
    e->setGeometry(x, y, w, 22);
    return e;
}

// A caption and the box right of it; the caption sits 2 pixels lower so that
// the texts line up.
QLineEdit *labelledEdit(const QString &caption, const char *name, QWidget *parent, int x, int y, int labelWidth,
                        int editWidth) {
    label(caption, parent, x, y + 2, labelWidth);
    return edit(name, parent, x + labelWidth, y, editWidth);
}

QPushButton *button(const char *name, const QString &text, QWidget *parent, int x, int y, int w = 90) {
    auto *b = MakeNamed<QPushButton>(parent, name, text);
    b->setGeometry(x, y, w, 26);
    return b;
}

} // namespace

void RasterMapWindow::buildControls() {
    buildToolBar();
    buildMapArea();
    buildLocationFrame();
    buildMapFrame();
    buildColorsFrame();
    buildExportFrame();

    mapStatusBar = new QStatusBar(this);
    mapStatusBar->setObjectName(QStringLiteral("mapStatusBar"));
    mapStatusBar->setSizeGripEnabled(false);
    for (std::size_t k = 0; k < StatusPanels.size(); ++k) {
        StatusPanels[k] = new QLabel(mapStatusBar);
        mapStatusBar->addWidget(StatusPanels[k], k == 0 ? 3 : 2);
    }

    redrawTimer = new QTimer(this);
    redrawTimer->setObjectName(QStringLiteral("redrawTimer"));
    redrawTimer->setSingleShot(true);
    redrawTimer->setInterval(50);
    connect(redrawTimer, &QTimer::timeout, this, [this] { onRedrawTimer(); });

    mapView->setGeometry(0, 0, 600, 300);
    legendView->setGeometry(600, 0, 200, 300);
    mapCanvas_->resize(800, 300);
    // Frames that open and close move the others and the map's area.
    for (QWidget *frame : {static_cast<QWidget *>(FrameLocation), static_cast<QWidget *>(FrameMap),
                           static_cast<QWidget *>(FrameColors), static_cast<QWidget *>(exportFrame)})
        frame->installEventFilter(this);
}

void RasterMapWindow::buildToolBar() {
    mapToolBar = new QToolBar(this);
    mapToolBar->setObjectName(QStringLiteral("mapToolBar"));
    mapToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    struct Button {
        int index;
        const char *text;
        const char *tip;
        bool checkable;
    };
    const Button buttons[] = {{1, "Select", "Select Point", true},
                              {2, "Zoom", "Point Zoom", true},
                              {4, "AutoSize", "Track AutoSize", true},
                              {5, "Refresh", "Refresh", false},
                              {6, "Colors", "Change Colors", false},
                              {8, "Map", "Change Map", false},
                              {10, "Boundaries", "Toggle Boundaries", true},
                              {11, "Capitals", "Toggle Capitals", true},
                              {13, "Export", "Export Vistrel", true}};
    int next = 1;
    for (const Button &b : buttons) {
        for (; next < b.index; ++next) mapToolBar->addSeparator();
        QAction *a = mapToolBar->addAction(QString::fromLatin1(b.text));
        a->setToolTip(QString::fromLatin1(b.tip));
        a->setCheckable(b.checkable);
        const int index = b.index;
        // The handler sets the pressed states itself.
        connect(a, &QAction::triggered, this, [this, index] { onToolButtonClicked(index); });
        ToolButtons[static_cast<std::size_t>(b.index)] = a;
        next = b.index + 1;
    }
}

void RasterMapWindow::buildMapArea() {
    MapArea = new QScrollArea(this);
    MapArea->setObjectName(QStringLiteral("MapArea"));
    MapArea->setFrameShape(QFrame::NoFrame);
    MapArea->setWidgetResizable(false);
    mapCanvas_ = new QWidget;
    mapCanvas_->setObjectName(QStringLiteral("MapCanvas"));
    MapArea->setWidget(mapCanvas_);

    mapView = new PictureBox(mapCanvas_);
    mapView->setObjectName(QStringLiteral("mapView"));
    mapView->onMouseDown = [this](Qt::MouseButton b, QPointF p) { onMapMouseDown(b, p.x(), p.y()); };
    mapView->onMouseMove = [this](QPointF p) { onMapMouseMove(p.x(), p.y()); };
    mapView->onMouseUp = [this](QPointF p) { onMapMouseUp(p.x(), p.y()); };
    mapView->onClick = [this] { onMapClicked(); };
    legendView = new PictureBox(mapCanvas_);
    legendView->setObjectName(QStringLiteral("legendView"));
}

void RasterMapWindow::buildLocationFrame() {
    FrameLocation = MakeNamed<QGroupBox>(this, "FrameLocation", QStringLiteral("Location"));
    // Narrow enough that the export frame fits beside it in a window 800 wide.
    txtlong = labelledEdit(QStringLiteral("Longitude"), "txtlong", FrameLocation, 8, 20, 62, 86);
    txtLat = labelledEdit(QStringLiteral("Latitude"), "txtLat", FrameLocation, 8, 46, 62, 86);
    txtElev = labelledEdit(QStringLiteral("Altitude"), "txtElev", FrameLocation, 8, 72, 62, 86);
    txtName = labelledEdit(QStringLiteral("Name"), "txtName", FrameLocation, 8, 98, 62, 180);
    CmdRun = button("CmdRun", QStringLiteral("Set Location"), FrameLocation, 162, 20, 88);
    CmdSave = button("CmdSave", QStringLiteral("Save Data"), FrameLocation, 162, 52, 88);
    FrameLocation->resize(258, 132);
    connect(CmdRun, &QPushButton::clicked, this, [this] { onSetLocationClicked(); });
    connect(CmdSave, &QPushButton::clicked, this, [this] { onSaveDataClicked(); });
}

void RasterMapWindow::buildMapFrame() {
    FrameMap = MakeNamed<QGroupBox>(this, "FrameMap", QStringLiteral("Change Map"));
    ListMap = new QListWidget(FrameMap);
    ListMap->setObjectName(QStringLiteral("ListMap"));
    ListMap->setGeometry(10, 20, 200, 100);
    cmdBack = button("cmdBack", QStringLiteral("OK"), FrameMap, 220, 20, 70);
    CmdCanc = button("CmdCanc", QStringLiteral("Cancel"), FrameMap, 220, 52, 70);
    FrameMap->resize(300, 132);
    FrameMap->hide();
    connect(cmdBack, &QPushButton::clicked, this, [this] { onMapChoiceOkClicked(); });
    connect(CmdCanc, &QPushButton::clicked, this, [this] { onMapChoiceCancelClicked(); });
}

void RasterMapWindow::buildColorsFrame() {
    FrameColors = MakeNamed<QGroupBox>(this, "FrameColors", QStringLiteral("Change Colors"));
    GrdColors = new QTableWidget(0, 2, FrameColors);
    GrdColors->setObjectName(QStringLiteral("GrdColors"));
    GrdColors->setGeometry(10, 20, 240, 140);
    GrdColors->horizontalHeader()->hide();
    GrdColors->verticalHeader()->hide();
    GrdColors->setEditTriggers(QAbstractItemView::NoEditTriggers);
    colorsOkButton = button("colorsOkButton", QStringLiteral("OK"), FrameColors, 260, 20, 70);
    colorsCancelButton = button("colorsCancelButton", QStringLiteral("Cancel"), FrameColors, 260, 52, 70);
    FrameColors->resize(340, 170);
    FrameColors->hide();
    connect(GrdColors, &QTableWidget::cellClicked, this, [this](int r, int c) { onColorCellClicked(r, c); });
    connect(colorsOkButton, &QPushButton::clicked, this, [this] { onColorsOkClicked(); });
    connect(colorsCancelButton, &QPushButton::clicked, this, [this] { onColorsCancelClicked(); });
}

void RasterMapWindow::buildExportFrame() {
    exportFrame = MakeNamed<QGroupBox>(this, "exportFrame", QStringLiteral("Save Vistrel "));
    label(QStringLiteral("Choose Variable"), exportFrame, 10, 20, 200);
    exportVariableBox = new QComboBox(exportFrame);
    exportVariableBox->setObjectName(QStringLiteral("exportVariableBox"));
    exportVariableBox->setToolTip(QStringLiteral("Choose one of seven variables."));
    exportVariableBox->setGeometry(10, 40, 200, 24);
    // The list shows the whole captions.
    exportVariableBox->view()->setMinimumWidth(380);
    label(QStringLiteral("Resolution in decimal degrees"), exportFrame, 10, 68, 200);
    exportResolutionBox = new QComboBox(exportFrame);
    exportResolutionBox->setObjectName(QStringLiteral("exportResolutionBox"));
    exportResolutionBox->setEditable(true);
    exportResolutionBox->setGeometry(10, 88, 110, 24);
    label(QStringLiteral("Month of Estimated Value "), exportFrame, 10, 116, 200);
    exportMonthBox = new QComboBox(exportFrame);
    exportMonthBox->setObjectName(QStringLiteral("exportMonthBox"));
    exportMonthBox->setGeometry(10, 136, 150, 24);
    auto *region = MakeNamed<QGroupBox>(exportFrame, "exportRegionFrame", QStringLiteral("Region"));
    // Wide enough for a negative coordinate with the decimals a drag gives.
    region->setGeometry(218, 20, 310, 90);
    TxtLonStart = labelledEdit(QStringLiteral("Longitude"), "TxtLonStart", region, 8, 20, 66, 96);
    TxtLonEnd = labelledEdit(QStringLiteral("--->"), "TxtLonEnd", region, 174, 20, 32, 96);
    TxtLatStart = labelledEdit(QStringLiteral("Latitude"), "TxtLatStart", region, 8, 52, 66, 96);
    TxtLatEnd = labelledEdit(QStringLiteral("--->"), "TxtLatEnd", region, 174, 52, 32, 96);
    exportSaveButton = button("VistrelSave", QStringLiteral("OK"), exportFrame, 218, 120, 80);
    exportCancelButton = button("VistrelCancel", QStringLiteral("Cancel"), exportFrame, 308, 120, 80);
    exportProgress = new QProgressBar(exportFrame);
    exportProgress->setObjectName(QStringLiteral("VistrelBar"));
    exportProgress->setTextVisible(false);
    exportProgress->setGeometry(10, 168, 518, 14);
    exportProgress->hide();
    LblLonLat = new QLabel(exportFrame);
    LblLonLat->setObjectName(QStringLiteral("LblLonLat"));
    LblLonLat->setGeometry(10, 186, 518, 20);
    LblLonLat->hide();
    exportFrame->resize(538, 212);
    exportFrame->hide();
    connect(exportResolutionBox, &QComboBox::currentTextChanged, this, [this] { onResolutionChanged(); });
    connect(exportSaveButton, &QPushButton::clicked, this, [this] { onExportSaveClicked(); });
    connect(exportCancelButton, &QPushButton::clicked, this, [this] { onExportCancelClicked(); });
}

QSize RasterMapWindow::sizeHint() const { return {900, 640}; }

QSize RasterMapWindow::minimumSizeHint() const { return {320, 260}; }

bool RasterMapWindow::eventFilter(QObject *watched, QEvent *e) {
    if ((e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent) && qobject_cast<QGroupBox *>(watched))
        placeFrames();
    return QWidget::eventFilter(watched, e);
}

void RasterMapWindow::reportError(const QString &text, bool critical) {
    ShowMessage(this, critical ? MsgIcon::Critical : MsgIcon::NoIcon, text);
}

void RasterMapWindow::setMapPaths(const std::string &name) { paths_ = PathsOfMap(vistrelFolder(), name); }

void RasterMapWindow::loadMapLegend() {
    // Classes the map's legend does not name must not keep another map's names.
    colors_ = ColorTable{};
    if (auto err = LoadColorTable(paths_.Clr, colors_, fixedColorA_, fixedColorB_)) reportError(q(*err));
}

void RasterMapWindow::setPictureCursor() {
    if (currentTool_ == "RECTANGLE") mapView->setCursor(Qt::SizeFDiagCursor);
    else if (currentTool_ == "ZOOMPUNTO") mapView->setCursor(zoomCursor());
    else mapView->setCursor(Qt::CrossCursor);
}

void RasterMapWindow::setUp() {
    try {
        view_ = ViewWindow{};
        mapPending_ = true;
        redrawPending_ = false;
        exportCancelPressed_ = false;
        std::vector<std::string> maps;
        try {
            maps = refreshMapList();
        } catch (const std::exception &e) {
            reportError(q(e.what()));
        }
        if (maps.empty()) {
            ShowMessage(this, MsgIcon::Information, QStringLiteral("No Map available"));
            noMap_ = true;
        } else {
            noMap_ = false;
            setMapPaths(maps.front());
            fixedColorA_ = ColorEntry{};
            fixedColorB_ = ColorEntry{};
            loadMapLegend();
            showBoundaries_ = showCapitals_ = trackAutoSize_ = true;
            currentTool_ = "NONE";
            setPictureCursor();
            ToolButtons[1]->setChecked(true);
            ToolButtons[4]->setChecked(true);
            ToolButtons[10]->setChecked(true);
            ToolButtons[11]->setChecked(true);
            zoom_.Reset();
            exportVariableBox->clear();
            for (const std::string_view name : engine::VariableNames)
                exportVariableBox->addItem(q(std::string(name)));
            exportVariableBox->setCurrentIndex(0);
        }
        const numfmt::Locale loc = numfmt::userLocale();
        {
            const QSignalBlocker block(exportResolutionBox);
            exportResolutionBox->clear();
            for (double r : Resolutions) exportResolutionBox->addItem(q(numfmt::general(r, loc)));
            exportResolutionBox->setCurrentIndex(-1);
            exportResolutionBox->setEditText(QString());
        }
        exportMonthBox->clear();
        for (const char *m : MonthChoices) exportMonthBox->addItem(QString::fromLatin1(m));
        exportMonthBox->setCurrentIndex(0);
        exportMonth_ = 13;
    } catch (const std::exception &e) {
        reportError(q(e.what()));
    }
}

void RasterMapWindow::onActivated() {
    // A map must not be replaced under a fill that is letting events through;
    // the load stays pending for the next activation.
    if (loading_ || (drawing_ && mapPending_)) return;
    try {
        if (!noMap_ && mapPending_) {
            loading_ = true;
            setEnabled(false);
            QApplication::setOverrideCursor(Qt::WaitCursor);
            struct Restore {
                RasterMapWindow *f;
                ~Restore() {
                    QApplication::restoreOverrideCursor();
                    f->setEnabled(true);
                    f->loading_ = false;
                }
            } restore{this};
            // The image is read whole or not at all: a failed read keeps the
            // previous map and leaves the load pending.
            RasterImage image = ReadRasterImage(paths_.Img);
            const Georeference geo = SetHeaderDoubleValues(image.Header, VantrixConversions());
            map_ = std::make_shared<const RasterImage>(std::move(image));
            geo_ = geo;
            ShapeReadResult b = ReadShapes(paths_.Bnd, doEvents);
            boundaries_ = std::move(b.Shapes);
            if (b.Error) reportError(q(*b.Error), true);
            ShapeReadResult c = ReadShapes(paths_.Cty, doEvents);
            capitals_ = std::move(c.Shapes);
            if (c.Error) reportError(q(*c.Error), true);
            view_ = WholeMapView(geo_, map_->Columns, map_->Rows);
            const double aspect = static_cast<double>(map_->Columns) / map_->Rows;
            placeFrames();
            placeMapAndLegend(
                fitToMapArea([aspect](double widthTwips) { return ActivationLayout(widthTwips, aspect); }), true);
            DrawRasterMap();
            DrawLegend();
            mapPending_ = false;
        }
        const numfmt::Locale loc = numfmt::userLocale();
        const AppState &app = appState();
        txtLat->setText(q(numfmt::general(app.CurLatitude, loc)));
        txtlong->setText(q(numfmt::general(app.CurLongitude, loc)));
        txtElev->setText(q(numfmt::general(app.CurElevation, loc)));
        mapView->setCursor(Qt::ArrowCursor);
        setPictureCursor();
    } catch (const std::exception &e) {
        reportError(q(e.what()));
    }
}

// Toolbar on top, status bar at the bottom, the frames above the status bar
// (the Location frame at the left, the open one of the other three beside it,
// or under it when the window is too narrow), and the map's area in between.
// The frames keep their places whatever the size of the map.
void RasterMapWindow::placeFrames() {
    constexpr int gap = 6;
    const int W = width(), H = height();
    const int toolbarHeight = mapToolBar->sizeHint().height();
    mapToolBar->setGeometry(0, 0, W, toolbarHeight);
    const int statusHeight = mapStatusBar->sizeHint().height();
    mapStatusBar->setGeometry(0, H - statusHeight, W, statusHeight);

    QSize side(0, 0);
    for (QGroupBox *f : {exportFrame, FrameMap, FrameColors})
        if (f->isVisibleTo(this)) side = side.expandedTo(f->size());
    const QSize location = FrameLocation->size();
    const bool beside = side.isEmpty() || location.width() + gap + side.width() <= W;
    const int framesHeight =
        side.isEmpty() ? location.height()
                       : (beside ? std::max(location.height(), side.height()) : location.height() + gap + side.height());
    const int framesTop = std::max(toolbarHeight, H - statusHeight - gap - framesHeight);
    FrameLocation->move(0, framesTop);
    const QPoint sidePlace = beside ? QPoint(location.width() + gap, framesTop)
                                    : QPoint(0, framesTop + location.height() + gap);
    for (QGroupBox *f : {exportFrame, FrameMap, FrameColors}) f->move(sidePlace);
    MapArea->setGeometry(0, toolbarHeight, W, std::max(0, framesTop - gap - toolbarHeight));
}

// A rule of picture and legend applied to the window's width, less a vertical
// scroll bar when the picture will be taller than the map's area.
MapLayout RasterMapWindow::fitToMapArea(const std::function<MapLayout(double widthTwips)> &rule) const {
    MapLayout l = rule(width() * TwipsPerPixel);
    if (px(l.PictureHeight) > MapArea->height()) {
        const int bar = MapArea->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, MapArea);
        l = rule((width() - bar) * TwipsPerPixel);
    }
    return l;
}

// The legend stands right of the picture, as high as it; both scroll together.
void RasterMapWindow::placeMapAndLegend(const MapLayout &l, bool legendFromLayout) {
    mapView->setGeometry(0, 0, std::max(1, px(l.PictureWidth)), std::max(1, px(l.PictureHeight)));
    const int legendHeight = legendFromLayout ? px(l.LegendHeight) : mapView->height();
    legendView->setGeometry(legendFromLayout ? px(l.LegendLeft) : mapView->width(), 0,
                            std::max(1, px(l.LegendWidth)), std::max(1, legendHeight));
    mapCanvas_->resize(mapView->geometry().united(legendView->geometry()).size());
}

void RasterMapWindow::DrawRasterMap() {
    if (drawing_ || map_->Empty()) return;
    drawing_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        DibBitmap dib;
        const int W = mapView->width(), H = mapView->height();
        if (dib.Create(W, H)) {
            // While an export runs, the progress bar shows the export's progress.
            const bool showProgress = !exportRunning_;
            if (showProgress) {
                exportProgress->setRange(0, 3 * W);
                exportProgress->setValue(0);
                exportProgress->setVisible(true);
            }
            // Held while the fill lets events through, whatever they load.
            const std::shared_ptr<const RasterImage> map = map_;
            dib.RandomiseBits2(*map, colors_, zoom_, [this, showProgress](int) {
                if (showProgress && exportProgress->value() < exportProgress->maximum() - 5)
                    exportProgress->setValue(exportProgress->value() + 3);
                doEvents();
            });
            if (showProgress) exportProgress->setVisible(false);
            QPainter p(&mapView->surface());
            dib.PaintPicture(p, 0, 0, W, H, 0, 0);
        }
        DrawBoundaries();
        DrawCapitals();
        mapView->update();
    } catch (const std::exception &e) {
        if (!exportRunning_) exportProgress->setVisible(false);
        reportError(q(e.what()));
    }
    QApplication::restoreOverrideCursor();
    drawing_ = false;
}

void RasterMapWindow::DrawLegend() {
    try {
        QPixmap &pm = legendView->surface();
        pm.fill(Qt::white);
        QPainter p(&pm);
        p.setPen(Qt::black);
        const QFontMetrics fm(p.font());
        auto text = [&](double x, double y, const QString &t) { p.drawText(px(x), px(y) + fm.ascent(), t); };
        text(50, 10, q(paths_.Clr.filename().string()));
        p.drawLine(0, px(190), pm.width(), px(190));
        double x = 50, y = 200;
        const double lineHeight = fm.height() * TwipsPerPixel;
        for (const LegendRow &row : LegendRows(colors_)) {
            const QColor c = colourOf(colors_[static_cast<std::size_t>(row.Class)]);
            p.setPen(c);
            p.setBrush(c);
            p.drawRect(QRect(px(x), px(y), px(100), px(100)));
            p.setPen(Qt::black);
            p.setBrush(Qt::NoBrush);
            text(x + 300, y - 50, q(row.Name));
            x = 50;
            y = (y - 50) + lineHeight + 20;
        }
        p.end();
        legendView->update();
    } catch (const std::exception &e) {
        reportError(q(e.what()));
    }
}

void RasterMapWindow::drawOverlay(bool shown, const std::function<void(QPainter &, double, double)> &paint) {
    if (!shown || map_->Empty()) return;
    try {
        QPainter p(&mapView->surface());
        paint(p, mapView->width(), mapView->height());
    } catch (const std::exception &e) {
        reportError(q(e.what()));
    }
}

void RasterMapWindow::DrawCapitals() {
    drawOverlay(showCapitals_, [this](QPainter &p, double SW, double SH) {
        const QColor c = colourOf(colors_[CapitalsClass]);
        p.setPen(c);
        p.setBrush(c);
        const int radius = OverlaySize(zoom_.Zoom);
        for (const MapPoint &pt : capitals_.allPoints()) {
            if (!IsInsideRect(geo_, map_->Columns, map_->Rows, pt.X, pt.Y)) continue;
            int x = 0, y = 0;
            if (OverlayPoint(view_, zoom_, map_->U1(), map_->U2(), SW, SH, pt.X, pt.Y, x, y))
                p.drawEllipse(QPoint(x, y), radius, radius);
        }
    });
}

void RasterMapWindow::DrawBoundaries() {
    drawOverlay(showBoundaries_, [this](QPainter &p, double SW, double SH) {
        p.setPen(QPen(colourOf(colors_[BoundariesClass]), OverlaySize(zoom_.Zoom)));
        const auto inside = [this](float lon, float lat) {
            return IsInsideRect(geo_, map_->Columns, map_->Rows, lon, lat);
        };
        // Points right of or below the picture are joined too: only the map's
        // own extent decides.
        const auto place = [&](float lon, float lat) {
            const auto [fx, fy] = OverlayXY(view_, zoom_, map_->U1(), map_->U2(), SW, SH, lon, lat);
            return std::make_pair(static_cast<int>(std::clamp(fx, -1e6, 1e6)),
                                  static_cast<int>(std::clamp(fy, -1e6, 1e6)));
        };
        for (const Segment &l : BoundarySegments(boundaries_, inside, place))
            p.drawLine(l.X1, l.Y1, l.X2, l.Y2);
    });
}

void RasterMapWindow::LoadGridColors() {
    try {
        GrdColors->setColumnWidth(0, px(500));
        GrdColors->setColumnWidth(1, px(2500));
        int row = 0;
        for (const LegendRow &r : LegendRows(colors_)) {
            if (row >= GrdColors->rowCount()) GrdColors->insertRow(GrdColors->rowCount());
            auto *swatch = new QTableWidgetItem;
            swatch->setBackground(colourOf(colors_[static_cast<std::size_t>(r.Class)]));
            GrdColors->setItem(row, 0, swatch);
            GrdColors->setItem(row, 1, new QTableWidgetItem(q(r.Name)));
            ++row;
        }
    } catch (const std::exception &e) {
        reportError(q(e.what()));
    }
}

void RasterMapWindow::onToolButtonClicked(int index) {
    switch (index) {
    case 1:
        currentTool_ = "NONE";
        break;
    case 2:
        currentTool_ = "ZOOMPUNTO";
        break;
    case 4:
        trackAutoSize_ = !trackAutoSize_;
        break;
    case 5:
        DrawRasterMap();
        break;
    case 6:
        LoadGridColors();
        FrameColors->show();
        FrameColors->raise();
        break;
    case 8:
        FrameMap->show();
        FrameMap->raise();
        break;
    case 10:
        showBoundaries_ = !showBoundaries_;
        DrawRasterMap();
        break;
    case 11:
        showCapitals_ = !showCapitals_;
        DrawRasterMap();
        break;
    case 13:
        currentTool_ = "RECTANGLE";
        break;
    default:
        break;
    }
    ToolButtons[1]->setChecked(currentTool_ == "NONE");
    ToolButtons[2]->setChecked(currentTool_ == "ZOOMPUNTO");
    ToolButtons[13]->setChecked(currentTool_ == "RECTANGLE");
    ToolButtons[4]->setChecked(trackAutoSize_);
    ToolButtons[10]->setChecked(showBoundaries_);
    ToolButtons[11]->setChecked(showCapitals_);
    setPictureCursor();
}

void RasterMapWindow::onMapMouseDown(Qt::MouseButton button, double x, double y) {
    if (noMap_ || map_->Empty()) return;
    try {
        if (currentTool_ == "ZOOMPUNTO") {
            PointZoom(zoom_, button == Qt::LeftButton, x, y, mapView->width(), mapView->height(), map_->Columns,
                      map_->Rows);
            DrawRasterMap();
        } else if (currentTool_ == "RECTANGLE") {
            dragStartX_ = static_cast<std::int32_t>(numfmt::roundHalfEven(x));
            dragStartY_ = static_cast<std::int32_t>(numfmt::roundHalfEven(y));
            dragCurX_ = static_cast<float>(x);
            dragCurY_ = static_cast<float>(y);
            dragActive_ = true;
        }
    } catch (const std::exception &e) {
        reportError(q(e.what()));
    }
}

void RasterMapWindow::onMapMouseMove(double x, double y) {
    if (noMap_ || map_->Empty()) return;
    ViewMapping(view_, zoom_, map_->Columns, map_->Rows, mapView->width(), mapView->height(), x, y, cursorLon_,
                cursorLat_);
    StatusPanels[0]->setText(q(DmsText(cursorLon_, cursorLat_)));
    StatusPanels[1]->setText(q(DecimalText(cursorLon_, cursorLat_)));
    const numfmt::Locale loc = numfmt::userLocale();
    StatusPanels[2]->setText(q(numfmt::general(static_cast<float>(x), loc) + " Y=" +
                               numfmt::general(static_cast<float>(y), loc)));
    if (dragActive_) {
        dragCurX_ = static_cast<float>(x);
        dragCurY_ = static_cast<float>(y);
        const int left = static_cast<int>(std::min<double>(dragStartX_, x));
        const int right = static_cast<int>(std::max<double>(dragStartX_, x));
        const int top = static_cast<int>(std::min<double>(dragStartY_, y));
        const int bottom = static_cast<int>(std::max<double>(dragStartY_, y));
        mapView->setBand(QRect(QPoint(left, top), QPoint(right, bottom)));
    }
}

void RasterMapWindow::onMapMouseUp(double, double) {
    if (!dragActive_) return;
    const double rectLeft = std::min<double>(dragStartX_, dragCurX_);
    const double rectRight = std::max<double>(dragStartX_, dragCurX_);
    const double rectTop = std::min<double>(dragStartY_, dragCurY_);
    const double rectBottom = std::max<double>(dragStartY_, dragCurY_);
    dragActive_ = false;
    mapView->setBand(QRect());
    const auto cint = [](double v) { return static_cast<double>(numfmt::cint(v)); };
    const double W = mapView->width(), H = mapView->height();
    ViewMapping(view_, zoom_, map_->Columns, map_->Rows, W, H, cint(rectLeft), cint(rectTop), regionLonStart_,
                regionLatStart_);
    ViewMapping(view_, zoom_, map_->Columns, map_->Rows, W, H, cint(rectRight), cint(rectBottom), regionLonEnd_,
                regionLatEnd_);
    exportResolutionBox->setEditText(QString());
    const numfmt::Locale point = numfmt::Locale::english();
    TxtLonStart->setText(q(numfmt::general(regionLonStart_, point)));
    TxtLatStart->setText(q(numfmt::general(regionLatStart_, point)));
    TxtLonEnd->setText(q(numfmt::general(regionLonEnd_, point)));
    TxtLatEnd->setText(q(numfmt::general(regionLatEnd_, point)));
    exportFrame->show();
    exportFrame->raise();
}

void RasterMapWindow::onMapClicked() {
    if (currentTool_ != "NONE" || noMap_ || map_->Empty()) return;
    try {
        pickLon_ = cursorLon_;
        pickLat_ = cursorLat_;
        engine::Integer water = 0;
        pickAlt_ = engine::GetElevation(dataFolder(), pickLon_, pickLat_, water);
        const numfmt::Locale loc = numfmt::userLocale();
        txtlong->setText(q(numfmt::formatMask(pickLon_, "0.00", loc)));
        txtLat->setText(q(numfmt::formatMask(pickLat_, "0.00", loc)));
        txtElev->setText(q(numfmt::general(pickAlt_, loc)));
    } catch (const std::exception &e) {
        reportError(q(e.what()));
    }
}

bool RasterMapWindow::onSetLocationClicked() {
    return StoreMapLocation(this, {txtName, txtlong, txtLat, txtElev});
}

void RasterMapWindow::onSaveDataClicked() {
    if (!onSetLocationClicked()) return;
    if (saveDataHandler()) saveDataHandler()();
    else RunCommand(Command::SaveViewData);
}

void RasterMapWindow::onMapChoiceOkClicked() {
    QListWidgetItem *item = ListMap->currentItem();
    if (!item) return;
    const QString entry = item->text();
    if (ShowMessage(this, MsgIcon::Question, QStringLiteral("Do you want use ") + entry + QStringLiteral(" Map?"),
                    QString(), MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    try {
        setMapPaths(s(entry));
        loadMapLegend();
        currentTool_ = "NONE";
        onToolButtonClicked(1);
        zoom_.Reset();
        mapPending_ = true;
        FrameMap->hide();
        onActivated();
    } catch (const std::exception &e) {
        reportError(q(e.what()));
    }
}

void RasterMapWindow::onMapChoiceCancelClicked() { FrameMap->hide(); }

void RasterMapWindow::onColorsOkClicked() {
    for (int row = 0; row < GrdColors->rowCount(); ++row) {
        QTableWidgetItem *swatch = GrdColors->item(row, 0);
        QTableWidgetItem *name = GrdColors->item(row, 1);
        if (!swatch || !name) continue;
        const std::string text = s(name->text().trimmed());
        const QColor c = swatch->background().color();
        const std::int32_t value = c.red() | (c.green() << 8) | (c.blue() << 16);
        for (ColorEntry &e : colors_)
            if (e.Name == text) {
                e.Blue = SplitColour(value, "RED");
                e.Green = SplitColour(value, "GREEN");
                e.Red = SplitColour(value, "BLUE");
            }
    }
    // With Track AutoSize the repaint closes the frame.
    if (trackAutoSize_) FrameColors->hide();
    layOutMap();
}

void RasterMapWindow::onColorsCancelClicked() { FrameColors->hide(); }

void RasterMapWindow::onColorCellClicked(int row, int column) {
    if (column != 0) return;
    QTableWidgetItem *item = GrdColors->item(row, 0);
    if (!item) return;
    const QColor initial = item->background().color();
    const QColor chosen = colourDialog()                                  ? colourDialog()(this, initial)
                          : ModalDialogMayOpen({"colour dialog", {}, {}}) ? QColorDialog::getColor(initial, this)
                                                                          : QColor();
    if (chosen.isValid()) item->setBackground(chosen);
}

void RasterMapWindow::onResolutionChanged() {
    std::array<std::string, 4> region{s(TxtLonStart->text()), s(TxtLonEnd->text()), s(TxtLatStart->text()),
                                      s(TxtLatEnd->text())};
    const std::array<std::string, 4> before = region;
    resolutionDecimals_ = SnapRegionTexts(s(exportResolutionBox->currentText()), region);
    if (region == before) return;
    TxtLonStart->setText(q(region[0]));
    TxtLonEnd->setText(q(region[1]));
    TxtLatStart->setText(q(region[2]));
    TxtLatEnd->setText(q(region[3]));
}

void RasterMapWindow::onExportSaveClicked() {
    if (map_->Empty()) {
        ShowMessage(this, MsgIcon::Information, QStringLiteral("No Map available"));
        return;
    }
    try {
        const ExportInputs in{s(exportResolutionBox->currentText()), s(TxtLonStart->text()), s(TxtLonEnd->text()),
                              s(TxtLatStart->text()), s(TxtLatEnd->text())};
        float r = 0;
        if (auto message = ValidateExport(in, ExtentOf(geo_, map_->Columns, map_->Rows), r)) {
            ShowMessage(this, MsgIcon::Information, q(*message));
            return;
        }
        exportMonth_ = ExportMonthOf(s(exportMonthBox->currentText()), exportMonth_);
        resolution_ = r;
    } catch (const std::exception &e) {
        reportError(q(e.what()));
        return;
    }
    exportVariableRaster(exportVariableBox->currentIndex());
    exportFrame->hide();
}

void RasterMapWindow::onExportCancelClicked() {
    if (exportRunning_) exportCancelPressed_ = true;
    else exportFrame->hide();
}

void RasterMapWindow::exportVariableRaster(int variable) {
    if (variable < 0 || variable > 7) return;
    if (!BusyGate(this)) return;
    std::optional<BusyGuard> busy(std::in_place);
    if (!*busy) return;
    // What ends the run is said once the run has ended and its frame is
    // closed: the key that closes the box then finds no export to start again.
    std::optional<Message> ending;
    showExportRunning(true);
    try {
        const ExportRegion g = snappedExportRegion();
        const NewHeaderInput hi = exportHeaderInput(g, variable);
        const ImageHeader header = GetNewHeader(hi, map_->Header, VantrixConversions());
        const long long cellCount = static_cast<long long>(hi.Columns) * hi.Rows;
        exportProgress->setRange(0, static_cast<int>(std::min<long long>(cellCount, 2000000000LL)));
        exportProgress->setValue(0);
        exportProgress->show();
        // Events let through during the run may load another map into the
        // window: the run keeps reading the one it started on, shared, and
        // saves beside that map's files.
        const MapPaths runPaths = paths_;
        const ClassEntry &classes = ClassTable[static_cast<std::size_t>(variable)];
        ParallelExportRun run(g, hi.Columns, hi.Rows, classes, ExportMap{map_, geo_},
                              EngineEstimates({sharedSettings(), dataFolder()}, variable, exportMonth_));
        run.Start(exportThreads());
        const std::string title = "Tavisol export: " + hi.VariableText + " - " + hi.MonthText;
        if (followExport(run)) ending = saveExport(header, run.Cells(), variable, title, runPaths);
    } catch (const std::bad_alloc &) {
        ending = Message{"Out of memory", ""};
    } catch (const std::exception &e) {
        ending = Message{e.what(), ""};
    }
    showExportRunning(false);
    busy.reset();
    exportFrame->hide();
    if (ending) ShowMessage(this, *ending);
}

void RasterMapWindow::showExportRunning(bool running) {
    exportRunning_ = running;
    exportCancelPressed_ = false;
    if (running) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        LblLonLat->show();
        exportStopRequested_ = false;
    } else {
        exportProgress->hide();
        LblLonLat->hide();
        QApplication::restoreOverrideCursor();
    }
    exportSaveButton->setEnabled(!running);
}

ExportRegion RasterMapWindow::snappedExportRegion() {
    resolution_ = numfmt::roundDecimals(resolution_, 3);
    resolutionDecimals_ = DecimalsOf(numfmt::general(resolution_, numfmt::Locale::english()));
    // Snaps the region's boxes to the resolution's grid.
    onResolutionChanged();
    ExportRegion g;
    g.Decimals = resolutionDecimals_;
    g.Resolution = resolution_;
    auto read = [&](QLineEdit *e) {
        return numfmt::roundDecimals(static_cast<float>(RegionValue(s(e->text()))), g.Decimals);
    };
    g.LonStart = read(TxtLonStart);
    g.LonEnd = read(TxtLonEnd);
    g.LatStart = read(TxtLatStart);
    g.LatEnd = read(TxtLatEnd);
    return g;
}

NewHeaderInput RasterMapWindow::exportHeaderInput(const ExportRegion &g, int variable) const {
    NewHeaderInput hi;
    hi.LonStart = g.LonStart;
    hi.LonEnd = g.LonEnd;
    hi.LatStart = g.LatStart;
    hi.LatEnd = g.LatEnd;
    hi.Decimals = g.Decimals;
    std::tie(hi.Columns, hi.Rows) = ExportGridSize(g);
    hi.VariableText = s(exportVariableBox->currentText());
    hi.MonthText = s(exportMonthBox->currentText());
    const ClassEntry &classes = ClassTable[static_cast<std::size_t>(variable)];
    hi.ClassScale = classes.Scale;
    hi.ClassOffset = classes.Offset;
    return hi;
}

std::optional<ExportFiles> RasterMapWindow::askExportFiles(const MapPaths &loaded) {
    const QString folder = QString::fromStdString(programFolder().string());
    const QString filter = QStringLiteral("Vistrel (*.IMG)");
    // A name typed without an extension gets the loaded map's image
    // extension, so that the map list finds and loads it.
    const QString mapExtension = QString::fromStdString(ExportImagePath("image", loaded.Img).extension().string());
    // A name that cannot be used is asked for again: the run is not lost.
    for (;;) {
        const QString file = saveDialog() ? saveDialog()(this, folder, filter)
                                          : GetSaveFileName(this, QString(), folder, filter, mapExtension);
        if (file.isEmpty()) return std::nullopt;
        ExportFiles files = PlanExportFiles(ExportImagePath(s(file), loaded.Img));
        if (files.Refusal) {
            ShowMessage(this, MsgIcon::Information, q(*files.Refusal));
            continue;
        }
        if (!files.Question ||
            ShowMessage(this, MsgIcon::Question, q(*files.Question), QString(), MsgButtons::YesNo) == MsgAnswer::Yes)
            return files;
    }
}

std::optional<Message> RasterMapWindow::saveExport(const ImageHeader &header, const std::vector<std::uint8_t> &cells,
                                                   int variable, const std::string &title, const MapPaths &loaded) {
    QApplication::restoreOverrideCursor();
    struct WaitAgain {
        ~WaitAgain() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    } waitAgain;
    for (;;) {
        const std::optional<ExportFiles> files = askExportFiles(loaded);
        if (!files) return std::nullopt;
        // Written with its legend, capitals and boundaries, so that it can be
        // listed and shown like any other map.
        std::vector<std::string> notCopied;
        try {
            notCopied = WriteExportFiles(*files, header, cells, title, variable, loaded);
        } catch (const std::exception &e) {
            // The computed run is kept for another name.
            ShowMessage(this, MsgIcon::Information,
                        q(std::string(e.what()) + "\rChoose another name, or Cancel to end without saving."));
            continue;
        }
        refreshMapList();
        std::string text = "Data Saved Correctly";
        for (const std::string &line : notCopied) text += "\r" + line;
        return Message{text, "", MsgIcon::Information};
    }
}

std::vector<std::string> RasterMapWindow::refreshMapList() {
    const QString current = ListMap->currentItem() ? ListMap->currentItem()->text() : QString();
    ListMap->clear();
    std::vector<std::string> maps = ListRasterMaps(vistrelFolder());
    for (const std::string &m : maps) {
        ListMap->addItem(q(m));
        if (q(m) == current) ListMap->setCurrentRow(ListMap->count() - 1);
    }
    return maps;
}

bool RasterMapWindow::followExport(ParallelExportRun &run) {
    // The workers compute; this thread keeps the window alive, shows the
    // progress and asks the question as soon as Cancel is pressed.
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(40);
    bool asking = false;
    bool stopped = false;
    auto follow = [&] {
        if (!stopped && stopExportWithoutAsking()) {
            stopped = true;
            run.Stop();
        }
        if (asking) return;
        if (exportCancelPressed_ && !stopped) {
            asking = true;
            const bool yes = ShowMessage(this, MsgIcon::Question, QStringLiteral("Do you want abort Vistrel Export ?"),
                                         QString(), MsgButtons::YesNo) == MsgAnswer::Yes;
            asking = false;
            exportCancelPressed_ = false;
            if (yes) {
                stopped = true;
                run.Stop();
            }
        }
        exportProgress->setValue(static_cast<int>(std::min<std::size_t>(run.CellsDone(), 2000000000u)));
        const auto [lon, lat] = run.CurrentPoint();
        LblLonLat->setText(q(WorkingText(lon, lat)));
        if (run.Finished()) loop.quit();
    };
    connect(&tick, &QTimer::timeout, &loop, follow);
    tick.start();
    loop.exec();
    tick.stop();
    // The loop also ends when the program quits, perhaps before the workers.
    if (!stopped && (stopExportWithoutAsking() || !run.Finished())) {
        stopped = true;
        run.Stop();
    }
    const bool complete = run.Wait();
    return complete && !stopped;
}

void RasterMapWindow::StopExport() {
    if (exportRunning_) exportStopRequested_ = true;
}

bool RasterMapWindow::stopExportWithoutAsking() const {
    // The end of the program stops an export without asking.
    return exportStopRequested_ || appState().Ending;
}

int &RasterMapWindow::exportThreads() {
    static int threads = 0;
    return threads;
}

void RasterMapWindow::SetExportThreads(int threads) { exportThreads() = threads; }

void RasterMapWindow::onRedrawTimer() {
    if (!redrawPending_) return;
    redrawTimer->stop();
    setEnabled(false);
    DrawRasterMap();
    redrawPending_ = false;
    setEnabled(true);
}

void RasterMapWindow::resizeEvent(QResizeEvent *e) {
    QWidget::resizeEvent(e);
    placeFrames();
    layOutMap();
}

void RasterMapWindow::layOutMap() {
    if (noMap_ || map_->Rows < 1) return;
    try {
        const int top = mapToolBar->sizeHint().height();
        const double innerH = (height() - top) * TwipsPerPixel;
        const double aspect = static_cast<double>(map_->Columns) / map_->Rows;
        placeFrames();
        const MapLayout l = fitToMapArea(
            [innerH, aspect](double widthTwips) { return ResizeLayout(widthTwips, innerH, aspect); });
        // The open frames stay open: a resize must not take away a running
        // export's progress and Cancel button.
        if (trackAutoSize_) {
            placeMapAndLegend(l, false);
            if (!mapPending_) {
                redrawPending_ = true;
                redrawTimer->start();
            }
        } else {
            MapLayout legendOnly = l;
            legendOnly.PictureWidth = mapView->width() * TwipsPerPixel;
            legendOnly.PictureHeight = mapView->height() * TwipsPerPixel;
            placeMapAndLegend(legendOnly, false);
        }
        DrawLegend();
        mapView->show();
        legendView->show();
        FrameLocation->show();
    } catch (const std::exception &e) {
        reportError(q(e.what()));
    }
}

void InstallRasterMapCommands() {
    SetCommandHandler(Command::VectMap, [] {
        RasterMapWindow *form = RasterMapWindow::instance();
        MainWindow *main = MainWindow::instance();
        static QMetaObject::Connection activation;
        static int activations = 0;
        if (main && !activation) {
            activation = QObject::connect(main, &MainWindow::childActivated, form, [form](QWidget *w) {
                if (w == form) {
                    ++activations;
                    form->onActivated();
                }
            });
        }
        const int before = activations;
        if (main) main->showChild(form);
        else {
            form->show();
            form->raise();
        }
        if (activations == before) form->onActivated();
    });
}

} // namespace tavisol::rastermap
