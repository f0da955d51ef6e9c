#pragma once

// Wiring of the location results window into the main window.

namespace tavisol {
class MainWindow;
}

namespace tavisol::results {

class ResultsWindow;

// The single window, created hidden on first use as a child of the main
// window (if there is one), with the main window's progress bar.
ResultsWindow &LocationResultsWindow();
// The window if it has been created, else null.
ResultsWindow *LocationResultsWindowIfCreated();

// Installs the handler of the "View Data" command: shows the window as a
// child of the main window, brings it to the front and computes when it is
// pending. Activating the window later computes again when it is pending.
void InstallResultsCommands(MainWindow &main);

} // namespace tavisol::results
