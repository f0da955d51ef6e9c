#include <QApplication>

#include <memory>

#include "app/wiring.h"
#include "shell/frmintroduction.h"
#include "shell/mdiform1.h"
#include "worldmap/worldmap.h"

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavisol"));
    // The splash closes before the main window opens; the windows end the
    // program themselves.
    QApplication::setQuitOnLastWindowClosed(false);

    tavisol::InstallEarlyCommands();
    std::unique_ptr<tavisol::MDIForm1> mainWindow;
    tavisol::frmIntroduction splash([&mainWindow] {
        mainWindow = std::make_unique<tavisol::MDIForm1>();
        tavisol::InstallMainWindowCommands(*mainWindow);
        mainWindow->show();
    });
    splash.show();
    const int code = QApplication::exec();
    // A world map never shown inside the main window is a window of its own.
    tavisol::DestroyWorldMap();
    return code;
}
