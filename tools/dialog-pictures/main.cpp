// Saves pictures of the two output dialogs, for a look at their layout
// without starting the program:
//     QT_QPA_PLATFORM=offscreen build/bin/dialog-pictures FOLDER
// writes FOLDER/ResultsOutputDialog.png and FOLDER/WorkbenchOutputDialog.png.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPixmap>

#include <cstdio>

#include "outdlg/dialogs.h"
#include "outdlg/install.h"

namespace {

bool Save(QDialog &dialog, const QDir &folder, const char *name) {
    dialog.adjustSize();
    const QString file = folder.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    if (dialog.grab().save(file))
        return true;
    std::fprintf(stderr, "dialog-pictures: cannot write %s\n", file.toLocal8Bit().constData());
    return false;
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: dialog-pictures FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists()) {
        std::fprintf(stderr, "dialog-pictures: no folder %s\n", argv[1]);
        return 1;
    }
    tavisol::outdlg::InstallOutputCommands();
    const bool saved = Save(tavisol::outdlg::ResultsOutput(), folder, "ResultsOutputDialog") &&
                       Save(tavisol::outdlg::WorkbenchOutput(), folder, "WorkbenchOutputDialog");
    tavisol::outdlg::UnloadResultsOutput();
    tavisol::outdlg::UnloadWorkbenchOutput();
    return saved ? 0 : 1;
}
