#pragma once

// The door every modal dialog of the program passes before it waits for the
// user: message boxes, the save, open and folder dialogs, the printer and
// printer setup dialogs, the colour dialog. The program opens them all; a
// test program sets a gate that refuses those its test did not answer, so
// that none waits for a user who is not there. No Qt.

#include <functional>
#include <string>

namespace tavisol {

struct ModalDialogRequest {
    std::string kind;   // "message box", "save dialog", ...
    std::string title;
    std::string text;   // what a message box says; empty for the other dialogs
    // A replaceable handler answers it (shell/messages.h): no window would
    // open, the gate sees it go by.
    bool answered = false;
};

// True: the dialog is shown (an answered one goes to its handler). False: it
// is not, and the caller goes on as if
// the user had cancelled it (a message box as if answered No, or OK where it
// has no No).
using ModalDialogGate = std::function<bool(const ModalDialogRequest &)>;

// Replaces the gate; an empty one opens every dialog. Returns the previous one.
ModalDialogGate SetModalDialogGate(ModalDialogGate gate);

bool ModalDialogMayOpen(const ModalDialogRequest &request);

} // namespace tavisol
