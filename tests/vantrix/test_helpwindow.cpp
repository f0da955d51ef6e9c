// The help commands through the library, the control and its window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>
#include <QTabWidget>
#include <QTreeWidget>

#include <QTemporaryDir>
#include <QTextBrowser>

#include <cstdint>
#include <cstring>
#include <string>

#include "support/files.h"
#include "vantrixbind/vantrixbind.h"

namespace {

namespace vx = tavisol::vantrix;

const QString kHelpFile = QStringLiteral(TAVISOL_BIN_DIR "/Tavisol.chm");

QList<QWidget *> helpWindows() {
    QList<QWidget *> found;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("TavisolHelpWindow") && w->isVisible())
            found << w;
    return found;
}

class HelpCommands : public ::testing::Test {
protected:
    void SetUp() override { vx::setLibraryPath(QStringLiteral(TAVISOL_BIN_DIR "/libvantrix.so")); }
    void TearDown() override {
        for (QWidget *w : helpWindows())
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(HelpCommands, ContentsThenIndexReuseOneWindow) {
    bool shown = false;
    vx::BindError e;
    ASSERT_TRUE(vx::showTOC(kHelpFile, &shown, &e)) << e.description.toStdString();
    EXPECT_TRUE(shown);
    auto windows = helpWindows();
    ASSERT_EQ(windows.size(), 1);
    // The window lives in the control library: reach its parts by name.
    QWidget *w = windows.first();
    auto *tabs = w->findChild<QTabWidget *>(QStringLiteral("helpTabs"));
    auto *tree = w->findChild<QTreeWidget *>(QStringLiteral("helpContents"));
    auto *index = w->findChild<QListWidget *>(QStringLiteral("helpIndex"));
    auto *page = w->findChild<QTextBrowser *>(QStringLiteral("helpPage"));
    ASSERT_TRUE(tabs && tree && index && page);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Tavisol Help"));
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_GE(tree->topLevelItemCount(), 5);
    EXPECT_TRUE(page->toPlainText().contains(QStringLiteral("Tavisol")));
    const QString startPage = page->property("page").toString();
    EXPECT_EQ(startPage, QStringLiteral("/index.htm"));

    ASSERT_TRUE(vx::showIndex(kHelpFile, &shown, &e));
    EXPECT_TRUE(shown);
    ASSERT_EQ(helpWindows().size(), 1);
    EXPECT_EQ(helpWindows().first(), w);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_GE(index->count(), 40);

    // Choosing an index entry opens its page.
    QListWidgetItem *item = index->item(index->count() - 1);
    emit index->itemActivated(item);
    EXPECT_FALSE(page->toPlainText().contains(QStringLiteral("is not in the help file")));
    EXPECT_NE(page->property("page").toString(), startPage);

    // A link followed inside a page stays in the archive.
    emit page->anchorClicked(QUrl(QStringLiteral("station_files.htm#format")));
    EXPECT_EQ(page->property("page").toString(), QStringLiteral("/station_files.htm"));
    EXPECT_TRUE(page->toPlainText().contains(QStringLiteral("mela")));

    // Back, forward and home walk the pages seen.
    auto *back = w->findChild<QAction *>(QStringLiteral("helpBack"));
    auto *forward = w->findChild<QAction *>(QStringLiteral("helpForward"));
    auto *home = w->findChild<QAction *>(QStringLiteral("helpHome"));
    ASSERT_TRUE(back && forward && home);
    EXPECT_TRUE(back->isEnabled());
    EXPECT_FALSE(forward->isEnabled());
    back->trigger();
    EXPECT_NE(page->property("page").toString(), QStringLiteral("/station_files.htm"));
    EXPECT_TRUE(forward->isEnabled());
    forward->trigger();
    EXPECT_EQ(page->property("page").toString(), QStringLiteral("/station_files.htm"));
    home->trigger();
    EXPECT_EQ(page->property("page").toString(), startPage);
    EXPECT_FALSE(forward->isEnabled());
}

TEST_F(HelpCommands, MissingHelpFileShowsNothing) {
    bool shown = true;
    vx::BindError e;
    ASSERT_TRUE(vx::showTOC(QStringLiteral(TAVISOL_BIN_DIR "/Missing.chm"), &shown, &e));
    EXPECT_FALSE(shown);
    EXPECT_EQ(e.number, 0);
    ASSERT_TRUE(vx::showIndex(QStringLiteral(TAVISOL_BIN_DIR "/Missing.chm"), &shown, &e));
    EXPECT_FALSE(shown);
    EXPECT_TRUE(helpWindows().isEmpty());
}

// The command's own help file path lies beside the test program, where there
// is none: with the library present that is silent, and an open window stays.
TEST_F(HelpCommands, HelpCommandWithoutHelpFileReportsNothing) {
    bool shown = false;
    vx::BindError e;
    ASSERT_TRUE(vx::showTOC(kHelpFile, &shown, &e));
    ASSERT_TRUE(shown);
    bool boxSeen = false;
    QTimer::singleShot(0, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *box = qobject_cast<QMessageBox *>(w); box != nullptr && box->isVisible()) {
                boxSeen = true;
                box->accept();
            }
    });
    const QString ownHelpFile = QCoreApplication::applicationDirPath() + QStringLiteral("/Tavisol.chm");
    EXPECT_EQ(vx::openHelpContents(ownHelpFile).number, 0);
    EXPECT_EQ(vx::openHelpIndex(ownHelpFile).number, 0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(boxSeen);
    EXPECT_EQ(helpWindows().size(), 1);
}

// The help file with the length its directory states for `object` made
// `length`: the entry grows into its directory chunk's free space.
std::string WithStatedLength(std::string d, const std::string &object, std::uint64_t length) {
    std::uint32_t block, free;
    std::memcpy(&block, &d[d.find("ITSP") + 0x10], 4);
    const std::size_t chunk = d.find("PMGL");
    std::memcpy(&free, &d[chunk + 4], 4);
    // After the name: section, offset and length, each a number of 7-bit groups.
    std::size_t at = d.find(object, chunk) + object.size(), from = 0;
    for (int field = 0; field < 3; ++field) {
        from = at;
        while (d[at++] & 0x80) {
        }
    }
    std::string stated(1, static_cast<char>(length & 0x7F));
    for (std::uint64_t v = length >> 7; v != 0; v >>= 7)
        stated.insert(0, 1, static_cast<char>(0x80 | (v & 0x7F)));
    const std::size_t grown = stated.size() - (at - from);
    d.replace(from, at - from, stated);
    d.erase(chunk + block - free + grown, grown);
    free -= static_cast<std::uint32_t>(grown);
    std::memcpy(&d[chunk + 4], &free, 4);
    return d;
}

// A page whose stated length is far beyond the file is not there, rather than
// taken as the size of a buffer; the rest of the help still opens.
TEST_F(HelpCommands, AStatedLengthBeyondTheFileIsNotAllocated) {
    QTemporaryDir dir;
    const std::string damaged = dir.path().toStdString() + "/Damaged.chm";
    tavisol::testsupport::Put(damaged, WithStatedLength(tavisol::testsupport::Slurp(kHelpFile.toStdString()),
                                                        "/index.htm", std::uint64_t{1} << 41));
    bool shown = false;
    vx::BindError e;
    ASSERT_TRUE(vx::showTOC(QString::fromStdString(damaged), &shown, &e));
    ASSERT_TRUE(shown);
    auto *page = helpWindows().first()->findChild<QTextBrowser *>(QStringLiteral("helpPage"));
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->toPlainText().contains(QStringLiteral("/index.htm is not in the help file")));
    emit page->anchorClicked(QUrl(QStringLiteral("station_files.htm")));
    EXPECT_TRUE(page->toPlainText().contains(QStringLiteral("mela")));
}

} // namespace

namespace {

TEST_F(HelpCommands, HelpWindowDoesNotKeepTheProgramAlive) {
    bool shown = false;
    vx::BindError e;
    ASSERT_TRUE(vx::showTOC(kHelpFile, &shown, &e));
    ASSERT_EQ(helpWindows().size(), 1);
    EXPECT_FALSE(helpWindows().first()->testAttribute(Qt::WA_QuitOnClose));
}

} // namespace
