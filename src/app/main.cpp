#include <QApplication>

#include <memory>

#include "app/wiring.h"
#include "shell/splash_window.h"
#include "shell/icons.h"
#include "shell/main_window.h"
#include "worldmap/worldmap.h"

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavisol"));
    // Message boxes and file dialogs carry the program's picture too.
    QApplication::setWindowIcon(tavisol::MakeIcon(tavisol::IconId::Program));
    // The splash closes before the main window opens; the windows end the
    // program themselves.
    QApplication::setQuitOnLastWindowClosed(false);

    tavisol::InstallEarlyCommands();
    std::unique_ptr<tavisol::MainWindow> mainWindow;
    tavisol::SplashWindow splash([&mainWindow] {
        mainWindow = std::make_unique<tavisol::MainWindow>();
        tavisol::InstallMainWindowCommands(*mainWindow);
        mainWindow->show();
    });
    splash.show();
    const int code = QApplication::exec();
    // A world map never shown inside the main window is a window of its own.
    tavisol::DestroyWorldMap();
    return code;
}
