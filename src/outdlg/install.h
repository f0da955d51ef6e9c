#pragma once

// Wiring of the output dialogs into the main window, the location dialog, the
// raster map and the workbench, and the replaceable file and printer dialogs
// the dialogs ask.

#include <QString>

#include <filesystem>
#include <functional>
#include <string>

#include "outdlg/dispatch.h"

class QPagedPaintDevice;
class QWidget;

namespace tavisol::outdlg {

class ResultsOutputDialog;
class WorkbenchOutputDialog;

// Installs everything the dialogs hook into:
//   Command::SaveViewData / PrintViewData: ResultsOutputDialog with only its Save /
//     Print button visible; SaveWorkBench / PrintWorkBench: WorkbenchOutputDialog likewise;
//   Command::UnloadResultsOutput: unloads ResultsOutputDialog;
//   EnableForFormat of FormatListener::ResultsOutput and ::WorkbenchOutput;
//   the location dialog's Save and the raster map's Save Data: ResultsOutputDialog
//     shown as it is;
//   the workbench's SaveResults / printresults: the dispatch by format.
// Call once after QApplication exists, before the main window is built.
void InstallOutputCommands();

// ResultsOutputDialog shown as it is (the "Save Data" buttons of the location
// dialog and the maps), loaded on first use.
void ShowResultsOutput();
// The menu commands: only Save (save = true) or only Print visible, shown.
void ShowResultsOutputFor(bool save);
void ShowWorkbenchOutputFor(bool save);

// The dialogs, loaded on first use (over the main window when there is one).
ResultsOutputDialog &ResultsOutput();
WorkbenchOutputDialog &WorkbenchOutput();
// The dialogs while loaded, else null.
ResultsOutputDialog *ResultsOutputIfLoaded();
WorkbenchOutputDialog *WorkbenchOutputIfLoaded();
// Unloads ResultsOutputDialog (Cancel, the main window's unload); WorkbenchOutputDialog for tests.
void UnloadResultsOutput();
void UnloadWorkbenchOutput();

// Save dialog: returns the chosen file, empty when cancelled. filter is in
// the "description|pattern|..." form. Tests replace it; empty = QFileDialog.
using SaveFileDialog =
    std::function<QString(QWidget *parent, const QString &filter, const QString &initialFolder)>;
void SetSaveFileDialog(SaveFileDialog dialog);
QString AskSaveFile(QWidget *parent, const std::string &filter, const std::filesystem::path &initialFolder);
// "Tavisol (*.tvs)|*.tvs" -> "Tavisol (*.tvs)" (pairs joined by ";;").
QString QtFileFilter(const std::string &filter);

// Printer dialog: returns the device to print on, null when cancelled. Tests
// replace it; empty = QPrintDialog on the main window's shared printer.
using PrinterDialog = std::function<QPagedPaintDevice *(QWidget *parent)>;
void SetPrinterDialog(PrinterDialog dialog);
QPagedPaintDevice *AskPrinter(QWidget *parent);

// The location results window's dispatch on its stored copies, as
// ResultsOutputDialog's Save and Print run it once the window is up to date
// (request: ResultsOutputDialog::Request()). Save returns the outcome (SavedMessage
// gives the message after a good one); print errors end silently, and print
// returns what was left out for want of estimates (empty: nothing). Both
// leave the last variable written in the window's engine state.
DispatchOutcome SaveResults(const std::filesystem::path &file, const OutputRequest &request);
std::string printresults(QPagedPaintDevice &device, const OutputRequest &request);

// Runs print with `device` as the printer that the workbench's printresults
// draws on (the main window's printer otherwise); any error ends it silently.
void PrintOn(QPagedPaintDevice &device, const std::function<void()> &print);

} // namespace tavisol::outdlg
