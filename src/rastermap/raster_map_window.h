#pragma once

// The raster map window: one georeferenced raster image of the data folder,
// drawn through its colour legend with boundaries and capitals, point zoom, a
// location pick, the change of map and colours, and the export of estimated
// values over a dragged region to a new raster image.

#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "rastermap/exportgrid.h"
#include "rastermap/exportlegend.h"
#include "rastermap/georef.h"
#include "rastermap/mapfiles.h"
#include "rastermap/mapview.h"
#include "rastermap/rasterimage.h"
#include "shell/message.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPainter;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QTableWidget;
class QTimer;
class QToolBar;

namespace tavisol::rastermap {

// Twips per screen pixel, the unit of the window's layout and legend.
inline constexpr double TwipsPerPixel = 15.0;

// A picture box with a drawing surface that stays when the box is covered.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);
    // The drawing surface, kept at the box's size (also while hidden).
    QPixmap &surface();
    // The rubber band drawn over the surface (picture units), none when empty.
    void setBand(const QRect &band);
    QRect band() const { return band_; }

    std::function<void(Qt::MouseButton, QPointF)> onMouseDown;
    std::function<void(QPointF)> onMouseMove;
    std::function<void(QPointF)> onMouseUp;
    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QPixmap surface_;
    QRect band_;
    bool pressed_ = false;
};

class RasterMapWindow : public QWidget {
    Q_OBJECT
public:
    // The single window, created (and loaded) on first use.
    static RasterMapWindow *instance();
    explicit RasterMapWindow(QWidget *parent = nullptr);
    ~RasterMapWindow() override;

    // Load: initial state, map list, first map's legend, the export choices.
    void setUp();
    // Activation: loads and draws a pending map, shows the current location.
    void onActivated();
    void DrawRasterMap();
    void DrawLegend();
    void DrawCapitals();
    void DrawBoundaries();
    void LoadGridColors();

    // Toolbar buttons by index 1..13 (3, 7, 9, 12 are separators).
    void onToolButtonClicked(int index);
    void onMapMouseDown(Qt::MouseButton button, double x, double y);
    void onMapMouseMove(double x, double y);
    void onMapMouseUp(double x, double y);
    void onMapClicked();
    // Returns whether the location was stored.
    bool onSetLocationClicked();
    void onSaveDataClicked();
    void onMapChoiceOkClicked();
    void onMapChoiceCancelClicked();
    void onColorsOkClicked();
    void onColorsCancelClicked();
    void onColorCellClicked(int row, int column);
    void onResolutionChanged();
    void onExportSaveClicked();
    void onExportCancelClicked();
    void exportVariableRaster(int variable);
    // Ends a running export without asking, as the end of the program does:
    // the workers stop before their next cell and nothing is written.
    void StopExport();
    bool ExportRunning() const { return exportRunning_; }
    // Cancel was pressed during the running export and not yet answered.
    bool ExportCancelPressed() const { return exportCancelPressed_; }
    void onRedrawTimer();
    void layOutMap();

    // Replaceable dialogs (tests answer them without a modal loop). The save
    // dialog returns the chosen file or an empty text; the colour dialog an
    // invalid colour when cancelled.
    using SaveDialog = std::function<QString(QWidget *parent, const QString &folder, const QString &filter)>;
    using ColourDialog = std::function<QColor(QWidget *parent, const QColor &initial)>;
    static void SetSaveDialog(SaveDialog dialog);
    static void SetColourDialog(ColourDialog dialog);
    // What "Save Data" opens after storing the location; by default the
    // results window's output dialog through the main window's command.
    static void SetSaveDataHandler(std::function<void()> handler);
    // Worker threads of an export; 0 (the default) = one per processor.
    static void SetExportThreads(int threads);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Controls.
    QToolBar *mapToolBar = nullptr;
    // Holds the map and its legend; scrolls when they are larger than it.
    QScrollArea *MapArea = nullptr;
    std::array<QAction *, 14> ToolButtons{};  // 1..13; separators null
    PictureBox *mapView = nullptr;
    PictureBox *legendView = nullptr;
    QGroupBox *FrameLocation = nullptr;
    QLineEdit *txtlong = nullptr, *txtLat = nullptr, *txtElev = nullptr, *txtName = nullptr;
    QPushButton *CmdRun = nullptr, *CmdSave = nullptr;
    QGroupBox *FrameMap = nullptr;
    QListWidget *ListMap = nullptr;
    QPushButton *cmdBack = nullptr, *CmdCanc = nullptr;
    QGroupBox *FrameColors = nullptr;
    QTableWidget *GrdColors = nullptr;
    QPushButton *colorsOkButton = nullptr, *colorsCancelButton = nullptr;
    QGroupBox *exportFrame = nullptr;
    QComboBox *exportVariableBox = nullptr, *exportResolutionBox = nullptr, *exportMonthBox = nullptr;
    QLineEdit *TxtLonStart = nullptr, *TxtLonEnd = nullptr, *TxtLatStart = nullptr, *TxtLatEnd = nullptr;
    QPushButton *exportSaveButton = nullptr, *exportCancelButton = nullptr;
    QProgressBar *exportProgress = nullptr;
    QLabel *LblLonLat = nullptr;
    QStatusBar *mapStatusBar = nullptr;
    std::array<QLabel *, 3> StatusPanels{};
    QTimer *redrawTimer = nullptr;

    // State.
    const MapPaths &Paths() const { return paths_; }
    const RasterImage &MapRaster() const { return *map_; }
    const ColorTable &Colors() const { return colors_; }
    const ShapeSet &RasterBoundaries() const { return boundaries_; }
    const ShapeSet &RasterCapitals() const { return capitals_; }
    const ViewWindow &View() const { return view_; }
    const ZoomState &Zoom() const { return zoom_; }
    const Georeference &Geo() const { return geo_; }
    const std::string &CurrentTool() const { return currentTool_; }
    bool NoMap() const { return noMap_; }
    bool MapPending() const { return mapPending_; }
    bool RedrawPending() const { return redrawPending_; }
    bool ShowBoundaries() const { return showBoundaries_; }
    bool ShowCapitals() const { return showCapitals_; }
    bool TrackAutoSize() const { return trackAutoSize_; }
    int ExportMonth() const { return exportMonth_; }
    int ResolutionDecimals() const { return resolutionDecimals_; }
    float PickLon() const { return pickLon_; }
    float PickLat() const { return pickLat_; }
    float PickAlt() const { return pickAlt_; }
    float CursorLon() const { return cursorLon_; }
    float CursorLat() const { return cursorLat_; }
    // The region of the last finished drag: west, east, north, south.
    std::array<float, 4> DraggedRegion() const { return {regionLonStart_, regionLonEnd_, regionLatStart_, regionLatEnd_}; }

protected:
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void buildControls();
    void buildToolBar();
    void buildMapArea();
    void buildLocationFrame();
    void buildMapFrame();
    void buildColorsFrame();
    void buildExportFrame();
    void placeFrames();
    MapLayout fitToMapArea(const std::function<MapLayout(double widthTwips)> &rule) const;
    void placeMapAndLegend(const MapLayout &l, bool legendFromLayout);
    void setMapPaths(const std::string &name);
    // The current map's legend into an emptied colour table.
    void loadMapLegend();
    void reportError(const QString &text, bool critical = false);
    // Paints an overlay on the map when it is switched on and a map is shown;
    // `paint` gets the painter and the picture's width and height.
    void drawOverlay(bool shown, const std::function<void(QPainter &, double, double)> &paint);
    void setPictureCursor();
    // Follows a started export until its workers end; false when the user
    // stopped it. Rethrows a worker's failure.
    bool followExport(ParallelExportRun &run);
    // The steps of an export around its run: the pointer, label and OK
    // button while it runs; the region snapped to the resolution; the
    // header's input; the file name asked for until it can be used (nothing
    // when the dialog is cancelled); the files written (a name whose files
    // cannot be written is asked for again), the list refreshed, and the
    // message that ends the save, or nothing when the dialog was cancelled.
    void showExportRunning(bool running);
    ExportRegion snappedExportRegion();
    NewHeaderInput exportHeaderInput(const ExportRegion &g, int variable) const;
    std::optional<ExportFiles> askExportFiles(const MapPaths &loaded);
    std::optional<Message> saveExport(const ImageHeader &header, const std::vector<std::uint8_t> &cells, int variable,
                                      const std::string &title, const MapPaths &loaded);
    bool stopExportWithoutAsking() const;
    static int &exportThreads();
    // Lists the maps of the data folder (at set-up, and after an export saved
    // one), keeping the chosen one chosen; returns the names listed.
    std::vector<std::string> refreshMapList();

    static QPointer<RasterMapWindow> instance_;

    QWidget *mapCanvas_ = nullptr;  // mapView and legendView side by side

    MapPaths paths_;
    // Shared with an export that reads it (never null).
    std::shared_ptr<const RasterImage> map_ = std::make_shared<const RasterImage>();
    ColorTable colors_;
    ColorEntry fixedColorA_, fixedColorB_;
    ShapeSet boundaries_, capitals_;
    ViewWindow view_;
    ZoomState zoom_;
    Georeference geo_;
    std::string currentTool_ = "NONE";
    bool noMap_ = false;
    bool mapPending_ = true;
    bool redrawPending_ = false;
    bool showBoundaries_ = true;
    bool showCapitals_ = true;
    bool trackAutoSize_ = true;
    bool drawing_ = false;
    bool loading_ = false;
    int exportMonth_ = 13;
    int resolutionDecimals_ = 0;
    float resolution_ = 0;
    float regionLonStart_ = 0, regionLonEnd_ = 0, regionLatStart_ = 0, regionLatEnd_ = 0;
    // A running export's stop requests, polled while it runs: Cancel asks
    // the user first, StopExport and the end of the program do not.
    bool exportRunning_ = false;
    bool exportCancelPressed_ = false;
    bool exportStopRequested_ = false;
    bool dragActive_ = false;
    std::int32_t dragStartX_ = 0, dragStartY_ = 0;
    float dragCurX_ = 0, dragCurY_ = 0;
    float cursorLon_ = 0, cursorLat_ = 0;
    float pickLon_ = 0, pickLat_ = 0, pickAlt_ = 0;
};

// Installs the handler of the main window's "Set Location from Raster Map"
// command: shows the raster map window as a child of the main window (loading
// it on first use) and runs its activation.
void InstallRasterMapCommands();

} // namespace tavisol::rastermap
