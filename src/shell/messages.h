#pragma once

// Message boxes of the shell. Every box goes through one replaceable handler, so
// tests can read the texts and answer without a modal loop.

#include <QString>

#include <functional>

#include "shell/message.h"

class QWidget;

namespace tavisol {

// The handler sees the message as the box shows it: the title never empty (a
// box without its own shows "Tavisol") and every "\r" line break as "\n".
using MessageBoxHandler = std::function<MsgAnswer(QWidget *parent, const Message &)>;

// Replaces the handler; an empty one restores the real QMessageBox, behind the
// modal dialogs' gate (shell/dialoggate.h). Returns the previous handler.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The application title, the caption of boxes without their own.
QString ApplicationTitle();

MsgAnswer ShowMessage(QWidget *parent, const Message &message);
MsgAnswer ShowMessage(QWidget *parent, MsgIcon icon, const QString &text,
                      const QString &title = QString(), MsgButtons buttons = MsgButtons::Ok);

// A sink that shows the logic's messages over the parent (true for Yes and OK).
MessageSink MessageSinkFor(QWidget *parent);

// Tells the user that a run is going: "Tavisol Busy".
void SayBusy(QWidget *parent = nullptr);

// The gate of the commands that start an engine run: true when no run is going;
// otherwise shows "Tavisol Busy" and returns false. The run itself then holds a
// BusyGuard (appstate.h) while it computes.
bool BusyGate(QWidget *parent = nullptr);

} // namespace tavisol
