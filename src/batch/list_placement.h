#pragma once

// Where the list window opens, worked out apart from the window so that any
// window manager's frame and any screen can be tried.

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace tavisol::batch {

// The window's geometry without its frame: the frame's top left at `corner`
// (the top left of the main window's child area, below its menus and toolbar),
// the size `wanted` as far as `room` (the screen's available area) holds the
// frame, never below `minimum`.
QRect ListWindowGeometry(const QRect &room, QPoint corner, const QMargins &frame, QSize wanted, QSize minimum);

} // namespace tavisol::batch
