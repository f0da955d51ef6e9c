// Vantrix without its help control beside it: help requests return 0, once
// and for all, and show nothing; the conversions still work.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "vantrixbind/vantrixbind.h"

namespace {

namespace vx = tavisol::vantrix;

TEST(MissingHelpControl, HelpRequestsReturnZeroWithoutAMessage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString copy = dir.filePath(QStringLiteral("libvantrix.so"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TAVISOL_BIN_DIR "/libvantrix.so"), copy));
    vx::setLibraryPath(copy);

    const QString helpFile = QStringLiteral(TAVISOL_BIN_DIR "/Tavisol.chm");
    for (int attempt = 0; attempt < 2; ++attempt) {
        bool shown = true;
        vx::BindError e;
        ASSERT_TRUE(vx::showTOC(helpFile, &shown, &e)) << e.description.toStdString();
        EXPECT_FALSE(shown);
        shown = true;
        ASSERT_TRUE(vx::showIndex(helpFile, &shown, &e));
        EXPECT_FALSE(shown);
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());

    // Even once the control is there, the failure stands for this process.
    ASSERT_TRUE(QFile::copy(QStringLiteral(TAVISOL_BIN_DIR "/libtavisolhelp.so"),
                            dir.filePath(QStringLiteral("libtavisolhelp.so"))));
    bool shown = true;
    vx::BindError e;
    ASSERT_TRUE(vx::showTOC(helpFile, &shown, &e));
    EXPECT_FALSE(shown);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());

    double v = 0;
    ASSERT_TRUE(vx::real48ToDouble(vx::real48FromBytes({0x81, 0, 0, 0, 0, 0}), &v, &e));
    EXPECT_EQ(v, 100001 * 0.00001);
}

} // namespace
