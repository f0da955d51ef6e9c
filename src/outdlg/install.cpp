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
#include "rastermap/form1.h"
#include "results/frmguess.h"
#include "results/install.h"
#include "shell/commands.h"
#include "shell/formlocation.h"
#include "shell/mdiform1.h"
#include "shell/savefiledialog.h"
#include "workbench/frmwork.h"

namespace tavisol::outdlg {

namespace {

QPointer<frmGuessOut> g_guessOut;
QPointer<frmOut> g_out;
SaveFileDialog g_saveDialog;
PrinterDialog g_printerDialog;
QPagedPaintDevice *g_printDevice = nullptr;

QWidget *MainWindow() { return MDIForm1::instance(); }

// A printer for the commands when there is no main window (tests, start-up).
// Kept for the whole run: a printer must not outlive the application object.
QPrinter &FallbackPrinter() {
    static QPrinter *printer = new QPrinter;
    return *printer;
}

QPagedPaintDevice &CurrentPrinter() {
    if (g_printDevice)
        return *g_printDevice;
    if (MDIForm1 *main = MDIForm1::instance())
        return *main->printer();
    return FallbackPrinter();
}

void ShowDialog(QDialog &dialog) {
    MDIForm1::showWindow(&dialog);
}

void SaveWorkbench(workbench::frmwork &window, const std::string &file) {
    const DispatchOutcome outcome =
        SaveWorkbenchResults(std::filesystem::path(file), window.State(), OutDialog().Request());
    if (!outcome.ok)
        throw std::runtime_error(outcome.error);
}

void PrintWorkbench(workbench::frmwork &window) {
    const PrintJob job = WorkbenchPrintJob(window.State(), OutDialog().Request());
    RunPrintJob(CurrentPrinter(), job);
}

} // namespace

// ---- Dialog instances ----------------------------------------------------------------

frmGuessOut &GuessOutDialog() {
    if (!g_guessOut)
        g_guessOut = new frmGuessOut(MainWindow());
    return *g_guessOut;
}

frmOut &OutDialog() {
    if (!g_out)
        g_out = new frmOut(MainWindow());
    return *g_out;
}

frmGuessOut *GuessOutIfLoaded() { return g_guessOut.data(); }
frmOut *OutIfLoaded() { return g_out.data(); }

void UnloadGuessOut() {
    if (frmGuessOut *d = g_guessOut.data()) {
        g_guessOut = nullptr;
        d->hide();
        d->deleteLater();
    }
}

void UnloadOut() {
    if (frmOut *d = g_out.data()) {
        g_out = nullptr;
        d->hide();
        d->deleteLater();
    }
}

void ShowGuessOut() { ShowDialog(GuessOutDialog()); }

void ShowGuessOutFor(bool save) {
    frmGuessOut &d = GuessOutDialog();
    d.CmdSave->setVisible(save);
    d.CmdPrint->setVisible(!save);
    ShowDialog(d);
}

void ShowOutFor(bool save) {
    frmOut &d = OutDialog();
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
    QPrinter *printer = MDIForm1::instance() ? MDIForm1::instance()->printer() : &FallbackPrinter();
    QPrintDialog dialog(printer, parent);
    // No printing of a selection: the commands always print everything.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    return dialog.exec() == QDialog::Accepted ? printer : nullptr;
}

// ---- The location results window's dispatch ------------------------------------------

DispatchOutcome SaveResults(const std::filesystem::path &file, const OutputRequest &request) {
    results::frmGuess &guess = results::GuessWindow();
    return SaveLocationResults(file, guess.Results(), request, [&guess](int v) { guess.RestoreForWriting(v); });
}

std::string printresults(QPagedPaintDevice &device, const OutputRequest &request) {
    std::string notice;
    PrintOn(device, [&device, &request, &notice] {
        results::frmGuess &guess = results::GuessWindow();
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
        if (frmGuessOut *d = GuessOutIfLoaded())
            d->Enablecheck(code);
    });
    SetEnablecheckHandler(FormatListener::Out, [](int code) {
        if (frmOut *d = OutIfLoaded())
            d->Enablecheck(code);
    });

    SetLocationSaveHook([] { ShowGuessOut(); });
    rastermap::Form1::SetSaveDataHandler([] { ShowGuessOut(); });

    workbench::frmwork::SetSaveResultsHandler(SaveWorkbench);
    workbench::frmwork::SetPrintResultsHandler(PrintWorkbench);
}

} // namespace tavisol::outdlg
