#include "batch/batch_list_window.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStringList>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>

#include <cmath>
#include <memory>

#include "batch/batchcommands.h"
#include "batch/batchsettings.h"
#include "batch/list_placement.h"
#include "engine/engine.h"
#include "engine/workers.h"
#include "numfmt/numfmt_qt.h"
#include "numfmt/textfile.h"
#include "shell/appstate.h"
#include "shell/dialoglogic.h"
#include "shell/dialoggate.h"
#include "shell/run_summary_window.h"
#include "shell/icons.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/outputchoices.h"
#include "shell/savefiledialog.h"
#include "shell/programfolders.h"
#include "shell/sharedsettings.h"
#include "shell/widgetmakers.h"

namespace tavisol {

namespace {

using dialogs::SettingsField;

QPointer<BatchListWindow> g_list;
QPointer<RunSummaryWindow> g_summary;

// Progress values are fractions of a variable; the bar counts thousandths.
constexpr double BarScale = 1000;

QProgressBar *ProgressBar() {
    MainWindow *main = MainWindow::instance();
    return main ? main->progressBar() : nullptr;
}

// A field for a typed value, at most 80 pixels wide.
QLineEdit *NarrowField(QWidget *parent, const char *name, const QString &text) {
    auto *e = MakeNamed<QLineEdit>(parent, name, text);
    e->setMaximumWidth(80);
    return e;
}

// The widgets one below the other in the group.
void Stack(QGroupBox *group, std::initializer_list<QWidget *> widgets) {
    auto *layout = new QVBoxLayout(group);
    for (QWidget *w : widgets)
        layout->addWidget(w);
}

// The groups one below the other, the room left over below them.
QVBoxLayout *Column(std::initializer_list<QWidget *> groups) {
    auto *column = new QVBoxLayout;
    for (QWidget *g : groups)
        column->addWidget(g);
    column->addStretch(1);
    return column;
}

// The row of the list as the runs read it.
batch::ListEntry EntryOf(const QTreeWidgetItem *item) {
    return {item->text(0).toStdString(), item->text(1).toStdString(), item->text(2).toStdString(),
            item->text(3).toStdString()};
}

batch::DateTime Now() {
    const QDateTime t = QDateTime::currentDateTime();
    return {t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(), t.time().second()};
}

} // namespace

BatchListWindow::BatchListWindow(QWidget *parent) : FieldDialog(parent) {
    setObjectName(QStringLiteral("batchListWindow"));
    setWindowTitle(QStringLiteral("Process Locations from Grid"));
    setWindowIcon(MakeIcon(IconId::LocationGrid));
    buildControls();
    setUp();
}

BatchListWindow::~BatchListWindow() = default;

void BatchListWindow::buildControls() {
    LstStations = new QTreeWidget(this);
    LstStations->setObjectName(QStringLiteral("LstStations"));
    LstStations->setColumnCount(4);
    LstStations->setHeaderLabels({QStringLiteral("Location"), QStringLiteral("Longitude"),
                                  QStringLiteral("Latitude"), QStringLiteral("Altitude")});
    LstStations->setRootIsDecorated(false);
    LstStations->setUniformRowHeights(true);
    LstStations->setSelectionMode(QAbstractItemView::SingleSelection);
    LstStations->header()->setSectionResizeMode(0, QHeaderView::Stretch);

    auto *variables = new QGroupBox(QStringLiteral("Desired Variable"), this);
    const std::array<QCheckBox **, VariableChoices.size()> variableSlots{&chkMean, &chkMax, &chkMin, &chkPrec,
                                                                           &chkVap,  &chkPET, &chkWind, &chkSun};
    for (std::size_t v = 0; v < variableSlots.size(); ++v) {
        const ChoiceBox &choice = VariableChoices[v];
        *variableSlots[v] = MakeCheckBox(variables, choice.name, QString::fromUtf8(choice.caption));
    }
    Stack(variables, {chkMean, chkMax, chkMin, chkPrec, chkVap, chkPET, chkWind, chkSun});

    auto *outputs = new QGroupBox(QStringLiteral("Desired Output"), this);
    const std::array<QCheckBox **, MonthlyOutputChoices.size()> outputSlots{
        &ChkBest,    &ChkHigh,    &ChkError,   &ChkBias,     &ChkSlope,
        &ChkExplVar, &ChkAbsGrad, &ChkDirGrad, &ChkLongGrad, &ChkLatGrad};
    auto makeOutputs = [&](std::size_t from, std::size_t to) {
        for (std::size_t k = from; k < to; ++k) {
            const ChoiceBox &choice = MonthlyOutputChoices[k];
            *outputSlots[k] = MakeCheckBox(outputs, choice.name, QString::fromUtf8(choice.caption));
        }
    };
    makeOutputs(0, ChoicesAboveLevels);
    auto *levels = new QWidget(outputs);
    optlev90 = MakeNamed<QRadioButton>(levels, "optlev90", QStringLiteral("90%"));
    optlev95 = MakeNamed<QRadioButton>(levels, "optlev95", QStringLiteral("95%"));
    optlev99 = MakeNamed<QRadioButton>(levels, "optlev99", QStringLiteral("99%"));
    auto *ll = new QHBoxLayout(levels);
    ll->setContentsMargins(20, 0, 0, 0);
    ll->addWidget(optlev90);
    ll->addWidget(optlev95);
    ll->addWidget(optlev99);
    makeOutputs(ChoicesAboveLevels, outputSlots.size());
    Stack(outputs, {ChkBest, ChkHigh, levels, ChkError, ChkBias, ChkSlope, ChkExplVar, ChkAbsGrad, ChkDirGrad,
                    ChkLongGrad, ChkLatGrad});

    auto *files = new QGroupBox(QStringLiteral("Output Files"), this);
    optNew = MakeNamed<QRadioButton>(files, "optNew", QStringLiteral("Overwrite existing Files"));
    optAppend = MakeNamed<QRadioButton>(files, "optAppend", QStringLiteral("Append Results to exisiting Files"));
    Stack(files, {optNew, optAppend});

    auto *altitude = new QGroupBox(QStringLiteral("Altitude"), this);
    OptAlt = MakeNamed<QRadioButton>(altitude, "OptAlt", QStringLiteral("Elevation provided in Input File"));
    OptDem = MakeNamed<QRadioButton>(altitude, "OptDem", QStringLiteral("Use Digital Elevation Model"));
    Stack(altitude, {OptAlt, OptDem});

    auto *summary = new QGroupBox(QStringLiteral("Summary "), this);
    chksum = MakeCheckBox(summary, "chksum", QStringLiteral("Show a Summary after Processing the Data"));
    Stack(summary, {chksum});

    auto *corrections = new QGroupBox(QStringLiteral("Climatological Corrections"), this);
    chkAltCorr =
        MakeCheckBox(corrections, "chkAltCorr", QStringLiteral("Apply Local Linear Altitude Correction"), true);
    ChkGradCorr = MakeCheckBox(corrections, "ChkGradCorr", QStringLiteral("Apply Climate Gradient Correction"), true);
    txtShad = NarrowField(corrections, "txtShad", QStringLiteral("1"));
    LayOutGroup(corrections, {chkAltCorr, ChkGradCorr}, {{QStringLiteral("Shadow Correction Coefficient"), txtShad}});

    auto *neighbourhood = new QGroupBox(QStringLiteral("Size of Neighborhood"), this);
    txtMaxStat = NarrowField(neighbourhood, "txtMaxStat", QStringLiteral("20"));
    txtMaxDist = NarrowField(neighbourhood, "txtMaxDist", QStringLiteral("1000"));
    LayOutGroup(neighbourhood, {},
                {{QStringLiteral("Maximum number of stations"), txtMaxStat},
                 {QStringLiteral("Maximum Distance in km"), txtMaxDist}});

    auto *idw = new QGroupBox(QStringLiteral("Inverse Distance Weighted Averaging"), this);
    txtPowExp = NarrowField(idw, "txtPowExp", QStringLiteral("1"));
    txtMinDist = NarrowField(idw, "txtMinDist", QStringLiteral("0.1"));
    LayOutGroup(idw, {},
                {{QStringLiteral("Power Exponent"), txtPowExp},
                 {QStringLiteral("Nearest Neighbor Approx. if Min. Dist <"), txtMinDist, QStringLiteral("km.")}});

    auto *restrictions = new QGroupBox(QStringLiteral("Altitude Restrictions"), this);
    chkNeighbAlt = MakeCheckBox(restrictions, "chkNeighbAlt", QStringLiteral("Neighbors must provide Altitude"));
    txtMinHigh = NarrowField(restrictions, "txtMinHigh", QStringLiteral("-350"));
    txtMaxHigh = NarrowField(restrictions, "txtMaxHigh", QStringLiteral("8848"));
    LayOutGroup(restrictions, {chkNeighbAlt},
                {{QStringLiteral("Only Stations higher than"), txtMinHigh},
                 {QStringLiteral("Only Stations lower than"), txtMaxHigh}});

    CmdSave = MakeNamed<QPushButton>(this, "CmdSave", QStringLiteral("Save"));
    CmdRun = MakeNamed<QPushButton>(this, "CmdRun", QStringLiteral("Set Location"));
    CmdCanc = MakeNamed<QPushButton>(this, "CmdCanc", QStringLiteral("Cancel"));
    addButton(CmdSave);
    addButton(CmdRun);
    // The typed settings are in force at once and stay after Cancel, so their
    // checks still run when the focus moves to it.
    addButton(CmdCanc, ButtonRole::CancelKeepingEntry);

    // Layout: the list on the left, the choices in two columns, the buttons below.
    auto *left = new QVBoxLayout;
    left->addWidget(LstStations, 1);
    left->addWidget(variables);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 2);
    columns->addLayout(Column({outputs, files, altitude, summary}), 1);
    columns->addLayout(Column({corrections, neighbourhood, idw, restrictions}), 1);
    // A window smaller than its choices (on a small screen) scrolls them.
    columns->setContentsMargins(0, 0, 0, 0);
    auto *choices = new QWidget;
    choices->setLayout(columns);
    auto *scroller = MakeNamed<QScrollArea>(this, "choicesArea");
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(choices);
    auto *whole = new QVBoxLayout(this);
    whole->addWidget(scroller, 1);
    whole->addLayout(MakeButtonRow({CmdSave, CmdRun, CmdCanc}));

    for (const SettingsBox &b : settingsBoxes())
        addField(b.field, static_cast<int>(b.id), b.selectLength);
    setFocusOrder({txtShad, txtMaxStat, txtMaxDist, txtPowExp, txtMinDist, txtMinHigh, txtMaxHigh, CmdSave, CmdRun,
                   CmdCanc});

    // Typing stores the value at once (the shadow coefficient waits for
    // Save); so do the texts that the altitude switch puts back.
    for (const SettingsBox &b : settingsBoxes())
        connect(b.field, &QLineEdit::textChanged, this, [field = b.id](const QString &text) {
            engine::EngineSettings settings = sharedSettings();
            batch::StoreTypedSetting(field, text.toStdString(), settings);
            SetSharedSettings(settings);
        });

    connect(ChkHigh, &QCheckBox::clicked, this, &BatchListWindow::onConfidenceIntervalClicked);
    connect(chkNeighbAlt, &QCheckBox::clicked, this, &BatchListWindow::onNeighboursNeedAltitudeClicked);
    connect(CmdSave, &QPushButton::clicked, this, &BatchListWindow::onSaveClicked);
    connect(CmdRun, &QPushButton::clicked, this, &BatchListWindow::onSetLocationClicked);
    connect(CmdCanc, &QPushButton::clicked, this, &BatchListWindow::onCancelClicked);
    // At least as large as the choices need unscrolled; the first showing fits it to the screen.
    resize(QSize(1100, 640).expandedTo(minimumSizeHint() + choices->minimumSizeHint() - scroller->minimumSizeHint()));
}

void BatchListWindow::setUp() {
    chkAltCorr->setText(QStringLiteral("Altitude Correction"));
    ChkGradCorr->setText(QStringLiteral("Horizontal Correction"));
    chksum->setText(QStringLiteral("Show Summary"));
    chkMin->setText(QStringLiteral("Minimum Temperature"));
    chkMax->setText(QStringLiteral("Maximum Temperature"));
    chkPET->setText(QStringLiteral("Potential Evapotranspiration"));
    chkVap->setText(QStringLiteral("Water Vapor Pressure"));
    ChkSlope->setText(QStringLiteral("Slope of Altitude Correction"));
    ChkAbsGrad->setText(QStringLiteral("Absolute of Horizontal Gradient"));
    ChkExplVar->setText(QStringLiteral("Expl. Variance of Alt. Correction"));
    optNew->setChecked(true);
    OptDem->setChecked(true);
    if (QProgressBar *bar = ProgressBar())
        bar->hide();
    chkMean->setChecked(true);
    ChkBest->setChecked(true);
    txtMinHigh->setReadOnly(true);
    txtMaxHigh->setReadOnly(true);
    batch::AbortExport() = false;
    EnableForFormat(appState().OutputFormat);
}

std::array<QCheckBox *, 8> BatchListWindow::variableBoxes() const {
    return {chkMean, chkMax, chkMin, chkPrec, chkVap, chkPET, chkWind, chkSun};
}

std::array<QCheckBox *, batch::OutputCount> BatchListWindow::outputBoxes() const {
    return {ChkBest, ChkHigh, ChkError, ChkBias, ChkSlope, ChkExplVar, ChkAbsGrad, ChkDirGrad, ChkLongGrad, ChkLatGrad};
}

void BatchListWindow::EnableForFormat(int code) {
    const bool own = code == FormatTavisol;
    ChkBest->setChecked(!own);
    for (QCheckBox *c : outputBoxes())
        c->setEnabled(own);
    for (QRadioButton *o : {optlev90, optlev95, optlev99})
        o->setEnabled(own);
    std::array<bool, 8> ticked{};
    bool free = true;
    if (code == FormatLgsInput || code == FormatLgsOutput) {
        ticked = {false, false, false, true, false, true, false, false};
        free = false;
    } else if (code == FormatFurrowin) {
        ticked = {false, true, true, false, false, true, true, true};
        free = false;
    }
    const auto boxes = variableBoxes();
    for (std::size_t v = 0; v < boxes.size(); ++v) {
        boxes[v]->setEnabled(free);
        boxes[v]->setChecked(ticked[v]);
    }
}

void BatchListWindow::setLevel(QRadioButton *level) {
    for (QRadioButton *o : {optlev90, optlev95, optlev99}) {
        o->setAutoExclusive(false);
        o->setChecked(o == level);
        o->setAutoExclusive(true);
    }
}

void BatchListWindow::onConfidenceIntervalClicked() { setLevel(ChkHigh->isChecked() ? optlev90 : nullptr); }

void BatchListWindow::onNeighboursNeedAltitudeClicked() {
    if (chkNeighbAlt->isChecked()) {
        txtMinHigh->setReadOnly(false);
        txtMaxHigh->setReadOnly(false);
        return;
    }
    txtMinHigh->setText(QStringLiteral("-350"));
    txtMaxHigh->setText(QStringLiteral("8848"));
    txtMinHigh->setReadOnly(true);
    txtMaxHigh->setReadOnly(true);
}

dialogs::KeyDecision BatchListWindow::keyDecision(int id, char32_t key) {
    return batch::BatchSettingsKey(static_cast<SettingsField>(id), key);
}

void BatchListWindow::fieldLeft(int id) {
    const auto field = static_cast<SettingsField>(id);
    // Not taken into force: said when the box is left, not only at Save.
    if (field == SettingsField::MaxStat) {
        if (auto m = batch::RefusedStationCount(FieldString(txtMaxStat))) {
            // The box keeps its text; the count the estimates use is said.
            m->text += "\rMaximum number of stations in force: " + std::to_string(sharedSettings().MaxStations) + ".";
            showMessage(*m);
        }
        return;
    }
    if (field != SettingsField::MinHigh && field != SettingsField::MaxHigh)
        return;
    if (auto m = dialogs::AltitudeOrderCheck(settingsFields(), field == SettingsField::MinHigh))
        showMessage(*m);
}

bool BatchListWindow::HasBatchSelection() const { return batch::HasBatchSelection(choices()); }

void BatchListWindow::ValidateBatchSettings() {
    // Put in force once every message has been answered.
    engine::EngineSettings settings = sharedSettings();
    batch::ValidateBatchSettings(settingsFields(), settings, messageSink());
    SetSharedSettings(settings);
}

batch::BatchChoices BatchListWindow::choices() const {
    batch::BatchChoices c;
    const auto vars = variableBoxes();
    for (std::size_t v = 0; v < vars.size(); ++v)
        c.Variables[v] = vars[v]->isChecked();
    const auto outs = outputBoxes();
    for (std::size_t o = 0; o < outs.size(); ++o)
        c.Outputs[o] = outs[o]->isChecked();
    c.ConfidenceLevel = batch::RunConfidenceLevel(optlev90->isChecked(), optlev95->isChecked());
    c.NewFiles = optNew->isChecked();
    c.UseDem = OptDem->isChecked();
    c.Summary = chksum->isChecked();
    return c;
}

void BatchListWindow::showEvent(QShowEvent *e) {
    MainWindow *main = MainWindow::instance();
    if (!placed_ && main && main->isVisible()) {
        placed_ = true;
        // Until the window manager has framed this window its frame is not
        // known; the main window's frame, from the same manager, stands in.
        QMargins frame = windowHandle()->frameMargins();
        if (frame.isNull() && main->windowHandle())
            frame = main->windowHandle()->frameMargins();
        setGeometry(batch::ListWindowGeometry(main->screen()->availableGeometry(),
                                              main->mdiArea()->mapToGlobal(QPoint(0, 0)), frame, size(),
                                              minimumSizeHint()));
    }
    FieldDialog::showEvent(e);
}

// ---- The list -------------------------------------------------------------------------

void BatchListWindow::clearLocations() { LstStations->clear(); }

void BatchListWindow::addLocation(const batch::ListEntry &e) {
    auto *item = new QTreeWidgetItem(LstStations);
    item->setText(0, QString::fromStdString(e.Text));
    item->setText(1, QString::fromStdString(e.Longitude));
    item->setText(2, QString::fromStdString(e.Latitude));
    item->setText(3, QString::fromStdString(e.Altitude));
}

batch::LocationList BatchListWindow::locations() const {
    batch::LocationList list;
    const int n = LstStations->topLevelItemCount();
    list.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        list.push_back(EntryOf(LstStations->topLevelItem(i)));
    return list;
}

int BatchListWindow::locationCount() const { return LstStations->topLevelItemCount(); }

// ---- Commands -------------------------------------------------------------------------------

bool BatchListWindow::isRunning() const { return !CmdSave->isEnabled(); }

void BatchListWindow::setRunButtons(bool enabled) {
    CmdRun->setEnabled(enabled);
    CmdSave->setEnabled(enabled);
}

void BatchListWindow::onSaveClicked() {
    if (!HasBatchSelection()) {
        ShowMessage(this, MsgIcon::Question,
                    QStringLiteral("Please select at least one desired output and one desired variable"),
                    QStringLiteral("Nothing selected!"));
        return;
    }
    // Before the count: a list being filled is not complete.
    if (!BusyGate(this))
        return;
    if (locationCount() == 0) {
        ShowMessage(this, MsgIcon::Question, QStringLiteral("No stations "), QStringLiteral("Tavisol"));
        return;
    }
    // A box beyond single precision holds nothing a run could use.
    if (auto m = batch::RefusedBatchSetting(settingsFields())) {
        showMessage(*m);
        return;
    }
    setRunButtons(false);
    const BatchDialogs &dialogs = batchDialogs();
    const QString programDir = QString::fromStdString(programFolder().string());
    if (appState().OutputFormat == FormatTavisol) {
        const QString title = QStringLiteral("Choose a Destination Folder");
        const QString folder = dialogs.chooseFolder ? dialogs.chooseFolder(this, title)
                               : ModalDialogMayOpen({"folder browser", title.toStdString(), {}})
                                   ? QFileDialog::getExistingDirectory(this, title, programDir)
                                   : QString();
        if (!folder.isEmpty()) {
            DestinationFolder = folder;
            ValidateBatchSettings();
            processit();
        }
    } else {
        const QString filter = appState().OutputFormat == FormatFurrowin ? QStringLiteral("Furrowin (*.Lst)")
                                                                         : QStringLiteral("Data (*.Dat)");
        const QString file = dialogs.chooseSaveFile
                                 ? WithFilterExtension(dialogs.chooseSaveFile(this, filter, programDir), filter)
                                 : GetSaveFileName(this, QString(), programDir, filter);
        if (!file.isEmpty()) {
            // The run writes the file under a temporary name and replaces the
            // old one only when it ends well.
            OutputFileName = file;
            ValidateBatchSettings();
            ProcessOther();
        }
    }
    setRunButtons(true);
}

void BatchListWindow::onSetLocationClicked() {
    const int n = LstStations->topLevelItemCount();
    for (int i = 0; i < n; ++i) {
        const QTreeWidgetItem *item = LstStations->topLevelItem(i);
        if (!item->isSelected())
            continue;
        try {
            const batch::EntryPoint p = batch::ReadEntryPoint(EntryOf(item), numfmt::userLocale());
            dialogs::StoreLocation(std::string(), p.Longitude, p.Latitude, p.Altitude, RecalcMarks::Both,
                                   MessageSinkFor(this));
        } catch (const std::exception &e) {
            ShowMessage(this, MsgIcon::NoIcon, QString::fromStdString(e.what()));
        }
        return;
    }
}

void BatchListWindow::setVisible(bool visible) {
    // Typed values are in force at once, so the leave rules' messages are
    // all the user learns of a value refused.
    if (!visible && isVisible() && !appState().Ending)
        for (const SettingsBox &b : settingsBoxes())
            if (b.field == focusWidget())
                fieldLeft(static_cast<int>(b.id));
    FieldDialog::setVisible(visible);
}

void BatchListWindow::onCancelClicked() {
    if (isRunning())
        batch::AbortExport() = true;
    else
        hide();
}

// ---- Runs ---------------------------------------------------------------------------------------

void BatchListWindow::prepareState() {
    state_.UseSettings(sharedSettings());
    state_.DataFolder = dataFolder();
    state_.Callbacks.DoEvents = [] { QCoreApplication::processEvents(); };
    state_.Callbacks.ShowMessage = [this](const engine::EngineMessage &m) { ShowMessage(this, FromEngine(m)); };
}

batch::RunHost BatchListWindow::makeHost() {
    batch::RunHost host;
    QPointer<BatchListWindow> self(this);
    host.Choices = [self] { return self ? self->choices() : batch::BatchChoices{}; };
    host.Message = MessageSinkFor(this);
    host.ProgressStart = [](double maximum) {
        if (QProgressBar *bar = ProgressBar()) {
            bar->setRange(0, static_cast<int>(std::lround(maximum * BarScale)));
            bar->setValue(0);
            bar->show();
        }
    };
    host.Progress = [](double value) {
        if (QProgressBar *bar = ProgressBar())
            bar->setValue(std::min(bar->maximum(), static_cast<int>(std::lround(value * BarScale))));
    };
    host.ProgressEnd = [] {
        if (QProgressBar *bar = ProgressBar())
            bar->hide();
    };
    host.BusyPointer = [self](bool busy) {
        if (!self)
            return;
        if (busy)
            self->setCursor(Qt::WaitCursor);
        else
            self->unsetCursor();
    };
    host.ShowSummary = [self](const std::vector<std::string> &lines) {
        if (!g_summary)
            g_summary = new RunSummaryWindow(MainWindow::instance());
        QStringList list;
        for (const std::string &l : lines)
            list.append(QString::fromStdString(l));
        g_summary->ShowSummaryLines(list);
        MainWindow::showWindow(g_summary);
    };
    // Events are let through between locations at most every 10 ms: with the
    // estimates made ahead by the workers a location takes microseconds.
    auto lastEvents = std::make_shared<QElapsedTimer>();
    host.DoEvents = [lastEvents] {
        if (lastEvents->isValid() && lastEvents->elapsed() < 10)
            return;
        QCoreApplication::processEvents();
        lastEvents->start();
    };
    host.Ending = [] { return appState().Ending; };
    host.Workers = engine::WorkerCount();
    // The elevation model is read through the run's state (its data folder
    // and data files), also on the worker threads.
    host.Locale = numfmt::userLocale();
    return host;
}

void BatchListWindow::runHoldingBusyMark(const std::function<void(batch::RunHost &)> &run) {
    BusyGuard guard;
    if (!guard) {
        BusyGate(this);
        return;
    }
    prepareState();
    batch::RunHost host = makeHost();
    run(host);
    // Exit during the run: the run has stopped, the window goes with the program.
    if (appState().Ending)
        hide();
}

void BatchListWindow::processit() {
    runHoldingBusyMark([this](batch::RunHost &host) {
        batch::RunOwnFormat(state_, locations(), DestinationFolder.toStdString(), Now(), host);
    });
}

void BatchListWindow::ProcessOther() {
    runHoldingBusyMark([this](batch::RunHost &host) {
        // The run information file goes beside the export file.
        const std::filesystem::path file = OutputFileName.toStdString();
        batch::RunOtherFormat(state_, appState().OutputFormat, locations(), file, file.parent_path(), Now(), host);
    });
}

// ---- The single window --------------------------------------------------------------------------

BatchListWindow &ListWindow() {
    if (!g_list)
        g_list = new BatchListWindow(MainWindow::instance());
    return *g_list;
}

BatchListWindow *ListWindowIfCreated() { return g_list; }

ListFill::ListFill(QWidget *parent) {
    if (busy_)
        ListWindow().clearLocations();
    else
        BusyGate(parent);
}

void ListFill::add(const batch::ListEntry &entry) { ListWindow().addLocation(entry); }

bool ListFill::letEventsThrough() {
    QCoreApplication::processEvents();
    return !appState().Ending;
}

} // namespace tavisol
