#include "shell/sharedsettings.h"

namespace tavisol {

engine::EngineSettings &sharedSettings() {
    static engine::EngineSettings settings = engine::DefaultSettings();
    return settings;
}

} // namespace tavisol
