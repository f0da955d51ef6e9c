#pragma once

// The estimation settings in force: one program-wide record. The settings
// dialog and the list window change it, only through SetSharedSettings; every
// engine run copies it into its own EngineState when it starts
// (EngineState::UseSettings).

#include "engine/state.h"

namespace tavisol {

const engine::EngineSettings &sharedSettings();

// Puts settings in force, except each value the settings dialog would refuse
// (dialogs::AcceptedSettings), which keeps the value in force. A change marks
// both result windows for recomputation and tells the main window
// (appstate.h), wherever it was made.
void SetSharedSettings(const engine::EngineSettings &settings);

// Tests set up the record directly, as the program's start would leave it.
engine::EngineSettings &sharedSettingsForTesting();

} // namespace tavisol
