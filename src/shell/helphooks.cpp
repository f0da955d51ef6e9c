#include "shell/hooks.h"

#include "vantrixbind/vantrixbind.h"

namespace tavisol {

void OpenHelpContents(QWidget *parent, const QString &helpFile) { vantrix::openHelpContents(helpFile, parent); }

void OpenHelpIndex(QWidget *parent, const QString &helpFile) { vantrix::openHelpIndex(helpFile, parent); }

} // namespace tavisol
