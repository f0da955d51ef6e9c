#include "outdlg/dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <exception>
#include <functional>
#include <initializer_list>

#include "engine/engine.h"
#include "numfmt/numfmt_qt.h"
#include "outdlg/install.h"
#include "results/gridtexts.h"
#include "results/results_window.h"
#include "results/install.h"
#include "shell/appstate.h"
#include "shell/dialogcommands.h"
#include "shell/formcontrols.h"
#include "shell/icons.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/outputchoices.h"
#include "shell/programfolders.h"
#include "shell/sharedsettings.h"
#include "shell/widgetmakers.h"
#include "workbench/workbench_window.h"

namespace tavisol::outdlg {

namespace {

QPushButton *Button(QWidget *parent, const char *name, const char *caption) {
    auto *b = MakeNamed<QPushButton>(parent, name, QString::fromUtf8(caption));
    b->setAutoDefault(false);
    return b;
}

// A frame of check boxes one under another; each box is stored in its slot.
struct BoxSpec {
    QCheckBox *&slot;
    const char *name;
    const char *caption;
};

QGroupBox *BoxColumn(QWidget *parent, const char *name, const char *caption, std::initializer_list<BoxSpec> boxes) {
    auto *frame = MakeNamed<QGroupBox>(parent, name, QString::fromUtf8(caption));
    auto *layout = new QVBoxLayout(frame);
    for (const BoxSpec &b : boxes) {
        b.slot = MakeCheckBox(frame, b.name, QString::fromUtf8(b.caption));
        layout->addWidget(b.slot);
    }
    return frame;
}

// The three level options in a row of their own.
QWidget *BuildLevels(QWidget *parent, LevelOptions &levels) {
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(20, 0, 0, 0);
    levels.group = new QButtonGroup(row);
    auto option = [&](const char *name, const char *caption) {
        auto *o = MakeNamed<QRadioButton>(row, name, QString::fromUtf8(caption));
        levels.group->addButton(o);
        layout->addWidget(o);
        return o;
    };
    levels.optlev90 = option("optlev90", "90%");
    levels.optlev95 = option("optlev95", "95%");
    levels.optlev99 = option("optlev99", "99%");
    layout->addStretch(1);
    return row;
}

void EnableWorkbench() {
    if (workbench::WorkbenchWindow *w = workbench::WorkbenchWindow::existing())
        EnableFormControls(w);
}

// `used`: the settings of the run whose numbers are written, which the
// report's methods describe.
OutputRequest BaseRequest(const engine::EngineSettings &used) {
    const AppState &app = appState();
    OutputRequest r;
    r.Format = app.OutputFormat;
    r.Methods = AppliedSettingsRecord(used);
    r.Locale = numfmt::userLocale();
    r.LocationName = app.LocationName;
    r.Current = {app.CurLongitude, app.CurLatitude, app.CurElevation};
    return r;
}

std::filesystem::path ToPath(const QString &name) { return std::filesystem::path(name.toStdString()); }

// A result window as the Save and Print of its output dialog see it.
struct EstimateHolder {
    bool running = false;                 // one of the window's own runs is going
    bool due = false;                     // a run is due
    std::function<bool()> bringUpToDate;  // runs when due; whether it holds a current estimate
    std::function<std::string()> whyNone; // why it holds none
};

// The door of both dialogs' Save and Print, passed before the file or the
// printer is asked for, and again after it (an input may have changed while
// the question was open): true when the window holds a current estimate to
// write. Otherwise the user is told why, so that no stale, failed or missing
// estimate is written and nothing is asked in vain: while any run is going
// "Tavisol Busy"; else `refusal` with the reason the window holds none,
// which a run made here has just shown in its own box.
bool EstimateToWrite(QWidget *parent, const EstimateHolder &holder, const char *refusal) {
    if (holder.running) {
        SayBusy(parent);
        return false;
    }
    if (!BusyGate(parent))
        return false;
    QPointer<QWidget> alive(parent);
    const bool current = holder.bringUpToDate();
    if (!alive)
        return false;
    if (current)
        return true;
    QString text = QString::fromUtf8(refusal);
    if (const std::string why = holder.whyNone(); !why.empty() && !holder.due)
        text += QStringLiteral("\r") + QString::fromStdString(why);
    ShowMessage(parent, MsgIcon::Information, text);
    return false;
}

// Refusals of the workbench's Save and Print when it holds no estimate.
constexpr const char *NoWorkbenchEstimateSaveText =
    "The WorkBench holds no estimate of its variable at this location: nothing was saved.";
constexpr const char *NoWorkbenchEstimatePrintText =
    "The WorkBench holds no estimate of its variable at this location: nothing was printed.";

// The workbench (loaded on first use) through the door; null when it holds
// no current estimate of its variable.
workbench::WorkbenchWindow *WorkbenchUpToDate(QWidget *parent, const char *refusal) {
    using workbench::WorkbenchWindow;
    // Not loaded while a run is going: its load would start a run.
    WorkbenchWindow *loaded = WorkbenchWindow::existing();
    const EstimateHolder holder{loaded && loaded->model().Running(), !loaded || loaded->EstimateDue(),
                                [] { return WorkbenchWindow::instance()->ShowData(); },
                                [] {
                                    // A run without an active neighbour is no failure: then the line
                                    // above its panels, which names the criterion that left none.
                                    const workbench::WorkbenchModel &m = WorkbenchWindow::instance()->model();
                                    if (!m.Failure().empty())
                                        return m.Failure();
                                    return m.MissingEstimate.empty() ? std::string(engine::NoNeighboursMessage.Text)
                                                                     : m.MissingEstimate;
                                }};
    return EstimateToWrite(parent, holder, refusal) ? WorkbenchWindow::instance() : nullptr;
}

} // namespace

// ---- Level options -------------------------------------------------------------------

Level LevelOptions::level() const {
    return LastLevelSet(optlev90->isChecked(), optlev95->isChecked(), optlev99->isChecked());
}

void LevelOptions::setLevel(Level level) {
    // An exclusive group cannot clear its last option.
    group->setExclusive(false);
    optlev90->setChecked(level == Level::P90);
    optlev95->setChecked(level == Level::P95);
    optlev99->setChecked(level == Level::P99);
    group->setExclusive(true);
}

void LevelOptions::setEnabled(bool enabled) {
    optlev90->setEnabled(enabled);
    optlev95->setEnabled(enabled);
    optlev99->setEnabled(enabled);
}

// ---- What both dialogs share -------------------------------------------------------------

OutputDialog::OutputDialog(QWidget *parent, const char *name, const char *title) : QDialog(parent) {
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(QString::fromUtf8(title));
    setWindowIcon(MakeIcon(IconId::Save));
    setModal(false);
}

void OutputDialog::buildMonthly(QGroupBox *frame, QWidget *levelsRow) {
    auto *layout = new QVBoxLayout(frame);
    const std::array<QCheckBox **, MonthlyOutputChoices.size()> boxes{
        &ChkBest,    &ChkHigh,    &ChkError,   &ChkBias,     &ChkSlope,
        &ChkExplVar, &ChkAbsGrad, &ChkDirGrad, &ChkLongGrad, &ChkLatGrad};
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        if (k == ChoicesAboveLevels && levelsRow)
            layout->addWidget(levelsRow);
        const ChoiceBox &choice = MonthlyOutputChoices[k];
        *boxes[k] = MakeCheckBox(frame, choice.name, QString::fromUtf8(choice.caption));
        layout->addWidget(*boxes[k]);
    }
}

QGroupBox *OutputDialog::buildFurther() {
    return BoxColumn(this, "FrameFurther", "Further Information",
                     {{chkStat, "chkStat", "Station Information"}, {chkObs, "chkObs", "List of observed Data"}});
}

void OutputDialog::buildButtons(QVBoxLayout *top) {
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    CmdSave = Button(this, "CmdSave", "Save");
    CmdPrint = Button(this, "CmdPrint", "Print");
    CmdCanc = Button(this, "CmdCanc", "Cancel");
    buttons->addWidget(CmdSave);
    buttons->addWidget(CmdPrint);
    buttons->addWidget(CmdCanc);
    top->addLayout(buttons);
    connect(CmdSave, &QPushButton::clicked, this, [this] { onSaveClicked(); });
    connect(CmdPrint, &QPushButton::clicked, this, [this] { onPrintClicked(); });
    connect(CmdCanc, &QPushButton::clicked, this, [this] { onCancelClicked(); });
}

std::array<OutputDialog::OptionBox, 12> OutputDialog::sharedBoxes() const {
    using O = report::ReportOptions;
    return {{{ChkBest, &O::Best},
             {ChkHigh, &O::High},
             {ChkError, &O::Error},
             {ChkBias, &O::Bias},
             {ChkSlope, &O::Slope},
             {ChkExplVar, &O::ExplVar},
             {ChkAbsGrad, &O::AbsGrad},
             {ChkDirGrad, &O::DirGrad},
             {ChkLongGrad, &O::LongGrad},
             {ChkLatGrad, &O::LatGrad},
             {chkStat, &O::Stations},
             {chkObs, &O::Observations}}};
}

void OutputDialog::setSharedOutputsEnabled(bool enabled) {
    for (const OptionBox &b : sharedBoxes())
        b.box->setEnabled(enabled);
    Levels.setEnabled(enabled);
}

report::ReportOptions OutputDialog::sharedOutputs() const {
    report::ReportOptions o;
    for (const OptionBox &b : sharedBoxes())
        o.*b.option = b.box->isChecked();
    return o;
}

bool OutputDialog::SomethingChosen(const char *refusal) {
    if (HasSelection())
        return true;
    ShowMessage(this, MsgIcon::Question, QString::fromUtf8(refusal), QString::fromUtf8(NothingSelectedTitle));
    return false;
}

void OutputDialog::reject() { onCancelClicked(); }

// ---- ResultsOutputDialog ---------------------------------------------------------------------

ResultsOutputDialog::ResultsOutputDialog(QWidget *parent)
    : OutputDialog(parent, "resultsOutputDialog", "Output of automatic run of several variables") {
    buildControls();
    setUp();
}

void ResultsOutputDialog::buildControls() {
    auto *top = new QVBoxLayout(this);
    auto *columns = new QHBoxLayout;
    top->addLayout(columns);

    auto *variables = MakeNamed<QGroupBox>(this, "FrameVariable", QStringLiteral("Desired Variable"));
    auto *vl = new QVBoxLayout(variables);
    static_assert(VariableChoices.size() == VariableBoxCount);
    for (std::size_t v = 0; v < VariableBoxCount; ++v) {
        const ChoiceBox &choice = VariableChoices[v];
        VariableBoxes[v] = MakeCheckBox(variables, choice.name, QString::fromUtf8(choice.caption));
        vl->addWidget(VariableBoxes[v]);
    }
    vl->addStretch(1);
    chkMean = VariableBoxes[0];
    chkMax = VariableBoxes[1];
    chkMin = VariableBoxes[2];
    chkPrec = VariableBoxes[3];
    chkVap = VariableBoxes[4];
    chkPET = VariableBoxes[5];
    chkWind = VariableBoxes[6];
    chkSun = VariableBoxes[7];

    auto *right = new QVBoxLayout;
    auto *outputs = MakeNamed<QGroupBox>(this, "FrameOutput", QStringLiteral("Desired Output"));
    buildMonthly(outputs, BuildLevels(outputs, Levels));
    right->addWidget(outputs);
    right->addWidget(buildFurther());

    columns->addWidget(variables);
    columns->addLayout(right);
    buildButtons(top);

    connect(ChkHigh, &QCheckBox::toggled, this, [this] { onConfidenceIntervalClicked(); });
}

void ResultsOutputDialog::setUp() {
    adjustSize();
    if (MainWindow *main = MainWindow::instance()) {
        const QRect frame = main->frameGeometry();
        move(frame.left() + frame.width() / 2 - width() / 2, frame.top() + frame.height() / 2 - height() / 2);
    }
    EnableForFormat(appState().OutputFormat);
}

void ResultsOutputDialog::EnableForFormat(int format) {
    const ResultsOutputFormatRule rule = ResultsOutputRuleFor(format);
    ChkBest->setChecked(rule.Best);
    setSharedOutputsEnabled(rule.OutputsEnabled);
    for (std::size_t v = 0; v < VariableBoxCount; ++v) {
        VariableBoxes[v]->setChecked(rule.Variables[v]);
        VariableBoxes[v]->setEnabled(rule.VariablesEnabled);
    }
}

bool ResultsOutputDialog::event(QEvent *e) {
    if (e->type() == QEvent::WindowActivate) {
        results::ResultsWindow *resultsWindow = results::LocationResultsWindowIfCreated();
        // A failed run is not repeated each time a box over the dialog closes.
        if (!resultsWindow || resultsWindow->EstimateDue())
            // After the activation has finished, not inside it.
            QTimer::singleShot(0, this, &ResultsOutputDialog::onActivated);
    }
    return QDialog::event(e);
}

void ResultsOutputDialog::onActivated() {
    results::ResultsWindow &resultsWindow = results::LocationResultsWindow();
    if (!resultsWindow.EstimateDue())
        return;
    QPointer<ResultsOutputDialog> self(this);
    CmdSave->setEnabled(false);
    CmdPrint->setEnabled(false);
    resultsWindow.ShowData();
    // The estimate lets events through: Cancel may have unloaded the dialog.
    if (!self)
        return;
    CmdSave->setEnabled(true);
    CmdPrint->setEnabled(true);
}

void ResultsOutputDialog::onConfidenceIntervalClicked() {
    Levels.setLevel(ResultsOutputLevelAfterHighClick(Levels.level(), ChkHigh->isChecked()));
}

bool ResultsOutputDialog::HasSelection() const { return ResultsOutputHasSelection(Variables(), Outputs()); }

VariableTicks ResultsOutputDialog::Variables() const {
    VariableTicks ticks{};
    for (std::size_t v = 0; v < VariableBoxCount; ++v)
        ticks[v] = VariableBoxes[v]->isChecked();
    return ticks;
}

report::ReportOptions ResultsOutputDialog::Outputs() const { return WithLevel(sharedOutputs(), Levels.level()); }

OutputRequest ResultsOutputDialog::Request() const {
    OutputRequest r = BaseRequest(results::LocationResultsWindow().Engine());
    r.Variables = Variables();
    r.Options = Outputs();
    return r;
}

namespace {

// Refusals of the results window's Save and Print when it holds no estimate.
constexpr const char *FailedEstimateSaveText = "View Data holds no estimate at this location: nothing was saved.";
constexpr const char *FailedEstimatePrintText = "View Data holds no estimate at this location: nothing was printed.";
constexpr const char *NothingSavedText = " Nothing was saved.";
constexpr const char *NothingPrintedText = " Nothing was printed.";

// `text`, and on its next line why View Data holds no estimate of the
// variables, as it says above its pages.
QString WithWhyNoEstimate(const QString &text, const std::vector<int> &variables) {
    if (variables.empty())
        return text;
    const results::ResultsWindow &resultsWindow = results::LocationResultsWindow();
    const std::string why =
        results::MissingEstimatesNotice(variables, resultsWindow.Results(), resultsWindow.Engine().Settings(),
                                        resultsWindow.Failure(), numfmt::userLocale());
    return why.empty() ? text : text + QStringLiteral("\r") + QString::fromStdString(why);
}

} // namespace

bool ResultsOutputDialog::ResultsToWrite(bool save) {
    results::ResultsWindow &resultsWindow = results::LocationResultsWindow();
    // A run that failed for these inputs left the estimates of the variables
    // before the failure: they are written as those of a run that found no
    // neighbour for some variables, and the rest is said.
    const EstimateHolder holder{resultsWindow.isRunning(), resultsWindow.EstimateDue(),
                                [&resultsWindow] {
                                    return resultsWindow.ShowData() || resultsWindow.FailedAtCurrentInputs();
                                },
                                [&resultsWindow] { return resultsWindow.Failure(); }};
    QPointer<ResultsOutputDialog> self(this);
    if (!EstimateToWrite(this, holder, save ? FailedEstimateSaveText : FailedEstimatePrintText) || !self)
        return false;
    // The ticked variables or those the format reads may have no estimate.
    const OutputRequest request = Request();
    const std::string why = NothingToWriteReason(resultsWindow.Results(), request);
    if (why.empty())
        return true;
    ShowMessage(this, MsgIcon::Information,
                WithWhyNoEstimate(QString::fromStdString(why) +
                                      QString::fromUtf8(save ? NothingSavedText : NothingPrintedText),
                                  RequestedWithoutEstimate(resultsWindow.Results(), request)));
    return false;
}

void ResultsOutputDialog::onSaveClicked() {
    if (!SomethingChosen(NothingToSaveText) || !ResultsToWrite(true))
        return;
    QPointer<ResultsOutputDialog> self(this);
    const QString name = AskSaveFile(this, ResultsOutputSaveFilter(appState().OutputFormat), programFolder());
    if (name.isEmpty() || !self || !ResultsToWrite(true))
        return;
    const DispatchOutcome outcome = SaveResults(ToPath(name), Request());
    if (!outcome.ok) {
        ShowMessage(this, MsgIcon::NoIcon, QString::fromStdString(outcome.error));
        return;
    }
    ShowMessage(this, MsgIcon::Information,
                WithWhyNoEstimate(QString::fromStdString(SavedMessage(outcome)), outcome.LeftOut));
}

void ResultsOutputDialog::onPrintClicked() {
    if (!SomethingChosen(NothingToPrintText) || !ResultsToWrite(false))
        return;
    QPointer<ResultsOutputDialog> self(this);
    QPagedPaintDevice *device = AskPrinter(this);
    if (!device || !self || !ResultsToWrite(false))
        return;
    const OutputRequest request = Request();
    const std::string notice = printresults(*device, request);
    if (!notice.empty())
        ShowMessage(this, MsgIcon::Information,
                    WithWhyNoEstimate(QString::fromStdString(notice),
                                      RequestedWithoutEstimate(results::LocationResultsWindow().Results(), request)));
}

void ResultsOutputDialog::onCancelClicked() { UnloadResultsOutput(); }

// ---- WorkbenchOutputDialog ---------------------------------------------------------------------------

WorkbenchOutputDialog::WorkbenchOutputDialog(QWidget *parent) : OutputDialog(parent, "workbenchOutputDialog", "Output") {
    buildControls();
    EnableForFormat(appState().OutputFormat);
}

void WorkbenchOutputDialog::buildControls() {
    auto *top = new QVBoxLayout(this);
    auto *columns = new QHBoxLayout;
    top->addLayout(columns);

    auto *left = new QVBoxLayout;
    auto *monthly = MakeNamed<QGroupBox>(this, "FrameMonthly", QStringLiteral("Monthly Output"));
    buildMonthly(monthly, nullptr);
    left->addWidget(monthly);
    columns->addLayout(left);

    auto *right = new QVBoxLayout;
    auto *level = MakeNamed<QGroupBox>(this, "FrameLevel", QStringLiteral("Confidence Level"));
    auto *ll = new QVBoxLayout(level);
    ll->addWidget(BuildLevels(level, Levels));
    right->addWidget(level);

    right->addWidget(BoxColumn(this, "FrameFiner", "Finer Temporal Resolution",
                               {{chkDek, "chkDek", "Dekadal Resolution"},
                                {chkDay, "chkDay", "Daily Resolution"},
                                {chkThr, "chkThr", "Days reaching Threshold"}}));
    right->addWidget(buildFurther());
    right->addStretch(1);
    columns->addLayout(right);
    buildButtons(top);

    for (QCheckBox *b : levelUsers())
        connect(b, &QCheckBox::toggled, this, [this, b] { onLevelOutputClicked(b); });
}

std::array<QCheckBox *, 4> WorkbenchOutputDialog::levelUsers() const { return {ChkHigh, chkDay, chkDek, chkThr}; }

void WorkbenchOutputDialog::EnableForFormat(int format) {
    const WorkbenchOutputFormatRule rule = WorkbenchOutputRuleFor(format);
    ChkBest->setChecked(rule.Best);
    setSharedOutputsEnabled(rule.Enabled);
    for (QCheckBox *b : {chkDek, chkDay, chkThr})
        b->setEnabled(rule.Enabled);
}

void WorkbenchOutputDialog::onLevelOutputClicked(QCheckBox *box) {
    bool othersTicked = false;
    for (QCheckBox *b : levelUsers())
        if (b != box)
            othersTicked = othersTicked || b->isChecked();
    const workbench::WorkbenchWindow *w = workbench::WorkbenchWindow::existing();
    const Level workbenchLevel = w ? w->SelectedLevel() : Level::None;
    Levels.setLevel(WorkbenchOutputLevelAfterClick(Levels.level(), box->isChecked(), othersTicked, workbenchLevel));
}

report::ReportOptions WorkbenchOutputDialog::Outputs() const {
    report::ReportOptions o = sharedOutputs();
    o.Dekadal = chkDek->isChecked();
    o.Daily = chkDay->isChecked();
    o.Threshold = chkThr->isChecked();
    return WithLevel(o, Levels.level());
}

bool WorkbenchOutputDialog::HasSelection() const { return WorkbenchOutputHasSelection(Outputs()); }

OutputRequest WorkbenchOutputDialog::Request() const {
    const workbench::WorkbenchWindow *w = workbench::WorkbenchWindow::existing();
    OutputRequest r = BaseRequest(w ? static_cast<const engine::EngineSettings &>(w->State()) : sharedSettings());
    // A point picked on the workbench's map keeps its own name.
    if (w)
        r.LocationName = w->LocationName();
    r.Options = Outputs();
    return r;
}

void WorkbenchOutputDialog::onSaveClicked() {
    if (!SomethingChosen(NothingToSaveText))
        return;
    const int format = appState().OutputFormat;
    if (WorkbenchRefusesFormat(format)) {
        ShowMessage(this, MsgIcon::Information, QString::fromUtf8(WorkbenchFormatText));
        return;
    }
    QPointer<WorkbenchOutputDialog> self(this);
    if (!WorkbenchUpToDate(this, NoWorkbenchEstimateSaveText) || !self)
        return;
    const QString name = AskSaveFile(this, WorkbenchOutputSaveFilter(format), programFolder());
    if (name.isEmpty() || !self)
        return;
    workbench::WorkbenchWindow *w = WorkbenchUpToDate(this, NoWorkbenchEstimateSaveText);
    if (!w || !self)
        return;
    std::string saved;
    try {
        saved = w->SaveResults(name.toStdString());
    } catch (const std::exception &e) {
        ShowMessage(this, MsgIcon::NoIcon, QString::fromStdString(e.what()));
        return;
    }
    hide();
    EnableWorkbench();
    ShowMessage(this, MsgIcon::Information, QString::fromStdString(saved.empty() ? std::string(SavedText) : saved));
}

void WorkbenchOutputDialog::onPrintClicked() {
    if (!SomethingChosen(NothingToPrintText))
        return;
    if (WorkbenchRefusesFormat(appState().OutputFormat)) {
        ShowMessage(this, MsgIcon::Information, QString::fromUtf8(WorkbenchFormatText));
        return;
    }
    QPointer<WorkbenchOutputDialog> self(this);
    workbench::WorkbenchWindow *w = WorkbenchUpToDate(this, NoWorkbenchEstimatePrintText);
    if (!w || !self)
        return;
    QPagedPaintDevice *device = AskPrinter(this);
    if (!device || !self || !WorkbenchUpToDate(this, NoWorkbenchEstimatePrintText))
        return;
    PrintOn(*device, [w] { w->printresults(); });
    EnableWorkbench();
}

void WorkbenchOutputDialog::onCancelClicked() {
    hide();
    EnableWorkbench();
}

} // namespace tavisol::outdlg
