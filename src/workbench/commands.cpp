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
    });
}

} // namespace tavisol::workbench
