#pragma once

// The workbench without its window: one climate variable at the current
// location in depth. Owns its own engine state, runs the full estimate and the
// re-estimate after a neighbour was switched on or off, and keeps the contents
// of every panel (tables, chart, station map, altitude plot, warnings, options)
// as data that the window shows.

#include <functional>
#include <string>

#include "engine/engine.h"
#include "shell/estimateinputs.h"
#include "shell/message.h"
#include "numfmt/numfmt.h"
#include "workbench/altitudeplot.h"
#include "workbench/drawing.h"
#include "workbench/grids.h"
#include "workbench/resultchart.h"
#include "workbench/series.h"
#include "workbench/stationmap.h"
#include "workbench/warnings.h"

namespace tavisol::workbench {

// The main tab strip, 1..6.
enum class MainTab {
    NeighborInformation = 1,
    NeighborData = 2,
    AltitudeGraph = 3,
    RegionalMap = 4,
    TableOfResults = 5,
    GraphOfResults = 6,
};

class WorkbenchModel {
public:
    // What the model needs of its window. Empty functions do nothing (a Yes/No
    // question without a handler is answered No).
    struct Hooks {
        std::function<void()> Beep;
        std::function<void(const engine::EngineMessage &)> EngineMessage;
        // A run-time error: its description in a box without icon or title.
        std::function<void(const std::string &)> ErrorMessage;
        // The station map's question; true = Yes.
        std::function<bool(const std::string &text, const std::string &title)> AskYesNo;
        // A box of the shell's checks: the station map's point refused as the
        // current location.
        std::function<void(const Message &)> ShowMessage;
        // Another run holds the busy mark.
        std::function<void()> Busy;
        std::function<void(bool wait)> Hourglass;
        std::function<void()> DoEvents;
        // Elevation lookup of the station map; empty = the engine's raster.
        ElevationLookup Elevation;
        // A full run has blanked the panels; the window shows them so.
        std::function<void()> PanelsCleared;
    };

    WorkbenchModel();

    Hooks hooks;
    numfmt::Locale Locale = numfmt::Locale::english();

    // ---- State -----------------------------------------------------------------
    engine::EngineState State;
    int SelectedVariable = 0;  // list index of the variable list
    int PlotMonth = 1;
    int ExtentFactor = 1;
    int ResolutionLevel = 1;
    ConfidenceLevel Level = ConfidenceLevel::None;
    MainTab Tab = MainTab::NeighborInformation;
    ResultView View = ResultView::Monthly;
    std::string Caption = "WorkBench";
    // Why the shown variable holds no estimate, in the words of the location
    // results window's notice; empty while a run goes and when it has one.
    std::string MissingEstimate;

    // ---- Panels ------------------------------------------------------------------
    GridTable Station;      // grdStation
    GridTable Observation;  // grdObservation
    ResultGrids Results;    // grdResults, grdDekad, GrdDay, grdThres
    WorkbenchSeries Series;
    ResultChartRange ChartRange;
    MonthlyChart Monthly;
    Drawing Chart;          // picResults
    Drawing Map;            // picMapStation
    Drawing Legend;         // PictureLegend
    Drawing Plot;           // picAltitude
    StationMapBox MapBox;
    PlotAxis AltitudeAxis, ValueAxis;
    AltitudeRegression Regression;
    WarningPanel Warnings;
    int WarningsShown = 0;       // counts the refreshes of the warning panel
    bool OptionsVisible = true;  // optlev90, optlev95, optlev99
    bool FewVisible = false;     // labfew
    bool HitVisible = false;     // Labhit
    MapMetrics MapSize;
    PlotMetrics PlotSize;
    int BeepCount = 0;           // beeps sounded so far

    // ---- Cycle ------------------------------------------------------------------------
    bool RecalcPending() const;
    void SetRecalcPending(bool pending);
    bool Running() const { return running_; }
    // Whether State holds an estimate of the shown variable made by the last
    // run at its computation point. False after a run that found no
    // neighbour or failed, after a re-estimate without an active neighbour
    // and once the window was closed: nothing may be saved or printed then,
    // and the panels show no values.
    bool HasEstimate() const { return hasEstimate_; }

    // A full run is due (EstimateCurrency::Stale): marked, or the location,
    // the settings in force or the data files changed since the last one,
    // finished or failed; and no run of the workbench's own is going.
    bool EstimateDue() const;
    // A finished run's estimate of the shown variable for the inputs in force.
    bool HasCurrentEstimate() const;
    // The message of the last full run when it failed, else empty.
    const std::string &Failure() const { return currency_.Failure(); }

    // The window's load: start values, the first estimate of variable 0.
    void Load();
    // Activation: recomputes when a run is due.
    void Activate();
    // The window closes: the computation point's position goes back to the
    // current location and the estimate (perhaps of a point picked on the
    // map) is no longer current: the next activation or save recomputes.
    void Unload();
    // A variable chosen in the list: always recomputes. Refused (Busy hook)
    // while a run holds the busy mark; the shown variable stays selected.
    void SelectVariable(int index);
    // Full run when one is due. Returns whether the workbench now holds a
    // current estimate (HasCurrentEstimate). A failed run shows its message
    // once and is not repeated until an input changes.
    bool ShowData();
    // Re-activates the found neighbours and refreshes every panel.
    void Schreib();
    // After the user switched neighbour k (1..20) on or off.
    void ToggleNeighbour(int k, bool active);
    void RecalculateActiveSet();

    // ---- Options and tabs ------------------------------------------------------------
    Single ConfidenceFactor() const { return tavisol::ConfidenceFactor(Level); }
    void SetLevel(ConfidenceLevel level);
    void SelectTab(MainTab tab);
    void SelectView(ResultView view);

    // ---- Altitude plot ------------------------------------------------------------------
    void PreviousMonth();
    void NextMonth();

    // ---- Station map ----------------------------------------------------------------------
    void Coarser();     // CmdCoarse "Coarser"
    void Finer();       // CmdFine "Finer"
    void MapZoomOut();  // "Zoom Out": twice the extent
    void MapZoomIn();   // "Zoom In": half the extent
    // Right click at offset (x, y) from the computation point.
    void MapRightClick(double x, double y);
    // The pointer's position; none over a blank map.
    PointerReadout MapPointer(double x, double y) const;
    bool MapShown() const { return neighboursShown_; }

    // The name of the estimate's point for the writers: the current
    // location's name when the computation point is the current location,
    // else the generated name of the point (one picked on the map and not
    // made current).
    std::string LocationName() const;

    // The warning explanation of a button.
    WarningExplanation Explain(WarningKind kind) const { return ExplainWarning(kind, State.CurWarnings); }

private:
    // Runs `run` as this window's run, unless another window's run holds the
    // engine (then only the Busy hook); errors are reported, the hourglass
    // goes off after. False when it did not run.
    bool RunAlone(const std::function<void()> &run);
    // Hourglass on, step, errors reported, hourglass off.
    void WithHourglass(const std::function<void()> &step);
    // A full run of the engine at the computation point as set.
    void CalculateAndShow();
    void RefreshPanels();
    // No values stay on show after a run without an estimate: the tables
    // keep their heads and labels, the pictures and the warnings are empty.
    void ClearPanels();
    void ClearResultPanels();
    // MissingEstimate after a run that finished (computed) or failed.
    void SayWhyNoEstimate(bool computed);
    void ShowWarnings();
    void DrawChart();
    void FillGrids();
    void FitAndDrawMap();
    void DrawMap();
    void ShowPlot();
    void Beep();
    void Hourglass(bool wait);
    void ReportError(const std::string &description);
    Integer Elevation(Single lon, Single lat, Integer &water);

    EstimateCurrency currency_;
    bool running_ = false;
    bool hasEstimate_ = false;
    // The neighbour tables, the map and the plot show the state's neighbours
    // (a full run finished and found some).
    bool neighboursShown_ = false;
    // The panels' commands act only on neighbours a finished run shows.
    bool ShowsFinishedRun() const { return !running_ && neighboursShown_; }
};

} // namespace tavisol::workbench
