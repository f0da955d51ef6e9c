#include "shell/hooks.h"

namespace tavisol {

void OpenHelpContents(QWidget *parent, const QString &helpFile) {
    // Calls the Vantrix binding's ShowTOC(helpFile); a failure to bind the
    // library shows its error message over parent. Nothing to call yet.
    (void)parent;
    (void)helpFile;
}

void OpenHelpIndex(QWidget *parent, const QString &helpFile) {
    // Calls the Vantrix binding's ShowIndex(helpFile), reported as above.
    (void)parent;
    (void)helpFile;
}

} // namespace tavisol
