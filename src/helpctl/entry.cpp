// The control's entry point: one help window per process, reused by every
// request and created in the calling program's own GUI thread.
#include <QApplication>
#include <QPointer>

#include "helpctl/helpcontrol.h"
#include "helpctl/helpwindow.h"

namespace {

QPointer<tavisol::help::HelpWindow> g_window;

} // namespace

extern "C" __attribute__((visibility("default"))) intptr_t TavisolHtmlHelp(void * /*owner*/, const char *file,
                                                                          unsigned int command, uintptr_t /*data*/) {
    // Without a running widget application there is nowhere to show a window.
    if (file == nullptr || qobject_cast<QApplication *>(QCoreApplication::instance()) == nullptr)
        return 0;
    if (command != TAVISOL_HELP_DISPLAY_TOC && command != TAVISOL_HELP_DISPLAY_INDEX)
        return 0;
    const QString path = QString::fromLocal8Bit(file);

    tavisol::help::HelpWindow *window = g_window.data();
    if (window == nullptr || window->file() != path) {
        auto *fresh = new tavisol::help::HelpWindow;
        if (!fresh->load(path)) {
            delete fresh;
            return 0;
        }
        if (window != nullptr) {
            fresh->setGeometry(window->geometry());
            window->close();
        }
        window = fresh;
        g_window = fresh;
    }
    if (command == TAVISOL_HELP_DISPLAY_TOC)
        window->showContents();
    else
        window->showIndex();
    window->show();
    window->raise();
    window->activateWindow();
    return reinterpret_cast<intptr_t>(window);
}
