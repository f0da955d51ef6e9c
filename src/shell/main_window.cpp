#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrinter>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "shell/appstate.h"
#include "shell/commands.h"
#include "shell/dialoggate.h"
#include "shell/estimateview.h"
#include "shell/about_window.h"
#include "shell/hooks.h"
#include "shell/icons.h"
#include "shell/messages.h"
#include "shell/outputformats.h"
#include "shell/printersetup.h"
#include "shell/programfolders.h"
#include "shell/statuslocation.h"

namespace tavisol {

namespace {

MainWindow *g_instance = nullptr;

const QString kCaption = QStringLiteral("Tavisol, Marovel Tavisol Ver.1.0");

// The menu image list, numbered from 1 as the menu table numbers its icons.
IconId MenuImage(int number) {
    switch (number) {
    case 2: return IconId::Save;
    case 3: return IconId::Print;
    case 4: return IconId::Location;
    case 5: return IconId::WorldMap;
    case 6: return IconId::LocationFile;
    case 7: return IconId::LocationGrid;
    case 8: return IconId::ViewData;
    case 9: return IconId::WorkBench;
    case 10: return IconId::Help;
    case 11: return IconId::Index;
    case 12: return IconId::About;
    case 13: return IconId::Cascade;
    case 14: return IconId::TileHorizontal;
    case 15: return IconId::TileVertical;
    case 16: return IconId::PrinterSetup;
    case 17: return IconId::Coordinate;
    case 18: return IconId::Settings;
    case 19: return IconId::RasterMap;
    default: return IconId::OutputFormat;
    }
}

// The toolbar's picture list, numbered from 1.
IconId ToolbarImage(int number) {
    switch (number) {
    case 1: return IconId::Save;
    case 2: return IconId::Print;
    case 3: return IconId::Location;
    case 4: return IconId::WorldMap;
    case 5: return IconId::LocationFile;
    case 6: return IconId::LocationGrid;
    case 7: return IconId::ViewData;
    case 8: return IconId::WorkBench;
    case 9: return IconId::Help;
    case 10: return IconId::OutputFormat;
    case 12: return IconId::RasterMap;
    default: return IconId::About;
    }
}

struct MenuIcon {
    const char *control;
    int image;
};

// Eighteen commands with an icon.
constexpr MenuIcon kMenuIcons[] = {
    {"mn_save", 2},          {"mn_PrinterSetup", 16}, {"mn_Print", 3},
    {"mn_SetLocation", 4},   {"mn_LocationMap", 5},   {"mn_vectMap", 19},
    {"mn_LocationFile", 6},  {"mn_LocationGrid", 7},  {"mn_ViewData", 8},
    {"mn_WorkBench", 9},     {"mnChangeSettings", 18}, {"mn_Coordinate", 17},
    {"mn_Cascade", 13},      {"mn_horizontal", 14},   {"mn_Vertical", 15},
    {"mn_TOC", 10},          {"mn_Index", 11},        {"mn_About", 12},
};

struct MenuHelp {
    const char *control;
    const char *text;
};

// Twenty-five commands with a help text; the blanks belong to the texts.
constexpr MenuHelp kMenuHelp[] = {
    {"mn_save", "Save Data"},
    {"mn_PrinterSetup", "Setup Printer"},
    {"mn_Print", "Print Data"},
    {"mn_Close", "End Tavisol"},
    {"mn_SetLocation", "Set Location "},
    {"mn_LocationMap", "Set Location from Bitmap"},
    {"mn_vectMap", "Set Location from Raster Map"},
    {"mn_LocationFile", "Set Locations from File"},
    {"mn_LocationGrid", "Set Locations from Grid"},
    {"mn_ViewData", "View Data"},
    {"mn_WorkBench", "WorkBench"},
    {"mn_OutputTavisol", "Set Tavisol Format"},
    {"mn_Quorrel", "Set Standard Quorrel Format"},
    {"mn_TillwickInput", "Set LGS (input) Format"},
    {"mn_TillwickOutput", "Set LGS (output) Format "},
    {"mn_Ketlo", "Set Ketlo Format"},
    {"mn_Furrowin", "Set Furrowin Format"},
    {"mnChangeSettings", "Settings..."},
    {"mn_Coordinate", "Set Coordinate"},
    {"mn_Cascade", "Overlap Windows"},
    {"mn_horizontal", "Tile Windows Horizontally"},
    {"mn_Vertical", "Tile Windows Vertically"},
    {"mn_TOC", " Help Context"},
    {"mn_Index", "Show Help Index"},
    {"mn_About", " Show About Window"},
};

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent) {
    g_instance = this;
    setWindowTitle(kCaption);
    setWindowIcon(MakeIcon(IconId::Program));

    auto *centre = new QWidget(this);
    auto *column = new QVBoxLayout(centre);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    mdi_ = new QMdiArea(centre);
    mdi_->setObjectName(QStringLiteral("MDIClient"));
    // A child larger than a small main window's area is reached by scrolling.
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->viewport()->setMouseTracking(true);
    mdi_->viewport()->installEventFilter(this);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *sub) {
        if (sub && sub->widget())
            emit childActivated(sub->widget());
        keepEstimateCurrent();
    });
    column->addWidget(mdi_, 1);
    progressBar_ = new QProgressBar(centre);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setTextVisible(false);
    progressBar_->setMaximumHeight(14);
    progressBar_->hide();
    column->addWidget(progressBar_);
    setCentralWidget(centre);

    buildMenus();
    buildToolbar();
    buildStatusBar();
    // Its design size, smaller on a small screen so that the frame, the
    // menus and the status bar stay on it (whatever frame a window manager adds).
    QSize size(1024, 720);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);

    SetLocationDisplay([this](const std::string &name, float lon, float lat, float alt) {
        setPanelText(3, QString::fromStdString(LocationPanelText(lon, lat, alt)));
        setPanelText(4, QString::fromStdString(name));
        statusBar()->repaint();
    });
    SetEstimateChangeHook([this] { keepEstimateCurrent(); });

    setUp();
}

MainWindow::~MainWindow() {
    // The child area reports its children closing while the frame is torn down.
    disconnect(mdi_, nullptr, this, nullptr);
    tearDown();
    SetLocationDisplay(nullptr);
    SetEstimateChangeHook(nullptr);
    if (g_instance == this)
        g_instance = nullptr;
}

MainWindow *MainWindow::instance() { return g_instance; }

QStatusBar *MainWindow::mainStatusBar() const { return statusBar(); }

QPrinter *MainWindow::printer() {
    if (!printer_)
        printer_ = std::make_unique<QPrinter>();
    return printer_.get();
}

QString MainWindow::panelText(int panel) const {
    if (panel < 1 || panel > 4 || !panels_[panel - 1])
        return {};
    return panels_[panel - 1]->text();
}

void MainWindow::setPanelText(int panel, const QString &text) {
    if (panel < 1 || panel > 4 || !panels_[panel - 1])
        return;
    panels_[panel - 1]->setText(text);
}

QAction *MainWindow::menuAction(const QString &controlName) const {
    return actions_.value(controlName, nullptr);
}

void MainWindow::setUp() {
    AppState &s = appState();
    helpFile_ = QString::fromStdString(tavisol::helpFile().string());

    for (const MenuIcon &m : kMenuIcons)
        if (QAction *a = menuAction(QString::fromLatin1(m.control)))
            a->setIcon(MakeIcon(MenuImage(m.image)));
    for (const MenuHelp &m : kMenuHelp)
        if (QAction *a = menuAction(QString::fromLatin1(m.control)))
            a->setStatusTip(QString::fromLatin1(m.text));

    setPanelText(2, QStringLiteral("Tavisol Format"));

    s.CurLongitude = 13.01F;
    s.CurLatitude = 41.99F;
    s.CurElevation = 17.0F;
    s.LocationName = "East of Rome";

    InitEngineDefaults();

    // Stored directly: the check mark stays from the menu's design and the
    // output dialogs keep their own start state.
    s.OutputFormat = FormatTavisol;

    std::string name = s.LocationName;
    s.LocationName = WriteStatusLocation(name, s.CurLongitude, s.CurLatitude, s.CurElevation);

    s.ResultsRecalcPending = true;
    s.WorkbenchRecalcPending = true;
    s.Busy = false;
}

void MainWindow::tearDown() {
    if (unloaded_)
        return;
    unloaded_ = true;
    RunCommand(Command::UnloadSettings);
    RunCommand(Command::UnloadResultsOutput);
}

QAction *MainWindow::addCommand(QMenu *menu, const char *control, const QString &caption,
                              void (MainWindow::*slot)()) {
    auto *a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(control));
    if (slot)
        connect(a, &QAction::triggered, this, slot);
    actions_.insert(a->objectName(), a);
    return a;
}

QAction *MainWindow::addFormat(QMenu *menu, const char *control, const QString &caption,
                             int code) {
    QAction *a = addCommand(menu, control, caption, nullptr);
    a->setCheckable(true);
    connect(a, &QAction::triggered, this, [this, code] { SetOutputFormat(code); });
    formatActions_[code - 1] = a;
    return a;
}

void MainWindow::buildMenus() {
    QMenuBar *bar = menuBar();
    auto submenu = [this](QMenu *parent, const char *control, const QString &caption) {
        QMenu *m = parent->addMenu(caption);
        m->setObjectName(QString::fromLatin1(control));
        m->menuAction()->setObjectName(QString::fromLatin1(control));
        actions_.insert(m->objectName(), m->menuAction());
        return m;
    };
    auto top = [this, bar](const char *control, const QString &caption) {
        QMenu *m = bar->addMenu(caption);
        m->setObjectName(QString::fromLatin1(control));
        m->menuAction()->setObjectName(QString::fromLatin1(control));
        actions_.insert(m->objectName(), m->menuAction());
        return m;
    };

    QMenu *files = top("mn_files", QStringLiteral("Files"));
    QMenu *save = submenu(files, "mn_save", QStringLiteral("Save"));
    addCommand(save, "mn_SaveViewData", QStringLiteral("View Data"), &MainWindow::saveViewData);
    addCommand(save, "mn_SaveWorkBench", QStringLiteral("WorkBench"), &MainWindow::saveWorkbench);
    addCommand(save, "mn_saveGridOrFile", QStringLiteral("Grid or File"), &MainWindow::saveGridOrFile);
    addCommand(files, "mn_PrinterSetup", QStringLiteral("Printer  Setup"), &MainWindow::setUpPrinter);
    QMenu *print = submenu(files, "mn_Print", QStringLiteral("Print"));
    addCommand(print, "mn_PrintViewData", QStringLiteral("View Data"), &MainWindow::printViewData);
    addCommand(print, "mn_PrintWorkBench", QStringLiteral("WorkBench"), &MainWindow::printWorkbench);
    files->addSeparator()->setObjectName(QStringLiteral("mnSep1"));
    addCommand(files, "mn_Close", QStringLiteral("Exit"), &MainWindow::askToExit);

    QMenu *locations = top("mn_locations", QStringLiteral("Locations"));
    addCommand(locations, "mn_SetLocation", QStringLiteral("Set Location"), &MainWindow::setLocation);
    addCommand(locations, "mn_LocationMap", QStringLiteral("Set Location from Bitmap"), &MainWindow::setLocationFromBitmap);
    addCommand(locations, "mn_vectMap", QStringLiteral("Set Location from Raster Map"), &MainWindow::setLocationFromRasterMap);
    locations->addSeparator()->setObjectName(QStringLiteral("mn_sep2"));
    addCommand(locations, "mn_LocationFile", QStringLiteral("Set Locations from File"), &MainWindow::setLocationsFromFile);
    addCommand(locations, "mn_LocationGrid", QStringLiteral("Set Locations from Grid"), &MainWindow::setLocationsFromGrid);

    QMenu *view = top("mn_View", QStringLiteral("View"));
    addCommand(view, "mn_ViewData", QStringLiteral("View Data"), &MainWindow::showViewData);
    view->addSeparator()->setObjectName(QStringLiteral("mn_sep4"));
    addCommand(view, "mn_WorkBench", QStringLiteral("WorkBench"), &MainWindow::showWorkbench);

    QMenu *output = top("mn_Output", QStringLiteral("Output Formats"));
    addFormat(output, "mn_OutputTavisol", QStringLiteral("Tavisol Format"), FormatTavisol)->setChecked(true);
    addFormat(output, "mn_Quorrel", QStringLiteral("Standard Quorrel Format"), FormatQuorrel);
    lgsMenu_ = submenu(output, "mn_Tillwick", QStringLiteral("LGS"));
    connect(lgsMenu_, &QMenu::aboutToShow, this, &MainWindow::onLgsMenuShown);
    addFormat(lgsMenu_, "mn_TillwickInput", QStringLiteral("Input"), FormatLgsInput);
    addFormat(lgsMenu_, "mn_TillwickOutput", QStringLiteral("Output"), FormatLgsOutput);
    addFormat(output, "mn_Ketlo", QStringLiteral("Ketlo"), FormatKetlo);
    // Code 6 stays valid, but the image export is chosen from the raster map.
    addFormat(output, "mn_Vistrel", QStringLiteral("Vistrel"), FormatVistrel)->setVisible(false);
    addFormat(output, "mn_Furrowin", QStringLiteral("Furrowin"), FormatFurrowin);

    QMenu *options = top("mn_Options", QStringLiteral("Options"));
    addCommand(options, "mnChangeSettings", QStringLiteral("Change Settings"), &MainWindow::changeSettings);
    addCommand(options, "mn_Coordinate", QStringLiteral("Coordinate Transformation"), &MainWindow::transformCoordinates);

    QMenu *window = top("mn_window", QStringLiteral("Window"));
    addCommand(window, "mn_Cascade", QStringLiteral("Cascade"), &MainWindow::cascadeWindows);
    addCommand(window, "mn_horizontal", QStringLiteral("Tile Horizontal"), &MainWindow::tileWindowsHorizontally);
    addCommand(window, "mn_Vertical", QStringLiteral("Tile Vertical"), &MainWindow::tileWindowsVertically);

    QMenu *help = top("mn_help", QStringLiteral("Help"));
    addCommand(help, "mn_TOC", QStringLiteral("Help"), &MainWindow::showHelpContents);
    addCommand(help, "mn_Index", QStringLiteral("Index"), &MainWindow::showHelpIndex);
    help->addSeparator()->setObjectName(QStringLiteral("mnSep3"));
    addCommand(help, "mn_About", QStringLiteral("About"), &MainWindow::showAbout);

    // The highlighted command's help text goes to panel 1.
    for (QMenu *m : findChildren<QMenu *>()) {
        connect(m, &QMenu::hovered, this, [this](QAction *a) {
            if (!a->isSeparator())
                setPanelText(1, a->statusTip());
        });
    }
}

QToolButton *MainWindow::addDropDown(const QString &tip, const QIcon &icon) {
    auto *b = new QToolButton(toolbar_);
    b->setIcon(icon);
    b->setToolTip(tip);
    // The face does nothing; only the arrow's list runs commands.
    b->setPopupMode(QToolButton::MenuButtonPopup);
    b->setMenu(new QMenu(b));
    toolbar_->addWidget(b);
    return b;
}

void MainWindow::buildToolbar() {
    toolbar_ = addToolBar(QStringLiteral("Toolbar1"));
    toolbar_->setObjectName(QStringLiteral("mainToolBar"));
    toolbar_->setMovable(false);
    toolbar_->setIconSize(QSize(24, 24));

    auto entry = [this](QMenu *m, const QString &text, auto &&run) {
        QAction *a = m->addAction(text);
        connect(a, &QAction::triggered, this, run);
    };
    auto button = [this](const QString &tip, int picture, void (MainWindow::*slot)()) {
        QAction *a = toolbar_->addAction(MakeIcon(ToolbarImage(picture)), tip);
        a->setToolTip(tip);
        connect(a, &QAction::triggered, this, slot);
    };

    QToolButton *save = addDropDown(QStringLiteral("Save Data"), MakeIcon(ToolbarImage(1)));
    save->setObjectName(QStringLiteral("tbSave"));
    entry(save->menu(), QStringLiteral("View Data"), &MainWindow::saveViewData);
    entry(save->menu(), QStringLiteral("WorkBench"), &MainWindow::saveWorkbench);
    entry(save->menu(), QStringLiteral("Grid or File"), &MainWindow::saveGridOrFile);

    QToolButton *print = addDropDown(QStringLiteral("Print Data"), MakeIcon(ToolbarImage(2)));
    print->setObjectName(QStringLiteral("tbPrint"));
    entry(print->menu(), QStringLiteral("View Data"), &MainWindow::printViewData);
    entry(print->menu(), QStringLiteral("WorkBench"), &MainWindow::printWorkbench);

    toolbar_->addSeparator();
    button(QStringLiteral("Set Location"), 3, &MainWindow::setLocation);
    button(QStringLiteral("Set Location from Bitmap"), 4, &MainWindow::setLocationFromBitmap);
    button(QStringLiteral("Set Location from Raster Map"), 12, &MainWindow::setLocationFromRasterMap);
    button(QStringLiteral("Set Location from File"), 5, &MainWindow::setLocationsFromFile);
    button(QStringLiteral("Set Location from Grid"), 6, &MainWindow::setLocationsFromGrid);
    toolbar_->addSeparator();
    button(QStringLiteral("View Data"), 7, &MainWindow::showViewData);
    button(QStringLiteral("WorkBench"), 8, &MainWindow::showWorkbench);
    toolbar_->addSeparator();

    QToolButton *format =
        addDropDown(QStringLiteral("Set the Output Format"), MakeIcon(ToolbarImage(10)));
    format->setObjectName(QStringLiteral("tbFormat"));
    // No entry for code 6: the sixth entry is the Furrowin format.
    const std::pair<const char *, int> formats[] = {
        {"Tavisol Format", FormatTavisol}, {"Standard Quorrel Format", FormatQuorrel},
        {"LGS Input", FormatLgsInput},     {"LGS Output", FormatLgsOutput},
        {"Ketlo", FormatKetlo},            {"Furrowin", FormatFurrowin},
    };
    for (const auto &[text, code] : formats) {
        const int c = code;
        entry(format->menu(), QString::fromLatin1(text), [this, c] { SetOutputFormat(c); });
    }

    toolbar_->addSeparator();
    button(QStringLiteral("Show Help"), 9, &MainWindow::showHelpContents);
    toolbar_->addSeparator();
}

void MainWindow::buildStatusBar() {
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("mainStatusBar"));
    QFont f = bar->font();
    f.setFamily(QStringLiteral("Verdana"));
    bar->setFont(f);

    panels_[0] = new QLabel(bar);
    panels_[0]->setObjectName(QStringLiteral("Panel1"));
    panels_[0]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panels_[0]->setMinimumWidth(160);
    bar->addWidget(panels_[0], 1);

    struct Spec {
        const char *tip;
        IconId picture;
        int width;
    };
    const Spec specs[3] = {
        {"Show the Selected Output Format", IconId::OutputFormat, 190},
        {"Show the Selected Location", IconId::Coordinate, 270},
        {"Station Name", IconId::Station, 220},
    };
    for (int i = 0; i < 3; ++i) {
        auto *box = new QFrame(bar);
        box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        box->setToolTip(QString::fromLatin1(specs[i].tip));
        box->setMinimumWidth(specs[i].width);
        auto *row = new QHBoxLayout(box);
        row->setContentsMargins(3, 0, 3, 0);
        row->setSpacing(4);
        auto *picture = new QLabel(box);
        picture->setPixmap(MakePixmap(specs[i].picture, 16));
        row->addWidget(picture);
        panels_[i + 1] = new QLabel(box);
        panels_[i + 1]->setObjectName(QStringLiteral("Panel%1").arg(i + 2));
        panels_[i + 1]->setToolTip(box->toolTip());
        row->addWidget(panels_[i + 1], 1);
        bar->addPermanentWidget(box);
    }
}

std::string MainWindow::WriteStatusLocation(std::string &name, float &longitude, float &latitude,
                                          float &altitude) {
    NormalizeLocation(name, longitude, latitude, altitude);
    setPanelText(3, QString::fromStdString(LocationPanelText(longitude, latitude, altitude)));
    setPanelText(4, QString::fromStdString(name));
    statusBar()->repaint();
    return name;
}

void MainWindow::SetOutputFormat(int code) {
    for (QAction *a : formatActions_)
        a->setChecked(false);
    TellOutputFormat(code);
    if (IsOutputFormat(code)) {
        formatActions_[code - 1]->setChecked(true);
        setPanelText(2, QString::fromUtf8(OutputFormatName(code).data(),
                                          static_cast<qsizetype>(OutputFormatName(code).size())));
        appState().OutputFormat = code;
    }
    statusBar()->repaint();
}

void MainWindow::keepEstimateCurrent() {
    // After the change or activation has been handled, not inside it; many
    // changes in a row make one check.
    if (estimateCheckQueued_)
        return;
    estimateCheckQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        estimateCheckQueued_ = false;
        computeCurrentEstimateIfDue();
    });
}

void MainWindow::computeCurrentEstimateIfDue() {
    const AppState &s = appState();
    // A run holding the busy mark tells again when it ends.
    if (s.Ending || s.Busy || unloaded_)
        return;
    // The user works in another window of the program (the list window, a
    // dialog still open, a box): this waits until the frame is active again.
    if (QWidget *active = QApplication::activeWindow(); active && active != this && active->isVisible())
        return;
    QMdiSubWindow *sub = mdi_->currentSubWindow();
    if (!sub || !sub->isVisible() || sub->isMinimized() || !sub->widget() || !sub->widget()->isVisible())
        return;
    if (auto *view = dynamic_cast<EstimateView *>(sub->widget()); view && view->EstimateDue())
        view->ComputeEstimate();
}

QMdiSubWindow *MainWindow::showChild(QWidget *window) {
    QMdiSubWindow *sub = nullptr;
    for (QMdiSubWindow *s : mdi_->subWindowList())
        if (s->widget() == window)
            sub = s;
    if (!sub) {
        // Closing the child hides it: the window is a single instance that
        // keeps its state until the program ends.
        sub = new QMdiSubWindow;
        sub->setWidget(window);
        // The child's own picture in its title bar and, maximised, in the menu bar.
        sub->setWindowIcon(window->windowIcon());
        mdi_->addSubWindow(sub);
        // The child's preferred size, as far as the frame's area holds it.
        sub->resize(sub->sizeHint().boundedTo(mdi_->viewport()->size()).expandedTo(sub->minimumSizeHint()));
    }
    window->show();
    sub->show();
    if (sub->isMinimized())
        sub->showNormal();
    mdi_->setActiveSubWindow(sub);
    sub->raise();
    return sub;
}

void MainWindow::showWindow(QWidget *window) {
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

// --- Commands -------------------------------------------------------------

void MainWindow::saveViewData() { RunCommand(Command::SaveViewData); }
void MainWindow::saveWorkbench() { RunCommand(Command::SaveWorkBench); }
void MainWindow::saveGridOrFile() { RunCommand(Command::SaveGridOrFile); }
void MainWindow::printViewData() { RunCommand(Command::PrintViewData); }
void MainWindow::printWorkbench() { RunCommand(Command::PrintWorkBench); }

void MainWindow::setUpPrinter() {
    if (!ModalDialogMayOpen({"printer setup", {}, {}}))
        return;
    PrinterSetupDialog dialog(printer(), this);
    dialog.exec();
}

void MainWindow::askToExit() {
    if (ShowMessage(this, MsgIcon::Question, QStringLiteral("Really end Application?"),
                    QStringLiteral("End"), MsgButtons::YesNo) == MsgAnswer::Yes)
        close();
}

void MainWindow::setLocation() { RunCommand(Command::SetLocation); }
void MainWindow::setLocationFromBitmap() { RunCommand(Command::LocationMap); }
void MainWindow::setLocationFromRasterMap() { RunCommand(Command::VectMap); }
void MainWindow::setLocationsFromFile() { RunCommand(Command::LocationFile); }
void MainWindow::setLocationsFromGrid() { RunCommand(Command::LocationGrid); }

void MainWindow::showViewData() {
    if (BusyGate(this))
        RunCommand(Command::ViewData);
}

void MainWindow::showWorkbench() {
    if (BusyGate(this))
        RunCommand(Command::WorkBench);
}

void MainWindow::onLgsMenuShown() { setPanelText(2, QString()); }

void MainWindow::changeSettings() { RunCommand(Command::ChangeSettings); }
void MainWindow::transformCoordinates() { RunCommand(Command::Coordinate); }

void MainWindow::cascadeWindows() {
    mdi_->cascadeSubWindows();
    // Each window keeps its preferred size where the area holds it; none
    // reaches past the area's right or bottom edge.
    const QRect area = mdi_->viewport()->rect();
    for (QMdiSubWindow *s : mdi_->subWindowList()) {
        if (!s->isVisible() || s->isMinimized() || s->isMaximized())
            continue;
        s->resize(s->geometry().intersected(area).size().expandedTo(s->minimumSizeHint()));
    }
}
void MainWindow::tileWindowsHorizontally() { tile(Qt::Horizontal); }
void MainWindow::tileWindowsVertically() { tile(Qt::Vertical); }

void MainWindow::showHelpContents() { OpenHelpContents(this, helpFile_); }
void MainWindow::showHelpIndex() { OpenHelpIndex(this, helpFile_); }

AboutWindow *MainWindow::aboutWindow() {
    if (!about_)
        about_ = new AboutWindow(this);
    return about_;
}

void MainWindow::showAbout() { showWindow(aboutWindow()); }

// Horizontal: full-width bands one above the other; vertical: full-height
// columns side by side. Minimised children keep their place.
void MainWindow::tile(Qt::Orientation bands) {
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *s : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (s->isVisible() && !s->isMinimized())
            windows.append(s);
    if (windows.isEmpty())
        return;
    const QRect area = mdi_->viewport()->rect();
    const int n = static_cast<int>(windows.size());
    const int extent = bands == Qt::Horizontal ? area.height() : area.width();
    for (int i = 0; i < n; ++i) {
        const int from = extent * i / n;
        const int to = extent * (i + 1) / n;
        QMdiSubWindow *s = windows[i];
        if (s->isMaximized())
            s->showNormal();
        if (bands == Qt::Horizontal)
            s->setGeometry(area.left(), area.top() + from, area.width(), to - from);
        else
            s->setGeometry(area.left() + from, area.top(), to - from, area.height());
    }
}

// --- Events ---------------------------------------------------------------

bool MainWindow::event(QEvent *e) {
    // Panel 1 is fed by the menus' highlight; Qt's own status tips would
    // replace the panels with a temporary message.
    if (e->type() == QEvent::StatusTip)
        return true;
    // Active again (a dialog or a box over it closed): its current child
    // shows the estimate of what is in force now.
    if (e->type() == QEvent::WindowActivate)
        keepEstimateCurrent();
    return QMainWindow::event(e);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *e) {
    if (watched == mdi_->viewport() && e->type() == QEvent::MouseMove &&
        !panelText(1).isEmpty())
        setPanelText(1, QString());
    return QMainWindow::eventFilter(watched, e);
}

void MainWindow::closeEvent(QCloseEvent *e) {
    // Closing the frame ends the program without asking; "Exit" asks first.
    // A run letting events through stops before the program ends.
    appState().Ending = true;
    tearDown();
    if (about_)
        about_->close();
    e->accept();
    QCoreApplication::quit();
}

} // namespace tavisol
