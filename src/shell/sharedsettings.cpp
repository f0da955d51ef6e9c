#include "shell/sharedsettings.h"

#include "shell/appstate.h"

namespace tavisol {

namespace {

engine::EngineSettings &InForce() {
    static engine::EngineSettings settings = engine::DefaultSettings();
    return settings;
}

} // namespace

const engine::EngineSettings &sharedSettings() { return InForce(); }

engine::EngineSettings &sharedSettingsForTesting() { return InForce(); }

void SetSharedSettings(const engine::EngineSettings &settings) {
    engine::EngineSettings &inForce = InForce();
    if (inForce == settings)
        return;
    inForce = settings;
    MarkEstimatesStale(RecalcMarks::Both);
}

} // namespace tavisol
