// Entry point of the widget tests: one QApplication on the offscreen platform,
// and no modal dialog that a test did not answer: it fails the test at once
// with what it says, and the code goes on as if it had been cancelled.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "shell/dialoggate.h"

namespace {

// Code that asks again after each answer would go on for ever, answered by
// the gate or by a test's handler alike: the program stops once one dialog
// came this often in one test.
constexpr int kMostOfOneDialogInATest = 100;
std::map<std::string, int> shownInThisTest;

class CountPerTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo &) override { shownInThisTest.clear(); }
};

std::string Describe(const tavisol::ModalDialogRequest &d) {
    return d.kind + " \"" + d.title + "\"" + (d.text.empty() ? "" : " \"" + d.text + "\"");
}

bool OpenOnlyAnswered(const tavisol::ModalDialogRequest &d) {
    const std::string what = Describe(d);
    if (++shownInThisTest[what] >= kMostOfOneDialogInATest) {
        std::fprintf(stderr, "The same %s came %d times in one test: stopped.\n", what.c_str(),
                     kMostOfOneDialogInATest);
        std::fflush(nullptr);
        std::_Exit(1);
    }
    if (d.answered)
        return true;
    ADD_FAILURE() << "A " << what << " that the test did not answer.";
    return false;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new CountPerTest);
    tavisol::SetModalDialogGate(OpenOnlyAnswered);
    return RUN_ALL_TESTS();
}
