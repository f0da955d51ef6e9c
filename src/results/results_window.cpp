#include "results/results_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <optional>

#include "numfmt/numfmt_qt.h"
#include "results/chartview.h"
#include "results/gridtexts.h"
#include "shell/appstate.h"
#include "shell/icons.h"
#include "shell/messages.h"
#include "shell/programfolders.h"
#include "shell/sharedsettings.h"
#include "shell/widgetmakers.h"

namespace tavisol::results {

namespace {

constexpr const char *kCornerProperty = "tavisolCornerText";

// Header cells and the rows that look like them share one pair of colours.
QColor FixedBack(const QWidget *w) { return w->palette().color(QPalette::Button).darker(108); }
QColor FixedFore(const QWidget *w) { return w->palette().color(QPalette::ButtonText); }

Qt::Alignment ToQt(CellAlign a) {
    switch (a) {
    case CellAlign::Center: return Qt::AlignCenter;
    case CellAlign::LeftCenter: return Qt::AlignLeft | Qt::AlignVCenter;
    case CellAlign::Right: return Qt::AlignRight | Qt::AlignVCenter;
    case CellAlign::Default: break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

// Paints the text of cell (0, 0) on the table's corner button.
class CornerPainter : public QObject {
public:
    explicit CornerPainter(QTableWidget *table) : QObject(table), table_(table) {}

protected:
    bool eventFilter(QObject *watched, QEvent *e) override {
        if (e->type() != QEvent::Paint)
            return false;
        auto *button = static_cast<QWidget *>(watched);
        QPainter p(button);
        const QRect r = button->rect();
        p.fillRect(r, FixedBack(table_));
        p.setPen(table_->palette().color(QPalette::Mid));
        p.drawLine(r.topRight(), r.bottomRight());
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.setPen(FixedFore(table_));
        p.setFont(table_->horizontalHeader()->font());
        p.drawText(r, Qt::AlignCenter, table_->property(kCornerProperty).toString());
        return true;
    }

private:
    QTableWidget *table_;
};

QTableWidget *MakeGrid(QWidget *parent) {
    auto *t = new QTableWidget(parent);
    // No focus rectangle and no selection highlight.
    t->setSelectionMode(QAbstractItemView::NoSelection);
    t->setFocusPolicy(Qt::NoFocus);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setCornerButtonEnabled(false);
    t->setWordWrap(false);
    t->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
    const QString back = FixedBack(t).name();
    const QString fore = FixedFore(t).name();
    const QString line = t->palette().color(QPalette::Mid).name();
    t->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: %1; color: %2; border: 0px;"
                                    " border-right: 1px solid %3; border-bottom: 1px solid %3; padding: 1px 4px; }")
                         .arg(back, fore, line));
    if (auto *corner = t->findChild<QAbstractButton *>())
        corner->installEventFilter(new CornerPainter(t));
    return t;
}

// A short coloured line, the sample of a legend entry.
class LineSample : public QWidget {
public:
    LineSample(QColor colour, QWidget *parent) : QWidget(parent), colour_(colour) { setFixedSize(40, 14); }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.setPen(QPen(colour_, 2));
        p.drawLine(2, height() / 2, width() - 2, height() / 2);
    }

private:
    QColor colour_;
};

} // namespace

void ApplyGridModel(QTableWidget *t, const GridModel &model) {
    t->setUpdatesEnabled(false);
    t->clear();
    const int rows = std::max(0, model.rows() - 1);
    const int columns = std::max(0, model.columns() - 1);
    t->setRowCount(rows);
    t->setColumnCount(columns);
    QStringList headers;
    for (int c = 1; c < model.columns(); ++c)
        headers << QString::fromStdString(model.text(0, c));
    t->setHorizontalHeaderLabels(headers);
    QStringList labels;
    for (int r = 1; r < model.rows(); ++r)
        labels << QString::fromStdString(model.text(r, 0));
    t->setVerticalHeaderLabels(labels);
    t->verticalHeader()->setDefaultAlignment(ToQt(model.labelAlign()));
    const QString corner =
        model.rows() > 0 && model.columns() > 0 ? QString::fromStdString(model.text(0, 0)) : QString();
    t->setProperty(kCornerProperty, corner);
    if (!corner.isEmpty())
        t->verticalHeader()->setMinimumWidth(t->fontMetrics().horizontalAdvance(corner) + 12);

    const QColor back = FixedBack(t);
    const QColor fore = FixedFore(t);
    for (int r = 1; r < model.rows(); ++r) {
        for (int c = 1; c < model.columns(); ++c) {
            const GridCell &cell = model.cell(r, c);
            auto *item = new QTableWidgetItem(QString::fromStdString(cell.text));
            item->setFlags(Qt::ItemIsEnabled);
            item->setTextAlignment(ToQt(cell.align));
            if (cell.look == CellLook::Fixed) {
                item->setBackground(back);
                item->setForeground(fore);
            }
            t->setItem(r - 1, c - 1, item);
        }
    }
    t->resizeColumnsToContents();
    t->setUpdatesEnabled(true);
}

QString CornerText(const QTableWidget *table) { return table->property(kCornerProperty).toString(); }

// ---- Window ---------------------------------------------------------------------

ResultsWindow::ResultsWindow(QProgressBar *mainBar, QWidget *parent)
    : QWidget(parent), progressBar_(mainBar), currency_(&appState().ResultsRecalcPending) {
    setWindowTitle(QStringLiteral("View Data"));
    setWindowIcon(MakeIcon(IconId::ViewData));
    buildControls();

    // The run lets pending events through, at most every few milliseconds so
    // that a station file of thousands of lines does not spend its time in
    // the event loop.
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    state_.Callbacks.DoEvents = [timer] {
        if (timer->elapsed() >= 15) {
            QCoreApplication::processEvents();
            timer->restart();
        }
    };
    state_.Callbacks.ShowMessage = [this](const engine::EngineMessage &m) { ShowMessage(this, FromEngine(m)); };

    // No computing here: the first activation computes.
    setRecalcPending(true);
    onVariableTabChanged();
}

ResultsWindow::~ResultsWindow() = default;

void ResultsWindow::buildControls() {
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);

    variableTabs_ = new QTabBar(this);
    variableTabs_->setObjectName(QStringLiteral("variableTabs"));
    variableTabs_->addTab(QStringLiteral("Daily Temperatures "));
    variableTabs_->addTab(QStringLiteral("Precipitation / Potential Evapotranspiration "));
    variableTabs_->addTab(QStringLiteral("Sunshine Fraction / WindSpeed / Water Vapor Pressure"));
    variableTabs_->setExpanding(false);
    outer->addWidget(variableTabs_);

    for (int g = 1; g <= 3; ++g)
        buildGroupFrame(g, outer);
    buildLegendFrame(outer);

    connect(variableTabs_, &QTabBar::currentChanged, this, [this] { onVariableTabChanged(); });
}

void ResultsWindow::buildGroupFrame(int g, QVBoxLayout *outer) {
    static const char *const kFrameNames[4] = {"", "FrameS1", "FrameS2", "FrameS3"};
    static const char *const kFrameCaptions[4] = {
        "", "Mean , Maximum , Minimum Temperature [°C]",
        "Precipitation , Potential Evapotranspiration (PET) [mm/month]",
        "Sunshine Fraction , Windspeed [km/h] , Water Vapor Pressure [hPa]"};
    static const char *const kStripNames[4] = {"", "TempStrip", "PrecStrip", "windStrip"};
    static const char *const kPagePrefix[4] = {"", "pictemp", "picprec", "picwind"};
    static const char *const kGridNames[4][5] = {
        {},
        {"grdtemwarn", "", "grdTemp", "grdTemStat", "grdTempObs"},
        {"grdprecwarn", "", "grdPrec", "grdPrecStat", "grdPrecObs"},
        {"grdwindWarn", "", "grdWind", "grdWindStat", "grdWindObs"},
    };
    struct Tab {
        const char *caption;
        const char *tip;
    };
    static const Tab kTabs[5] = {
        {"Graph of Results", "Graph of Estimates"},
        {"Table of Results", "Table of Estimates"},
        {"Stations Information", "Stations used for the Estimation"},
        {"Observed Data", "Observations used for the Estimate."},
        {"Warnings", nullptr},
    };

    GroupControls &gc = groups_[static_cast<std::size_t>(g)];
    gc.frame = new QGroupBox(QString::fromUtf8(kFrameCaptions[g]), this);
    gc.frame->setObjectName(QString::fromLatin1(kFrameNames[g]));
    auto *layout = new QVBoxLayout(gc.frame);
    layout->setContentsMargins(4, 4, 4, 4);
    gc.strip = new QTabBar(gc.frame);
    gc.strip->setObjectName(QString::fromLatin1(kStripNames[g]));
    for (int t = 0; t < 5; ++t) {
        gc.strip->addTab(QString::fromLatin1(kTabs[t].caption));
        if (kTabs[t].tip)
            gc.strip->setTabToolTip(t, QString::fromLatin1(kTabs[t].tip));
    }
    gc.strip->setExpanding(false);
    layout->addWidget(gc.strip);
    gc.notice = MakeNoticeLabel(gc.frame, QStringLiteral("missingEstimates%1").arg(g));
    layout->addWidget(gc.notice);
    for (int p = 0; p < 5; ++p) {
        QWidget *page = nullptr;
        if (p == 1) {
            gc.chart = new ChartView(gc.frame);
            page = gc.chart;
        } else {
            QTableWidget *grid = MakeGrid(gc.frame);
            grid->setObjectName(QString::fromLatin1(kGridNames[g][p]));
            gc.grids[static_cast<std::size_t>(p)] = grid;
            page = grid;
        }
        page->setProperty("pageName", QStringLiteral("%1(%2)").arg(QString::fromLatin1(kPagePrefix[g])).arg(p));
        page->hide();
        gc.pages[static_cast<std::size_t>(p)] = page;
        layout->addWidget(page, 1);
    }
    outer->addWidget(gc.frame, 1);
    gc.frame->setVisible(g == 1);
    connect(gc.strip, &QTabBar::currentChanged, this, [this, g] { onGroupTabChanged(g); });
}

void ResultsWindow::buildLegendFrame(QVBoxLayout *outer) {
    legendFrame_ = new QGroupBox(QStringLiteral("Variables"), this);
    legendFrame_->setObjectName(QStringLiteral("legendFrame"));
    auto *legend = new QGridLayout(legendFrame_);
    legend->setContentsMargins(6, 2, 6, 2);
    legend->setVerticalSpacing(0);
    const QColor colours[4] = {QColor(), QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)};
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setStyleHint(QFont::SansSerif);
    for (int k = 1; k <= 3; ++k) {
        auto *line = new LineSample(colours[k], legendFrame_);
        line->setObjectName(QStringLiteral("Line%1").arg(k));
        auto *label = new QLabel(legendFrame_);
        label->setObjectName(QStringLiteral("Label%1").arg(k));
        label->setFont(verdana);
        legend->addWidget(line, k - 1, 0);
        legend->addWidget(label, k - 1, 1);
        lines_[static_cast<std::size_t>(k)] = line;
        labels_[static_cast<std::size_t>(k)] = label;
    }
    legend->setColumnStretch(1, 1);
    // The legend keeps its place while hidden, so the pages do not jump.
    QSizePolicy keep = legendFrame_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    legendFrame_->setSizePolicy(keep);
    outer->addWidget(legendFrame_);
}

bool ResultsWindow::RecalcPending() const { return appState().ResultsRecalcPending; }
void ResultsWindow::setRecalcPending(bool pending) { appState().ResultsRecalcPending = pending; }

QTabBar *ResultsWindow::InnerStrip(int group) const {
    return group >= 1 && group <= 3 ? groups_[static_cast<std::size_t>(group)].strip : nullptr;
}

QGroupBox *ResultsWindow::GroupFrame(int group) const {
    return group >= 1 && group <= 3 ? groups_[static_cast<std::size_t>(group)].frame : nullptr;
}

QWidget *ResultsWindow::Page(int group, int page) const {
    if (group < 1 || group > 3 || page < 0 || page > 4)
        return nullptr;
    return groups_[static_cast<std::size_t>(group)].pages[static_cast<std::size_t>(page)];
}

ChartView *ResultsWindow::Chart(int group) const {
    return group >= 1 && group <= 3 ? groups_[static_cast<std::size_t>(group)].chart : nullptr;
}

QTableWidget *ResultsWindow::Grid(int group, int page) const {
    if (group < 1 || group > 3 || page < 0 || page > 4)
        return nullptr;
    return groups_[static_cast<std::size_t>(group)].grids[static_cast<std::size_t>(page)];
}

QLabel *ResultsWindow::MissingEstimates(int group) const {
    return group >= 1 && group <= 3 ? groups_[static_cast<std::size_t>(group)].notice : nullptr;
}

QLabel *ResultsWindow::LegendLabel(int k) const { return k >= 1 && k <= 3 ? labels_[static_cast<std::size_t>(k)] : nullptr; }
QWidget *ResultsWindow::LegendLine(int k) const { return k >= 1 && k <= 3 ? lines_[static_cast<std::size_t>(k)] : nullptr; }

int ResultsWindow::PageOfTab(int tabIndex) {
    // Tabs 1 to 4 show pages 1 to 4; the fifth (and anything else) the warnings.
    return tabIndex >= 0 && tabIndex <= 3 ? tabIndex + 1 : 0;
}

// ---- Estimate run ------------------------------------------------------------------

bool ResultsWindow::ShowData(BusyMark mark) {
    // A run of this window is going (its events let this call through): the
    // run in progress finishes on its own.
    if (running_)
        return false;
    if (!currency_.Stale()) {
        CountActiveNeighbours(results_);
        state_.CurrentVariable = VariableCount - 1;
        RedrawSelectedPages();
        if (progressBar_)
            progressBar_->hide();
        unsetCursor();
        ShowLegendWithAChart();
        return HoldsCurrentEstimate();
    }

    std::optional<BusyGuard> busy;
    if (mark == BusyMark::Take) {
        busy.emplace();
        if (!busy->owns())
            return false;  // another computation is going; stay pending
    }
    running_ = true;

    legendFrame_->hide();
    const EstimateInputs inputs = currency_.Start();
    state_.UseSettings(inputs.Settings);
    state_.DataFolder = dataFolder();
    // Nothing of the previous estimate stays on show while this one is made.
    ClearResults(results_);
    RedrawSelectedPages();
    if (progressBar_) {
        progressBar_->setVisible(true);
        progressBar_->setMaximum(7);
        progressBar_->setMinimum(0);
    }
    setCursor(Qt::WaitCursor);

    const RunOutcome outcome =
        RunLocationEstimate(results_, state_, inputs.Longitude, inputs.Latitude, inputs.Altitude, [this](int v) {
            if (progressBar_)
                progressBar_->setValue(v);
        });
    // Marked before the message: a check while the box is open does not
    // repeat the run for the same inputs.
    currency_.Finish(outcome.ok, outcome.error);
    if (!outcome.ok)
        ShowMessage(this, MsgIcon::NoIcon, QString::fromStdString(outcome.error));

    state_.CurrentVariable = VariableCount - 1;
    running_ = false;
    RedrawSelectedPages();
    if (progressBar_)
        progressBar_->hide();
    unsetCursor();
    ShowLegendWithAChart();
    // Current only when the run finished for the location and settings that
    // are still in force; a change made while it ran leaves it due again.
    return HoldsCurrentEstimate();
}

bool ResultsWindow::HoldsCurrentEstimate() const {
    return !running_ && !currency_.Stale() && !currency_.Failed() && results_.AllComputed();
}

bool ResultsWindow::FailedAtCurrentInputs() const { return currency_.Failed() && !currency_.Stale(); }

bool ResultsWindow::EstimateDue() const { return !running_ && currency_.Stale(); }

void ResultsWindow::ComputeEstimate() { ShowData(); }

void ResultsWindow::onActivated() {
    if (EstimateDue())
        ShowData();
}

engine::EngineState &ResultsWindow::RestoreForWriting(int v) {
    RestoreVariable(results_, v, state_);
    return state_;
}

// ---- Tab groups -------------------------------------------------------------------

void ResultsWindow::RedrawSelectedPages() {
    for (int g = 1; g <= 3; ++g) {
        GroupControls &gc = groups_[static_cast<std::size_t>(g)];
        gc.strip->setVisible(true);
        ShowSelectedPage(g);
        // Said where the numbers would be; nothing while a run is going.
        const std::string notice =
            running_ ? std::string()
                     : MissingEstimatesNotice(g, results_, state_, currency_.Failure(), numfmt::userLocale());
        gc.notice->setText(QString::fromStdString(notice));
        gc.notice->setVisible(!notice.empty());
    }
}

void ResultsWindow::ShowSelectedPage(int group) {
    GroupControls &gc = groups_[static_cast<std::size_t>(group)];
    const int page = PageOfTab(gc.strip->currentIndex());
    for (int p = 0; p < 5; ++p)
        if (p != page)
            gc.pages[static_cast<std::size_t>(p)]->hide();
    gc.pages[static_cast<std::size_t>(page)]->show();
    FillPage(group, page);
}

void ResultsWindow::onGroupTabChanged(int group) {
    legendFrame_->hide();
    ShowSelectedPage(group);
    ShowLegendWithAChart();
}

void ResultsWindow::ShowLegendWithAChart() {
    const int group = variableTabs_->currentIndex() + 1;
    legendFrame_->setVisible(group >= 1 && group <= 3 &&
                             PageOfTab(groups_[static_cast<std::size_t>(group)].strip->currentIndex()) == 1);
}

void ResultsWindow::onVariableTabChanged() {
    const int group = variableTabs_->currentIndex() + 1;
    if (group < 1 || group > 3)
        return;
    for (int g = 1; g <= 3; ++g)
        if (g != group)
            groups_[static_cast<std::size_t>(g)].frame->hide();
    groups_[static_cast<std::size_t>(group)].frame->show();
    onGroupTabChanged(group);
    switch (group) {
    case 1:
        labels_[1]->setText(QStringLiteral("Monthly Means of Daily Maximum Temperatures [°C]"));
        labels_[2]->setText(QStringLiteral("Monthly Means of Daily Mean Temperature [°C]"));
        labels_[3]->setText(QStringLiteral("Monthly Means of Daily Minimum Temperature [°C]"));
        break;
    case 2:
        labels_[1]->setText(QStringLiteral("Precipitation [mm/month]"));
        labels_[2]->setText(QStringLiteral("Potential Evapotranspiration (PET) [mm/month]"));
        labels_[3]->setText(QString());
        break;
    default:
        labels_[1]->setText(QStringLiteral("Sunshine Fraction"));
        labels_[2]->setText(QStringLiteral("Windspeed [km/h]"));
        labels_[3]->setText(QStringLiteral("Water Vapor Pressure [hPa]"));
        break;
    }
    labels_[3]->setVisible(group != 2);
    lines_[3]->setVisible(group != 2);
}

void ResultsWindow::FillPage(int group, int page) {
    const numfmt::Locale locale = numfmt::userLocale();
    switch (page) {
    case 1: DrawChartPage(group); break;
    case 2: ApplyGridModel(Grid(group, 2), ResultsGrid(group, results_, locale)); break;
    case 3: ApplyGridModel(Grid(group, 3), StationGrid(group, results_, locale)); break;
    case 4: ApplyGridModel(Grid(group, 4), ObservationGrid(group, results_, locale)); break;
    default: ApplyGridModel(Grid(group, 0), WarningGrid(group, results_)); break;
    }
}

void ResultsWindow::DrawChartPage(int group) {
    const ChartRange range = ChartRangeOf(group, results_);
    chartMin_ = range.min;
    chartMax_ = range.max;
    ChartDrawing d = DrawChart(group, results_, range, numfmt::userLocale());
    chartMin_ = d.min;
    chartStep_ = d.step;
    Chart(group)->setDrawing(std::move(d));
}

// ---- Size and unload --------------------------------------------------------------

void ResultsWindow::resizeEvent(QResizeEvent *e) {
    QWidget::resizeEvent(e);
    if (resizeCount_ > 1 && !resizePending_) {
        // One redraw of the visible group for a burst of resize events.
        resizePending_ = true;
        QTimer::singleShot(0, this, [this] {
            resizePending_ = false;
            onVariableTabChanged();
        });
    }
    if (resizeCount_ < 255)
        ++resizeCount_;
}

void ResultsWindow::closeEvent(QCloseEvent *e) {
    resizeCount_ = 0;
    QWidget::closeEvent(e);
}

} // namespace tavisol::results
