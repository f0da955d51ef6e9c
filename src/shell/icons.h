#pragma once

// The shell's pictures, drawn here so the program carries no image files.

#include <QIcon>
#include <QPixmap>

namespace tavisol {

enum class IconId {
    Save,
    Print,
    Location,
    WorldMap,
    RasterMap,
    LocationFile,
    LocationGrid,
    ViewData,
    WorkBench,
    Help,
    Index,
    About,
    Cascade,
    TileHorizontal,
    TileVertical,
    PrinterSetup,
    Coordinate,
    Settings,
    OutputFormat,
    Station,
    Back,
    Program,  // the program itself: main window, splash and dialogs
};

QPixmap MakePixmap(IconId id, int size);
QIcon MakeIcon(IconId id);

} // namespace tavisol
