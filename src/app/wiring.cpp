#include "app/wiring.h"

#include "batch/batchcommands.h"
#include "outdlg/install.h"
#include "rastermap/raster_map_window.h"
#include "results/install.h"
#include "shell/dialogcommands.h"
#include "shell/main_window.h"
#include "workbench/commands.h"
#include "worldmap/world_map_window.h"
#include "worldmap/worldmap.h"

namespace tavisol {

void InstallEarlyCommands() {
    workbench::InstallWorkbenchCommands();
    rastermap::InstallRasterMapCommands();
    InstallWorldMapCommands();
    outdlg::InstallOutputCommands();
    // The world map's Save Data shows the results window's output dialog as it is.
    WorldMapWindow::SetSaveDataHandler([] { outdlg::ShowResultsOutput(); });
}

void InstallMainWindowCommands(MainWindow &mainWindow) {
    InstallDialogCommands(&mainWindow);
    results::InstallResultsCommands(mainWindow);
    InstallBatchCommands();
}

} // namespace tavisol
