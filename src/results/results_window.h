#pragma once

// The location results window ("View Data"): estimates all eight variables at
// the current location with its own engine state, keeps a copy of each
// variable's results, neighbours and warnings, and shows them in three tab
// groups of five pages (chart, results, stations, observations, warnings).

#include <QPointer>
#include <QProgressBar>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>

#include "engine/state.h"
#include "results/charts.h"
#include "shell/estimateinputs.h"
#include "shell/estimateview.h"
#include "results/gridmodel.h"
#include "results/storedresults.h"

class QGroupBox;
class QLabel;
class QTabBar;
class QTableWidget;
class QVBoxLayout;

namespace tavisol::results {

class ChartView;

// Copies a grid model into a table widget: row 0 becomes the column headers,
// column 0 the row headers, cell (0, 0) the corner text.
void ApplyGridModel(QTableWidget *table, const GridModel &model);
// The corner text that ApplyGridModel set.
QString CornerText(const QTableWidget *table);

class ResultsWindow : public QWidget, public EstimateView {
    Q_OBJECT
public:
    // mainBar: the main window's progress bar, which counts the variables of a
    // run; may be null.
    explicit ResultsWindow(QProgressBar *mainBar = nullptr, QWidget *parent = nullptr);
    ~ResultsWindow() override;

    // The recompute mark of this window (the program-wide flag of the shell).
    bool RecalcPending() const;
    void setRecalcPending(bool pending);

    // Brings the stored copies up to date: computes all eight variables at
    // the current location when an estimate is due (the window was marked, or
    // the location, the settings in force or the data files changed since its
    // last run), then redraws the selected page of each group. Returns
    // whether the stored copies now hold a finished run for the inputs in
    // force. A failed run shows its message once; it is not repeated until an
    // input changes, and the window says why its pages are blank. Never
    // starts a run while one of this window's runs is going, nor while
    // another computation holds the busy mark (the window then stays due).
    // A caller that holds the busy mark for a run of its own passes
    // BusyMark::HeldByCaller.
    enum class BusyMark { Take, HeldByCaller };
    bool ShowData(BusyMark mark = BusyMark::Take);
    // Redraws the selected page of each of the three groups.
    void RedrawSelectedPages();
    // Computes when an estimate is due; otherwise nothing. The main window
    // calls it through EstimateView whenever this window is its current
    // child and something changed, and "View Data" calls it.
    void onActivated();
    bool EstimateDue() const override;
    void ComputeEstimate() override;

    bool isRunning() const { return running_; }
    // Whether the last run failed and none of its inputs has changed since.
    bool FailedAtCurrentInputs() const;
    // The message of the last run when it failed, else empty.
    const std::string &Failure() const { return currency_.Failure(); }

    // The stored copies of the last run.
    const LocationResults &Results() const { return results_; }
    // The window's own engine state (after a run it holds variable 7).
    const engine::EngineState &Engine() const { return state_; }
    // Puts variable v's stored copy back into the window's engine state and
    // returns it, for the writers that work on the engine state.
    engine::EngineState &RestoreForWriting(int v);

    void setProgressBar(QProgressBar *mainBar) { progressBar_ = mainBar; }

    // Controls, for the window's own wiring and its tests.
    QTabBar *variableTabs() const { return variableTabs_; }
    // Inner strip of a group (1 temperatures, 2 precipitation, 3 wind group).
    QTabBar *InnerStrip(int group) const;
    QGroupBox *GroupFrame(int group) const;
    // Page 0..4 of a group: 1 the chart, 2 results, 3 stations, 4 observations,
    // 0 warnings.
    QWidget *Page(int group, int page) const;
    ChartView *Chart(int group) const;
    QTableWidget *Grid(int group, int page) const;
    QGroupBox *legendFrame() const { return legendFrame_; }
    // The line of a group that says which variables have no estimate and why.
    QLabel *MissingEstimates(int group) const;
    QLabel *LegendLabel(int k) const;    // 1..3
    QWidget *LegendLine(int k) const;    // 1..3
    std::uint8_t ResizeCount() const { return resizeCount_; }
    engine::Single ChartMin() const { return chartMin_; }
    engine::Single ChartMax() const { return chartMax_; }
    engine::Single ChartStep() const { return chartStep_; }

    // Strip handlers.
    void onVariableTabChanged();
    void onTemperatureTabChanged() { onGroupTabChanged(1); }
    void onPrecipitationTabChanged() { onGroupTabChanged(2); }
    void onWindTabChanged() { onGroupTabChanged(3); }

protected:
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void buildControls();
    // The frame of variable group g (1..3): its tab strip and its five pages.
    void buildGroupFrame(int g, QVBoxLayout *outer);
    // The colours and names of the chart's curves.
    void buildLegendFrame(QVBoxLayout *outer);
    void onGroupTabChanged(int group);
    // The chart legend, shown only while the visible group shows its chart.
    void ShowLegendWithAChart();
    // The page that the inner strip's selected tab shows.
    static int PageOfTab(int tabIndex);
    void ShowSelectedPage(int group);
    void FillPage(int group, int page);
    void DrawChartPage(int group);

    struct GroupControls {
        QGroupBox *frame = nullptr;
        QTabBar *strip = nullptr;
        std::array<QWidget *, 5> pages{};
        ChartView *chart = nullptr;
        std::array<QTableWidget *, 5> grids{};
        QLabel *notice = nullptr;  // why variables of the group have no estimate
    };

    QPointer<QProgressBar> progressBar_;
    QTabBar *variableTabs_ = nullptr;
    std::array<GroupControls, 4> groups_{};  // 1..3
    QGroupBox *legendFrame_ = nullptr;
    std::array<QLabel *, 4> labels_{};       // 1..3
    std::array<QWidget *, 4> lines_{};       // 1..3

    // The stored copies hold a finished run for the inputs in force.
    bool HoldsCurrentEstimate() const;

    engine::EngineState state_;
    LocationResults results_;
    EstimateCurrency currency_;
    bool running_ = false;
    bool resizePending_ = false;
    std::uint8_t resizeCount_ = 0;
    engine::Single chartMin_ = 0;
    engine::Single chartMax_ = 0;
    engine::Single chartStep_ = 0;
};

} // namespace tavisol::results
