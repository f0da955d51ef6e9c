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
// `length`: the entry grows into the directory chunk's free space.
std::string WithStatedLength(const std::string &chm, const std::string &object, std::uint64_t length) {
    std::string d = chm;
    auto u32 = [&d](std::size_t at) {
        std::uint32_t v;
        std::memcpy(&v, d.data() + at, 4);
        return v;
    };
    auto encint = [&d](std::size_t &at) {
        std::uint64_t v = 0;
        unsigned char c;
        do {
            c = static_cast<unsigned char>(d[at++]);
            v = (v << 7) | (c & 0x7F);
        } while (c & 0x80);
        return v;
    };
    const std::size_t itsp = u32(0x48); // the directory, after the header and its section table
    const std::size_t block = u32(itsp + 0x10);
    for (std::size_t chunk = itsp + u32(itsp + 8); chunk + block <= d.size(); chunk += block) {
        if (d.compare(chunk, 4, "PMGL") != 0)
            continue;
        const std::size_t end = chunk + block - u32(chunk + 4);
        for (std::size_t at = chunk + 0x14; at < end;) {
            const std::size_t nameLength = encint(at);
            const bool found = d.compare(at, nameLength, object) == 0 && nameLength == object.size();
            at += nameLength;
            encint(at); // section
            encint(at); // offset
            const std::size_t from = at;
            encint(at);
            if (!found)
                continue;
            std::string stated(1, static_cast<char>(length & 0x7F));
            for (std::uint64_t v = length >> 7; v != 0; v >>= 7)
                stated.insert(0, 1, static_cast<char>(0x80 | (v & 0x7F)));
            const std::size_t grown = stated.size() - (at - from);
            d.replace(from, at - from, stated);
            d.erase(end + grown, grown); // out of the free space, now after the grown entries
            const std::uint32_t free = u32(chunk + 4) - static_cast<std::uint32_t>(grown);
            std::memcpy(d.data() + chunk + 4, &free, 4);
            return d;
        }
    }
    ADD_FAILURE() << object << " is not in the help file's directory";
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
