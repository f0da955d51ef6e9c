#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "app/wiring.h"
#include "shell/appstate.h"
#include "shell/commands.h"
#include "shell/mdiform1.h"
#include "shell/programfolders.h"

namespace {

using tavisol::Command;

// Every menu command that opens a window of another subsystem reaches it, and
// the splash's loading steps are there before the main window exists.
TEST(Wiring, EveryCommandHasItsWindow) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    tavisol::setProgramFolderForTesting(folder.path().toStdString());
    tavisol::ClearCommandHandlers();

    tavisol::InstallEarlyCommands();
    EXPECT_TRUE(tavisol::HasCommandHandler(Command::WorldMapLoadBoundaries));
    EXPECT_TRUE(tavisol::HasCommandHandler(Command::WorldMapLoadCapitals));
    EXPECT_TRUE(tavisol::HasCommandHandler(Command::WorkBench));

    {
        tavisol::MDIForm1 mainWindow;
        tavisol::InstallMainWindowCommands(mainWindow);
        for (Command c : {Command::SaveViewData, Command::SaveWorkBench, Command::SaveGridOrFile,
                          Command::PrintViewData, Command::PrintWorkBench, Command::SetLocation,
                          Command::LocationMap, Command::VectMap, Command::LocationFile,
                          Command::LocationGrid, Command::ViewData, Command::WorkBench,
                          Command::ChangeSettings, Command::Coordinate, Command::UnloadSettings,
                          Command::UnloadGuessOut})
            EXPECT_TRUE(tavisol::HasCommandHandler(c)) << static_cast<int>(c);
        // The main window's load chose the own format.
        EXPECT_EQ(tavisol::appState().OutputFormat, 1);
    }
    tavisol::ClearCommandHandlers();
    tavisol::setProgramFolderForTesting({});
}

} // namespace
