#include <QApplication>

#include <memory>

#include "batch/batchcommands.h"
#include "rastermap/form1.h"
#include "results/install.h"
#include "shell/dialogcommands.h"
#include "shell/frmintroduction.h"
#include "shell/mdiform1.h"
#include "workbench/commands.h"
#include "worldmap/worldmap.h"

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavisol"));
    // The splash closes before the main window opens; the windows end the
    // program themselves.
    QApplication::setQuitOnLastWindowClosed(false);

    // Windows that need no main window to exist are wired before the splash,
    // whose load already calls some of them.
    tavisol::workbench::InstallWorkbenchCommands();
    tavisol::rastermap::InstallRasterMapCommands();
    tavisol::InstallWorldMapCommands();

    std::unique_ptr<tavisol::MDIForm1> mainWindow;
    tavisol::frmIntroduction splash([&mainWindow] {
        mainWindow = std::make_unique<tavisol::MDIForm1>();
        tavisol::InstallDialogCommands(mainWindow.get());
        tavisol::results::InstallResultsCommands(*mainWindow);
        tavisol::InstallBatchCommands();
        mainWindow->show();
    });
    splash.show();
    const int code = QApplication::exec();
    // A world map never shown inside the main window is a window of its own.
    tavisol::DestroyWorldMap();
    return code;
}
