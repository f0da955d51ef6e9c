#include "batch/batchcommands.h"

#include <QFileDialog>
#include <QPointer>

#include <exception>

#include "batch/grid_dialog.h"
#include "batch/batch_list_window.h"
#include "engine/engine.h"
#include "numfmt/numfmt_qt.h"
#include "shell/commands.h"
#include "shell/dialoggate.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/programfolders.h"

namespace tavisol {

namespace {

BatchDialogs g_dialogs;
QPointer<GridDialog> g_grid;

} // namespace

void SetBatchDialogs(BatchDialogs dialogs) { g_dialogs = std::move(dialogs); }

const BatchDialogs &batchDialogs() { return g_dialogs; }

void ShowListWindow() { MainWindow::showWindow(&ListWindow()); }

GridDialog *OpenGridDialog() { return g_grid && !g_grid->isUnloaded() ? g_grid.data() : nullptr; }

void ShowGridDialog() {
    if (!OpenGridDialog())
        g_grid = new GridDialog(MainWindow::instance());
    MainWindow::showWindow(g_grid);
}

void ReadLocationsFromFile(QWidget *parent) {
    if (!BusyGate(parent))
        return;
    const QString filter =
        QStringLiteral("*.dat (*.dat);;Comma Separated Values (*.csv);;All Files (*)");
    const QString file = g_dialogs.chooseOpenFile ? g_dialogs.chooseOpenFile(parent, filter)
                         : ModalDialogMayOpen({"open dialog", {}, {}})
                             ? QFileDialog::getOpenFileName(parent, QString(),
                                                            QString::fromStdString(programFolder().string()), filter)
                             : QString();
    if (!file.isEmpty()) {
        ListFill list(parent);
        if (!list)
            return;
        const std::filesystem::path data = dataFolder();
        try {
            if (const auto error = batch::ReadLocationFile(
                    file.toStdString(),
                    [&data](float lon, float lat) { return static_cast<int>(engine::GetElevation(data, lon, lat)); },
                    numfmt::userLocale(), MessageSinkFor(parent),
                    [&list](const batch::ListEntry &e) { list.add(e); })) {
                ShowMessage(parent, MsgIcon::NoIcon, QString::fromStdString(*error));
                return;
            }
        } catch (const std::exception &e) {
            ShowMessage(parent, MsgIcon::NoIcon, QString::fromStdString(e.what()));
            return;
        }
    }
    ShowListWindow();
}

void InstallBatchCommands() {
    SetCommandHandler(Command::LocationFile, [] { ReadLocationsFromFile(MainWindow::instance()); });
    SetCommandHandler(Command::LocationGrid, ShowGridDialog);
    SetCommandHandler(Command::SaveGridOrFile, ShowListWindow);
    SetFormatChangeHandler(FormatListener::BatchList, [](int code) { ListWindow().EnableForFormat(code); });
}

} // namespace tavisol
