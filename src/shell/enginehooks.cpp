#include "shell/hooks.h"

#include "engine/state.h"
#include "shell/sharedsettings.h"

namespace tavisol {

void InitEngineDefaults() { engine::SetInitialValues(sharedSettings()); }

} // namespace tavisol
