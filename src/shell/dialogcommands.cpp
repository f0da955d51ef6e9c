#include "shell/dialogcommands.h"

#include <QPointer>
#include <QWidget>

#include "shell/commands.h"
#include "shell/dialoglogic.h"
#include "shell/location_dialog.h"
#include "shell/coordinate_dialog.h"
#include "shell/settings_dialog.h"

namespace tavisol {

namespace {

QPointer<QWidget> g_main;
QPointer<SettingsDialog> g_settings;
QPointer<CoordinateDialog> g_coord;
QPointer<LocationDialog> g_location;
bool g_settingsPlaced = false;

void Present(QWidget *w) {
    if (w->isMinimized())
        w->showNormal();
    w->show();
    w->raise();
    w->activateWindow();
}

void ShowSettings() {
    if (!g_settings) {
        g_settings = new SettingsDialog(g_main);
        g_settingsPlaced = false;
    }
    if (!g_settingsPlaced) {
        g_settings->placeOver(g_main);
        g_settingsPlaced = true;
    }
    // Opened anew, it shows the settings in force, wherever they were changed.
    if (!g_settings->isVisible())
        g_settings->showSettingsInForce();
    Present(g_settings);
}

void ShowCoord() {
    if (!g_coord || g_coord->isUnloaded()) {
        g_coord = new CoordinateDialog(g_main);
        g_coord->placeOver(g_main, true);
    }
    Present(g_coord);
}

void ShowLocation() {
    if (!g_location || g_location->isUnloaded()) {
        g_location = new LocationDialog(g_main);
        g_location->placeOver(g_main);
    }
    Present(g_location);
}

void UnloadSettings() {
    if (!g_settings)
        return;
    g_settings->hide();
    delete g_settings.data();
}

} // namespace

void InstallDialogCommands(QWidget *mainWindow) {
    g_main = mainWindow;
    if (!g_settings) {
        g_settings = new SettingsDialog(mainWindow);
        g_settingsPlaced = false;
    }
    SetCommandHandler(Command::ChangeSettings, ShowSettings);
    SetCommandHandler(Command::Coordinate, ShowCoord);
    SetCommandHandler(Command::SetLocation, ShowLocation);
    SetCommandHandler(Command::UnloadSettings, UnloadSettings);
}

SettingsDialog *OpenSettingsDialog() { return g_settings; }

CoordinateDialog *CoordDialog() { return g_coord && !g_coord->isUnloaded() ? g_coord.data() : nullptr; }

LocationDialog *OpenLocationDialog() {
    return g_location && !g_location->isUnloaded() ? g_location.data() : nullptr;
}

dialogs::SettingsFields AppliedSettingsRecord(const engine::EngineSettings &used) {
    return dialogs::MethodsRecord(g_settings ? g_settings->settingsFields() : dialogs::SettingsFields{}, used);
}

} // namespace tavisol
