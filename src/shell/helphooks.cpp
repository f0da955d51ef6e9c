#include "shell/hooks.h"

#include "vantrixbind/vantrixbind.h"

namespace tavisol {

namespace {

using HelpCall = bool (*)(const QString &, bool *, vantrix::BindError *);

// A help file the library could not show is not reported; a failed binding is.
void openHelp(HelpCall call, QWidget *parent, const QString &helpFile) {
    bool shown = false;
    vantrix::BindError error;
    if (!call(helpFile, &shown, &error))
        vantrix::showErrorMessage(error, parent);
}

} // namespace

void OpenHelpContents(QWidget *parent, const QString &helpFile) { openHelp(&vantrix::showTOC, parent, helpFile); }

void OpenHelpIndex(QWidget *parent, const QString &helpFile) { openHelp(&vantrix::showIndex, parent, helpFile); }

} // namespace tavisol
