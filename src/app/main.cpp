#include <QApplication>

#include <memory>

#include "shell/frmintroduction.h"
#include "results/install.h"
#include "shell/dialogcommands.h"
#include "shell/mdiform1.h"
#include "workbench/commands.h"

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavisol"));
    // The splash closes before the main window opens; the windows end the
    // program themselves.
    QApplication::setQuitOnLastWindowClosed(false);

    // The windows of the other subsystems are wired to the main window's
    // commands here, one SetCommandHandler (shell/commands.h) each.

    std::unique_ptr<tavisol::MDIForm1> mainWindow;
    tavisol::frmIntroduction splash([&mainWindow] {
        mainWindow = std::make_unique<tavisol::MDIForm1>();
        tavisol::InstallDialogCommands(mainWindow.get());
        tavisol::results::InstallResultsCommands(*mainWindow);
        tavisol::workbench::InstallWorkbenchCommands();
        mainWindow->show();
    });
    splash.show();
    return QApplication::exec();
}
