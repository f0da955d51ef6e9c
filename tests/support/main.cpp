// Entry point of the tests without windows. The process locale comes from the
// environment, as the program's start sets it (QApplication does so), so that
// these tests meet the user's decimal mark and digit grouping too.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char **argv) {
    std::setlocale(LC_ALL, "");
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
