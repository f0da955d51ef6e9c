#include "shell/hooks.h"

#include "engine/state.h"
#include "shell/sharedsettings.h"

namespace tavisol {

void InitEngineDefaults() {
    engine::EngineSettings s = sharedSettings();
    engine::SetInitialValues(s);
    SetSharedSettings(s);
}

} // namespace tavisol
