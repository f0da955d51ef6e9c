#pragma once

// The world map window "Bitmap": the world bitmap with country boundaries,
// capitals and the current location drawn on it, shown enlarged or reduced in
// a scrollable view, where the user reads positions and picks a location.
//
// The map's bitmap is the pair surface_ (the bitmap with the
// overlays drawn on it) and original_ (the bitmap as loaded, shown at reducing
// zoom levels); mapView is the view, which keeps its own picture between
// paints so that it survives being covered.

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>

#include "worldmap/shapefile.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace tavisol {

class WorldMapWindow;

// The view: shows the window's view picture and passes the mouse on.
class MapView : public QWidget {
    Q_OBJECT
public:
    explicit MapView(WorldMapWindow *owner);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    WorldMapWindow *owner_;
    bool pressedLeft_ = false;
};

class WorldMapWindow : public QWidget {
    Q_OBJECT
public:
    // Runs the window's load: reads woma.bmp of the data folder (a missing or
    // unreadable picture is reported and leaves an empty map), lays out the
    // view and fills the location fields from the current location.
    explicit WorldMapWindow(QWidget *parent = nullptr);
    ~WorldMapWindow() override;

    // The "Save Data" button's road to the output dialog of the location
    // results window; without one it runs the shell's Save > View Data command.
    static void SetSaveDataHandler(std::function<void()> handler);

    // ---- Public procedures -------------------------------------------------
    // Read Worad1.bna / WorldCap.bna of the data folder into BoundaryShapes /
    // CapitalShapes; an error is shown and what was read up to it is kept.
    void LoadBoundaries();
    void LoadCapitals();
    // Draw the boundaries / capitals onto the surface and repaint the view.
    void DrawBoundaries();
    void DrawCapitals();
    // Draws the current location's marker onto the surface; no repaint.
    void DrawSelectedPoint();
    // One zoom step (dir +1 in, -1 out) keeping the bitmap pixel under the
    // view position (X, Y) in place.
    void ZoomAtPoint(int dir, float X, float Y);
    // Jumps to a level, +-1 .. +-16, keeping the top left corner.
    void SetZoomLevel(int level);
    // Lays out the view and the scroll bars for the current scale.
    void LayoutMapView();
    // A scroll bar's position becomes the map's offset on its axis.
    void scrollMap(bool horizontal, int position, bool settled);
    // One step of a bar toward the pointer; axis "X" or "Y".
    void StepScrollBarToward(float X, float Y, int X0, int Y0, const QString &axis);
    // Copies the bitmap into the view when MapDirty is set.
    void paintMapView();

    // ---- Events (public so that tests drive them) ------------------------------
    void onMapMouseMove(Qt::MouseButtons buttons, double X, double Y);
    void onMapMouseDown(Qt::MouseButton button, double X, double Y);
    void onMapMouseUp(Qt::MouseButton button, double X, double Y);
    void onMapClicked();
    void onSetLocationClicked();
    void onSaveDataClicked();
    void onToolButtonClicked(const QString &key);
    void onZoomMenuEntryClicked(const QString &text);
    void onHorizontalScrollChanged();
    void onHorizontalScrollMoved(int position);
    void onVerticalScrollChanged();
    void onVerticalScrollMoved(int position);

    // ---- State -----------------------------------------------------------------
    float MapScale = 1.0F;
    int ZoomLevel = 1;
    worldmap::ShapeSet BoundaryShapes;
    worldmap::ShapeSet CapitalShapes;
    double OffsetX = 0;
    double OffsetY = 0;
    bool MapDirty = false;
    bool DragActive = false;
    float DragStartX = 0;
    float DragStartY = 0;
    float CursorLongitude = 0;
    float CursorLatitude = 0;
    float SelectedLongitude = -999;
    float SelectedLatitude = -999;
    float SelectedElevation = 0;

    // ---- Controls -----------------------------------------------------------------
    QToolBar *Toolbar = nullptr;
    QGroupBox *locationFrame = nullptr;
    QLineEdit *txtlong = nullptr;
    QLineEdit *txtLat = nullptr;
    QLineEdit *txtElev = nullptr;
    QLineEdit *txtName = nullptr;
    QPushButton *CmdRun = nullptr;
    QPushButton *CmdSave = nullptr;
    MapView *mapView = nullptr;
    QScrollBar *verticalScroll = nullptr;
    QScrollBar *horizontalScroll = nullptr;
    QStatusBar *mapStatusBar = nullptr;

    // Bitmap size in pixels (0 without a bitmap).
    float W() const { return static_cast<float>(surface_.width()); }
    float H() const { return static_cast<float>(surface_.height()); }
    const QImage &surface() const { return surface_; }
    const QImage &viewPicture() const { return canvas_; }
    // The bars' maxima as computed (may be below 0; the bars themselves keep 0).
    int hScrollMax() const { return hMax_; }
    int vScrollMax() const { return vMax_; }
    // Status-bar panels 1 and 2.
    QString panelText(int panel) const;
    // Toolbar button 1..6: 1 down, 0 up.
    int toolValue(int index) const;
    QToolButton *toolButton(int index) const;

    enum class Pointer { Cross, PointZoom, DragTool, Dragging };
    Pointer viewPointer() const { return pointer_; }

    // The controls are placed by hand: these give the frame a useful size.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    friend class MapView;
    void setUp();
    void layOutMap();
    bool loadBitmap();
    void setPanel(int panel, const QString &text);
    void clearView();
    // Copies the bitmap into the view whatever MapDirty says.
    void renderView();
    void ensureCanvas();
    void rangeRule();
    void stepRule();
    void placeFrame();
    void setPointer(Pointer p);
    void setTool(int index, int value);
    bool storeLocation();
    bool outside(double X, double Y, bool report);

    QImage surface_;
    QImage original_;
    QImage canvas_;
    int hMax_ = 0;
    int vMax_ = 0;
    int tools_[7] = {};
    QToolButton *buttons_[7] = {};
    QLabel *panels_[2] = {};
    Pointer pointer_ = Pointer::Cross;
    bool loaded_ = false;
    bool inViewPaint_ = false;
};

} // namespace tavisol
