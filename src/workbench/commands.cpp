#include "workbench/commands.h"

#include "shell/commands.h"
#include "shell/mdiform1.h"
#include "workbench/frmwork.h"

namespace tavisol::workbench {

void InstallWorkbenchCommands() {
    SetCommandHandler(Command::WorkBench, [] {
        frmwork *window = frmwork::instance();
        if (MDIForm1 *main = MDIForm1::instance())
            main->showChild(window);
        else
            window->show();
    });
}

} // namespace tavisol::workbench
