#include "workbench/model.h"

#include <cmath>
#include <exception>
#include <utility>

#include "engine/geodesy.h"
#include "results/gridtexts.h"
#include "shell/appstate.h"
#include "shell/dialoglogic.h"
#include "shell/programfolders.h"
#include "shell/sharedsettings.h"
#include "shell/statuslocation.h"

namespace tavisol::workbench {

namespace {

// Marks a run of the workbench's own so that a click let through by the
// engine's loops cannot start a second run on the same state.
class RunMark {
public:
    explicit RunMark(bool &flag) : flag_(flag) { flag_ = true; }
    ~RunMark() { flag_ = false; }
    RunMark(const RunMark &) = delete;
    RunMark &operator=(const RunMark &) = delete;

private:
    bool &flag_;
};

} // namespace

WorkbenchModel::WorkbenchModel() : currency_(&appState().WorkbenchRecalcPending) {
    engine::SetInitialValues(State);
    State.Callbacks.DoEvents = [this] {
        if (hooks.DoEvents)
            hooks.DoEvents();
    };
    State.Callbacks.ShowMessage = [this](const engine::EngineMessage &m) {
        if (hooks.EngineMessage)
            hooks.EngineMessage(m);
    };
}

bool WorkbenchModel::RecalcPending() const { return appState().WorkbenchRecalcPending; }

void WorkbenchModel::SetRecalcPending(bool pending) { appState().WorkbenchRecalcPending = pending; }

void WorkbenchModel::Beep() {
    ++BeepCount;
    if (hooks.Beep)
        hooks.Beep();
}

void WorkbenchModel::Hourglass(bool wait) {
    if (hooks.Hourglass)
        hooks.Hourglass(wait);
}

void WorkbenchModel::ReportError(const std::string &description) {
    if (hooks.ErrorMessage)
        hooks.ErrorMessage(description);
}

Integer WorkbenchModel::Elevation(Single lon, Single lat, Integer &water) {
    if (hooks.Elevation)
        return hooks.Elevation(lon, lat, water);
    engine::DataFiles &files = State.Files ? *State.Files : *engine::DefaultDataFiles();
    return engine::GetElevation(files, State.DataFolder, lon, lat, water);
}

// ---- Cycle ------------------------------------------------------------------------

void WorkbenchModel::Load() {
    ResolutionLevel = 1;
    ExtentFactor = 1;
    PlotMonth = 1;
    Tab = MainTab::NeighborInformation;
    SelectVariable(0);
}

bool WorkbenchModel::EstimateDue() const { return !running_ && currency_.Stale(); }

bool WorkbenchModel::HasCurrentEstimate() const {
    return hasEstimate_ && !running_ && !currency_.Stale() && !currency_.Failed();
}

void WorkbenchModel::Activate() {
    if (EstimateDue())
        ShowData();
}

void WorkbenchModel::Unload() {
    State.CalcLongitude = appState().CurLongitude;
    State.CalcLatitude = appState().CurLatitude;
    hasEstimate_ = false;
    SetRecalcPending(true);
}

void WorkbenchModel::SelectVariable(int index) {
    // Any run holds the busy mark (this window's own too): the shown results
    // keep their variable and the list goes back to it.
    if (running_ || appState().Busy) {
        if (hooks.Busy)
            hooks.Busy();
        return;
    }
    SelectedVariable = index < 0 || index > 7 ? 0 : index;
    SetRecalcPending(true);
    ShowData();
}

bool WorkbenchModel::ShowData() {
    if (running_)
        return false;
    if (!currency_.Stale()) {
        Hourglass(false);
        return HasCurrentEstimate();
    }
    // When another window's run is going, this one stays due: the end of
    // that run tells the main window, which brings it up to date.
    RunAlone([this] {
        State.CurrentVariable = static_cast<Integer>(SelectedVariable);
        const AppState &app = appState();
        State.CalcLongitude = app.CurLongitude;
        State.CalcLatitude = app.CurLatitude;
        State.CalcAltitude = app.CurElevation;
        CalculateAndShow();
    });
    return HasCurrentEstimate();
}

bool WorkbenchModel::RunAlone(const std::function<void()> &run) {
    BusyGuard busy;
    if (!busy) {
        if (hooks.Busy)
            hooks.Busy();
        return false;
    }
    {
        RunMark mark(running_);
        try {
            run();
        } catch (const std::exception &e) {
            ReportError(e.what());
        }
    }
    Hourglass(false);
    return true;
}

void WorkbenchModel::CalculateAndShow() {
    Hourglass(true);
    hasEstimate_ = false;
    neighboursShown_ = false;
    // The inputs in force now are those of this run; a change while it lets
    // events through makes the workbench due again.
    const EstimateInputs inputs = currency_.Start();
    // Nothing of an earlier estimate is on show while this one is made, nor
    // after it failed (the boxes would belong to the earlier neighbours).
    const auto showNothing = [this] {
        State.Workbench.activesFrameVisible = false;
        State.Workbench.CheckVisible.fill(false);
        ClearPanels();
    };
    MissingEstimate.clear();
    showNothing();
    if (hooks.PanelsCleared)
        hooks.PanelsCleared();
    // Marked before the message is shown: a check while the box is open
    // does not repeat a failed run for the same inputs.
    const auto failed = [&](std::string description) {
        showNothing();
        currency_.Finish(false, std::move(description));
        SayWhyNoEstimate(false);
    };
    try {
        State.UseSettings(inputs.Settings);
        State.DataFolder = dataFolder();
        const bool estimated = engine::Calculate(State);
        Schreib();
        hasEstimate_ = estimated;
        neighboursShown_ = State.NeighbourCount > 0;
    } catch (const std::exception &e) {
        failed(e.what());
        throw;
    } catch (...) {
        failed({});
        throw;
    }
    currency_.Finish(true);
    SayWhyNoEstimate(true);
    if (!hasEstimate_)
        ClearPanels();
}

void WorkbenchModel::SayWhyNoEstimate(bool computed) {
    const results::EstimateOutcome outcome{State.CurrentVariable, computed, hasEstimate_, State.NeighbourCount,
                                           State.WhyNoNeighbour};
    MissingEstimate = results::MissingEstimatesNotice({outcome}, State.Settings(), currency_.Failure(), Locale);
}

void WorkbenchModel::Schreib() {
    Caption = "TAVISOL Workbench";
    engine::MarkDoubledStationsAndShow(State);
    RefreshPanels();
}

void WorkbenchModel::RefreshPanels() {
    engine::ReadWorkbenchSelection(State);
    engine::CompleteNeighbourRecords(State);
    if (State.NeighbourCount == 0) {
        Caption = "Sorry, No Neighbors!";
        return;
    }
    if (State.ActiveCount != 0) {
        FillStationGrid(State, Locale, Station);
        FillObservationGrid(State, Locale, Observation);
        ShowWarnings();
        DrawChart();
        FillGrids();
        FitAndDrawMap();
        AltitudeAxis = ScaleAltitudeAxis(State);
        ValueAxis = ScaleValueAxis(State);
        // The plot steps its month forward: step back first so that a refresh
        // keeps the month.
        PlotMonth = StepMonth(PlotMonth, -1);
        ShowPlot();
    }
    const bool hit = State.CurWarnings.Hit == engine::True;
    if (!hit && State.ActiveCount >= 6) {
        OptionsVisible = true;
        FewVisible = false;
        HitVisible = false;
    }
    if (State.ActiveCount < 6 && !hit) {
        OptionsVisible = false;
        FewVisible = true;
        HitVisible = false;
    }
    if (hit) {
        OptionsVisible = false;
        HitVisible = true;
        FewVisible = false;
    }
}

void WorkbenchModel::ToggleNeighbour(int k, bool active) {
    // After a failed run the neighbour array is not the one the boxes show.
    if (!ShowsFinishedRun() || k < 1 || k > engine::MaxNeighbours)
        return;
    State.Workbench.Check[static_cast<std::size_t>(k)] = active ? 1 : 0;
    RecalculateActiveSet();
}

void WorkbenchModel::RecalculateActiveSet() {
    if (running_)
        return;
    RunMark mark(running_);
    hasEstimate_ = false;
    MissingEstimate.clear();
    WithHourglass([this] {
        const bool estimated = engine::RunWorkbenchReestimate(State);
        if (State.ActiveCount == 0 && hooks.EngineMessage)
            hooks.EngineMessage(engine::NoNeighboursMessage);
        DrawChart();
        RefreshPanels();
        hasEstimate_ = estimated;
        SayWhyNoEstimate(true);
    });
    // Without an active neighbour the result is the previous set's.
    if (!hasEstimate_)
        ClearResultPanels();
}

void WorkbenchModel::ClearPanels() {
    BlankCells(Station, 1, 1);
    BlankCells(Observation, 1, 1);
    Map.Clear();
    Legend.Clear();
    Plot.Clear();
    ClearResultPanels();
}

void WorkbenchModel::ClearResultPanels() {
    BlankResultGrids(Results);
    Chart.Clear();
    Warnings = WarningPanel{};
    ++WarningsShown;
}

void WorkbenchModel::WithHourglass(const std::function<void()> &step) {
    Hourglass(true);
    try {
        step();
    } catch (const std::exception &e) {
        ReportError(e.what());
    }
    Hourglass(false);
}

void WorkbenchModel::ShowWarnings() {
    engine::EstimateWarnings(State);
    int beeps = 0;
    Warnings = PanelFor(State.CurWarnings, &beeps);
    ++WarningsShown;
    for (int i = 0; i < beeps; ++i)
        Beep();
}

void WorkbenchModel::DrawChart() {
    DrawResultChart(State, View, ConfidenceFactor(), Series, ChartRange, Monthly, Locale, Chart);
}

void WorkbenchModel::FillGrids() { FillResultGrids(State, ConfidenceFactor(), Series, Locale, Results); }

void WorkbenchModel::FitAndDrawMap() {
    const int beeps = FitMapExtent(State, ExtentFactor, MapBox, Map);
    for (int i = 0; i < beeps; ++i)
        Beep();
    DrawMap();
}

void WorkbenchModel::DrawMap() {
    int beeps = 0;
    const bool drawn = DrawStationMap(
        State, ResolutionLevel, MapBox, Map, MapSize,
        [this](Single lon, Single lat, Integer &water) { return Elevation(lon, lat, water); }, Locale, &beeps);
    for (int i = 0; i < beeps; ++i)
        Beep();
    if (drawn)
        DrawAltitudeLegend(Legend, State.MapExtentFactor);
}

void WorkbenchModel::ShowPlot() {
    ShowAltitudePlot(State, PlotMonth, AltitudeAxis, ValueAxis, PlotSize, Locale, Plot, Regression);
}

// ---- Options and tabs ------------------------------------------------------------

void WorkbenchModel::SetLevel(ConfidenceLevel level) {
    Level = level;
    if (running_ || !hasEstimate_)
        return;
    DrawChart();
    FillGrids();
}

void WorkbenchModel::SelectTab(MainTab tab) {
    Tab = tab;
    if (tab == MainTab::TableOfResults)
        SelectView(View);
}

void WorkbenchModel::SelectView(ResultView view) {
    View = view;
    if (running_ || !hasEstimate_)
        return;
    DrawChart();
    FillGrids();
}

// ---- Altitude plot ------------------------------------------------------------------

// The month buttons draw from the neighbour array: not while a run fills it.
void WorkbenchModel::PreviousMonth() {
    if (!ShowsFinishedRun())
        return;
    PlotMonth = StepMonth(PlotMonth, -2);
    ShowPlot();
}

void WorkbenchModel::NextMonth() {
    if (!ShowsFinishedRun())
        return;
    ShowPlot();
}

// ---- Station map ----------------------------------------------------------------------

void WorkbenchModel::Coarser() {
    if (!ShowsFinishedRun())
        return;
    --ResolutionLevel;
    WithHourglass([this] { DrawMap(); });
}

void WorkbenchModel::Finer() {
    if (!ShowsFinishedRun())
        return;
    ++ResolutionLevel;
    WithHourglass([this] { DrawMap(); });
}

void WorkbenchModel::MapZoomOut() {
    if (!ShowsFinishedRun())
        return;
    if (ExtentFactor >= MaxExtentFactor)
        Beep();  // the box cannot grow further
    else
        ExtentFactor *= 2;
    WithHourglass([this] { FitAndDrawMap(); });
}

void WorkbenchModel::MapZoomIn() {
    if (!ShowsFinishedRun())
        return;
    ExtentFactor = static_cast<int>(numfmt::roundHalfEven(ExtentFactor / 2.0));
    WithHourglass([this] { FitAndDrawMap(); });
}

void WorkbenchModel::MapRightClick(double x, double y) {
    // A blank map has no scale of its own to pick a point with.
    if (!ShowsFinishedRun())
        return;
    RunAlone([&] {
        // The picked point stays on the globe: longitudes wrap, latitudes
        // stop at the poles.
        Single lon = WrapLongitudeOffset(static_cast<Single>(State.CalcLongitude + x));
        Single lat = static_cast<Single>(State.CalcLatitude + y);
        if (lat > 90)
            lat = 90;
        if (lat < -90)
            lat = -90;
        State.CalcLongitude = lon;
        State.CalcLatitude = lat;
        Integer water = 0;
        State.CalcAltitude = Elevation(lon, lat >= 90 ? 89.99f : lat, water);
        const bool yes = hooks.AskYesNo &&
                         hooks.AskYesNo("Do you want set this Location as current Location?", "Change Location");
        if (yes)
            dialogs::StoreLocation("", State.CalcLongitude, State.CalcLatitude, State.CalcAltitude,
                                   RecalcMarks::ResultsOnly, [this](const Message &m) {
                                       if (hooks.ShowMessage)
                                           hooks.ShowMessage(m);
                                       return true;
                                   });
        CalculateAndShow();
    });
}

std::string WorkbenchModel::LocationName() const {
    const AppState &app = appState();
    // The current location is stored rounded (0.01 degree, whole metres).
    const Single lon = RoundToDecimals(State.CalcLongitude, 2);
    const Single lat = RoundToDecimals(State.CalcLatitude, 2);
    const Single alt = RoundToDecimals(State.CalcAltitude, 0);
    if (lon == app.CurLongitude && lat == app.CurLatitude && alt == app.CurElevation)
        return app.LocationName;
    return GeneratedLocationName(lon, lat, alt);
}

PointerReadout WorkbenchModel::MapPointer(double x, double y) const {
    // A blank map keeps the scale of the one before: nothing to read.
    if (!ShowsFinishedRun())
        return {};
    return ReadPointer(State.CalcLongitude, State.CalcLatitude, x, y, Locale);
}

} // namespace tavisol::workbench
