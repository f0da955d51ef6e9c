#include "batch/batch_list_window.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>
#include <memory>

#include "batch/batchcommands.h"
#include "batch/batchsettings.h"
#include "batch/estimatepool.h"
#include "engine/engine.h"
#include "numfmt/numfmt_qt.h"
#include "numfmt/textfile.h"
#include "shell/appstate.h"
#include "shell/run_summary_window.h"
#include "shell/icons.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/savefiledialog.h"
#include "shell/programfolders.h"
#include "shell/sharedsettings.h"

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

QCheckBox *Check(QWidget *parent, const char *name, const QString &caption, bool ticked = false) {
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setChecked(ticked);
    return c;
}

QRadioButton *Option(QWidget *parent, const char *name, const QString &caption) {
    auto *o = new QRadioButton(caption, parent);
    o->setObjectName(QString::fromLatin1(name));
    return o;
}

QLineEdit *Box(QWidget *parent, const char *name, const QString &text) {
    auto *e = new QLineEdit(text, parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaximumWidth(80);
    return e;
}

void AddRow(QGridLayout *grid, const QString &label, QLineEdit *box, const QString &unit = QString()) {
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(box, row, 1);
    if (!unit.isEmpty())
        grid->addWidget(new QLabel(unit), row, 2);
}

batch::DateTime Now() {
    const QDateTime t = QDateTime::currentDateTime();
    return {t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(), t.time().second()};
}

} // namespace

BatchListWindow::BatchListWindow(QWidget *parent) : FieldDialog(parent) {
    setObjectName(QStringLiteral("frmList"));
    setWindowTitle(QStringLiteral("Process Locations from Grid"));
    setWindowIcon(MakeIcon(IconId::LocationGrid));
    buildControls();
    Form_Load();
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
    chkMean = Check(variables, "chkMean", QStringLiteral("Monthly Mean Temperature"));
    chkMax = Check(variables, "chkMax", QStringLiteral("Monthly Mean of Daily Maximum Temperature"));
    chkMin = Check(variables, "chkMin", QStringLiteral("Monthly Mean of Daily Minimum Temperature"));
    chkPrec = Check(variables, "chkPrec", QStringLiteral("Monthly Total Precipitation"));
    chkVap = Check(variables, "chkVap", QStringLiteral("Monthly Mean Water Vapor Pressure"));
    chkPET = Check(variables, "chkPET", QStringLiteral("Monthly Totals of Potential Evapotranspiration"));
    chkWind = Check(variables, "chkWind", QStringLiteral("Wind Speed"));
    chkSun = Check(variables, "chkSun", QStringLiteral("Sunshine Fraction"));
    auto *vl = new QVBoxLayout(variables);
    for (QCheckBox *c : variableBoxes())
        vl->addWidget(c);

    auto *outputs = new QGroupBox(QStringLiteral("Desired Output"), this);
    ChkBest = Check(outputs, "ChkBest", QStringLiteral("Best Estimate"));
    ChkHigh = Check(outputs, "ChkHigh", QStringLiteral("Confidence Interval"));
    auto *levels = new QWidget(outputs);
    optlev90 = Option(levels, "optlev90", QStringLiteral("90%"));
    optlev95 = Option(levels, "optlev95", QStringLiteral("95%"));
    optlev99 = Option(levels, "optlev99", QStringLiteral("99%"));
    auto *ll = new QHBoxLayout(levels);
    ll->setContentsMargins(20, 0, 0, 0);
    ll->addWidget(optlev90);
    ll->addWidget(optlev95);
    ll->addWidget(optlev99);
    ChkError = Check(outputs, "ChkError", QStringLiteral("Estimated Standard Error"));
    ChkBias = Check(outputs, "ChkBias", QStringLiteral("Estimated Bias"));
    ChkSlope = Check(outputs, "ChkSlope", QStringLiteral("Slope of Linear Altitude Dependency"));
    ChkExplVar = Check(outputs, "ChkExplVar", QStringLiteral("Explained Variance of Altitude Correction"));
    ChkAbsGrad = Check(outputs, "ChkAbsGrad", QStringLiteral("Absolute Value of horizontal Gradient"));
    ChkDirGrad = Check(outputs, "ChkDirGrad", QStringLiteral("Direction of Horizontal Gradient"));
    ChkLongGrad = Check(outputs, "ChkLongGrad", QStringLiteral("Longitudinal Gradient"));
    ChkLatGrad = Check(outputs, "ChkLatGrad", QStringLiteral("Latitudinal Gradient"));
    auto *ol = new QVBoxLayout(outputs);
    ol->addWidget(ChkBest);
    ol->addWidget(ChkHigh);
    ol->addWidget(levels);
    for (QCheckBox *c : {ChkError, ChkBias, ChkSlope, ChkExplVar, ChkAbsGrad, ChkDirGrad, ChkLongGrad, ChkLatGrad})
        ol->addWidget(c);

    auto *files = new QGroupBox(QStringLiteral("Output Files"), this);
    optNew = Option(files, "optNew", QStringLiteral("Overwrite existing Files"));
    optAppend = Option(files, "optAppend", QStringLiteral("Append Results to exisiting Files"));
    auto *fl = new QVBoxLayout(files);
    fl->addWidget(optNew);
    fl->addWidget(optAppend);

    auto *altitude = new QGroupBox(QStringLiteral("Altitude"), this);
    OptAlt = Option(altitude, "OptAlt", QStringLiteral("Elevation provided in Input File"));
    OptDem = Option(altitude, "OptDem", QStringLiteral("Use Digital Elevation Model"));
    auto *al = new QVBoxLayout(altitude);
    al->addWidget(OptAlt);
    al->addWidget(OptDem);

    auto *summary = new QGroupBox(QStringLiteral("Summary "), this);
    chksum = Check(summary, "chksum", QStringLiteral("Show a Summary after Processing the Data"));
    (new QVBoxLayout(summary))->addWidget(chksum);

    auto *corrections = new QGroupBox(QStringLiteral("Climatological Corrections"), this);
    chkAltCorr = Check(corrections, "chkAltCorr", QStringLiteral("Apply Local Linear Altitude Correction"), true);
    ChkGradCorr = Check(corrections, "ChkGradCorr", QStringLiteral("Apply Climate Gradient Correction"), true);
    txtShad = Box(corrections, "txtShad", QStringLiteral("1"));
    auto *cl = new QGridLayout(corrections);
    cl->addWidget(chkAltCorr, 0, 0, 1, 3);
    cl->addWidget(ChkGradCorr, 1, 0, 1, 3);
    AddRow(cl, QStringLiteral("Shadow Correction Coefficient"), txtShad);

    auto *neighbourhood = new QGroupBox(QStringLiteral("Size of Neighborhood"), this);
    txtMaxStat = Box(neighbourhood, "txtMaxStat", QStringLiteral("20"));
    txtMaxDist = Box(neighbourhood, "txtMaxDist", QStringLiteral("1000"));
    auto *nl = new QGridLayout(neighbourhood);
    AddRow(nl, QStringLiteral("Maximum number of stations"), txtMaxStat);
    AddRow(nl, QStringLiteral("Maximum Distance in km"), txtMaxDist);

    auto *idw = new QGroupBox(QStringLiteral("Inverse Distance Weighted Averaging"), this);
    txtPowExp = Box(idw, "txtPowExp", QStringLiteral("1"));
    txtMinDist = Box(idw, "txtMinDist", QStringLiteral("0.1"));
    auto *il = new QGridLayout(idw);
    AddRow(il, QStringLiteral("Power Exponent"), txtPowExp);
    AddRow(il, QStringLiteral("Nearest Neighbor Approx. if Min. Dist <"), txtMinDist, QStringLiteral("km."));

    auto *restrictions = new QGroupBox(QStringLiteral("Altitude Restrictions"), this);
    chkNeighbAlt = Check(restrictions, "chkNeighbAlt", QStringLiteral("Neighbors must provide Altitude"));
    txtMinHigh = Box(restrictions, "txtMinHigh", QStringLiteral("-350"));
    txtMaxHigh = Box(restrictions, "txtMaxHigh", QStringLiteral("8848"));
    auto *rl = new QGridLayout(restrictions);
    rl->addWidget(chkNeighbAlt, 0, 0, 1, 3);
    AddRow(rl, QStringLiteral("Only Stations higher than"), txtMinHigh);
    AddRow(rl, QStringLiteral("Only Stations lower than"), txtMaxHigh);

    CmdSave = new QPushButton(QStringLiteral("Save"), this);
    CmdSave->setObjectName(QStringLiteral("CmdSave"));
    CmdRun = new QPushButton(QStringLiteral("Set Location"), this);
    CmdRun->setObjectName(QStringLiteral("CmdRun"));
    CmdCanc = new QPushButton(QStringLiteral("Cancel"), this);
    CmdCanc->setObjectName(QStringLiteral("CmdCanc"));
    for (QPushButton *b : {CmdSave, CmdRun, CmdCanc})
        addButton(b);

    // Layout: the list on the left, the choices in two columns, the buttons below.
    auto *left = new QVBoxLayout;
    left->addWidget(LstStations, 1);
    left->addWidget(variables);
    auto *middle = new QVBoxLayout;
    middle->addWidget(outputs);
    middle->addWidget(files);
    middle->addWidget(altitude);
    middle->addWidget(summary);
    middle->addStretch(1);
    auto *right = new QVBoxLayout;
    right->addWidget(corrections);
    right->addWidget(neighbourhood);
    right->addWidget(idw);
    right->addWidget(restrictions);
    right->addStretch(1);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 2);
    columns->addLayout(middle, 1);
    columns->addLayout(right, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CmdSave);
    buttons->addWidget(CmdRun);
    buttons->addWidget(CmdCanc);
    auto *whole = new QVBoxLayout(this);
    whole->addLayout(columns, 1);
    whole->addLayout(buttons);

    addField(txtPowExp, static_cast<int>(SettingsField::PowExp));
    addField(txtMinDist, static_cast<int>(SettingsField::MinDist));
    addField(txtMaxStat, static_cast<int>(SettingsField::MaxStat));
    addField(txtMaxDist, static_cast<int>(SettingsField::MaxDist));
    addField(txtMinHigh, static_cast<int>(SettingsField::MinHigh));
    addField(txtMaxHigh, static_cast<int>(SettingsField::MaxHigh));
    addField(txtShad, static_cast<int>(SettingsField::Shad), -1);
    setFocusOrder({txtShad, txtMaxStat, txtMaxDist, txtPowExp, txtMinDist, txtMinHigh, txtMaxHigh, CmdSave, CmdRun,
                   CmdCanc});

    // Typing stores the value at once; so do the texts that the altitude
    // switch puts back.
    const std::pair<QLineEdit *, SettingsField> stored[] = {
        {txtPowExp, SettingsField::PowExp}, {txtMinDist, SettingsField::MinDist},
        {txtMaxStat, SettingsField::MaxStat}, {txtMaxDist, SettingsField::MaxDist},
        {txtMinHigh, SettingsField::MinHigh}, {txtMaxHigh, SettingsField::MaxHigh}};
    for (const auto &[box, field] : stored)
        connect(box, &QLineEdit::textChanged, this, [field](const QString &text) {
            batch::StoreTypedSetting(field, text.toStdString(), sharedSettings());
        });

    connect(ChkHigh, &QCheckBox::clicked, this, &BatchListWindow::ChkHigh_Click);
    connect(chkNeighbAlt, &QCheckBox::clicked, this, &BatchListWindow::chkNeighbAlt_Click);
    connect(CmdSave, &QPushButton::clicked, this, &BatchListWindow::CmdSave_Click);
    connect(CmdRun, &QPushButton::clicked, this, &BatchListWindow::CmdRun_Click);
    connect(CmdCanc, &QPushButton::clicked, this, &BatchListWindow::CmdCanc_Click);
    resize(1100, 640);
}

void BatchListWindow::Form_Load() {
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

void BatchListWindow::ChkHigh_Click() { setLevel(ChkHigh->isChecked() ? optlev90 : nullptr); }

void BatchListWindow::chkNeighbAlt_Click() {
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
    if (field != SettingsField::MinHigh && field != SettingsField::MaxHigh)
        return;
    if (auto m = dialogs::AltitudeOrderCheck(settingsFields(), field == SettingsField::MinHigh))
        showMessage(*m);
}

bool BatchListWindow::HasBatchSelection() const { return batch::HasBatchSelection(choices()); }

dialogs::SettingsFields BatchListWindow::settingsFields() const {
    dialogs::SettingsFields f;
    f.MaxDist = FieldString(txtMaxDist);
    f.MaxStat = FieldString(txtMaxStat);
    f.PowExp = FieldString(txtPowExp);
    f.MinDist = FieldString(txtMinDist);
    f.Shad = FieldString(txtShad);
    f.MinHigh = FieldString(txtMinHigh);
    f.MaxHigh = FieldString(txtMaxHigh);
    f.AltCorr = chkAltCorr->isChecked();
    f.GradCorr = ChkGradCorr->isChecked();
    f.NeighbAlt = chkNeighbAlt->isChecked();
    return f;
}

void BatchListWindow::ValidateBatchSettings() {
    batch::ValidateBatchSettings(settingsFields(), sharedSettings(), messageSink());
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
    for (int i = 0; i < n; ++i) {
        const QTreeWidgetItem *item = LstStations->topLevelItem(i);
        list.push_back({item->text(0).toStdString(), item->text(1).toStdString(), item->text(2).toStdString(),
                        item->text(3).toStdString()});
    }
    return list;
}

int BatchListWindow::locationCount() const { return LstStations->topLevelItemCount(); }

// ---- Commands -------------------------------------------------------------------------------

bool BatchListWindow::isRunning() const { return !CmdSave->isEnabled(); }

void BatchListWindow::setRunButtons(bool enabled) {
    CmdRun->setEnabled(enabled);
    CmdSave->setEnabled(enabled);
}

void BatchListWindow::CmdSave_Click() {
    if (!HasBatchSelection()) {
        ShowMessage(this, MsgIcon::Question,
                    QStringLiteral("Please select at least one desired output and one desired variable"),
                    QStringLiteral("Nothing selected!"));
        return;
    }
    if (locationCount() == 0) {
        ShowMessage(this, MsgIcon::Question, QStringLiteral("No stations "), QStringLiteral("Tavisol"));
        return;
    }
    if (!BusyGate(this))
        return;
    setRunButtons(false);
    const BatchDialogs &dialogs = batchDialogs();
    const QString programDir = QString::fromStdString(programFolder().string());
    if (appState().OutputFormat == FormatTavisol) {
        const QString title = QStringLiteral("Choose a Destination Folder");
        const QString folder = dialogs.chooseFolder
                                   ? dialogs.chooseFolder(this, title)
                                   : QFileDialog::getExistingDirectory(this, title, programDir);
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

void BatchListWindow::CmdRun_Click() {
    const int n = LstStations->topLevelItemCount();
    for (int i = 0; i < n; ++i) {
        const QTreeWidgetItem *item = LstStations->topLevelItem(i);
        if (!item->isSelected())
            continue;
        try {
            const batch::EntryPoint p = batch::ReadEntryPoint(
                {item->text(0).toStdString(), item->text(1).toStdString(), item->text(2).toStdString(),
                 item->text(3).toStdString()},
                numfmt::userLocale());
            SetCurrentLocation(std::string(), p.Longitude, p.Latitude, p.Altitude, RecalcMarks::Both);
        } catch (const std::exception &e) {
            ShowMessage(this, MsgIcon::NoIcon, QString::fromStdString(e.what()));
        }
        return;
    }
}

void BatchListWindow::CmdCanc_Click() {
    if (isRunning())
        batch::AbortExport() = true;
    else
        hide();
}

void BatchListWindow::reject() { CmdCanc_Click(); }

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
    host.Workers = batch::DefaultBatchWorkers();
    // The elevation model is read through the run's state (its data folder
    // and data files), also on the worker threads.
    host.Locale = numfmt::userLocale();
    return host;
}

void BatchListWindow::processit() {
    BusyGuard guard;
    if (!guard) {
        BusyGate(this);
        return;
    }
    prepareState();
    batch::RunHost host = makeHost();
    batch::RunOwnFormat(state_, locations(), DestinationFolder.toStdString(), Now(), host);
}

void BatchListWindow::ProcessOther() {
    BusyGuard guard;
    if (!guard) {
        BusyGate(this);
        return;
    }
    prepareState();
    batch::RunHost host = makeHost();
    // The run information file goes beside the export file.
    const std::filesystem::path file = OutputFileName.toStdString();
    batch::RunOtherFormat(state_, appState().OutputFormat, locations(), file, file.parent_path(), Now(), host);
}

// ---- The single window --------------------------------------------------------------------------

BatchListWindow &ListWindow() {
    if (!g_list)
        g_list = new BatchListWindow(MainWindow::instance());
    return *g_list;
}

BatchListWindow *ListWindowIfCreated() { return g_list; }

} // namespace tavisol
