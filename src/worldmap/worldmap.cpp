#include "worldmap/worldmap.h"

#include <QPointer>

#include "shell/commands.h"
#include "shell/main_window.h"
#include "worldmap/world_map_window.h"

namespace tavisol {

namespace {
QPointer<WorldMapWindow> &instance() {
    static QPointer<WorldMapWindow> map;
    return map;
}
} // namespace

WorldMapWindow *WorldMap() {
    QPointer<WorldMapWindow> &map = instance();
    if (!map)
        map = new WorldMapWindow;
    return map;
}

void DestroyWorldMap() { delete instance().data(); }

void InstallWorldMapCommands() {
    SetCommandHandler(Command::WorldMapLoadBoundaries, [] { WorldMap()->LoadBoundaries(); });
    SetCommandHandler(Command::WorldMapLoadCapitals, [] { WorldMap()->LoadCapitals(); });
    SetCommandHandler(Command::LocationMap, [] {
        WorldMapWindow *map = WorldMap();
        map->DrawBoundaries();
        map->DrawCapitals();
        map->DrawSelectedPoint();
        if (MainWindow *main = MainWindow::instance())
            main->showChild(map);
        else
            MainWindow::showWindow(map);
    });
}

} // namespace tavisol
