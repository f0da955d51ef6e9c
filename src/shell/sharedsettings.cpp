#include "shell/sharedsettings.h"

#include "shell/appstate.h"

namespace tavisol {

engine::EngineSettings &sharedSettingsForTesting() {
    static engine::EngineSettings settings = engine::DefaultSettings();
    return settings;
}

const engine::EngineSettings &sharedSettings() { return sharedSettingsForTesting(); }

void SetSharedSettings(const engine::EngineSettings &settings) {
    engine::EngineSettings &inForce = sharedSettingsForTesting();
    if (inForce == settings)
        return;
    inForce = settings;
    MarkEstimatesStale(RecalcMarks::Both);
}

} // namespace tavisol
