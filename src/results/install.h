#pragma once

// Wiring of the location results window into the main window.

namespace tavisol {
class MDIForm1;
}

namespace tavisol::results {

class frmGuess;

// The single window, created hidden on first use as a child of the main
// window (if there is one), with the main window's progress bar.
frmGuess &GuessWindow();
// The window if it has been created, else null.
frmGuess *GuessWindowIfCreated();

// Installs the handler of the "View Data" command: shows the window as a
// child of the main window, brings it to the front and computes when it is
// pending. Activating the window later computes again when it is pending.
void InstallResultsCommands(MDIForm1 &main);

} // namespace tavisol::results
