#pragma once

// Window activation as the user brings it about: a click on a window, or the
// closing of a box over it.

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QWidget>

namespace tavisol::testsupport {

// Makes a top-level window the active one and lets the activation's events
// through.
inline bool Activate(QWidget *w) {
    w->activateWindow();
    for (int k = 0; k < 50 && QApplication::activeWindow() != w; ++k)
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return QApplication::activeWindow() == w;
}

// A box over the window that the user closes: the window becomes active again.
inline void CloseABoxOver(QWidget *window) {
    QDialog box(window);
    box.show();
    Activate(&box);
    box.close();
    Activate(window);
}

} // namespace tavisol::testsupport
