#pragma once

// For a test that drives the program's real modal dialogs itself (finds the
// box or the file dialog on screen and closes it): opens the gate that the
// test programs keep shut, until the end of the scope.

#include <utility>

#include "shell/dialoggate.h"

namespace tavisol::testsupport {

class RealDialogs {
public:
    RealDialogs() : previous_(SetModalDialogGate([](const ModalDialogRequest &) { return true; })) {}
    ~RealDialogs() { SetModalDialogGate(std::move(previous_)); }
    RealDialogs(const RealDialogs &) = delete;
    RealDialogs &operator=(const RealDialogs &) = delete;

private:
    ModalDialogGate previous_;
};

} // namespace tavisol::testsupport
