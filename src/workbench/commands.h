#pragma once

namespace tavisol::workbench {

// Installs the handler of the main window's "WorkBench" command: shows the
// workbench window (created and loaded on first use) as a child of the main
// window. The main window passes its busy gate before it runs the command.
void InstallWorkbenchCommands();

} // namespace tavisol::workbench
