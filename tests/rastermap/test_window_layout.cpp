// The raster map window inside the main window: its size as a child window,
// what the user can reach at common window sizes, and the end of the program
// during an export.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <deque>

#include "engine/engine.h"
#include "fixture.h"
#include "rastermap/form1.h"
#include "shell/appstate.h"
#include "shell/commands.h"
#include "shell/mdiform1.h"
#include "shell/messages.h"
#include "shell/programfolders.h"
#include "shell/sharedsettings.h"

namespace tavisol::rastermap {
namespace {

namespace fs = std::filesystem;

class RasterInMainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        testing::UseBuiltVantrix();
        ResetAppState();
        engine::SetInitialValues(sharedSettings());
        setProgramFolderForTesting(folder.path());
        SetMessageBoxHandler([this](QWidget *, const MessageRequest &r) {
            messages.push_back(r.text);
            if (!answers.empty()) {
                const MsgAnswer a = answers.front();
                answers.pop_front();
                return a;
            }
            return r.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
        });
        Form1::SetSaveDialog([this](QWidget *, const QString &, const QString &) {
            ++saveDialogs;
            return QString::fromStdString((folder.path() / "out.img").string());
        });
        // A map nearly as high as wide, like the Africa map: at the window's
        // width its picture is taller than the window.
        testing::FixtureMap tall;
        tall.Name = "tall";
        tall.Columns = 100;
        tall.Rows = 98;
        tall.West = 5.0;
        tall.North = 55.0;
        tall.Cell = 0.1;
        testing::WriteFixtureMap(folder.path() / "vistreldata", tall);
        InstallRasterMapCommands();
        main = std::make_unique<MDIForm1>();
        main->resize(1024, 720);
        main->show();
    }
    void TearDown() override {
        main.reset();
        delete Form1::instance();
        SetCommandHandler(Command::VectMap, {});
        SetMessageBoxHandler({});
        Form1::SetSaveDialog({});
        setProgramFolderForTesting({});
        ResetAppState();
    }

    Form1 *OpenFromMenu() {
        main->menuAction(QStringLiteral("mn_vectMap"))->trigger();
        QApplication::processEvents();
        return Form1::instance();
    }
    static QMdiSubWindow *SubWindowOf(QWidget *w) { return qobject_cast<QMdiSubWindow *>(w->parentWidget()); }
    QRect AreaRect() const { return main->mdiArea()->viewport()->rect(); }

    // A size to work with, and the whole child window inside the frame's area.
    void ExpectUsable(const char *step) {
        Form1 *form = Form1::instance();
        QMdiSubWindow *sub = SubWindowOf(form);
        ASSERT_NE(sub, nullptr) << step;
        EXPECT_GE(form->width(), 600) << step;
        EXPECT_GE(form->height(), 400) << step;
        EXPECT_TRUE(AreaRect().contains(sub->geometry())) << step;
    }

    testing::TempFolder folder;
    std::unique_ptr<MDIForm1> main;
    std::vector<QString> messages;
    std::deque<MsgAnswer> answers;
    int saveDialogs = 0;
};

TEST_F(RasterInMainWindow, KeepsAUsableSizeThroughEveryWindowArrangement) {
    Form1 *form = OpenFromMenu();
    ASSERT_NE(form, nullptr);
    ExpectUsable("opened");
    QMdiSubWindow *sub = SubWindowOf(form);
    const QSize opened = sub->size();

    sub->showMaximized();
    QApplication::processEvents();
    sub->showNormal();
    QApplication::processEvents();
    ExpectUsable("restored");
    EXPECT_EQ(sub->size(), opened);

    main->mn_Cascade_Click();
    QApplication::processEvents();
    ExpectUsable("cascade");
    main->mn_horizontal_Click();
    ExpectUsable("tile horizontal");
    main->mn_Vertical_Click();
    ExpectUsable("tile vertical");

    // Closed and opened again from the toolbar's command.
    sub->close();
    RunCommand(Command::VectMap);
    QApplication::processEvents();
    EXPECT_EQ(Form1::instance(), form);
    ExpectUsable("reopened");
}

} // namespace
} // namespace tavisol::rastermap
