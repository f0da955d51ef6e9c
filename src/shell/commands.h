#pragma once

// The commands of the main window that open windows of other subsystems. Each
// window is wired with one line, e.g. in main.cpp:
//
//     tavisol::SetCommandHandler(tavisol::Command::ViewData, [] { ... show ResultsWindow ... });
//
// A command without a handler does nothing: the menu entry and toolbar button
// stay in place until the window lands.

#include <functional>

namespace tavisol {

enum class Command {
    // Files
    SaveViewData,    // ResultsOutputDialog with its Save button
    SaveWorkBench,   // WorkbenchOutputDialog with its Save button
    SaveGridOrFile,  // BatchListWindow, brought to the front
    PrintViewData,   // ResultsOutputDialog with its Print button
    PrintWorkBench,  // WorkbenchOutputDialog with its Print button
    // Locations
    SetLocation,     // LocationDialog
    LocationMap,     // WorldMapWindow: draw boundaries, capitals, current point; show
    VectMap,         // raster map RasterMapWindow
    LocationFile,    // the locations-from-file reader
    LocationGrid,    // GridDialog
    // View; both pass the busy gate first
    ViewData,        // ResultsWindow, brought to the front
    WorkBench,       // WorkbenchWindow
    // Options
    ChangeSettings,  // SettingsDialog
    Coordinate,      // CoordinateDialog
    // Not menu commands: start-up and shutdown steps of other windows
    WorldMapLoadBoundaries, // splash load: WorldMapWindow.LoadBoundaries
    WorldMapLoadCapitals,   // splash load: WorldMapWindow.LoadCapitals
    UnloadSettings,         // main window unload: SettingsDialog
    UnloadResultsOutput,    // main window unload: ResultsOutputDialog
};

using CommandHandler = std::function<void()>;

// Installs (or, with an empty function, removes) the handler of a command.
void SetCommandHandler(Command command, CommandHandler handler);
bool HasCommandHandler(Command command);
// Runs the handler if there is one; returns whether there was.
bool RunCommand(Command command);
void ClearCommandHandlers();

// The windows told of each change of the output format, in this order.
enum class FormatListener { ResultsOutput, BatchList, WorkbenchOutput };

// EnableForFormat(code) of ResultsOutputDialog, BatchListWindow and WorkbenchOutputDialog.
void SetFormatChangeHandler(FormatListener window, std::function<void(int code)> handler);
void ClearFormatChangeHandlers();
// Tells the three windows the code, ResultsOutput, then BatchList, then WorkbenchOutput.
void TellOutputFormat(int code);

} // namespace tavisol
