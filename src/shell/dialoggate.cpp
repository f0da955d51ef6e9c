#include "shell/dialoggate.h"

#include <utility>

namespace tavisol {

namespace {

ModalDialogGate &Gate() {
    static ModalDialogGate gate;
    return gate;
}

} // namespace

ModalDialogGate SetModalDialogGate(ModalDialogGate gate) { return std::exchange(Gate(), std::move(gate)); }

bool ModalDialogMayOpen(const ModalDialogRequest &request) { return !Gate() || Gate()(request); }

} // namespace tavisol
