#pragma once

// Common set-up of the widget tests: fresh program state, no wired windows,
// and message boxes recorded and answered without a modal loop.

#include <gtest/gtest.h>

#include <vector>

#include "shell/appstate.h"
#include "shell/commands.h"
#include "shell/messages.h"

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        tavisol::ResetAppState();
        tavisol::ClearCommandHandlers();
        tavisol::ClearFormatChangeHandlers();
        tavisol::SetMessageBoxHandler([this](QWidget *, const tavisol::Message &r) {
            messages.push_back(r);
            if (r.buttons == tavisol::MsgButtons::YesNo)
                return answer;
            return tavisol::MsgAnswer::Ok;
        });
    }
    void TearDown() override {
        tavisol::SetMessageBoxHandler(nullptr);
        tavisol::ClearCommandHandlers();
        tavisol::ClearFormatChangeHandlers();
        tavisol::ResetAppState();
    }

    std::vector<tavisol::Message> messages;
    tavisol::MsgAnswer answer = tavisol::MsgAnswer::No;
};
