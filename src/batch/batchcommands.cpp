#include "batch/batchcommands.h"

#include <QFileDialog>
#include <QPointer>

#include <exception>

#include "batch/frmgrid.h"
#include "batch/frmlist.h"
#include "engine/engine.h"
#include "numfmt/numfmt_qt.h"
#include "numfmt/textread.h"
#include "shell/commands.h"
#include "shell/mdiform1.h"
#include "shell/messages.h"
#include "shell/programfolders.h"

namespace tavisol {

namespace {

BatchDialogs g_dialogs;
QPointer<FrmGrid> g_grid;

} // namespace

void SetBatchDialogs(BatchDialogs dialogs) { g_dialogs = std::move(dialogs); }

const BatchDialogs &batchDialogs() { return g_dialogs; }

void ShowListWindow() { MDIForm1::showWindow(&ListWindow()); }

FrmGrid *GridDialog() { return g_grid && !g_grid->isUnloaded() ? g_grid.data() : nullptr; }

void ShowGridDialog() {
    if (!GridDialog())
        g_grid = new FrmGrid(MDIForm1::instance());
    MDIForm1::showWindow(g_grid);
}

void ReadLocationsFromFile(QWidget *parent) {
    const QString filter =
        QStringLiteral("*.dat (*.dat);;Comma Separated Values (*.csv);;All Files (*)");
    const QString file = g_dialogs.chooseOpenFile
                             ? g_dialogs.chooseOpenFile(parent, filter)
                             : QFileDialog::getOpenFileName(parent, QString(),
                                                            QString::fromStdString(programFolder().string()), filter);
    if (!file.isEmpty()) {
        frmList &list = ListWindow();
        list.clearLocations();
        std::string text;
        if (const auto error = numfmt::ReadWholeFile(file.toStdString(), text)) {
            ShowMessage(parent, MsgIcon::NoIcon, QString::fromStdString(*error));
            return;
        }
        const std::filesystem::path data = dataFolder();
        try {
            batch::ReadLocationText(
                text,
                [&data](float lon, float lat) {
                    engine::Integer water = 0;
                    return static_cast<int>(engine::GetElevation(data, lon, lat, water));
                },
                numfmt::userLocale(),
                [parent](const batch::BatchMessage &m) {
                    ShowMessage(parent, MsgIcon::Information,
                                QString::fromStdString(m.text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
                    return true;
                },
                [&list](const batch::ListEntry &e) { list.addLocation(e); }, file.toStdString());
        } catch (const std::exception &e) {
            ShowMessage(parent, MsgIcon::NoIcon, QString::fromStdString(e.what()));
            return;
        }
    }
    ShowListWindow();
}

void InstallBatchCommands() {
    SetCommandHandler(Command::LocationFile, [] { ReadLocationsFromFile(MDIForm1::instance()); });
    SetCommandHandler(Command::LocationGrid, ShowGridDialog);
    SetCommandHandler(Command::SaveGridOrFile, ShowListWindow);
    SetEnablecheckHandler(FormatListener::List, [](int code) { ListWindow().Enablecheck(code); });
}

} // namespace tavisol
