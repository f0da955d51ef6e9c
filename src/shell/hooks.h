#pragma once

// Calls into subsystems that are linked in later: the engine's defaults and the
// help library. Each is one function so the binding changes in one place.

#include <QString>

class QWidget;

namespace tavisol {

// The engine's start values (SetInitialValues), run by the main window's load.
void InitEngineDefaults();

// Help contents and index of the help file, through the Vantrix library; a
// failed binding, or a help file that is there but cannot be read, is
// reported in a message box over parent.
void OpenHelpContents(QWidget *parent, const QString &helpFile);
void OpenHelpIndex(QWidget *parent, const QString &helpFile);

} // namespace tavisol
