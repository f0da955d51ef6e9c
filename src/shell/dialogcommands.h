#pragma once

// Wires the settings, coordinate and location dialogs to the main window's
// commands. Call once, after the main window has been built:
//
//     tavisol::InstallDialogCommands(mainWindow);

#include "shell/dialoglogic.h"

class QWidget;

namespace tavisol {

class SettingsDialog;
class CoordinateDialog;
class LocationDialog;

// Creates the settings dialog hidden (it lives until the main window unloads)
// and installs the handlers of Command::ChangeSettings, Coordinate,
// SetLocation and UnloadSettings. The dialogs are placed over mainWindow and
// owned by it.
void InstallDialogCommands(QWidget *mainWindow);

// The dialogs while they are loaded, else null.
SettingsDialog *OpenSettingsDialog();
CoordinateDialog *CoordDialog();
LocationDialog *OpenLocationDialog();

// The methods of a run made with the settings `used`, as the reports describe
// them: the settings dialog's texts and ticks (the design texts while there is
// no dialog) when they stand for those settings, else those settings; the
// numbers in the form the reports read (dialogs::MethodsRecord).
dialogs::SettingsFields AppliedSettingsRecord(const engine::EngineSettings &used);

} // namespace tavisol
