#include "shell/sharedsettings.h"

#include "shell/appstate.h"
#include "shell/dialoglogic.h"

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
    const engine::EngineSettings accepted = dialogs::AcceptedSettings(inForce, settings);
    if (inForce == accepted)
        return;
    inForce = accepted;
    MarkEstimatesStale(RecalcMarks::Both);
}

} // namespace tavisol
