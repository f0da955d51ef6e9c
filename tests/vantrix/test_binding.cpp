// Binding the library at run time: failures carry a number and a description
// and are retried at the next call; the help commands' error message.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include "support/realdialogs.h"
#include "vantrixbind/vantrixbind.h"

namespace {

namespace vx = tavisol::vantrix;

const QString kRealLibrary = QStringLiteral(TAVISOL_BIN_DIR "/libvantrix.so");

class Binding : public ::testing::Test {
protected:
    void TearDown() override { vx::setLibraryPath(kRealLibrary); }
};

TEST_F(Binding, MissingLibraryIsReportedAtEveryCall) {
    vx::setLibraryPath(QStringLiteral(TAVISOL_BIN_DIR "/no-such-folder/libvantrix.so"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        vx::BindError e;
        bool shown = true;
        EXPECT_FALSE(vx::showTOC(QStringLiteral("/tmp/x.chm"), &shown, &e));
        EXPECT_EQ(e.number, vx::kErrLibraryNotFound);
        EXPECT_EQ(e.description, QStringLiteral("File not found: " TAVISOL_BIN_DIR "/no-such-folder/libvantrix.so"));
        double v = 7;
        vx::BindError e2;
        EXPECT_FALSE(vx::real48ToDouble(Real48Rec{}, &v, &e2));
        EXPECT_EQ(e2.number, vx::kErrLibraryNotFound);
        EXPECT_EQ(v, 7); // untouched
    }
    // Once the library is there, the same binding succeeds.
    vx::setLibraryPath(kRealLibrary);
    double v = 0;
    vx::BindError e;
    EXPECT_TRUE(vx::real48ToDouble(Real48Rec{}, &v, &e));
    EXPECT_EQ(e.number, 0);
    EXPECT_EQ(v, 0.00001);
}

TEST_F(Binding, DefaultLooksInTheProgramFolder) {
    // In a fresh process: once an earlier test has loaded the library, the
    // search by plain name finds it whatever the program folder holds.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto bindByDefault = [] {
        // The test program's folder has no library: the default binding fails there.
        vx::setLibraryPath(QString());
        vx::BindError e;
        double v = 0;
        const bool bound = vx::real48ToDouble(Real48Rec{}, &v, &e);
        std::fprintf(stderr, "%d %s\n", e.number, qPrintable(e.description));
        const QString expected =
            QStringLiteral("File not found: ") + QCoreApplication::applicationDirPath() + QStringLiteral("/libvantrix.so");
        std::_Exit(!bound && e.number == vx::kErrLibraryNotFound && e.description == expected ? 0 : 1);
    };
    EXPECT_EXIT(bindByDefault(), ::testing::ExitedWithCode(0), "");
}

TEST_F(Binding, AFileThatIsNoLibraryIsALoadFailure) {
    QTemporaryDir dir;
    QFile junk(dir.filePath(QStringLiteral("libvantrix.so")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a library");
    junk.close();
    vx::setLibraryPath(junk.fileName());
    vx::BindError e;
    bool shown = false;
    EXPECT_FALSE(vx::showTOC(QStringLiteral("/tmp/x.chm"), &shown, &e));
    EXPECT_EQ(e.number, vx::kErrLibraryNotFound);
    EXPECT_FALSE(e.description.isEmpty());
    EXPECT_FALSE(e.description.startsWith(QStringLiteral("File not found")));
}

TEST_F(Binding, MissingEntryNamesTheFunction) {
    vx::setLibraryPath(QStringLiteral(TAVISOL_BIN_DIR "/../tests/partial/libtest_vantrix_partial.so"));
    bool shown = false;
    vx::BindError e;
    // The present entry binds and runs; the absent ones fail by name.
    EXPECT_TRUE(vx::showTOC(QStringLiteral("/tmp/x.chm"), &shown, &e)) << e.description.toStdString();
    EXPECT_TRUE(shown);
    Real48Rec r{};
    EXPECT_FALSE(vx::doubleToReal48(1.0, &r, &e));
    EXPECT_EQ(e.number, vx::kErrEntryNotFound);
    EXPECT_TRUE(e.description.contains(QStringLiteral("DoubleToReal48"))) << e.description.toStdString();
    EXPECT_FALSE(vx::showIndex(QStringLiteral("/tmp/x.chm"), &shown, &e));
    EXPECT_TRUE(e.description.contains(QStringLiteral("ShowIndex")));
}

TEST(HelpErrorMessage, TwoLinesNumberThenDescriptionInParentheses) {
    const QString text = vx::helpErrorMessage(53, QStringLiteral("File not found: libvantrix.so"));
    EXPECT_EQ(text, QStringLiteral("Error --> Number : 53\r\n(File not found: libvantrix.so)"));
    EXPECT_EQ(text.split(QStringLiteral("\r\n")).size(), 2);
    EXPECT_EQ(vx::helpErrorMessage(0, QString()), QStringLiteral("Error --> Number : 0\r\n()"));
}

// The help command with the library absent shows the framed error and goes on.
TEST_F(Binding, HelpCommandReportsAMissingLibrary) {
    tavisol::testsupport::RealDialogs real;
    vx::setLibraryPath(QStringLiteral("/nonexistent/libvantrix.so"));
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(w); box != nullptr && box->isVisible()) {
                caption = box->windowTitle();
                text = box->text();
                icon = box->icon();
                box->accept();
            }
        }
    });
    const vx::BindError e = vx::openHelpIndex(QStringLiteral("Tavisol.chm"));
    EXPECT_EQ(e.number, vx::kErrLibraryNotFound);
    EXPECT_EQ(caption, QStringLiteral("Tavisol"));
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(text, QStringLiteral("Error --> Number : 53\r\n(File not found: /nonexistent/libvantrix.so)"));
}

} // namespace
