#include "shell/hooks.h"

#include <filesystem>
#include <system_error>

#include "numfmt/textread.h"
#include "shell/messages.h"
#include "vantrixbind/vantrixbind.h"

namespace tavisol {

namespace {

// A help file that is there but cannot be read (a pipe, a folder or a device
// in its place) is said at once, before the help control is asked to open it;
// a missing one shows nothing, as the control's own refusal does.
bool HelpFileReadable(QWidget *parent, const QString &helpFile) {
    const std::filesystem::path path(helpFile.toStdString());
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return true;
    if (const auto failure = numfmt::CheckFileToRead(path)) {
        ShowMessage(parent, MsgIcon::Information, QString::fromStdString(*failure));
        return false;
    }
    return true;
}

} // namespace

void OpenHelpContents(QWidget *parent, const QString &helpFile) {
    if (HelpFileReadable(parent, helpFile))
        vantrix::openHelpContents(helpFile, parent);
}

void OpenHelpIndex(QWidget *parent, const QString &helpFile) {
    if (HelpFileReadable(parent, helpFile))
        vantrix::openHelpIndex(helpFile, parent);
}

} // namespace tavisol
