#include "outdlg/install.h"

#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStringList>

#include <exception>
#include <memory>
#include <stdexcept>

#include "outdlg/dialogs.h"
#include "outdlg/printing.h"
#include "rastermap/raster_map_window.h"
#include "results/results_window.h"
#include "results/install.h"
#include "shell/commands.h"
#include "shell/dialoggate.h"
#include "shell/location_dialog.h"
#include "shell/main_window.h"
#include "shell/savefiledialog.h"
#include "workbench/workbench_window.h"

namespace tavisol::outdlg {

namespace {

QPointer<ResultsOutputDialog> g_resultsOutput;
QPointer<WorkbenchOutputDialog> g_workbenchOutput;
SaveFileDialog g_saveDialog;
PrinterDialog g_printerDialog;
QPagedPaintDevice *g_printDevice = nullptr;

QWidget *MainWindowWidget() { return MainWindow::instance(); }

// A printer for the commands when there is no main window (tests, start-up).
// Kept for the whole run: a printer must not outlive the application object.
QPrinter &FallbackPrinter() {
    static QPrinter *printer = new QPrinter;
    return *printer;
}

QPagedPaintDevice &CurrentPrinter() {
    if (g_printDevice)
        return *g_printDevice;
    if (MainWindow *main = MainWindow::instance())
        return *main->printer();
    return FallbackPrinter();
}

void ShowDialog(QDialog &dialog) {
    MainWindow::showWindow(&dialog);
}

std::string SaveWorkbench(workbench::WorkbenchWindow &window, const std::string &file) {
    const DispatchOutcome outcome =
        SaveWorkbenchResults(std::filesystem::path(file), window.State(), WorkbenchOutput().Request());
    if (!outcome.ok)
        throw std::runtime_error(outcome.error);
    return SavedMessage(outcome);
}

void PrintWorkbench(workbench::WorkbenchWindow &window) {
    const PrintJob job = WorkbenchPrintJob(window.State(), WorkbenchOutput().Request());
    RunPrintJob(CurrentPrinter(), job);
}

} // namespace

// ---- Dialog instances ----------------------------------------------------------------

ResultsOutputDialog &ResultsOutput() {
    if (!g_resultsOutput)
        g_resultsOutput = new ResultsOutputDialog(MainWindowWidget());
    return *g_resultsOutput;
}

WorkbenchOutputDialog &WorkbenchOutput() {
    if (!g_workbenchOutput)
        g_workbenchOutput = new WorkbenchOutputDialog(MainWindowWidget());
    return *g_workbenchOutput;
}

ResultsOutputDialog *ResultsOutputIfLoaded() { return g_resultsOutput.data(); }
WorkbenchOutputDialog *WorkbenchOutputIfLoaded() { return g_workbenchOutput.data(); }

void UnloadResultsOutput() {
    if (ResultsOutputDialog *d = g_resultsOutput.data()) {
        g_resultsOutput = nullptr;
        d->hide();
        d->deleteLater();
    }
}

void UnloadWorkbenchOutput() {
    if (WorkbenchOutputDialog *d = g_workbenchOutput.data()) {
        g_workbenchOutput = nullptr;
        d->hide();
        d->deleteLater();
    }
}

void ShowResultsOutput() { ShowDialog(ResultsOutput()); }

void ShowResultsOutputFor(bool save) {
    ResultsOutputDialog &d = ResultsOutput();
    d.CmdSave->setVisible(save);
    d.CmdPrint->setVisible(!save);
    ShowDialog(d);
}

void ShowWorkbenchOutputFor(bool save) {
    WorkbenchOutputDialog &d = WorkbenchOutput();
    d.CmdSave->setVisible(save);
    d.CmdPrint->setVisible(!save);
    ShowDialog(d);
}

// ---- File and printer dialogs ----------------------------------------------------------

void SetSaveFileDialog(SaveFileDialog dialog) { g_saveDialog = std::move(dialog); }
void SetPrinterDialog(PrinterDialog dialog) { g_printerDialog = std::move(dialog); }

QString QtFileFilter(const std::string &filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &description = parts[i];
        const QString &pattern = parts[i + 1];
        filters << (description.contains(pattern) ? description
                                                  : description + QStringLiteral(" (") + pattern + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

QString AskSaveFile(QWidget *parent, const std::string &filter, const std::filesystem::path &initialFolder) {
    const QString qtFilter = QtFileFilter(filter);
    const QString folder = QString::fromStdString(initialFolder.string());
    if (g_saveDialog)
        return WithFilterExtension(g_saveDialog(parent, qtFilter, folder), qtFilter);
    return GetSaveFileName(parent, QString(), folder, qtFilter);
}

QPagedPaintDevice *AskPrinter(QWidget *parent) {
    if (g_printerDialog)
        return g_printerDialog(parent);
    if (!ModalDialogMayOpen({"printer dialog", {}, {}}))
        return nullptr;
    QPrinter *printer = MainWindow::instance() ? MainWindow::instance()->printer() : &FallbackPrinter();
    QPrintDialog dialog(printer, parent);
    // No printing of a selection: the commands always print everything.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    return dialog.exec() == QDialog::Accepted ? printer : nullptr;
}

// ---- The location results window's dispatch ------------------------------------------

DispatchOutcome SaveResults(const std::filesystem::path &file, const OutputRequest &request) {
    results::ResultsWindow &resultsWindow = results::LocationResultsWindow();
    return SaveLocationResults(file, resultsWindow.Results(), request, [&resultsWindow](int v) { resultsWindow.RestoreForWriting(v); });
}

std::string printresults(QPagedPaintDevice &device, const OutputRequest &request) {
    std::string notice;
    PrintOn(device, [&device, &request, &notice] {
        results::ResultsWindow &resultsWindow = results::LocationResultsWindow();
        const PrintJob job =
            LocationPrintJob(resultsWindow.Results(), request, [&resultsWindow](int v) { resultsWindow.RestoreForWriting(v); });
        notice = job.Notice;
        RunPrintJob(device, job);
    });
    return notice;
}

void PrintOn(QPagedPaintDevice &device, const std::function<void()> &print) {
    QPagedPaintDevice *previous = g_printDevice;
    g_printDevice = &device;
    try {
        print();
    } catch (const std::exception &) {
        // A print ends silently on any error.
    }
    g_printDevice = previous;
}

// ---- Installation ----------------------------------------------------------------------

void InstallOutputCommands() {
    SetCommandHandler(Command::SaveViewData, [] { ShowResultsOutputFor(true); });
    SetCommandHandler(Command::PrintViewData, [] { ShowResultsOutputFor(false); });
    SetCommandHandler(Command::SaveWorkBench, [] { ShowWorkbenchOutputFor(true); });
    SetCommandHandler(Command::PrintWorkBench, [] { ShowWorkbenchOutputFor(false); });
    SetCommandHandler(Command::UnloadResultsOutput, [] { UnloadResultsOutput(); });

    // A dialog not loaded yet takes the format in force when it loads.
    SetFormatChangeHandler(FormatListener::ResultsOutput, [](int code) {
        if (ResultsOutputDialog *d = ResultsOutputIfLoaded())
            d->EnableForFormat(code);
    });
    SetFormatChangeHandler(FormatListener::WorkbenchOutput, [](int code) {
        if (WorkbenchOutputDialog *d = WorkbenchOutputIfLoaded())
            d->EnableForFormat(code);
    });

    SetLocationSaveHook([] { ShowResultsOutput(); });
    rastermap::RasterMapWindow::SetSaveDataHandler([] { ShowResultsOutput(); });

    workbench::WorkbenchWindow::SetSaveResultsHandler(SaveWorkbench);
    workbench::WorkbenchWindow::SetPrintResultsHandler(PrintWorkbench);
}

} // namespace tavisol::outdlg
