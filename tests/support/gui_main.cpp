// Entry point of the widget tests: one QApplication on the offscreen platform,
// and no modal dialog that a test did not answer: it fails the test at once
// with what it says, and the code goes on as if it had been cancelled.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>

#include <cstdio>
#include <cstdlib>

#include "shell/dialoggate.h"

namespace {

// Code that asks again after each refusal would go on for ever: the program
// stops after this many in one test.
constexpr int kMostRefusedInATest = 20;
int refusedInThisTest = 0;

class CountPerTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo &) override { refusedInThisTest = 0; }
};

bool RefuseUnanswered(const tavisol::ModalDialogRequest &d) {
    ADD_FAILURE() << "A " << d.kind << " that the test did not answer: \"" << d.title << "\""
                  << (d.text.empty() ? "" : " \"" + d.text + "\"");
    if (++refusedInThisTest >= kMostRefusedInATest) {
        std::fprintf(stderr, "%d dialogs that the test did not answer: stopped.\n", refusedInThisTest);
        std::fflush(nullptr);
        std::_Exit(1);
    }
    return false;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new CountPerTest);
    tavisol::SetModalDialogGate(RefuseUnanswered);
    return RUN_ALL_TESTS();
}
