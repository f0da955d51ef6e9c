// What stands in a data file's place and is no file (a pipe, a folder, a
// device) is refused at once on every path that reads it, in the reader's words.
#include <gtest/gtest.h>

#include <QAction>
#include <QTemporaryDir>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/appstate.h"
#include "shell/commands.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/programfolders.h"
#include "shell/splash_window.h"
#include "support/files.h"
#include "vantrixbind/vantrixbind.h"
#include "app/wiring.h"
#include "worldmap/worldmap.h"

namespace {

using namespace tavisol;

enum class Standing { Pipe, Folder, Device };

struct DataFileUse {
    const char *file; // in the program folder
    std::function<void()> use;
};

const DataFileUse Uses[] = {
    {"TavisolData/10k8b.raw", [] { SplashWindow splash([] {}); }},
    {"TavisolData/woma.bmp",
     [] {
         InstallEarlyCommands();
         RunCommand(Command::WorldMapLoadBoundaries);
         DestroyWorldMap();
     }},
    {"Tavisol.chm",
     [] {
         MainWindow main;
         main.menuAction(QStringLiteral("mn_TOC"))->trigger();
     }},
};

class NotAFile : public ::testing::TestWithParam<std::tuple<std::size_t, Standing>> {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        setProgramFolderForTesting(folder_.path().toStdString());
        std::filesystem::create_directories(dataFolder());
        ClearCommandHandlers();
        ResetAppState();
        vantrix::setLibraryPath(QStringLiteral(TAVISOL_BIN_DIR "/libvantrix.so"));
        SetMessageBoxHandler([this](QWidget *, const Message &m) {
            messages.push_back(m.text);
            return MsgAnswer::Ok;
        });
    }
    void TearDown() override {
        SetMessageBoxHandler({});
        vantrix::setLibraryPath({});
        ClearCommandHandlers();
        setProgramFolderForTesting({});
        ResetAppState();
    }

    QTemporaryDir folder_;
    std::vector<std::string> messages;
};

TEST_P(NotAFile, IsRefusedAtOnceInTheReadersWords) {
    const auto [use, standing] = GetParam();
    const std::filesystem::path path = programFolder() / Uses[use].file;
    std::unique_ptr<testsupport::PipeWithWriter> pipe;
    switch (standing) {
    case Standing::Pipe: pipe = std::make_unique<testsupport::PipeWithWriter>(path, "no data"); break;
    case Standing::Folder: std::filesystem::create_directories(path); break;
    case Standing::Device: testsupport::MakeNullDevice(path); break;
    }
    Uses[use].use();
    std::vector<std::string> aboutIt;
    for (const std::string &m : messages)
        if (m.find(path.string()) != std::string::npos)
            aboutIt.push_back(m);
    EXPECT_EQ(aboutIt, std::vector<std::string>{"Cannot read the file " + path.string() +
                                                (standing == Standing::Folder ? ": it is a folder, not a file"
                                                                              : ": it is not a regular file")});
}

std::string RowName(const ::testing::TestParamInfo<NotAFile::ParamType> &info) {
    static const char *const kinds[] = {"Pipe", "Folder", "Device"};
    return std::filesystem::path(Uses[std::get<0>(info.param)].file).stem().string() + "_" +
           kinds[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(, NotAFile,
                         ::testing::Combine(::testing::Range<std::size_t>(0, std::size(Uses)),
                                            ::testing::Values(Standing::Pipe, Standing::Folder, Standing::Device)),
                         RowName);

} // namespace
