#pragma once

// Connects the windows of every subsystem to the main window's commands.

namespace tavisol {

class MainWindow;

// Windows that need no main window; the splash's load already calls some.
void InstallEarlyCommands();
// Windows that are placed over the main window, once it exists.
void InstallMainWindowCommands(MainWindow &mainWindow);

} // namespace tavisol
