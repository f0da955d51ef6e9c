#include "rastermap/form1.h"

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

#include "engine/engine.h"
#include "numfmt/numfmt.h"
#include "numfmt/numfmt_qt.h"
#include "rastermap/dibsection.h"
#include "rastermap/exportlegend.h"
#include "rastermap/rastererror.h"
#include "rastermap/real48binding.h"
#include "shell/appstate.h"
#include "shell/commands.h"
#include "shell/icons.h"
#include "shell/mdiform1.h"
#include "shell/messages.h"
#include "shell/programfolders.h"
#include "shell/savefiledialog.h"
#include "shell/sharedsettings.h"

namespace tavisol::rastermap {

namespace {

QString q(const std::string &s) { return QString::fromStdString(s); }
std::string s(const QString &t) { return t.toStdString(); }
int px(double twips) { return static_cast<int>(std::lround(twips / TwipsPerPixel)); }

Form1::SaveDialog &saveDialog() {
    static Form1::SaveDialog d;
    return d;
}
Form1::ColourDialog &colourDialog() {
    static Form1::ColourDialog d;
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

// ---- Form1 --------------------------------------------------------------------

QPointer<Form1> Form1::instance_;

Form1 *Form1::instance() {
    if (!instance_) instance_ = new Form1;
    return instance_;
}

void Form1::SetSaveDialog(SaveDialog dialog) { saveDialog() = std::move(dialog); }
void Form1::SetColourDialog(ColourDialog dialog) { colourDialog() = std::move(dialog); }
void Form1::SetSaveDataHandler(std::function<void()> handler) { saveDataHandler() = std::move(handler); }

Form1::Form1(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Raster Map"));
    setWindowIcon(MakeIcon(IconId::RasterMap));
    buildControls();
    resize(900, 640);
    Form_Load();
}

Form1::~Form1() = default;

void Form1::buildControls() {
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
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
        for (; next < b.index; ++next) Toolbar1->addSeparator();
        QAction *a = Toolbar1->addAction(QString::fromLatin1(b.text));
        a->setToolTip(QString::fromLatin1(b.tip));
        a->setCheckable(b.checkable);
        const int index = b.index;
        // The handler sets the pressed states itself.
        connect(a, &QAction::triggered, this, [this, index] { Toolbar1_ButtonClick(index); });
        ToolButtons[static_cast<std::size_t>(b.index)] = a;
        next = b.index + 1;
    }

    MapArea = new QScrollArea(this);
    MapArea->setObjectName(QStringLiteral("MapArea"));
    MapArea->setFrameShape(QFrame::NoFrame);
    MapArea->setWidgetResizable(false);
    mapCanvas_ = new QWidget;
    mapCanvas_->setObjectName(QStringLiteral("MapCanvas"));
    MapArea->setWidget(mapCanvas_);

    Picture1 = new PictureBox(mapCanvas_);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->onMouseDown = [this](Qt::MouseButton b, QPointF p) { Picture1_MouseDown(b, p.x(), p.y()); };
    Picture1->onMouseMove = [this](QPointF p) { Picture1_MouseMove(p.x(), p.y()); };
    Picture1->onMouseUp = [this](QPointF p) { Picture1_MouseUp(p.x(), p.y()); };
    Picture1->onClick = [this] { Picture1_Click(); };
    PicLegenda = new PictureBox(mapCanvas_);
    PicLegenda->setObjectName(QStringLiteral("PicLegenda"));

    auto label = [](const QString &text, QWidget *parent, int x, int y, int w = 120) {
        auto *l = new QLabel(text, parent);
        l->setGeometry(x, y, w, 20);
        return l;
    };
    auto edit = [](const char *name, QWidget *parent, int x, int y, int w) {
        auto *e = new QLineEdit(parent);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(x, y, w, 22);
        return e;
    };
    auto button = [](const char *name, const QString &text, QWidget *parent, int x, int y, int w = 90) {
        auto *b = new QPushButton(text, parent);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(x, y, w, 26);
        return b;
    };

    FrameLocation = new QGroupBox(QStringLiteral("Location"), this);
    FrameLocation->setObjectName(QStringLiteral("FrameLocation"));
    // Narrow enough that the export frame fits beside it in a window 800 wide.
    label(QStringLiteral("Longitude"), FrameLocation, 8, 22, 62);
    txtlong = edit("txtlong", FrameLocation, 70, 20, 86);
    label(QStringLiteral("Latitude"), FrameLocation, 8, 48, 62);
    txtLat = edit("txtLat", FrameLocation, 70, 46, 86);
    label(QStringLiteral("Altitude"), FrameLocation, 8, 74, 62);
    txtElev = edit("txtElev", FrameLocation, 70, 72, 86);
    label(QStringLiteral("Name"), FrameLocation, 8, 100, 62);
    Text2 = edit("Text2", FrameLocation, 70, 98, 180);
    CmdRun = button("CmdRun", QStringLiteral("Set Location"), FrameLocation, 162, 20, 88);
    CmdSave = button("CmdSave", QStringLiteral("Save Data"), FrameLocation, 162, 52, 88);
    FrameLocation->resize(258, 132);
    connect(CmdRun, &QPushButton::clicked, this, [this] { CmdRun_Click(); });
    connect(CmdSave, &QPushButton::clicked, this, [this] { CmdSave_Click(); });

    FrameMap = new QGroupBox(QStringLiteral("Change Map"), this);
    FrameMap->setObjectName(QStringLiteral("FrameMap"));
    ListMap = new QListWidget(FrameMap);
    ListMap->setObjectName(QStringLiteral("ListMap"));
    ListMap->setGeometry(10, 20, 200, 100);
    cmdBack = button("cmdBack", QStringLiteral("OK"), FrameMap, 220, 20, 70);
    CmdCanc = button("CmdCanc", QStringLiteral("Cancel"), FrameMap, 220, 52, 70);
    FrameMap->resize(300, 132);
    FrameMap->hide();
    connect(cmdBack, &QPushButton::clicked, this, [this] { cmdBack_Click(); });
    connect(CmdCanc, &QPushButton::clicked, this, [this] { CmdCanc_Click(); });

    FrameColors = new QGroupBox(QStringLiteral("Change Colors"), this);
    FrameColors->setObjectName(QStringLiteral("FrameColors"));
    GrdColors = new QTableWidget(0, 2, FrameColors);
    GrdColors->setObjectName(QStringLiteral("GrdColors"));
    GrdColors->setGeometry(10, 20, 240, 140);
    GrdColors->horizontalHeader()->hide();
    GrdColors->verticalHeader()->hide();
    GrdColors->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ARButton1 = button("ARButton1", QStringLiteral("OK"), FrameColors, 260, 20, 70);
    ARButton2 = button("ARButton2", QStringLiteral("Cancel"), FrameColors, 260, 52, 70);
    FrameColors->resize(340, 170);
    FrameColors->hide();
    connect(GrdColors, &QTableWidget::cellClicked, this, [this](int r, int c) { GrdColors_Click(r, c); });
    connect(ARButton1, &QPushButton::clicked, this, [this] { ARButton1_Click(); });
    connect(ARButton2, &QPushButton::clicked, this, [this] { ARButton2_Click(); });

    FrmVistrel = new QGroupBox(QStringLiteral("Save Vistrel "), this);
    FrmVistrel->setObjectName(QStringLiteral("FrmVistrel"));
    label(QStringLiteral("Choose Variable"), FrmVistrel, 10, 20, 200);
    Combo1 = new QComboBox(FrmVistrel);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setToolTip(QStringLiteral("Choose one of seven variables."));
    Combo1->setGeometry(10, 40, 200, 24);
    // The list shows the whole captions.
    Combo1->view()->setMinimumWidth(380);
    label(QStringLiteral("Resolution in decimal degrees"), FrmVistrel, 10, 68, 200);
    Combo2 = new QComboBox(FrmVistrel);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Combo2->setEditable(true);
    Combo2->setGeometry(10, 88, 110, 24);
    label(QStringLiteral("Month of Estimated Value "), FrmVistrel, 10, 116, 200);
    Combo3 = new QComboBox(FrmVistrel);
    Combo3->setObjectName(QStringLiteral("Combo3"));
    Combo3->setGeometry(10, 136, 150, 24);
    auto *region = new QGroupBox(QStringLiteral("Region"), FrmVistrel);
    region->setObjectName(QStringLiteral("Frame4"));
    region->setGeometry(218, 20, 240, 90);
    label(QStringLiteral("Longitude"), region, 6, 22, 60);
    TxtLonStart = edit("TxtLonStart", region, 66, 20, 68);
    label(QStringLiteral("--->"), region, 138, 22, 28);
    TxtLonEnd = edit("TxtLonEnd", region, 166, 20, 68);
    label(QStringLiteral("Latitude"), region, 6, 54, 60);
    TxtLatStart = edit("TxtLatStart", region, 66, 52, 68);
    label(QStringLiteral("--->"), region, 138, 54, 28);
    TxtLatEnd = edit("TxtLatEnd", region, 166, 52, 68);
    VistrelSave = button("VistrelSave", QStringLiteral("OK"), FrmVistrel, 218, 120, 80);
    VistrelCancel = button("VistrelCancel", QStringLiteral("Cancel"), FrmVistrel, 308, 120, 80);
    VistrelBar = new QProgressBar(FrmVistrel);
    VistrelBar->setObjectName(QStringLiteral("VistrelBar"));
    VistrelBar->setTextVisible(false);
    VistrelBar->setGeometry(10, 168, 448, 14);
    VistrelBar->hide();
    LblLonLat = new QLabel(FrmVistrel);
    LblLonLat->setObjectName(QStringLiteral("LblLonLat"));
    LblLonLat->setGeometry(10, 186, 448, 20);
    LblLonLat->hide();
    FrmVistrel->resize(468, 212);
    FrmVistrel->hide();
    connect(Combo2, &QComboBox::currentTextChanged, this, [this] { Combo2_Change(); });
    connect(VistrelSave, &QPushButton::clicked, this, [this] { VistrelSave_Click(); });
    connect(VistrelCancel, &QPushButton::clicked, this, [this] { VistrelCancel_Click(); });

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    for (std::size_t k = 0; k < StatusPanels.size(); ++k) {
        StatusPanels[k] = new QLabel(StatusBar1);
        StatusBar1->addWidget(StatusPanels[k], k == 0 ? 3 : 2);
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });

    Picture1->setGeometry(0, 0, 600, 300);
    PicLegenda->setGeometry(600, 0, 200, 300);
    mapCanvas_->resize(800, 300);
    // Frames that open and close move the others and the map's area.
    for (QWidget *frame : {static_cast<QWidget *>(FrameLocation), static_cast<QWidget *>(FrameMap),
                           static_cast<QWidget *>(FrameColors), static_cast<QWidget *>(FrmVistrel)})
        frame->installEventFilter(this);
}

QSize Form1::sizeHint() const { return {900, 640}; }

QSize Form1::minimumSizeHint() const { return {320, 260}; }

bool Form1::eventFilter(QObject *watched, QEvent *e) {
    if ((e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent) && qobject_cast<QGroupBox *>(watched))
        placeFrames();
    return QWidget::eventFilter(watched, e);
}

void Form1::reportError(const QString &text, bool critical) {
    ShowMessage(this, critical ? MsgIcon::Critical : MsgIcon::NoIcon, text);
}

void Form1::setMapPaths(const std::string &name) { paths_ = PathsOfMap(vistrelFolder(), name); }

void Form1::setPictureCursor() {
    if (currentTool_ == "RECTANGLE") Picture1->setCursor(Qt::SizeFDiagCursor);
    else if (currentTool_ == "ZOOMPUNTO") Picture1->setCursor(zoomCursor());
    else Picture1->setCursor(Qt::CrossCursor);
}

void Form1::Form_Load() {
    try {
        view_ = ViewWindow{};
        mapPending_ = true;
        redrawPending_ = false;
        AbortExport() = false;
        ListMap->clear();
        std::vector<std::string> maps;
        try {
            maps = ListRasterMaps(vistrelFolder());
        } catch (const std::exception &e) {
            reportError(q(e.what()));
        }
        for (const std::string &m : maps) ListMap->addItem(q(m));
        if (maps.empty()) {
            ShowMessage(this, MsgIcon::Information, QStringLiteral("No Map available"));
            noMap_ = true;
        } else {
            noMap_ = false;
            setMapPaths(maps.front());
            fixedColorA_ = ColorEntry{};
            fixedColorB_ = ColorEntry{};
            if (auto err = LoadColorTable(paths_.Clr, colors_, fixedColorA_, fixedColorB_))
                reportError(q(*err));
            showBoundaries_ = showCapitals_ = trackAutoSize_ = true;
            currentTool_ = "NONE";
            setPictureCursor();
            ToolButtons[1]->setChecked(true);
            ToolButtons[4]->setChecked(true);
            ToolButtons[10]->setChecked(true);
            ToolButtons[11]->setChecked(true);
            zoom_.Reset();
            Combo1->clear();
            for (const std::string_view name : engine::VariableNames)
                Combo1->addItem(q(std::string(name)));
            Combo1->setCurrentIndex(0);
        }
        const numfmt::Locale loc = numfmt::userLocale();
        {
            const QSignalBlocker block(Combo2);
            Combo2->clear();
            for (double r : Resolutions) Combo2->addItem(q(numfmt::general(r, loc)));
            Combo2->setCurrentIndex(-1);
            Combo2->setEditText(QString());
        }
        Combo3->clear();
        for (const char *m : MonthChoices) Combo3->addItem(QString::fromLatin1(m));
        Combo3->setCurrentIndex(0);
        exportMonth_ = 13;
    } catch (const std::exception &e) {
        reportError(q(e.what()));
    }
}

void Form1::Form_Activate() {
    // A map must not be replaced under a fill that is letting events through;
    // the load stays pending for the next activation.
    if (loading_ || (drawing_ && mapPending_)) return;
    try {
        if (!noMap_ && mapPending_) {
            loading_ = true;
            setEnabled(false);
            QApplication::setOverrideCursor(Qt::WaitCursor);
            struct Restore {
                Form1 *f;
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
            map_ = std::move(image);
            geo_ = geo;
            ShapeReadResult b = ReadShapes(paths_.Bnd, doEvents);
            boundaries_ = std::move(b.Shapes);
            if (b.Error) reportError(q(*b.Error), true);
            ShapeReadResult c = ReadShapes(paths_.Cty, doEvents);
            capitals_ = std::move(c.Shapes);
            if (c.Error) reportError(q(*c.Error), true);
            view_ = WholeMapView(geo_, map_.Columns, map_.Rows);
            const double aspect = static_cast<double>(map_.Columns) / map_.Rows;
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
        Picture1->setCursor(Qt::ArrowCursor);
        setPictureCursor();
    } catch (const std::exception &e) {
        reportError(q(e.what()));
    }
}

// Toolbar on top, status bar at the bottom, the frames above the status bar
// (the Location frame at the left, the open one of the other three beside it,
// or under it when the window is too narrow), and the map's area in between.
// The frames keep their places whatever the size of the map.
void Form1::placeFrames() {
    constexpr int gap = 6;
    const int W = width(), H = height();
    const int toolbarHeight = Toolbar1->sizeHint().height();
    Toolbar1->setGeometry(0, 0, W, toolbarHeight);
    const int statusHeight = StatusBar1->sizeHint().height();
    StatusBar1->setGeometry(0, H - statusHeight, W, statusHeight);

    QSize side(0, 0);
    for (QGroupBox *f : {FrmVistrel, FrameMap, FrameColors})
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
    for (QGroupBox *f : {FrmVistrel, FrameMap, FrameColors}) f->move(sidePlace);
    MapArea->setGeometry(0, toolbarHeight, W, std::max(0, framesTop - gap - toolbarHeight));
}

// A rule of picture and legend applied to the window's width, less a vertical
// scroll bar when the picture will be taller than the map's area.
MapLayout Form1::fitToMapArea(const std::function<MapLayout(double widthTwips)> &rule) const {
    MapLayout l = rule(width() * TwipsPerPixel);
    if (px(l.PictureHeight) > MapArea->height()) {
        const int bar = MapArea->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, MapArea);
        l = rule((width() - bar) * TwipsPerPixel);
    }
    return l;
}

// The legend stands right of the picture, as high as it; both scroll together.
void Form1::placeMapAndLegend(const MapLayout &l, bool legendFromLayout) {
    Picture1->setGeometry(0, 0, std::max(1, px(l.PictureWidth)), std::max(1, px(l.PictureHeight)));
    const int legendHeight = legendFromLayout ? px(l.LegendHeight) : Picture1->height();
    PicLegenda->setGeometry(legendFromLayout ? px(l.LegendLeft) : Picture1->width(), 0,
                            std::max(1, px(l.LegendWidth)), std::max(1, legendHeight));
    mapCanvas_->resize(Picture1->geometry().united(PicLegenda->geometry()).size());
}

void Form1::DrawRasterMap() {
    if (drawing_ || map_.Empty()) return;
    drawing_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        cDIBSection dib;
        const int W = Picture1->width(), H = Picture1->height();
        if (dib.Create(W, H)) {
            VistrelBar->setRange(0, 3 * W);
            VistrelBar->setValue(0);
            VistrelBar->setVisible(true);
            dib.RandomiseBits2(map_, colors_, zoom_, [this](int) {
                if (VistrelBar->value() < VistrelBar->maximum() - 5) VistrelBar->setValue(VistrelBar->value() + 3);
                doEvents();
            });
            VistrelBar->setVisible(false);
            QPainter p(&Picture1->surface());
            dib.PaintPicture(p, 0, 0, W, H, 0, 0);
        }
        DisegnaConfini();
        DisegnaCapitali();
        Picture1->update();
    } catch (const std::exception &e) {
        VistrelBar->setVisible(false);
        reportError(q(e.what()));
    }
    QApplication::restoreOverrideCursor();
    drawing_ = false;
}

void Form1::DrawLegend() {
    try {
        QPixmap &pm = PicLegenda->surface();
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
        PicLegenda->update();
    } catch (const std::exception &e) {
        reportError(q(e.what()));
    }
}

void Form1::DisegnaCapitali() {
    if (!showCapitals_ || map_.Empty()) return;
    try {
        QPainter p(&Picture1->surface());
        const QColor c = colourOf(colors_[CapitalsClass]);
        p.setPen(c);
        p.setBrush(c);
        const double SW = Picture1->width(), SH = Picture1->height();
        const int radius = OverlaySize(zoom_.Zoom);
        for (const MapShape &shape : capitals_)
            for (const MapPoint &pt : shape.Points) {
                if (!IsInsideRect(geo_, map_.Columns, map_.Rows, pt.X, pt.Y)) continue;
                int x = 0, y = 0;
                if (OverlayPoint(view_, zoom_, map_.U1(), map_.U2(), SW, SH, pt.X, pt.Y, x, y))
                    p.drawEllipse(QPoint(x, y), radius, radius);
            }
    } catch (const std::exception &e) {
        reportError(q(e.what()));
    }
}

void Form1::DisegnaConfini() {
    if (!showBoundaries_ || map_.Empty()) return;
    try {
        QPainter p(&Picture1->surface());
        p.setPen(QPen(colourOf(colors_[BoundariesClass]), OverlaySize(zoom_.Zoom)));
        const double SW = Picture1->width(), SH = Picture1->height();
        const auto inside = [this](float lon, float lat) {
            return IsInsideRect(geo_, map_.Columns, map_.Rows, lon, lat);
        };
        // Points right of or below the picture are joined too: only the map's
        // own extent decides.
        const auto place = [&](float lon, float lat) {
            const auto [fx, fy] = OverlayXY(view_, zoom_, map_.U1(), map_.U2(), SW, SH, lon, lat);
            return std::make_pair(static_cast<int>(std::clamp(fx, -1e6, 1e6)),
                                  static_cast<int>(std::clamp(fy, -1e6, 1e6)));
        };
        for (const Segment &l : BoundarySegments(boundaries_, inside, place))
            p.drawLine(l.X1, l.Y1, l.X2, l.Y2);
    } catch (const std::exception &e) {
        reportError(q(e.what()));
    }
}

void Form1::LoadGridColors() {
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

void Form1::Toolbar1_ButtonClick(int index) {
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

void Form1::Picture1_MouseDown(Qt::MouseButton button, double x, double y) {
    if (noMap_ || map_.Empty()) return;
    try {
        if (currentTool_ == "ZOOMPUNTO") {
            PointZoom(zoom_, button == Qt::LeftButton, x, y, Picture1->width(), Picture1->height(), map_.Columns,
                      map_.Rows);
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

void Form1::Picture1_MouseMove(double x, double y) {
    if (noMap_ || map_.Empty()) return;
    ViewMapping(view_, zoom_, map_.Columns, map_.Rows, Picture1->width(), Picture1->height(), x, y, cursorLon_,
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
        Picture1->setBand(QRect(QPoint(left, top), QPoint(right, bottom)));
    }
}

void Form1::Picture1_MouseUp(double, double) {
    if (!dragActive_) return;
    const double rectLeft = std::min<double>(dragStartX_, dragCurX_);
    const double rectRight = std::max<double>(dragStartX_, dragCurX_);
    const double rectTop = std::min<double>(dragStartY_, dragCurY_);
    const double rectBottom = std::max<double>(dragStartY_, dragCurY_);
    dragActive_ = false;
    Picture1->setBand(QRect());
    const auto cint = [](double v) { return static_cast<double>(numfmt::cint(v)); };
    const double W = Picture1->width(), H = Picture1->height();
    ViewMapping(view_, zoom_, map_.Columns, map_.Rows, W, H, cint(rectLeft), cint(rectTop), regionLonStart_,
                regionLatStart_);
    ViewMapping(view_, zoom_, map_.Columns, map_.Rows, W, H, cint(rectRight), cint(rectBottom), regionLonEnd_,
                regionLatEnd_);
    Combo2->setEditText(QString());
    const numfmt::Locale point = numfmt::Locale::english();
    TxtLonStart->setText(q(numfmt::general(regionLonStart_, point)));
    TxtLatStart->setText(q(numfmt::general(regionLatStart_, point)));
    TxtLonEnd->setText(q(numfmt::general(regionLonEnd_, point)));
    TxtLatEnd->setText(q(numfmt::general(regionLatEnd_, point)));
    FrmVistrel->show();
    FrmVistrel->raise();
}

void Form1::Picture1_Click() {
    if (currentTool_ != "NONE" || noMap_ || map_.Empty()) return;
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

bool Form1::CmdRun_Click() {
    const double lat = numfmt::val(s(txtLat->text()));
    if ((lat >= -90 && lat < -70) || (lat > 70 && lat <= 90))
        ShowMessage(this, MsgIcon::Question, QStringLiteral("Please note that the specified point lies in the polar region."),
                    QStringLiteral(" Polar Region"));
    if (lat < -90 || lat > 90) {
        ShowMessage(this, MsgIcon::Critical, QStringLiteral("Latitude should be between -90\u00B0 and +90\u00B0."),
                    QStringLiteral("Strange Location"));
        txtLat->setFocus();
        return false;
    }
    for (QLineEdit *e : {txtlong, txtLat, txtElev}) e->setText(e->text().replace(QLatin1Char(','), QLatin1Char('.')));
    const auto lon = static_cast<float>(numfmt::val(s(txtlong->text())));
    const auto la = static_cast<float>(numfmt::val(s(txtLat->text())));
    const auto alt = static_cast<float>(numfmt::val(s(txtElev->text())));
    SetCurrentLocation(s(Text2->text()), lon, la, alt, RecalcMarks::Both);
    return true;
}

void Form1::CmdSave_Click() {
    if (!CmdRun_Click()) return;
    if (saveDataHandler()) saveDataHandler()();
    else RunCommand(Command::SaveViewData);
}

void Form1::cmdBack_Click() {
    QListWidgetItem *item = ListMap->currentItem();
    if (!item) return;
    const QString entry = item->text();
    if (ShowMessage(this, MsgIcon::Question, QStringLiteral("Do you want use ") + entry + QStringLiteral(" Map?"),
                    QString(), MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    try {
        setMapPaths(s(entry));
        if (auto err = LoadColorTable(paths_.Clr, colors_, fixedColorA_, fixedColorB_)) reportError(q(*err));
        currentTool_ = "NONE";
        Toolbar1_ButtonClick(1);
        zoom_.Reset();
        mapPending_ = true;
        FrameMap->hide();
        Form_Activate();
    } catch (const std::exception &e) {
        reportError(q(e.what()));
    }
}

void Form1::CmdCanc_Click() { FrameMap->hide(); }

void Form1::ARButton1_Click() {
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
    Form_Resize();
}

void Form1::ARButton2_Click() { FrameColors->hide(); }

void Form1::GrdColors_Click(int row, int column) {
    if (column != 0) return;
    QTableWidgetItem *item = GrdColors->item(row, 0);
    if (!item) return;
    const QColor initial = item->background().color();
    const QColor chosen = colourDialog() ? colourDialog()(this, initial) : QColorDialog::getColor(initial, this);
    if (chosen.isValid()) item->setBackground(chosen);
}

void Form1::Combo2_Change() {
    std::array<std::string, 4> region{s(TxtLonStart->text()), s(TxtLonEnd->text()), s(TxtLatStart->text()),
                                      s(TxtLatEnd->text())};
    const std::array<std::string, 4> before = region;
    resolutionDecimals_ = SnapRegionTexts(s(Combo2->currentText()), region);
    if (region == before) return;
    TxtLonStart->setText(q(region[0]));
    TxtLonEnd->setText(q(region[1]));
    TxtLatStart->setText(q(region[2]));
    TxtLatEnd->setText(q(region[3]));
}

void Form1::VistrelSave_Click() {
    if (map_.Empty()) {
        ShowMessage(this, MsgIcon::Information, QStringLiteral("No Map available"));
        return;
    }
    try {
        const ExportInputs in{s(Combo2->currentText()), s(TxtLonStart->text()), s(TxtLonEnd->text()),
                              s(TxtLatStart->text()), s(TxtLatEnd->text())};
        float r = 0;
        if (auto message = ValidateExport(in, ExtentOf(geo_, map_.Columns, map_.Rows), r)) {
            ShowMessage(this, MsgIcon::Information, q(*message));
            return;
        }
        geo_ = SetHeaderDoubleValues(map_.Header, VantrixConversions());
        exportMonth_ = ExportMonthOf(s(Combo3->currentText()), exportMonth_);
        resolution_ = r;
    } catch (const std::exception &e) {
        reportError(q(e.what()));
        return;
    }
    savevistrel(Combo1->currentIndex());
    FrmVistrel->hide();
}

void Form1::VistrelCancel_Click() {
    if (!VistrelSave->isEnabled()) AbortExport() = true;
    else FrmVistrel->hide();
}

void Form1::savevistrel(int variable) {
    if (variable < 0 || variable > 7) return;
    if (!BusyGate(this)) return;
    BusyGuard busy;
    if (!busy) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LblLonLat->show();
    VistrelSave->setEnabled(false);
    try {
        resolution_ = numfmt::roundDecimals(resolution_, 3);
        resolutionDecimals_ = DecimalsOf(numfmt::general(resolution_, numfmt::Locale::english()));
        Combo2_Change();
        ExportRegion g;
        g.Decimals = resolutionDecimals_;
        g.Resolution = resolution_;
        auto read = [&](QLineEdit *e) {
            return numfmt::roundDecimals(static_cast<float>(numfmt::val(s(e->text()))), g.Decimals);
        };
        g.LonStart = read(TxtLonStart);
        g.LonEnd = read(TxtLonEnd);
        g.LatStart = read(TxtLatStart);
        g.LatEnd = read(TxtLatEnd);
        const auto [ncols, nrows] = ExportGridSize(g);

        NewHeaderInput hi;
        hi.LonStart = g.LonStart;
        hi.LonEnd = g.LonEnd;
        hi.LatStart = g.LatStart;
        hi.LatEnd = g.LatEnd;
        hi.Decimals = g.Decimals;
        hi.Columns = ncols;
        hi.Rows = nrows;
        hi.VariableText = s(Combo1->currentText());
        hi.MonthText = s(Combo3->currentText());
        hi.ClassScale = ClassTable[static_cast<std::size_t>(variable)].Scale;
        hi.ClassOffset = ClassTable[static_cast<std::size_t>(variable)].Offset;
        const ImageHeader header = GetNewHeader(hi, map_.Header, VantrixConversions());

        const long long cellCount = static_cast<long long>(ncols) * nrows;
        VistrelBar->setRange(0, static_cast<int>(std::min<long long>(cellCount, 2000000000LL)));
        VistrelBar->setValue(0);
        VistrelBar->show();

        // The run works on its own copy of the map: events let through during
        // the run may change the window's map.
        const RasterImage snapshot = map_;
        const MapPaths snapshotPaths = paths_;
        const ExportMap exportMap{&snapshot, geo_};
        ParallelExportRun run(g, ncols, nrows, ClassTable[static_cast<std::size_t>(variable)], exportMap,
                              EngineEstimates(sharedSettings(), dataFolder(), variable, exportMonth_));
        run.Start(exportThreads());
        if (followExport(run)) {
            QApplication::restoreOverrideCursor();
            const QString folder = QString::fromStdString(programFolder().string());
            const QString filter = QStringLiteral("Vistrel (*.IMG)");
            // A name typed without an extension gets the loaded map's image
            // extension (below), so that the map list finds and loads it.
            const QString mapExtension =
                QString::fromStdString(ExportImagePath("image", snapshotPaths.Img).extension().string());
            const QString file = saveDialog() ? saveDialog()(this, folder, filter)
                                              : GetSaveFileName(this, QString(), folder, filter, mapExtension);
            QApplication::setOverrideCursor(Qt::WaitCursor);
            if (!file.isEmpty()) {
                // Written with its legend, capitals and boundaries, so that it
                // can be listed and shown like any other map.
                const std::filesystem::path image = ExportImagePath(file.toStdString(), snapshotPaths.Img);
                WriteRasterImage(image, header, run.Cells());
                WriteExportCompanions(image, "Tavisol export: " + hi.VariableText + " - " + hi.MonthText, variable,
                                      run.Cells(), snapshotPaths);
                refreshMapList();
                QApplication::restoreOverrideCursor();
                ShowMessage(this, MsgIcon::Information, QStringLiteral("Data Saved Correctly"));
                QApplication::setOverrideCursor(Qt::WaitCursor);
            }
        }
    } catch (const std::bad_alloc &) {
        reportError(QStringLiteral("Out of memory"));
    } catch (const std::exception &e) {
        reportError(q(e.what()));
    }
    VistrelBar->hide();
    LblLonLat->hide();
    VistrelSave->setEnabled(true);
    QApplication::restoreOverrideCursor();
    AbortExport() = false;
}

void Form1::refreshMapList() {
    const QString current = ListMap->currentItem() ? ListMap->currentItem()->text() : QString();
    ListMap->clear();
    for (const std::string &m : ListRasterMaps(vistrelFolder())) {
        ListMap->addItem(q(m));
        if (q(m) == current) ListMap->setCurrentRow(ListMap->count() - 1);
    }
}

bool Form1::followExport(ParallelExportRun &run) {
    // The workers compute; this thread keeps the window alive, shows the
    // progress and asks the question as soon as Cancel is pressed.
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(40);
    bool asking = false;
    bool stopped = false;
    exportRunning_ = true;
    stopExportRequested_ = false;
    auto follow = [&] {
        // The program is ending: stop without asking.
        if (appState().Ending) stopExportRequested_ = true;
        if (stopExportRequested_ && !stopped) {
            stopped = true;
            run.Stop();
        }
        if (asking) return;
        if (AbortExport() && !stopped) {
            asking = true;
            const bool yes = ShowMessage(this, MsgIcon::Question, QStringLiteral("Do you want abort Vistrel Export ?"),
                                         QString(), MsgButtons::YesNo) == MsgAnswer::Yes;
            asking = false;
            AbortExport() = false;
            if (yes) {
                stopped = true;
                run.Stop();
            }
        }
        VistrelBar->setValue(static_cast<int>(std::min<std::size_t>(run.CellsDone(), 2000000000u)));
        const auto [lon, lat] = run.CurrentPoint();
        LblLonLat->setText(q(WorkingText(lon, lat)));
        if (run.Finished()) loop.quit();
    };
    connect(&tick, &QTimer::timeout, &loop, follow);
    tick.start();
    loop.exec();
    tick.stop();
    // The loop also ends when the program quits, perhaps before the workers.
    if (!stopped && (appState().Ending || stopExportRequested_ || !run.Finished())) {
        stopped = true;
        run.Stop();
    }
    exportRunning_ = false;
    const bool complete = run.Wait();
    return complete && !stopped;
}

void Form1::StopExport() {
    if (exportRunning_) stopExportRequested_ = true;
}

int &Form1::exportThreads() {
    static int threads = 0;
    return threads;
}

void Form1::SetExportThreads(int threads) { exportThreads() = threads; }

void Form1::Timer1_Timer() {
    if (!redrawPending_) return;
    Timer1->stop();
    setEnabled(false);
    DrawRasterMap();
    redrawPending_ = false;
    setEnabled(true);
}

void Form1::resizeEvent(QResizeEvent *e) {
    QWidget::resizeEvent(e);
    placeFrames();
    Form_Resize();
}

void Form1::Form_Resize() {
    if (noMap_ || map_.Rows < 1) return;
    try {
        const int top = Toolbar1->sizeHint().height();
        const double innerH = (height() - top) * TwipsPerPixel;
        const double aspect = static_cast<double>(map_.Columns) / map_.Rows;
        placeFrames();
        const MapLayout l = fitToMapArea(
            [innerH, aspect](double widthTwips) { return ResizeLayout(widthTwips, innerH, aspect); });
        // The open frames stay open: a resize must not take away a running
        // export's progress and Cancel button.
        if (trackAutoSize_) {
            placeMapAndLegend(l, false);
            if (!mapPending_) {
                redrawPending_ = true;
                Timer1->start();
            }
        } else {
            MapLayout legendOnly = l;
            legendOnly.PictureWidth = Picture1->width() * TwipsPerPixel;
            legendOnly.PictureHeight = Picture1->height() * TwipsPerPixel;
            placeMapAndLegend(legendOnly, false);
        }
        DrawLegend();
        Picture1->show();
        PicLegenda->show();
        FrameLocation->show();
    } catch (const std::exception &e) {
        reportError(q(e.what()));
    }
}

void InstallRasterMapCommands() {
    SetCommandHandler(Command::VectMap, [] {
        Form1 *form = Form1::instance();
        MDIForm1 *main = MDIForm1::instance();
        static QMetaObject::Connection activation;
        static int activations = 0;
        if (main && !activation) {
            activation = QObject::connect(main, &MDIForm1::childActivated, form, [form](QWidget *w) {
                if (w == form) {
                    ++activations;
                    form->Form_Activate();
                }
            });
        }
        const int before = activations;
        if (main) main->showChild(form);
        else {
            form->show();
            form->raise();
        }
        if (activations == before) form->Form_Activate();
    });
}

} // namespace tavisol::rastermap
