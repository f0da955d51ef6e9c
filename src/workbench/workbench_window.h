#pragma once

// The workbench window: one climate variable at the current location in
// depth. A thin window over WorkbenchModel, which holds the engine state, the
// estimation cycle and the contents of every panel.

#include <QWidget>

#include <array>
#include <functional>
#include <string>

#include "shell/estimateview.h"
#include "workbench/model.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabBar;
class QVBoxLayout;

namespace tavisol::workbench {

class FlexGrid;
class PictureBox;

class WorkbenchWindow : public QWidget, public EstimateView {
    Q_OBJECT
public:
    // The one window, created (and loaded: the first estimate runs) on first use.
    static WorkbenchWindow *instance();
    // The window if it was created, else null.
    static WorkbenchWindow *existing();
    // Tests: closes and deletes the window so the next instance() loads anew.
    static void destroyInstance();

    ~WorkbenchWindow() override;

    // ---- Public operations of the window ---------------------------------------------
    bool RecalcPending() const { return model_.RecalcPending(); }
    void SetRecalcPending(bool pending) { model_.SetRecalcPending(pending); }
    // Brings the workbench up to date when a run is due. Returns whether it
    // now holds a current estimate that may be saved or printed: false when
    // the run failed (its message shown once), found no neighbour, could not
    // start (another run holds the busy mark) or the window was closed since.
    bool ShowData();
    // Whether the shown state holds an estimate (see WorkbenchModel).
    bool HasEstimate() const { return model_.HasEstimate(); }
    // Re-activates the found neighbours and refreshes all panels.
    void Schreib();
    // Computes when a run is due. The main window calls it through
    // EstimateView whenever this window is its current child and something
    // changed; "WorkBench" calls it too.
    void onActivated();
    bool EstimateDue() const override;
    void ComputeEstimate() override;

    // ---- What the output dialog and the report writers read ----------------------------
    // The engine state the workbench last left: CurrentVariable, the computation
    // point, CurResult, Neighbours 1..21, NeighbourCount, the counts, CurWarnings.
    const engine::EngineState &State() const { return model_.State; }
    // The selected confidence option (optlev90/95/99); None when none is.
    ConfidenceLevel SelectedLevel() const { return model_.Level; }
    // The name the writers give the estimate's point (WorkbenchModel).
    std::string LocationName() const { return model_.LocationName(); }

    // Save and print of the workbench by output format, written by the export
    // subsystem: SaveResults(fileName) and printresults() call the handler set
    // here (nothing happens without one). Errors pass to the caller; a save
    // returns the message it ends with (empty: the plain confirmation).
    using SaveHandler = std::function<std::string(WorkbenchWindow &window, const std::string &fileName)>;
    using PrintHandler = std::function<void(WorkbenchWindow &window)>;
    static void SetSaveResultsHandler(SaveHandler handler);
    static void SetPrintResultsHandler(PrintHandler handler);
    std::string SaveResults(const std::string &fileName);
    void printresults();

    WorkbenchModel &model() { return model_; }

    // Shows the model's state in the controls.
    void Sync();

    // Its design size at the least: a window whose first run failed shows few
    // panels, but opens as large as one with an estimate.
    QSize sizeHint() const override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    WorkbenchWindow();
    void buildControls();
    void buildVariableAndTabs(QVBoxLayout *left);
    void buildTables(QVBoxLayout *left);
    void buildAltitudePlot(QVBoxLayout *left);
    void buildStationMap(QVBoxLayout *left);
    void buildConfidenceFrame(QVBoxLayout *right);
    void buildWarningsFrame(QVBoxLayout *right);
    void buildActivesFrame(QVBoxLayout *right);
    // The controls' signals to the model's commands.
    void connectHandlers();
    void setUp();
    void onPageTabChanged();
    void onPeriodTabChanged();
    void onWarningClicked(int index);
    void UpdateMetrics();
    template <typename F>
    void Run(F &&action);

    WorkbenchModel model_;
    int shownWarnings_ = -1;

    QLabel *variableLabel = nullptr;
    QComboBox *variableBox = nullptr;
    QTabBar *pageTabs = nullptr;
    QTabBar *periodTabs = nullptr;
    QLabel *missingEstimate = nullptr;  // why the panels hold no values
    FlexGrid *grdStation = nullptr;
    FlexGrid *grdObservation = nullptr;
    FlexGrid *grdResults = nullptr;
    FlexGrid *grdDekad = nullptr;
    FlexGrid *GrdDay = nullptr;
    FlexGrid *grdThres = nullptr;
    PictureBox *picAltitude = nullptr;
    QPushButton *cmdmonthback = nullptr;
    QPushButton *cmdmonthnext = nullptr;
    QWidget *PicStationFather = nullptr;
    PictureBox *picMapStation = nullptr;
    PictureBox *PictureLegend = nullptr;
    QLabel *decimalPositionLabel = nullptr;
    QLabel *dmsPositionLabel = nullptr;
    QPushButton *cmdZoomOut = nullptr;  // "Zoom Out"
    QPushButton *cmdZoomIn = nullptr;   // "Zoom In"
    QPushButton *CmdFine = nullptr;
    QPushButton *CmdCoarse = nullptr;
    PictureBox *picResults = nullptr;
    QGroupBox *optionsFrame = nullptr;
    QGroupBox *confidenceFrame = nullptr;
    QRadioButton *optlev90 = nullptr;
    QRadioButton *optlev95 = nullptr;
    QRadioButton *optlev99 = nullptr;
    QButtonGroup *levels_ = nullptr;
    QLabel *labfew = nullptr;
    QLabel *Labhit = nullptr;
    QGroupBox *framWarn = nullptr;
    std::array<QPushButton *, WarningCount> warnButtons_{};
    QGroupBox *activesFrame = nullptr;
    std::array<QCheckBox *, 21> checks_{};  // 1..20
};

} // namespace tavisol::workbench
