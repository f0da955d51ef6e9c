#include "worldmap/world_map_window.h"

#include <QApplication>
#include <QBitmap>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <cmath>
#include <exception>
#include <limits>

#include "engine/engine.h"
#include "numfmt/numfmt.h"
#include "numfmt/numfmt_qt.h"
#include "numfmt/textread.h"
#include "shell/appstate.h"
#include "shell/commands.h"
#include "shell/icons.h"
#include "shell/maplocation.h"
#include "shell/messages.h"
#include "shell/programfolders.h"
#include "shell/widgetmakers.h"
#include "worldmap/mapmath.h"

namespace tavisol {

namespace wm = worldmap;

namespace {

std::function<void()> &saveDataHandler() {
    static std::function<void()> handler;
    return handler;
}

QString fromUtf8(const std::string &s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

int roundToInt(double v) {
    return static_cast<int>(std::clamp(numfmt::roundHalfEven(v), -1.0e9, 1.0e9));
}

// Pointer of the "Point Zoom" tool: a magnifying glass.
QCursor zoomCursor() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::white, 4));
        p.drawEllipse(QPointF(12, 12), 8, 8);
        p.drawLine(QPointF(18, 18), QPointF(28, 28));
        p.setPen(QPen(Qt::black, 2));
        p.drawEllipse(QPointF(12, 12), 8, 8);
        p.drawLine(QPointF(18, 18), QPointF(28, 28));
        p.drawLine(QPointF(8, 12), QPointF(16, 12));
        p.drawLine(QPointF(12, 8), QPointF(12, 16));
    }
    return QCursor(pm, 12, 12);
}

} // namespace

// ---- View ----------------------------------------------------------------------

MapView::MapView(WorldMapWindow *owner) : QWidget(owner), owner_(owner) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MapView::paintEvent(QPaintEvent *) {
    // Rendering here must not ask for yet another paint.
    owner_->inViewPaint_ = true;
    owner_->paintMapView();
    owner_->inViewPaint_ = false;
    owner_->ensureCanvas();
    QPainter p(this);
    p.drawImage(0, 0, owner_->canvas_);
}

void MapView::mousePressEvent(QMouseEvent *e) {
    if (e->button() == Qt::LeftButton)
        pressedLeft_ = true;
    owner_->onMapMouseDown(e->button(), e->position().x(), e->position().y());
}

void MapView::mouseMoveEvent(QMouseEvent *e) {
    owner_->onMapMouseMove(e->buttons(), e->position().x(), e->position().y());
}

void MapView::mouseReleaseEvent(QMouseEvent *e) {
    owner_->onMapMouseUp(e->button(), e->position().x(), e->position().y());
    if (e->button() == Qt::LeftButton && pressedLeft_) {
        pressedLeft_ = false;
        if (rect().contains(e->position().toPoint()))
            owner_->onMapClicked();
    }
}

// ---- Window ------------------------------------------------------------------------

WorldMapWindow::WorldMapWindow(QWidget *parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Bitmap"));
    setWindowIcon(MakeIcon(IconId::WorldMap));

    Toolbar = new QToolBar(this);
    Toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto addButton = [&](int index, const char *key, const QString &text) {
        auto *b = MakeNamed<QToolButton>(Toolbar, key);
        b->setText(text);
        b->setToolTip(text);
        Toolbar->addWidget(b);
        buttons_[index] = b;
        return b;
    };
    auto addZoomMenu = [&](QToolButton *b, bool in) {
        auto *menu = new QMenu(b);
        for (int n = 1; n <= wm::MaxZoom; ++n) {
            const QString text = in ? QStringLiteral("%1:1").arg(n) : QStringLiteral("1:%1").arg(n);
            QAction *a = menu->addAction(text);
            connect(a, &QAction::triggered, this, [this, text] { onZoomMenuEntryClicked(text); });
        }
        b->setMenu(menu);
        b->setPopupMode(QToolButton::InstantPopup);
    };
    addZoomMenu(addButton(1, "b1", QStringLiteral("Zoom In")), true);
    addZoomMenu(addButton(2, "b2", QStringLiteral("Zoom Out")), false);
    Toolbar->addSeparator();
    for (int i : {4, 5, 6}) {
        static const char *const keys[] = {"", "", "", "", "b4", "b5", "b6"};
        static const char *const texts[] = {"", "", "", "", "Point Zoom", "Drag Image", "Select Point"};
        QToolButton *b = addButton(i, keys[i], QString::fromLatin1(texts[i]));
        b->setCheckable(true);
        const QString key = QString::fromLatin1(keys[i]);
        connect(b, &QToolButton::clicked, this, [this, key] { onToolButtonClicked(key); });
    }

    locationFrame = new QGroupBox(QStringLiteral("Location"), this);
    auto *row = new QHBoxLayout(locationFrame);
    auto addField = [&](const QString &caption, const char *name, QLineEdit *&edit, int width) {
        row->addWidget(new QLabel(caption, locationFrame));
        edit = MakeNamed<QLineEdit>(locationFrame, name);
        edit->setFixedWidth(width);
        row->addWidget(edit);
    };
    addField(QStringLiteral("Longitude:"), "txtlong", txtlong, 70);
    txtlong->setToolTip(QStringLiteral("Give Longitude as a decimal number"));
    addField(QStringLiteral("Latitude   :"), "txtLat", txtLat, 70);
    txtLat->setToolTip(QStringLiteral("Give Latitude as a decimal number"));
    addField(QStringLiteral("Altitude   :"), "txtElev", txtElev, 60);
    addField(QStringLiteral("Station Name"), "txtName", txtName, 160);
    CmdRun = new QPushButton(QStringLiteral("Set Location"), locationFrame);
    CmdSave = new QPushButton(QStringLiteral("Save Data"), locationFrame);
    row->addWidget(CmdRun);
    row->addWidget(CmdSave);
    row->addStretch(1);
    connect(CmdRun, &QPushButton::clicked, this, [this] { onSetLocationClicked(); });
    connect(CmdSave, &QPushButton::clicked, this, [this] { onSaveDataClicked(); });

    mapView = new MapView(this);
    verticalScroll = new QScrollBar(Qt::Vertical, this);
    horizontalScroll = new QScrollBar(Qt::Horizontal, this);
    // The view follows the thumb through the Scroll handlers while it is
    // dragged and through the Change handlers once it is let go.
    verticalScroll->setTracking(false);
    horizontalScroll->setTracking(false);
    connect(horizontalScroll, &QScrollBar::valueChanged, this, [this] { onHorizontalScrollChanged(); });
    connect(verticalScroll, &QScrollBar::valueChanged, this, [this] { onVerticalScrollChanged(); });
    connect(horizontalScroll, &QScrollBar::sliderMoved, this, [this](int p) { onHorizontalScrollMoved(p); });
    connect(verticalScroll, &QScrollBar::sliderMoved, this, [this](int p) { onVerticalScrollMoved(p); });

    mapStatusBar = new QStatusBar(this);
    mapStatusBar->setSizeGripEnabled(false);
    for (QLabel *&panel : panels_) {
        panel = new QLabel(mapStatusBar);
        mapStatusBar->addWidget(panel, 1);
    }

    resize(900, 640);
    setUp();
}

WorldMapWindow::~WorldMapWindow() = default;

QSize WorldMapWindow::sizeHint() const { return {900, 640}; }

QSize WorldMapWindow::minimumSizeHint() const { return {320, 260}; }

void WorldMapWindow::SetSaveDataHandler(std::function<void()> handler) { saveDataHandler() = std::move(handler); }

void WorldMapWindow::setUp() {
    SelectedLongitude = -999;
    SelectedLatitude = -999;
    MapDirty = false;
    ZoomLevel = 1;
    loadBitmap();
    clearView();
    OffsetX = 0;
    OffsetY = 0;
    MapScale = 1.0F;
    // Select Point is the tool in force until the user picks another.
    setTool(6, 1);
    setPointer(Pointer::Cross);
    placeFrame();
    LayoutMapView();
    verticalScroll->setValue(0);
    horizontalScroll->setValue(0);
    stepRule();
    renderView();
    const numfmt::Locale loc = numfmt::userLocale();
    const AppState &s = appState();
    txtLat->setText(fromUtf8(numfmt::general(s.CurLatitude, loc)));
    txtlong->setText(fromUtf8(numfmt::general(s.CurLongitude, loc)));
    txtElev->setText(fromUtf8(numfmt::general(s.CurElevation, loc)));
    loaded_ = true;
}

bool WorldMapWindow::loadBitmap() {
    const std::filesystem::path path = dataFolder() / wm::WorldBitmapName;
    // Through the program's reader, so that a pipe in the picture's place is
    // refused rather than waited for.
    std::string bytes;
    const auto failure =
        numfmt::ReadWholeFile(path, wm::MaxWorldBitmapBytes, bytes,
                              numfmt::LargerThanAny("world map picture", path, wm::MaxWorldBitmapBytes));
    const QImage image =
        failure ? QImage() : QImage::fromData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (image.isNull()) {
        surface_ = QImage();
        original_ = QImage();
        ShowMessage(this, MsgIcon::Critical,
                    failure ? fromUtf8(*failure)
                            : QStringLiteral("The world map picture cannot be read: %1")
                                  .arg(QString::fromStdString(path.string())));
        return false;
    }
    original_ = image.convertToFormat(QImage::Format_RGB32);
    surface_ = original_.copy();
    return true;
}

// ---- Status bar, tools, pointer -------------------------------------------------------

QString WorldMapWindow::panelText(int panel) const {
    if (panel < 1 || panel > 2)
        return {};
    return panels_[panel - 1]->text();
}

void WorldMapWindow::setPanel(int panel, const QString &text) { panels_[panel - 1]->setText(text); }

int WorldMapWindow::toolValue(int index) const { return index >= 1 && index <= 6 ? tools_[index] : 0; }

QToolButton *WorldMapWindow::toolButton(int index) const {
    return index >= 1 && index <= 6 ? buttons_[index] : nullptr;
}

void WorldMapWindow::setTool(int index, int value) {
    tools_[index] = value;
    if (buttons_[index]) {
        QSignalBlocker block(buttons_[index]);
        buttons_[index]->setChecked(value == 1);
    }
}

void WorldMapWindow::setPointer(Pointer p) {
    pointer_ = p;
    switch (p) {
    case Pointer::Cross: mapView->setCursor(Qt::CrossCursor); break;
    case Pointer::PointZoom: mapView->setCursor(zoomCursor()); break;
    case Pointer::DragTool: mapView->setCursor(Qt::OpenHandCursor); break;
    case Pointer::Dragging: mapView->setCursor(Qt::ClosedHandCursor); break;
    }
}

void WorldMapWindow::onToolButtonClicked(const QString &key) {
    if (key == QLatin1String("b4")) {
        setTool(5, 0);
        setTool(6, 0);
        if (tools_[4] == 1) {
            setTool(4, 0);
            setTool(6, 1);
            setPointer(Pointer::Cross);
        } else {
            setTool(4, 1);
            setPointer(Pointer::PointZoom);
        }
    } else if (key == QLatin1String("b5")) {
        setTool(4, 0);
        setTool(6, 0);
        if (tools_[5] == 1) {
            setTool(5, 0);
            setTool(6, 1);
            setPointer(Pointer::Cross);
        } else {
            setTool(5, 1);
            setPointer(Pointer::DragTool);
        }
    } else if (key == QLatin1String("b6")) {
        setTool(4, 0);
        setTool(5, 0);
        setTool(6, 1);
        setPointer(Pointer::Cross);
    }
    // A checkable button toggles itself on a click; show the state the tools hold.
    for (int i : {4, 5, 6})
        setTool(i, tools_[i]);
    Toolbar->update();
}

void WorldMapWindow::onZoomMenuEntryClicked(const QString &text) {
    if (const std::optional<int> level = wm::PresetLevel(text.toStdString()))
        SetZoomLevel(*level);
    setTool(4, 0);
    setTool(5, 0);
    setPointer(Pointer::Cross);
    Toolbar->update();
}

// ---- Layout ---------------------------------------------------------------------------------

void WorldMapWindow::placeFrame() {
    const int tbH = Toolbar->sizeHint().height();
    Toolbar->setGeometry(0, 0, width(), tbH);
    locationFrame->setGeometry(0, tbH, width(), locationFrame->sizeHint().height());
    const int sbH = mapStatusBar->sizeHint().height();
    mapStatusBar->setGeometry(0, height() - sbH, width(), sbH);
    mapView->move(0, locationFrame->geometry().bottom() + 1);
}

void WorldMapWindow::rangeRule() {
    vMax_ = wm::ScrollMaximum(H(), mapView->height(), MapScale);
    hMax_ = wm::ScrollMaximum(W(), mapView->width(), MapScale);
    // The zoom never moves a thumb: no change event from a new range.
    for (auto [bar, max] : {std::pair{verticalScroll, vMax_}, std::pair{horizontalScroll, hMax_}}) {
        QSignalBlocker block(bar);
        bar->setRange(0, std::max(0, max));
        bar->setEnabled(max >= 1);
        bar->setVisible(max >= 1);
    }
}

void WorldMapWindow::stepRule() {
    const wm::ScrollSteps steps = wm::StepsOfLevel(ZoomLevel);
    verticalScroll->setPageStep(steps.Large);
    horizontalScroll->setPageStep(steps.Large);
    verticalScroll->setSingleStep(steps.Small);
    horizontalScroll->setSingleStep(steps.Small);
}

void WorldMapWindow::LayoutMapView() {
    wm::LayoutInput in;
    in.FW = width();
    in.frameBottom = locationFrame->geometry().bottom() + 1;
    in.vBarWidth = verticalScroll->sizeHint().width();
    in.hBarHeight = horizontalScroll->sizeHint().height();
    in.statusTop = mapStatusBar->geometry().top();
    in.statusWidth = mapStatusBar->width();
    in.viewLeft = mapView->x();
    in.viewTop = mapView->y();
    in.W = W();
    in.H = H();
    in.mapScale = MapScale;
    const wm::LayoutResult r = wm::LayoutMap(in);
    verticalScroll->setGeometry(r.vBar.left, r.vBar.top, r.vBar.width, r.vBar.height);
    horizontalScroll->setGeometry(r.hBar.left, r.hBar.top, r.hBar.width, r.hBar.height);
    mapView->setGeometry(r.view.left, r.view.top, r.view.width, r.view.height);
    rangeRule();
    OffsetY = wm::ClampOffset(OffsetY, H(), mapView->height(), MapScale);
    OffsetX = wm::ClampOffset(OffsetX, W(), mapView->width(), MapScale);
    if (!verticalScroll->isEnabled() || !horizontalScroll->isEnabled())
        clearView();
    locationFrame->resize(width(), locationFrame->height());
}

void WorldMapWindow::layOutMap() {
    placeFrame();
    LayoutMapView();
    clearView();
    MapDirty = true;
    paintMapView();
}

void WorldMapWindow::resizeEvent(QResizeEvent *e) {
    QWidget::resizeEvent(e);
    if (loaded_)
        layOutMap();
}

void WorldMapWindow::paintEvent(QPaintEvent *e) {
    QWidget::paintEvent(e);
    // The view's paint that follows copies the bitmap again.
    MapDirty = true;
}

void WorldMapWindow::showEvent(QShowEvent *e) {
    QWidget::showEvent(e);
    MapDirty = true;
    paintMapView();
}

// ---- View picture ---------------------------------------------------------------------------

void WorldMapWindow::ensureCanvas() {
    const QSize size = mapView->size();
    if (canvas_.size() == size)
        return;
    canvas_ = QImage(size.isEmpty() ? QSize(1, 1) : size, QImage::Format_RGB32);
    canvas_.fill(palette().color(QPalette::Window));
}

void WorldMapWindow::clearView() {
    ensureCanvas();
    canvas_.fill(palette().color(QPalette::Window));
    if (!inViewPaint_)
        mapView->update();
}

void WorldMapWindow::renderView() {
    ensureCanvas();
    if (!surface_.isNull() && !mapView->size().isEmpty()) {
        const int VW = mapView->width();
        const int VH = mapView->height();
        const QRect source(roundToInt(OffsetX), roundToInt(OffsetY), roundToInt(VW / MapScale),
                           roundToInt(VH / MapScale));
        QPainter p(&canvas_);
        if (ZoomLevel >= 0) {
            p.drawImage(QRect(0, 0, VW, VH), surface_, source);
        } else {
            // Reduced: the bitmap as loaded, without the drawn overlays.
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(QRect(0, 0, VW, VH), original_, source);
        }
    }
    if (!inViewPaint_)
        mapView->update();
}

void WorldMapWindow::paintMapView() {
    if (!MapDirty)
        return;
    renderView();
    MapDirty = false;
}

// ---- Boundaries, capitals, marker ---------------------------------------------------------

void WorldMapWindow::LoadBoundaries() {
    wm::ShapeReadResult r = wm::ReadShapeFile(dataFolder() / wm::BoundaryFileName,
                                              wm::ShapeKind::Boundaries, W(), H(),
                                              [] { QCoreApplication::processEvents(); });
    BoundaryShapes = std::move(r.Shapes);
    if (!r.ok())
        ShowMessage(this, MsgIcon::Critical, fromUtf8(r.Error));
}

void WorldMapWindow::LoadCapitals() {
    wm::ShapeReadResult r =
        wm::ReadShapeFile(dataFolder() / wm::CapitalFileName, wm::ShapeKind::Capitals, W(), H());
    CapitalShapes = std::move(r.Shapes);
    if (!r.ok())
        ShowMessage(this, MsgIcon::Critical, fromUtf8(r.Error));
}

void WorldMapWindow::DrawBoundaries() {
    if (!surface_.isNull()) {
        QPainter p(&surface_);
        p.setPen(QPen(QColor(255, 255, 255), 0));
        for (std::size_t s = 0; s < BoundaryShapes.size(); ++s) {
            const std::span<const wm::MapPoint> pts = BoundaryShapes.points(s);
            for (std::size_t i = 1; i < pts.size(); ++i)
                p.drawLine(QPointF(pts[i].X, pts[i].Y), QPointF(pts[i - 1].X, pts[i - 1].Y));
        }
    }
    MapDirty = true;
    paintMapView();
}

void WorldMapWindow::DrawCapitals() {
    if (!surface_.isNull()) {
        QPainter p(&surface_);
        p.setPen(QPen(Qt::black, 0));
        p.setBrush(Qt::black);
        for (const wm::MapPoint &pt : CapitalShapes.allPoints())
            p.drawEllipse(QPointF(pt.X, pt.Y), 2, 2);
    }
    MapDirty = true;
    paintMapView();
}

void WorldMapWindow::DrawSelectedPoint() {
    if (surface_.isNull())
        return;
    const AppState &s = appState();
    const std::optional<wm::PixelPos> at = wm::MarkerPixel(s.CurLongitude, s.CurLatitude, W(), H());
    if (!at)
        return; // far outside the bitmap: nothing of the marker would show
    const QPoint c(at->x, at->y);
    QPainter p(&surface_);
    const QColor red(255, 0, 0);
    p.setPen(QPen(red, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 5, 5);
    p.setPen(QPen(red, 0));
    p.drawLine(c + QPoint(20, 0), c - QPoint(20, 0));
    p.drawLine(c + QPoint(0, 20), c - QPoint(0, 20));
}

// ---- Zoom and scrolling -------------------------------------------------------------------

void WorldMapWindow::ZoomAtPoint(int dir, float X, float Y) {
    const std::string out = wm::OutsideText(X, Y, MapScale, OffsetX, OffsetY, W(), H());
    if (!out.empty()) {
        setPanel(1, fromUtf8(out));
        return;
    }
    const std::optional<int> level = wm::PointZoomLevel(ZoomLevel, dir);
    if (!level)
        return;
    const float oldScale = MapScale;
    ZoomLevel = *level;
    MapScale = wm::ScaleOfLevel(ZoomLevel);
    if (ZoomLevel <= 0)
        clearView();
    rangeRule();
    OffsetX = wm::PointZoomOffset(OffsetX, X, oldScale, MapScale, W(), mapView->width());
    OffsetY = wm::PointZoomOffset(OffsetY, Y, oldScale, MapScale, H(), mapView->height());
    LayoutMapView();
    renderView();
    setPanel(2, fromUtf8(wm::ScaleText(ZoomLevel)));
    stepRule();
}

void WorldMapWindow::SetZoomLevel(int level) {
    if (level == 0 || std::abs(level) > wm::MaxZoom)
        return;
    ZoomLevel = level;
    MapScale = wm::ScaleOfLevel(ZoomLevel);
    if (ZoomLevel < 1)
        clearView();
    rangeRule();
    OffsetX = std::max(0.0, OffsetX);
    OffsetY = std::max(0.0, OffsetY);
    LayoutMapView();
    stepRule();
    MapDirty = true;
    paintMapView();
}

void WorldMapWindow::onHorizontalScrollChanged() {
    if (horizontalScroll->isEnabled())
        scrollMap(true, horizontalScroll->value(), true);
}

void WorldMapWindow::onHorizontalScrollMoved(int position) { scrollMap(true, position, false); }

void WorldMapWindow::onVerticalScrollChanged() {
    if (verticalScroll->isEnabled())
        scrollMap(false, verticalScroll->value(), true);
}

void WorldMapWindow::onVerticalScrollMoved(int position) { scrollMap(false, position, false); }

// A bar's position becomes the map's offset on its axis; a bar set while the
// map itself is dragged only keeps the offset, the drag redraws.
void WorldMapWindow::scrollMap(bool horizontal, int position, bool settled) {
    double &offset = horizontal ? OffsetX : OffsetY;
    offset = wm::ScrollOffset(position, horizontal ? W() : H(), horizontal ? mapView->width() : mapView->height(),
                              MapScale, settled);
    MapDirty = false;
    if (settled && DragActive)
        return;
    renderView();
}

void WorldMapWindow::StepScrollBarToward(float X, float Y, int X0, int Y0, const QString &axis) {
    if (axis == QLatin1String("X")) {
        const int dir = X - X0 < 0 ? -1 : 1;
        const int v = wm::StepTowardPointer(horizontalScroll->value(), hMax_, dir, MapScale);
        if (v != horizontalScroll->value())
            horizontalScroll->setValue(v);
    }
    if (axis == QLatin1String("Y")) {
        const int dir = Y - Y0 < 0 ? -1 : 1;
        const int v = wm::StepTowardPointer(verticalScroll->value(), vMax_, dir, MapScale);
        if (v != verticalScroll->value())
            verticalScroll->setValue(v);
    }
}

// ---- Mouse -----------------------------------------------------------------------------------

bool WorldMapWindow::outside(double X, double Y, bool report) {
    const std::string out = wm::OutsideText(X, Y, MapScale, OffsetX, OffsetY, W(), H());
    if (out.empty())
        return false;
    if (report)
        setPanel(1, fromUtf8(out));
    return true;
}

void WorldMapWindow::onMapMouseMove(Qt::MouseButtons buttons, double X, double Y) {
    if (surface_.isNull())
        return; // no bitmap, no position to read
    if (outside(X, Y, true))
        return;
    CursorLongitude = wm::PixelLongitude(wm::BitmapColumn(X, MapScale, OffsetX), W());
    CursorLatitude = wm::PixelLatitude(wm::BitmapRow(Y, MapScale, OffsetY), H());
    const wm::Readout r = wm::CursorReadout(CursorLongitude, CursorLatitude, numfmt::userLocale());
    setPanel(1, fromUtf8(r.Panel1));
    setPanel(2, fromUtf8(r.Panel2));

    if (!(buttons & Qt::LeftButton) || !DragActive)
        return;
    setPointer(Pointer::Dragging);
    const int dx = wm::DragDirection(DragStartX, X);
    const int dy = wm::DragDirection(DragStartY, Y);
    const int step = wm::DragStep(ZoomLevel, MapScale);
    if (horizontalScroll->isEnabled()) {
        const int v = wm::DragValue(horizontalScroll->value(), step, dx, hMax_);
        if (v != horizontalScroll->value())
            horizontalScroll->setValue(v);
    }
    if (verticalScroll->isEnabled()) {
        const int v = wm::DragValue(verticalScroll->value(), step, dy, vMax_);
        if (v != verticalScroll->value())
            verticalScroll->setValue(v);
    }
    MapDirty = true;
    paintMapView();
    DragStartX = static_cast<float>(X);
    DragStartY = static_cast<float>(Y);
}

void WorldMapWindow::onMapMouseDown(Qt::MouseButton button, double X, double Y) {
    if (surface_.isNull() || outside(X, Y, false))
        return;
    if (button == Qt::LeftButton) {
        if (tools_[4] == 1)
            ZoomAtPoint(+1, static_cast<float>(X), static_cast<float>(Y));
        if (tools_[5] == 1) {
            DragActive = true;
            DragStartX = static_cast<float>(X);
            DragStartY = static_cast<float>(Y);
        }
    } else if (button == Qt::RightButton) {
        if (tools_[4] == 1)
            ZoomAtPoint(-1, static_cast<float>(X), static_cast<float>(Y));
    }
}

void WorldMapWindow::onMapMouseUp(Qt::MouseButton, double, double) {
    if (!DragActive)
        return;
    setPointer(Pointer::DragTool);
    DragActive = false;
    MapDirty = true;
    paintMapView();
}

void WorldMapWindow::onMapClicked() {
    SelectedLongitude = CursorLongitude;
    SelectedLatitude = CursorLatitude;
    const numfmt::Locale loc = numfmt::userLocale();
    txtlong->setText(fromUtf8(numfmt::formatNumber(SelectedLongitude, 2, loc)));
    txtLat->setText(fromUtf8(numfmt::formatNumber(SelectedLatitude, 2, loc)));
    try {
        engine::Integer isWater = 0;
        SelectedElevation = engine::GetElevation(dataFolder(), SelectedLongitude, SelectedLatitude, isWater);
        txtElev->setText(fromUtf8(numfmt::general(SelectedElevation, loc)));
    } catch (const std::exception &e) {
        // No altitude without the raster: the box stays empty rather than
        // showing the altitude of another point.
        SelectedElevation = 0;
        txtElev->clear();
        ShowMessage(this, MsgIcon::Critical, QString::fromUtf8(e.what()));
    }
}

// ---- Location commands -----------------------------------------------------------------------

// Steps shared by "Set Location" and "Save Data": checks the latitude, makes
// the fields the current location. False when nothing was stored.
bool WorldMapWindow::storeLocation() {
    return StoreMapLocation(this, {txtName, txtlong, txtLat, txtElev});
}

void WorldMapWindow::onSetLocationClicked() {
    if (!storeLocation())
        return;
    loadBitmap();
    clearView();
    DrawBoundaries();
    DrawCapitals();
    DrawSelectedPoint();
    MapDirty = true;
    paintMapView();
}

void WorldMapWindow::onSaveDataClicked() {
    if (!storeLocation())
        return;
    if (saveDataHandler())
        saveDataHandler()();
    else
        RunCommand(Command::SaveViewData);
}

} // namespace tavisol
