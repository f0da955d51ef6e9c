#pragma once

// The program's main window: a multiple-document frame with the menus, the
// toolbar, the four-panel status bar and the progress bar every run uses.

#include <QHash>
#include <QMainWindow>
#include <QString>

#include <memory>
#include <string>

class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QProgressBar;
class QToolBar;
class QToolButton;

namespace tavisol {

class AboutWindow;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs its load: help file, menu icons and help texts,
    // start location, engine defaults, output format 1, recompute marks, busy mark.
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The main window while it exists, else null.
    static MainWindow *instance();

    QMdiArea *mdiArea() const { return mdi_; }
    QToolBar *mainToolBar() const { return toolbar_; }
    QStatusBar *mainStatusBar() const;
    // Hidden while idle; a run shows it, sets its range and value, hides it.
    QProgressBar *progressBar() const { return progressBar_; }
    // The shared printer settings (printer setup and the print commands).
    QPrinter *printer();
    // Program folder + "/Tavisol.chm".
    QString helpFile() const { return helpFile_; }

    // Status-bar panels, 1 to 4.
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString &text);

    // The menu command with the given control name ("mn_ViewData"), or null.
    QAction *menuAction(const QString &controlName) const;

    // Rounds the location in place (0.01 degree, whole metres), names a location
    // without a name "ST-Lon..-Lat..-Alt-..", shows it in panels 3 and 4 and
    // returns the name. Callers that change the current location use
    // SetCurrentLocation (appstate.h), which calls this.
    std::string WriteStatusLocation(std::string &name, float &longitude, float &latitude,
                                    float &altitude);

    // Sets the output format: check marks, the three windows' EnableForFormat,
    // panel 2, OutputFormat. A code outside 1..7 only clears the check marks.
    void SetOutputFormat(int code);

    // Shows a window as a child of the frame (wrapping it the first time) and
    // brings it to the front; a child already open is only activated.
    QMdiSubWindow *showChild(QWidget *window);
    // Shows a separate modeless window and brings it to the front.
    static void showWindow(QWidget *window);

    // Soon after this call, a current child that shows an estimate (an
    // EstimateView) whose estimate is due computes it, unless a run holds the
    // busy mark (its end calls this again).
    void keepEstimateCurrent();

    // Menu commands (menus, toolbar and other windows run them).
    void saveViewData();
    void saveWorkbench();
    void saveGridOrFile();
    void setUpPrinter();
    void printViewData();
    void printWorkbench();
    void askToExit();
    void setLocation();
    void setLocationFromBitmap();
    void setLocationFromRasterMap();
    void setLocationsFromFile();
    void setLocationsFromGrid();
    void showViewData();
    void showWorkbench();
    void onLgsMenuShown();
    void changeSettings();
    void transformCoordinates();
    void cascadeWindows();
    void tileWindowsHorizontally();
    void tileWindowsVertically();
    void showHelpContents();
    void showHelpIndex();
    void showAbout();

    AboutWindow *aboutWindow();

signals:
    // A child window of the frame became the active one (the activation on
    // which the result windows recompute when their RecalcPending is set).
    void childActivated(QWidget *window);

protected:
    bool event(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    void setUp();
    void tearDown();
    QAction *addCommand(QMenu *menu, const char *control, const QString &caption,
                        void (MainWindow::*slot)());
    QAction *addFormat(QMenu *menu, const char *control, const QString &caption, int code);
    QToolButton *addDropDown(const QString &tip, const QIcon &icon);
    void tile(Qt::Orientation bands);
    void computeCurrentEstimateIfDue();

    QMdiArea *mdi_ = nullptr;
    QProgressBar *progressBar_ = nullptr;
    QToolBar *toolbar_ = nullptr;
    QLabel *panels_[4] = {};
    QAction *formatActions_[7] = {};
    QHash<QString, QAction *> actions_;
    QMenu *lgsMenu_ = nullptr;
    QString helpFile_;
    std::unique_ptr<QPrinter> printer_;
    AboutWindow *about_ = nullptr;
    bool unloaded_ = false;
    bool estimateCheckQueued_ = false;
};

} // namespace tavisol
