#pragma once

// Message boxes of the shell. Every box goes through one replaceable handler, so
// tests can read the texts and answer without a modal loop.

#include <QString>

#include <functional>

class QWidget;

namespace tavisol {

enum class MsgIcon { NoIcon, Information, Question, Warning, Critical };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

struct MessageRequest {
    MsgIcon icon = MsgIcon::NoIcon;
    MsgButtons buttons = MsgButtons::Ok;
    QString title; // never empty: a box without its own title shows "Tavisol"
    QString text;
};

using MessageBoxHandler = std::function<MsgAnswer(QWidget *parent, const MessageRequest &)>;

// Replaces the handler; an empty one restores the real QMessageBox. Returns the
// previous handler.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The application title, the caption of boxes without their own.
QString ApplicationTitle();

MsgAnswer ShowMessage(QWidget *parent, MsgIcon icon, const QString &text,
                      const QString &title = QString(), MsgButtons buttons = MsgButtons::Ok);

// The gate of the commands that start an engine run: true when no run is going;
// otherwise shows "Tavisol Busy" and returns false. The run itself then holds a
// BusyGuard (appstate.h) while it computes.
bool BusyGate(QWidget *parent = nullptr);

} // namespace tavisol
