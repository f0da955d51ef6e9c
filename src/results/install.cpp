#include "results/install.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>

#include "results/frmguess.h"
#include "shell/commands.h"
#include "shell/mdiform1.h"

namespace tavisol::results {

namespace {
QPointer<frmGuess> g_window;
}

frmGuess &GuessWindow() {
    if (!g_window) {
        MDIForm1 *main = MDIForm1::instance();
        g_window = new frmGuess(main ? main->Pb1() : nullptr, main);
        g_window->hide();
    }
    return *g_window;
}

frmGuess *GuessWindowIfCreated() { return g_window.data(); }

void InstallResultsCommands(MDIForm1 &main) {
    QPointer<MDIForm1> frame(&main);
    SetCommandHandler(Command::ViewData, [frame] {
        if (!frame)
            return;
        frmGuess &window = GuessWindow();
        window.setProgressBar(frame->Pb1());
        const bool first = !window.parentWidget() || !qobject_cast<QMdiSubWindow *>(window.parentWidget());
        QMdiSubWindow *sub = frame->showChild(&window);
        if (first && sub) {
            // Centred across the frame near its top; the size fits the frame.
            const QSize area = frame->mdiArea()->viewport()->size();
            const int w = std::min(area.width(), 1000);
            const int h = std::min(area.height() - 8, 720);
            sub->resize(std::max(w, 400), std::max(h, 300));
            sub->move(std::max(0, area.width() / 2 - sub->width() / 2), 7);
        }
        window.Form_Activate();
    });
    QObject::connect(main.mdiArea(), &QMdiArea::subWindowActivated, &main, [](QMdiSubWindow *sub) {
        frmGuess *window = g_window.data();
        if (sub && window && sub->widget() == window && window->RecalcPending() && !window->isRunning())
            QTimer::singleShot(0, window, &frmGuess::Form_Activate);
    });
}

} // namespace tavisol::results
