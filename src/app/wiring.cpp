#include "app/wiring.h"

#include "batch/batchcommands.h"
#include "outdlg/install.h"
#include "rastermap/form1.h"
#include "results/install.h"
#include "shell/dialogcommands.h"
#include "shell/mdiform1.h"
#include "workbench/commands.h"
#include "worldmap/frmmap.h"
#include "worldmap/worldmap.h"

namespace tavisol {

void InstallEarlyCommands() {
    workbench::InstallWorkbenchCommands();
    rastermap::InstallRasterMapCommands();
    InstallWorldMapCommands();
    outdlg::InstallOutputCommands();
    // The world map's Save Data shows the results window's output dialog as it is.
    frmMap::SetSaveDataHandler([] { outdlg::ShowGuessOut(); });
}

void InstallMainWindowCommands(MDIForm1 &mainWindow) {
    InstallDialogCommands(&mainWindow);
    results::InstallResultsCommands(mainWindow);
    InstallBatchCommands();
}

} // namespace tavisol
