#include "results/install.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>

#include "results/results_window.h"
#include "shell/appstate.h"
#include "shell/commands.h"
#include "shell/main_window.h"

namespace tavisol::results {

namespace {

QPointer<ResultsWindow> g_window;

// The main window active again with the results window as its current child:
// a location or settings changed meanwhile (by a dialog, a box's answer or
// another window) are computed once. A run that failed for these same inputs
// is not repeated; while another computation holds the busy mark, this waits
// for it to end.
void ComputeIfStaleInFront(const QPointer<MainWindow> &frame) {
    ResultsWindow *window = g_window.data();
    if (!frame || !window || !frame->isActiveWindow() || !window->isVisible())
        return;
    QMdiSubWindow *sub = frame->mdiArea()->currentSubWindow();
    if (!sub || sub->widget() != window || !window->RecalcPending() || window->FailedAtCurrentInputs())
        return;
    if (appState().Busy || window->isRunning()) {
        QTimer::singleShot(250, window, [frame] { ComputeIfStaleInFront(frame); });
        return;
    }
    window->onActivated();
}

class MainActivationWatch : public QObject {
public:
    explicit MainActivationWatch(MainWindow &main) : QObject(&main), frame_(&main) {}

protected:
    bool eventFilter(QObject *watched, QEvent *e) override {
        if (watched == parent() && e->type() == QEvent::WindowActivate)
            QTimer::singleShot(0, this, [this] { ComputeIfStaleInFront(frame_); });
        return false;
    }

private:
    QPointer<MainWindow> frame_;
};

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
    main.installEventFilter(new MainActivationWatch(main));
    QObject::connect(main.mdiArea(), &QMdiArea::subWindowActivated, &main, [](QMdiSubWindow *sub) {
        ResultsWindow *window = g_window.data();
        if (sub && window && sub->widget() == window && window->RecalcPending() && !window->isRunning())
            QTimer::singleShot(0, window, &ResultsWindow::onActivated);
    });
}

} // namespace tavisol::results
