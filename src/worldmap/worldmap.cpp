#include "worldmap/worldmap.h"

#include <QPointer>

#include "shell/commands.h"
#include "shell/mdiform1.h"
#include "worldmap/frmmap.h"

namespace tavisol {

namespace {
QPointer<frmMap> &instance() {
    static QPointer<frmMap> map;
    return map;
}
} // namespace

frmMap *WorldMap() {
    QPointer<frmMap> &map = instance();
    if (!map)
        map = new frmMap;
    return map;
}

void DestroyWorldMap() { delete instance().data(); }

void InstallWorldMapCommands() {
    SetCommandHandler(Command::WorldMapLoadBoundaries, [] { WorldMap()->CaricaConfini(); });
    SetCommandHandler(Command::WorldMapLoadCapitals, [] { WorldMap()->CaricaCapitali(); });
    SetCommandHandler(Command::LocationMap, [] {
        frmMap *map = WorldMap();
        map->DisegnaConfini();
        map->DisegnaCapitali();
        map->DisegnaPuntoSelezionato();
        if (MDIForm1 *main = MDIForm1::instance())
            main->showChild(map);
        else
            MDIForm1::showWindow(map);
    });
}

} // namespace tavisol
