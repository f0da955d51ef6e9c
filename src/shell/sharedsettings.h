#pragma once

// The estimation settings in force: one program-wide record. The settings
// dialog and the list window write it; every engine run copies it into its own
// EngineState when it starts (EngineState::UseSettings).

#include "engine/state.h"

namespace tavisol {

engine::EngineSettings &sharedSettings();

} // namespace tavisol
