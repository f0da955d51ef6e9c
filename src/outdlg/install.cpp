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
#include "shell/location_dialog.h"
#include "shell/main_window.h"
#include "shell/savefiledialog.h"
#include "workbench/workbench_window.h"

namespace tavisol::outdlg {

namespace {

QPointer<ResultsOutputDialog> g_guessOut;
QPointer<WorkbenchOutputDialog> g_out;
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

void SaveWorkbench(workbench::WorkbenchWindow &window, const std::string &file) {
    const DispatchOutcome outcome =
        SaveWorkbenchResults(std::filesystem::path(file), window.State(), OutDialog().Request());
    if (!outcome.ok)
        throw std::runtime_error(outcome.error);
}

void PrintWorkbench(workbench::WorkbenchWindow &window) {
    const PrintJob job = WorkbenchPrintJob(window.State(), OutDialog().Request());
    RunPrintJob(CurrentPrinter(), job);
}

} // namespace

// ---- Dialog instances ----------------------------------------------------------------

ResultsOutputDialog &GuessOutDialog() {
    if (!g_guessOut)
        g_guessOut = new ResultsOutputDialog(MainWindowWidget());
    return *g_guessOut;
}

WorkbenchOutputDialog &OutDialog() {
    if (!g_out)
        g_out = new WorkbenchOutputDialog(MainWindowWidget());
    return *g_out;
}

ResultsOutputDialog *GuessOutIfLoaded() { return g_guessOut.data(); }
WorkbenchOutputDialog *OutIfLoaded() { return g_out.data(); }

void UnloadGuessOut() {
    if (ResultsOutputDialog *d = g_guessOut.data()) {
        g_guessOut = nullptr;
        d->hide();
        d->deleteLater();
    }
}

void UnloadOut() {
    if (WorkbenchOutputDialog *d = g_out.data()) {
        g_out = nullptr;
        d->hide();
        d->deleteLater();
    }
}

void ShowGuessOut() { ShowDialog(GuessOutDialog()); }

void ShowGuessOutFor(bool save) {
    ResultsOutputDialog &d = GuessOutDialog();
    d.CmdSave->setVisible(save);
    d.CmdPrint->setVisible(!save);
    ShowDialog(d);
}

void ShowOutFor(bool save) {
    WorkbenchOutputDialog &d = OutDialog();
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
    QPrinter *printer = MainWindow::instance() ? MainWindow::instance()->printer() : &FallbackPrinter();
    QPrintDialog dialog(printer, parent);
    // No printing of a selection: the commands always print everything.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    return dialog.exec() == QDialog::Accepted ? printer : nullptr;
}

// ---- The location results window's dispatch ------------------------------------------

DispatchOutcome SaveResults(const std::filesystem::path &file, const OutputRequest &request) {
    results::ResultsWindow &guess = results::GuessWindow();
    return SaveLocationResults(file, guess.Results(), request, [&guess](int v) { guess.RestoreForWriting(v); });
}

std::string printresults(QPagedPaintDevice &device, const OutputRequest &request) {
    std::string notice;
    PrintOn(device, [&device, &request, &notice] {
        results::ResultsWindow &guess = results::GuessWindow();
        const PrintJob job =
            LocationPrintJob(guess.Results(), request, [&guess](int v) { guess.RestoreForWriting(v); });
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
    SetCommandHandler(Command::SaveViewData, [] { ShowGuessOutFor(true); });
    SetCommandHandler(Command::PrintViewData, [] { ShowGuessOutFor(false); });
    SetCommandHandler(Command::SaveWorkBench, [] { ShowOutFor(true); });
    SetCommandHandler(Command::PrintWorkBench, [] { ShowOutFor(false); });
    SetCommandHandler(Command::UnloadGuessOut, [] { UnloadGuessOut(); });

    // A dialog not loaded yet takes the format in force when it loads.
    SetEnablecheckHandler(FormatListener::GuessOut, [](int code) {
        if (ResultsOutputDialog *d = GuessOutIfLoaded())
            d->EnableForFormat(code);
    });
    SetEnablecheckHandler(FormatListener::Out, [](int code) {
        if (WorkbenchOutputDialog *d = OutIfLoaded())
            d->EnableForFormat(code);
    });

    SetLocationSaveHook([] { ShowGuessOut(); });
    rastermap::RasterMapWindow::SetSaveDataHandler([] { ShowGuessOut(); });

    workbench::WorkbenchWindow::SetSaveResultsHandler(SaveWorkbench);
    workbench::WorkbenchWindow::SetPrintResultsHandler(PrintWorkbench);
}

} // namespace tavisol::outdlg
