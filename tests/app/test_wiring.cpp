#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QTemporaryDir>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "app/wiring.h"
#include "shell/appstate.h"
#include "shell/commands.h"
#include "shell/icons.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/programfolders.h"
#include "shell/splash_window.h"
#include "support/files.h"
#include "vantrixbind/vantrixbind.h"
#include "worldmap/worldmap.h"

namespace {

using tavisol::Command;

// A program folder of its own and no commands installed; everything put back
// afterwards.
class Wiring : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        tavisol::setProgramFolderForTesting(folder_.path().toStdString());
        tavisol::ClearCommandHandlers();
        tavisol::ResetAppState();
    }
    void TearDown() override {
        tavisol::SetMessageBoxHandler({});
        tavisol::ClearCommandHandlers();
        tavisol::setProgramFolderForTesting({});
        tavisol::ResetAppState();
    }

    QTemporaryDir folder_;
};

// Every menu command that opens a window of another subsystem reaches it, and
// the splash's loading steps are there before the main window exists.
TEST_F(Wiring, EveryCommandHasItsWindow) {
    tavisol::InstallEarlyCommands();
    EXPECT_TRUE(tavisol::HasCommandHandler(Command::WorldMapLoadBoundaries));
    EXPECT_TRUE(tavisol::HasCommandHandler(Command::WorldMapLoadCapitals));
    EXPECT_TRUE(tavisol::HasCommandHandler(Command::WorkBench));

    {
        tavisol::MainWindow mainWindow;
        tavisol::InstallMainWindowCommands(mainWindow);
        for (Command c : {Command::SaveViewData, Command::SaveWorkBench, Command::SaveGridOrFile,
                          Command::PrintViewData, Command::PrintWorkBench, Command::SetLocation,
                          Command::LocationMap, Command::VectMap, Command::LocationFile,
                          Command::LocationGrid, Command::ViewData, Command::WorkBench,
                          Command::ChangeSettings, Command::Coordinate, Command::UnloadSettings,
                          Command::UnloadResultsOutput})
            EXPECT_TRUE(tavisol::HasCommandHandler(c)) << static_cast<int>(c);
        // The main window's load chose the own format.
        EXPECT_EQ(tavisol::appState().OutputFormat, 1);
    }
}

QImage Picture(const QIcon &icon) { return icon.pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32); }
QImage Picture(tavisol::IconId id) {
    return tavisol::MakePixmap(id, 32).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Every window the menus open carries one of the program's own pictures,
// never an empty one or the toolkit's logo; each child window of the frame
// its own.
TEST_F(Wiring, EveryWindowCarriesItsOwnPicture) {
    using tavisol::IconId;
    tavisol::SetMessageBoxHandler([](QWidget *, const tavisol::Message &r) {
        return r.buttons == tavisol::MsgButtons::YesNo ? tavisol::MsgAnswer::No : tavisol::MsgAnswer::Ok;
    });
    tavisol::InstallEarlyCommands();
    {
        tavisol::MainWindow mainWindow;
        tavisol::InstallMainWindowCommands(mainWindow);
        mainWindow.show();
        EXPECT_EQ(Picture(mainWindow.windowIcon()), Picture(IconId::Program));
        for (const char *command : {"mn_ViewData", "mn_WorkBench", "mn_LocationMap", "mn_vectMap", "mn_saveGridOrFile",
                                    "mn_LocationGrid", "mn_SaveViewData", "mn_SaveWorkBench", "mn_SetLocation",
                                    "mnChangeSettings", "mn_Coordinate", "mn_About"}) {
            QAction *a = mainWindow.menuAction(QString::fromLatin1(command));
            ASSERT_NE(a, nullptr) << command;
            a->trigger();
            QApplication::processEvents();
        }
        const QImage logo = Picture(QApplication::style()->standardIcon(QStyle::SP_TitleBarMenuButton));
        const std::map<std::string, IconId> children = {{"ResultsWindow", IconId::ViewData},
                                                         {"WorkbenchWindow", IconId::WorkBench},
                                                         {"WorldMapWindow", IconId::WorldMap},
                                                         {"RasterMapWindow", IconId::RasterMap}};
        std::map<std::string, int> seen;
        for (QMdiSubWindow *sub : mainWindow.mdiArea()->subWindowList()) {
            std::string name = sub->widget()->metaObject()->className();
            name = name.substr(name.rfind(':') + 1);
            ++seen[name];
            ASSERT_TRUE(children.count(name)) << name;
            // The title bar's picture, and the menu bar's when maximised.
            EXPECT_EQ(Picture(sub->windowIcon()), Picture(children.at(name))) << name;
        }
        EXPECT_EQ(seen.size(), children.size());
        int others = 0;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || w == &mainWindow)
                continue;
            ++others;
            const QImage picture = Picture(w->windowIcon());
            EXPECT_FALSE(w->windowIcon().isNull()) << w->windowTitle().toStdString();
            EXPECT_NE(picture, logo) << w->windowTitle().toStdString();
            EXPECT_NE(picture, Picture(mainWindow.windowIcon())) << w->windowTitle().toStdString() << " has none of its own";
        }
        EXPECT_GE(others, 6);
    }
}

// What stands in a data file's place and is no file (a pipe, a folder, a
// device) is refused at once on every path that reads it, in the reader's words.
enum class Standing { Pipe, Folder, Device };

const struct {
    const char *file; // in the program folder
    std::function<void()> use;
} Uses[] = {
    {"TavisolData/10k8b.raw", [] { tavisol::SplashWindow splash([] {}); }},
    {"TavisolData/woma.bmp",
     [] {
         tavisol::InstallEarlyCommands();
         tavisol::RunCommand(Command::WorldMapLoadBoundaries);
         tavisol::DestroyWorldMap();
     }},
    {"Tavisol.chm", [] { tavisol::MainWindow().menuAction(QStringLiteral("mn_TOC"))->trigger(); }},
};

class NotAFile : public Wiring, public ::testing::WithParamInterface<std::tuple<std::size_t, Standing>> {};

TEST_P(NotAFile, IsRefusedAtOnceInTheReadersWords) {
    const auto [use, standing] = GetParam();
    const std::filesystem::path path = tavisol::programFolder() / Uses[use].file;
    std::filesystem::create_directories(path.parent_path());
    std::unique_ptr<tavisol::testsupport::PipeWithWriter> pipe;
    if (standing == Standing::Pipe)
        pipe = std::make_unique<tavisol::testsupport::PipeWithWriter>(path, "no data");
    else if (standing == Standing::Folder)
        std::filesystem::create_directories(path);
    else
        tavisol::testsupport::MakeNullDevice(path);
    std::vector<std::string> aboutIt;
    tavisol::SetMessageBoxHandler([&](QWidget *, const tavisol::Message &m) {
        if (m.text.find(path.string()) != std::string::npos)
            aboutIt.push_back(m.text);
        return tavisol::MsgAnswer::Ok;
    });
    tavisol::vantrix::setLibraryPath(QStringLiteral(TAVISOL_BIN_DIR "/libvantrix.so"));
    Uses[use].use();
    tavisol::vantrix::setLibraryPath({});
    EXPECT_EQ(aboutIt, std::vector<std::string>{"Cannot read the file " + path.string() +
                                                (standing == Standing::Folder ? ": it is a folder, not a file"
                                                                              : ": it is not a regular file")});
}

INSTANTIATE_TEST_SUITE_P(, NotAFile,
                         ::testing::Combine(::testing::Range<std::size_t>(0, std::size(Uses)),
                                            ::testing::Values(Standing::Pipe, Standing::Folder, Standing::Device)));

} // namespace
