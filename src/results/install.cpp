#include "results/install.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include "results/results_window.h"
#include "shell/commands.h"
#include "shell/main_window.h"

namespace tavisol::results {

namespace {

QPointer<ResultsWindow> g_window;

} // namespace

ResultsWindow &LocationResultsWindow() {
    if (!g_window) {
        MainWindow *main = MainWindow::instance();
        g_window = new ResultsWindow(main ? main->progressBar() : nullptr, main);
        g_window->hide();
    }
    return *g_window;
}

ResultsWindow *LocationResultsWindowIfCreated() { return g_window.data(); }

void InstallResultsCommands(MainWindow &main) {
    QPointer<MainWindow> frame(&main);
    SetCommandHandler(Command::ViewData, [frame] {
        if (!frame)
            return;
        ResultsWindow &window = LocationResultsWindow();
        window.setProgressBar(frame->progressBar());
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
        window.onActivated();
    });
}

} // namespace tavisol::results
