#include "workbench/commands.h"

#include "shell/commands.h"
#include "shell/main_window.h"
#include "workbench/workbench_window.h"

namespace tavisol::workbench {

void InstallWorkbenchCommands() {
    SetCommandHandler(Command::WorkBench, [] {
        WorkbenchWindow *window = WorkbenchWindow::instance();
        if (MainWindow *main = MainWindow::instance())
            main->showChild(window);
        else
            window->show();
        // Already the active child, it is not activated again: brought up to
        // date here.
        window->onActivated();
    });
}

} // namespace tavisol::workbench
