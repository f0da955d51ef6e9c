#pragma once

// The commands of the main window that open windows of other subsystems. Each
// window is wired with one line, e.g. in main.cpp:
//
//     tavisol::SetCommandHandler(tavisol::Command::ViewData, [] { ... show frmGuess ... });
//
// A command without a handler does nothing: the menu entry and toolbar button
// stay in place until the window lands.

#include <functional>

namespace tavisol {

enum class Command {
    // Files
    SaveViewData,    // frmGuessOut with its Save button
    SaveWorkBench,   // frmOut with its Save button
    SaveGridOrFile,  // frmList, brought to the front
    PrintViewData,   // frmGuessOut with its Print button
    PrintWorkBench,  // frmOut with its Print button
    // Locations
    SetLocation,     // FormLocation
    LocationMap,     // frmMap: draw boundaries, capitals, current point; show
    VectMap,         // raster map Form1
    LocationFile,    // the locations-from-file reader
    LocationGrid,    // FrmGrid
    // View; both pass the busy gate first
    ViewData,        // frmGuess, brought to the front
    WorkBench,       // frmwork
    // Options
    ChangeSettings,  // frmSettings
    Coordinate,      // frmCoord
    // Not menu commands: start-up and shutdown steps of other windows
    WorldMapLoadBoundaries, // splash load: frmMap.CaricaConfini
    WorldMapLoadCapitals,   // splash load: frmMap.CaricaCapitali
    UnloadSettings,         // main window unload: frmSettings
    UnloadGuessOut,         // main window unload: frmGuessOut
};

using CommandHandler = std::function<void()>;

// Installs (or, with an empty function, removes) the handler of a command.
void SetCommandHandler(Command command, CommandHandler handler);
bool HasCommandHandler(Command command);
// Runs the handler if there is one; returns whether there was.
bool RunCommand(Command command);
void ClearCommandHandlers();

// The windows told of each change of the output format, in this order.
enum class FormatListener { GuessOut, List, Out };

// Enablecheck(code) of frmGuessOut, frmList and frmOut.
void SetEnablecheckHandler(FormatListener window, std::function<void(int code)> handler);
void ClearEnablecheckHandlers();
// Tells the three windows the code, GuessOut, then List, then Out.
void TellOutputFormat(int code);

} // namespace tavisol
