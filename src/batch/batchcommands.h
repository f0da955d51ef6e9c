#pragma once

// Wiring of the batch windows into the main window's commands, and the file
// dialogs they use (replaceable, so tests choose files without a modal loop).
//
//     tavisol::InstallBatchCommands();   // once, after the main window exists

#include <QString>

#include <functional>

class QWidget;

namespace tavisol {

// Installs the handlers of Command::LocationFile (the location-file reader),
// Command::LocationGrid (the grid dialog), Command::SaveGridOrFile (the list
// window, brought to the front) and the list window's EnableForFormat as the
// FormatListener::BatchList of the output-format change.
void InstallBatchCommands();

// The location-file reader: asks for a file, fills the list window's list and
// shows the window.
void ReadLocationsFromFile(QWidget *parent = nullptr);
// Shows the grid dialog (a fresh one after its OK unloaded the last).
void ShowGridDialog();
// Shows the list window and brings it to the front.
void ShowListWindow();

// File dialogs of the batch windows; an empty member uses QFileDialog. Each
// returns the chosen path, or an empty string when the user cancelled.
struct BatchDialogs {
    std::function<QString(QWidget *parent, const QString &title)> chooseFolder;
    std::function<QString(QWidget *parent, const QString &filter, const QString &folder)> chooseSaveFile;
    std::function<QString(QWidget *parent, const QString &filter)> chooseOpenFile;
};
void SetBatchDialogs(BatchDialogs dialogs);
const BatchDialogs &batchDialogs();

} // namespace tavisol
