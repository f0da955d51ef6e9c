#pragma once

// Wiring of the world map window into the program.

namespace tavisol {

class WorldMapWindow;

// Installs the handlers of the commands that reach the world map:
//   Command::WorldMapLoadBoundaries  WorldMapWindow.LoadBoundaries (loads the window hidden)
//   Command::WorldMapLoadCapitals    WorldMapWindow.LoadCapitals
//   Command::LocationMap             draws boundaries, capitals and the current
//                                    location, then shows the window in front
//                                    (as a child of the main window when there is one)
void InstallWorldMapCommands();

// The program's one world map window, created hidden on first use.
WorldMapWindow *WorldMap();

// Deletes the window if it exists (the program's end, tests).
void DestroyWorldMap();

} // namespace tavisol
