#include <gtest/gtest.h>

#include <QMdiArea>

#include "shell/mdiform1.h"

namespace {

TEST(MainWindow, OpensAsMultipleDocumentFrameTitledTavisol) {
    tavisol::MDIForm1 window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tavisol"));
    ASSERT_NE(window.mdiArea(), nullptr);
    EXPECT_EQ(window.centralWidget(), window.mdiArea());
    EXPECT_TRUE(window.mdiArea()->subWindowList().isEmpty());
}

} // namespace
