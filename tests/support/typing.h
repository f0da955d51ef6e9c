#pragma once

// Typing into a widget as the dialogs' key filters see it: each key's press
// and release sent straight to the widget, whatever has the focus.

#include <QCoreApplication>
#include <QKeyEvent>
#include <QString>
#include <QWidget>

namespace tavisol::testsupport {

inline void Key(QWidget *w, int key, const QString &text, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QCoreApplication::sendEvent(w, &release);
}

// Types the text key by key, as a user would.
inline void Type(QWidget *w, const QString &text) {
    for (QChar c : text)
        Key(w, c.toUpper().unicode(), QString(c));
}

} // namespace tavisol::testsupport
