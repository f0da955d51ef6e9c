#pragma once

// The program's shared state at the start and end of a window test: nothing
// left from an earlier test (commands, enable checks, message box handler),
// the default settings, and the program folder the test wrote.

#include <filesystem>

#include "engine/engine.h"
#include "shell/appstate.h"
#include "shell/commands.h"
#include "shell/messages.h"
#include "shell/programfolders.h"
#include "shell/sharedsettings.h"

namespace tavisol::testsupport {

inline void StartProgramIn(const std::filesystem::path &programFolder) {
    ResetAppState();
    ClearCommandHandlers();
    ClearFormatChangeHandlers();
    engine::SetInitialValues(sharedSettingsForTesting());
    setProgramFolderForTesting(programFolder);
}

inline void EndProgram() {
    SetMessageBoxHandler(nullptr);
    ClearCommandHandlers();
    ClearFormatChangeHandlers();
    setProgramFolderForTesting({});
    ResetAppState();
}

} // namespace tavisol::testsupport
