#include "workbench/workbench_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

#include "numfmt/numfmt_qt.h"
#include "shell/formcontrols.h"
#include "shell/icons.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/widgetmakers.h"
#include "workbench/pictures_qt.h"

namespace tavisol::workbench {

namespace {

WorkbenchWindow *g_instance = nullptr;
WorkbenchWindow::SaveHandler g_save;
WorkbenchWindow::PrintHandler g_print;

// Design sizes of the pictures in twips; a picture never counts as smaller.
constexpr double AltitudeDesignWidth = 6468;
constexpr double AltitudeDesignHeight = 4056;
constexpr double MapDesignHeight = 4056;
// The window's size as designed, in pixels.
constexpr QSize DesignSize(1000, 640);

QString Q(const std::string &s) { return QString::fromStdString(s); }

void TagNoFont(QWidget *w) { w->setProperty(ControlTagProperty, QStringLiteral("nofont")); }

} // namespace

WorkbenchWindow *WorkbenchWindow::instance() {
    if (!g_instance) {
        g_instance = new WorkbenchWindow();
        g_instance->setUp();
    }
    return g_instance;
}

WorkbenchWindow *WorkbenchWindow::existing() { return g_instance; }

void WorkbenchWindow::destroyInstance() {
    delete g_instance;
    g_instance = nullptr;
}

WorkbenchWindow::WorkbenchWindow() {
    setObjectName(QStringLiteral("workbenchWindow"));
    setWindowTitle(QStringLiteral("WorkBench"));
    setWindowIcon(MakeIcon(IconId::WorkBench));
    QFont f = font();
    f.setPointSize(8);
    setFont(f);

    model_.Locale = numfmt::userLocale();
    model_.hooks.Beep = [] { QApplication::beep(); };
    model_.hooks.EngineMessage = [this](const engine::EngineMessage &m) { ShowMessage(this, FromEngine(m)); };
    model_.hooks.ErrorMessage = [this](const std::string &text) { ShowMessage(this, Message{text, ""}); };
    model_.hooks.AskYesNo = [this](const std::string &text, const std::string &title) {
        return ShowMessage(this, QuestionMessage(text, title)) == MsgAnswer::Yes;
    };
    model_.hooks.ShowMessage = [this](const Message &m) { ShowMessage(this, m); };
    model_.hooks.Busy = [this] { BusyGate(this); };
    model_.hooks.Hourglass = [this](bool wait) {
        if (wait)
            setCursor(Qt::WaitCursor);
        else
            unsetCursor();
    };
    model_.hooks.DoEvents = [] { QCoreApplication::processEvents(); };

    model_.hooks.PanelsCleared = [this] { Sync(); };

    buildControls();
}

WorkbenchWindow::~WorkbenchWindow() {
    if (g_instance == this)
        g_instance = nullptr;
}

void WorkbenchWindow::buildControls() {
    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);

    // ---- Left: variable, tabs and panels ----
    auto *left = new QVBoxLayout;
    outer->addLayout(left, 1);
    buildVariableAndTabs(left);
    buildTables(left);
    buildAltitudePlot(left);
    buildStationMap(left);
    picResults = new PictureBox(this);
    picResults->setObjectName(QStringLiteral("picResults"));
    picResults->setMinimumSize(431, 270);
    picResults->setDrawing(&model_.Chart);
    left->addWidget(picResults, 1);

    // ---- Right: options, warnings, active neighbours ----
    optionsFrame = new QGroupBox(QStringLiteral("Options"), this);
    optionsFrame->setObjectName(QStringLiteral("optionsFrame"));
    auto *right = new QVBoxLayout(optionsFrame);
    outer->addWidget(optionsFrame);
    buildConfidenceFrame(right);
    buildWarningsFrame(right);
    buildActivesFrame(right);
    right->addStretch(1);

    connectHandlers();
    resize(DesignSize);
}

void WorkbenchWindow::buildVariableAndTabs(QVBoxLayout *left) {
    auto *top = new QHBoxLayout;
    variableLabel = new QLabel(QStringLiteral("Variable:"), this);
    variableLabel->setObjectName(QStringLiteral("variableLabel"));
    variableBox = new QComboBox(this);
    variableBox->setObjectName(QStringLiteral("variableBox"));
    variableBox->setToolTip(QStringLiteral("Choose one of seven variables."));
    for (const auto &name : engine::VariableNames)
        variableBox->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    top->addWidget(variableLabel);
    top->addWidget(variableBox);
    top->addStretch(1);
    left->addLayout(top);

    pageTabs = new QTabBar(this);
    pageTabs->setObjectName(QStringLiteral("pageTabs"));
    for (const char *t : {"Neighbor Information", "Neighbor Data", "Observation-Altitude Graph", "Regional Map",
                          "Table of Results", "Graph of Results"})
        pageTabs->addTab(QString::fromLatin1(t));
    left->addWidget(pageTabs);
    missingEstimate = MakeNoticeLabel(this, QStringLiteral("missingEstimate"));
    left->addWidget(missingEstimate);

    periodTabs = new QTabBar(this);
    periodTabs->setObjectName(QStringLiteral("periodTabs"));
    for (const char *t : {"Monthly", "Dekadal", "Daily", "Days above Threshold"})
        periodTabs->addTab(QString::fromLatin1(t));
    TagNoFont(periodTabs);
    left->addWidget(periodTabs);
}

void WorkbenchWindow::buildTables(QVBoxLayout *left) {
    auto grid = [this, left](const char *name, bool arial) {
        auto *g = MakeNamed<FlexGrid>(this, name);
        if (arial) {
            QFont f(QStringLiteral("Arial"));
            f.setPointSizeF(8.25);
            g->setFont(f);
        }
        TagNoFont(g);
        left->addWidget(g, 1);
        return g;
    };
    grdStation = grid("grdStation", true);
    grdObservation = grid("grdObservation", true);
    grdResults = grid("grdResults", false);
    // A selected cell of the monthly table keeps its colours; the other
    // three tables show the selection highlighted.
    grdResults->setSelectionInNormalColours();
    grdDekad = grid("grdDekad", false);
    GrdDay = grid("GrdDay", false);
    grdThres = grid("grdThres", false);
}

void WorkbenchWindow::buildAltitudePlot(QVBoxLayout *left) {
    picAltitude = new PictureBox(this);
    picAltitude->setObjectName(QStringLiteral("picAltitude"));
    picAltitude->setMinimumSize(431, 270);
    picAltitude->setDrawing(&model_.Plot);
    auto *l = new QVBoxLayout(picAltitude);
    l->addStretch(1);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    cmdmonthback = new QPushButton(QStringLiteral("Previous Month"), picAltitude);
    cmdmonthback->setObjectName(QStringLiteral("cmdmonthback"));
    cmdmonthnext = new QPushButton(QStringLiteral("Next Month"), picAltitude);
    cmdmonthnext->setObjectName(QStringLiteral("cmdmonthnext"));
    row->addWidget(cmdmonthback);
    row->addWidget(cmdmonthnext);
    l->addLayout(row);
    left->addWidget(picAltitude, 1);
}

void WorkbenchWindow::buildStationMap(QVBoxLayout *left) {
    PicStationFather = new QWidget(this);
    PicStationFather->setObjectName(QStringLiteral("PicStationFather"));
    auto *l = new QHBoxLayout(PicStationFather);
    l->setContentsMargins(0, 0, 0, 0);
    picMapStation = new PictureBox(PicStationFather);
    picMapStation->setObjectName(QStringLiteral("picMapStation"));
    picMapStation->setMinimumSize(431, 270);
    picMapStation->setDrawing(&model_.Map);
    picMapStation->setCursor(Qt::CrossCursor);
    auto *readout = new QVBoxLayout(picMapStation);
    readout->addStretch(1);
    decimalPositionLabel = new QLabel(picMapStation);
    decimalPositionLabel->setObjectName(QStringLiteral("decimalPositionLabel"));
    dmsPositionLabel = new QLabel(picMapStation);
    dmsPositionLabel->setObjectName(QStringLiteral("dmsPositionLabel"));
    readout->addWidget(decimalPositionLabel);
    readout->addWidget(dmsPositionLabel);
    l->addWidget(picMapStation, 1);
    auto *side = new QVBoxLayout;
    PictureLegend = new PictureBox(PicStationFather);
    PictureLegend->setObjectName(QStringLiteral("PictureLegend"));
    PictureLegend->setFixedSize(110, 252);
    PictureLegend->setDrawing(&model_.Legend);
    side->addWidget(PictureLegend);
    auto sideButton = [&](const char *caption, const char *name) {
        auto *b = MakeNamed<QPushButton>(PicStationFather, name, QString::fromLatin1(caption));
        side->addWidget(b);
        return b;
    };
    cmdZoomOut = sideButton("Zoom Out", "cmdZoomOut");
    cmdZoomIn = sideButton("Zoom In", "cmdZoomIn");
    CmdFine = sideButton("Finer", "CmdFine");
    CmdCoarse = sideButton("Coarser", "CmdCoarse");
    side->addStretch(1);
    l->addLayout(side);
    left->addWidget(PicStationFather, 1);
}

void WorkbenchWindow::buildConfidenceFrame(QVBoxLayout *right) {
    confidenceFrame = MakeNamed<QGroupBox>(optionsFrame, "confidenceFrame", QStringLiteral("Level of Confidence"));
    auto *l = new QVBoxLayout(confidenceFrame);
    levels_ = new QButtonGroup(confidenceFrame);
    levels_->setExclusive(true);
    auto level = [&](const char *caption, const char *name, int id) {
        auto *o = MakeNamed<QRadioButton>(confidenceFrame, name, QString::fromLatin1(caption));
        levels_->addButton(o, id);
        l->addWidget(o);
        return o;
    };
    optlev90 = level("90 %", "optlev90", 1);
    optlev95 = level("95 %", "optlev95", 2);
    optlev99 = level("99 %", "optlev99", 3);
    labfew = new QLabel(QStringLiteral("To Few Data"), confidenceFrame);
    labfew->setObjectName(QStringLiteral("labfew"));
    labfew->hide();
    Labhit = new QLabel(QStringLiteral("You hit a Station"), confidenceFrame);
    Labhit->setObjectName(QStringLiteral("Labhit"));
    Labhit->hide();
    l->addWidget(labfew);
    l->addWidget(Labhit);
    right->addWidget(confidenceFrame);
}

void WorkbenchWindow::buildWarningsFrame(QVBoxLayout *right) {
    framWarn = MakeNamed<QGroupBox>(optionsFrame, "framWarn", QStringLiteral("Warnings"));
    framWarn->setToolTip(QStringLiteral("Gives you up to seven warnings if problems occur."));
    auto *l = new QGridLayout(framWarn);
    for (int i = 0; i < WarningCount; ++i) {
        const WarningKind kind = WarningOrder[static_cast<std::size_t>(i)];
        auto *b = new QPushButton(QString::fromLatin1(WarningCaption(kind)), framWarn);
        b->setObjectName(QString::fromLatin1(WarningControlName(kind)));
        b->setEnabled(false);
        // Only the panel's refresh enables a warning button: enabling the
        // window's controls (the output dialog's closing) leaves them, so
        // no warning that was not raised can be explained.
        TagNoFont(b);
        l->addWidget(b, i / 2, i % 2);
        warnButtons_[static_cast<std::size_t>(i)] = b;
        connect(b, &QPushButton::clicked, this, [this, i] { onWarningClicked(i); });
    }
    framWarn->hide();
    right->addWidget(framWarn);
}

void WorkbenchWindow::buildActivesFrame(QVBoxLayout *right) {
    activesFrame = MakeNamed<QGroupBox>(optionsFrame, "activesFrame", QStringLiteral("Actives"));
    activesFrame->setToolTip(
        QStringLiteral("Shows the neighbours used for the estimation; check or uncheck them to change the estimate."));
    auto *l = new QGridLayout(activesFrame);
    for (int k = 1; k <= engine::MaxNeighbours; ++k) {
        auto *c = new QCheckBox(QString::number(k), activesFrame);
        c->setObjectName(QStringLiteral("neighbourCheck%1").arg(k));
        c->hide();
        l->addWidget(c, (k - 1) % 10, (k - 1) / 10);
        checks_[static_cast<std::size_t>(k)] = c;
        // clicked: the user's toggling only, not a value set in code.
        connect(c, &QCheckBox::clicked, this,
                [this, k](bool checked) { Run([this, k, checked] { model_.ToggleNeighbour(k, checked); }); });
    }
    activesFrame->hide();
    right->addWidget(activesFrame);
}

void WorkbenchWindow::connectHandlers() {
    connect(variableBox, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { Run([this, index] { model_.SelectVariable(index); }); });
    connect(pageTabs, &QTabBar::currentChanged, this, [this](int) { onPageTabChanged(); });
    connect(periodTabs, &QTabBar::currentChanged, this, [this](int) { onPeriodTabChanged(); });
    connect(levels_, &QButtonGroup::idClicked, this, [this](int id) {
        const ConfidenceLevel l = id == 1 ? ConfidenceLevel::P90 : id == 2 ? ConfidenceLevel::P95 : ConfidenceLevel::P99;
        Run([this, l] { model_.SetLevel(l); });
    });
    connect(cmdmonthback, &QPushButton::clicked, this, [this] { Run([this] { model_.PreviousMonth(); }); });
    connect(cmdmonthnext, &QPushButton::clicked, this, [this] { Run([this] { model_.NextMonth(); }); });
    connect(CmdCoarse, &QPushButton::clicked, this, [this] { Run([this] { model_.Coarser(); }); });
    connect(CmdFine, &QPushButton::clicked, this, [this] { Run([this] { model_.Finer(); }); });
    connect(cmdZoomOut, &QPushButton::clicked, this, [this] { Run([this] { model_.MapZoomOut(); }); });
    connect(cmdZoomIn, &QPushButton::clicked, this, [this] { Run([this] { model_.MapZoomIn(); }); });
    connect(picMapStation, &PictureBox::mousePressed, this, [this](Qt::MouseButton button, double x, double y) {
        if (button == Qt::RightButton)
            Run([this, x, y] { model_.MapRightClick(x, y); });
    });
    connect(picMapStation, &PictureBox::mouseMoved, this, [this](double x, double y) {
        const PointerReadout r = model_.MapPointer(x, y);
        decimalPositionLabel->setText(Q(r.decimal));
        dmsPositionLabel->setText(Q(r.dms));
    });
}

template <typename F>
void WorkbenchWindow::Run(F &&action) {
    UpdateMetrics();
    action();
    Sync();
}

void WorkbenchWindow::UpdateMetrics() {
    model_.PlotSize.width = std::max(picAltitude->widthTwips(), AltitudeDesignWidth);
    model_.PlotSize.height = std::max(picAltitude->heightTwips(), AltitudeDesignHeight);
    model_.MapSize.pictureHeight = std::max(picMapStation->heightTwips(), MapDesignHeight);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        model_.MapSize.screenHeight = screen->size().height() * 1440.0 / std::max(1, logicalDpiY());
}

void WorkbenchWindow::setUp() {
    decimalPositionLabel->clear();
    dmsPositionLabel->clear();
    Run([this] { model_.Load(); });
    pageTabs->setCurrentIndex(0);
    onPageTabChanged();
}

void WorkbenchWindow::onActivated() {
    Run([this] { model_.Activate(); });
}

bool WorkbenchWindow::EstimateDue() const { return model_.EstimateDue(); }

void WorkbenchWindow::ComputeEstimate() { onActivated(); }

bool WorkbenchWindow::ShowData() {
    bool current = false;
    Run([this, &current] { current = model_.ShowData(); });
    return current;
}

void WorkbenchWindow::Schreib() {
    Run([this] { model_.Schreib(); });
}

QSize WorkbenchWindow::sizeHint() const { return QWidget::sizeHint().expandedTo(DesignSize); }

void WorkbenchWindow::closeEvent(QCloseEvent *event) {
    model_.Unload();
    event->accept();
}

void WorkbenchWindow::onPageTabChanged() {
    const int tab = pageTabs->currentIndex() + 1;
    Run([this, tab] { model_.SelectTab(static_cast<MainTab>(tab)); });
}

void WorkbenchWindow::onPeriodTabChanged() {
    const int view = periodTabs->currentIndex() + 1;
    Run([this, view] { model_.SelectView(static_cast<ResultView>(view)); });
}

void WorkbenchWindow::onWarningClicked(int index) {
    const WarningExplanation e = model_.Explain(WarningOrder[static_cast<std::size_t>(index)]);
    ShowMessage(this, Message{e.text, e.title, MsgIcon::Warning});
}

void WorkbenchWindow::Sync() {
    setWindowTitle(Q(model_.Caption));
    missingEstimate->setText(Q(model_.MissingEstimate));
    missingEstimate->setVisible(!model_.MissingEstimate.empty());
    {
        const QSignalBlocker b(variableBox);
        variableBox->setCurrentIndex(model_.SelectedVariable);
    }
    {
        const QSignalBlocker b1(pageTabs), b2(periodTabs);
        pageTabs->setCurrentIndex(static_cast<int>(model_.Tab) - 1);
        periodTabs->setCurrentIndex(static_cast<int>(model_.View) - 1);
    }

    grdStation->showTable(model_.Station);
    grdObservation->showTable(model_.Observation);
    grdResults->showTable(model_.Results.Results);
    grdDekad->showTable(model_.Results.Dekad);
    GrdDay->showTable(model_.Results.Day);
    grdThres->showTable(model_.Results.Thres);
    for (PictureBox *p : {picAltitude, picMapStation, PictureLegend, picResults})
        p->update();
    if (!model_.MapShown()) {
        // The position read over the map before it went blank.
        decimalPositionLabel->clear();
        dmsPositionLabel->clear();
    }

    // Panels of the selected tabs.
    for (QWidget *w : std::initializer_list<QWidget *>{grdObservation, grdStation, picAltitude, PicStationFather,
                                                       picResults, GrdDay, grdDekad, grdThres, grdResults, periodTabs})
        w->hide();
    switch (model_.Tab) {
    case MainTab::NeighborInformation: grdStation->show(); break;
    case MainTab::NeighborData: grdObservation->show(); break;
    case MainTab::AltitudeGraph: picAltitude->show(); break;
    case MainTab::RegionalMap: PicStationFather->show(); break;
    case MainTab::TableOfResults: {
        periodTabs->show();
        FlexGrid *grids[4] = {grdResults, grdDekad, GrdDay, grdThres};
        grids[static_cast<int>(model_.View) - 1]->show();
        break;
    }
    case MainTab::GraphOfResults:
        periodTabs->show();
        picResults->show();
        break;
    }

    // Options.
    optlev90->setVisible(model_.OptionsVisible);
    optlev95->setVisible(model_.OptionsVisible);
    optlev99->setVisible(model_.OptionsVisible);
    labfew->setVisible(model_.FewVisible);
    Labhit->setVisible(model_.HitVisible);
    {
        const QSignalBlocker b(levels_);
        levels_->setExclusive(false);
        optlev90->setChecked(model_.Level == ConfidenceLevel::P90);
        optlev95->setChecked(model_.Level == ConfidenceLevel::P95);
        optlev99->setChecked(model_.Level == ConfidenceLevel::P99);
        levels_->setExclusive(true);
    }

    // Warnings: only a refresh of the panel changes them, so that buttons the
    // output dialog enabled stay usable until then.
    if (shownWarnings_ != model_.WarningsShown) {
        shownWarnings_ = model_.WarningsShown;
        framWarn->setVisible(model_.Warnings.visible);
        for (int i = 0; i < WarningCount; ++i)
            warnButtons_[static_cast<std::size_t>(i)]->setEnabled(model_.Warnings.enabled[static_cast<std::size_t>(i)]);
    }

    // Active neighbours.
    const engine::WorkbenchSelection &sel = model_.State.Workbench;
    activesFrame->setVisible(sel.activesFrameVisible);
    for (int k = 1; k <= engine::MaxNeighbours; ++k) {
        QCheckBox *c = checks_[static_cast<std::size_t>(k)];
        const QSignalBlocker b(c);
        c->setChecked(sel.Check[static_cast<std::size_t>(k)] == 1);
        c->setVisible(sel.CheckVisible[static_cast<std::size_t>(k)]);
    }
}

void WorkbenchWindow::SetSaveResultsHandler(SaveHandler handler) { g_save = std::move(handler); }
void WorkbenchWindow::SetPrintResultsHandler(PrintHandler handler) { g_print = std::move(handler); }

std::string WorkbenchWindow::SaveResults(const std::string &fileName) {
    return g_save ? g_save(*this, fileName) : std::string();
}

void WorkbenchWindow::printresults() {
    if (g_print)
        g_print(*this);
}

} // namespace tavisol::workbench
