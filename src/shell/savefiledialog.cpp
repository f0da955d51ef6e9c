#include "shell/savefiledialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "shell/messages.h"
#include "shell/dialoggate.h"

namespace tavisol {

QString FilterExtension(const QString &filter) {
    QString first = filter.section(QStringLiteral(";;"), 0, 0);
    const qsizetype open = first.lastIndexOf(QLatin1Char('('));
    const qsizetype close = first.lastIndexOf(QLatin1Char(')'));
    if (open >= 0 && close > open)
        first = first.mid(open + 1, close - open - 1);
    const QString pattern = first.trimmed().section(QLatin1Char(' '), 0, 0);
    if (!pattern.startsWith(QStringLiteral("*.")))
        return {};
    const QString extension = pattern.mid(1);
    if (extension.size() < 2 || extension.contains(QLatin1Char('*')) || extension.contains(QLatin1Char('?')) ||
        extension.indexOf(QLatin1Char('.'), 1) >= 0)
        return {};
    return extension;
}

QString WithFilterExtension(const QString &name, const QString &filter) {
    if (name.isEmpty() || name.endsWith(QLatin1Char('/')))
        return name;
    if (QFileInfo(name).fileName().contains(QLatin1Char('.')))
        return name;
    return name + FilterExtension(filter);
}

QString GetSaveFileName(QWidget *parent, const QString &caption, const QString &folder, const QString &filter,
                        const QString &extension) {
    if (!ModalDialogMayOpen({"save dialog", caption.toStdString(), {}}))
        return {};
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The dialog would complete a typed name by looking it up in the process's
    // working folder, and ask about replacing the file it found there: the
    // program completes the name and asks about the file it will write.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        const QString typed = QDir(dialog.directory()).absoluteFilePath(dialog.selectedFiles().constFirst());
        const QString name = QDir::cleanPath(
            WithFilterExtension(typed, extension.isEmpty() ? dialog.selectedNameFilter() : QLatin1Char('*') + extension));
        const QFileInfo file(name);
        const QString shown = QDir::toNativeSeparators(name);
        if (file.isDir())
            ShowMessage(parent, MsgIcon::Information, shown + QStringLiteral(" is a folder.\rChoose another name."));
        else if (!file.exists() && !file.isSymLink())
            return name;
        else if (ShowMessage(parent, QuestionMessage(shown.toStdString() + " already exists.\rDo you want to replace it?")) ==
                 MsgAnswer::Yes)
            return name;
        // Back to the dialog for another name, as after its own question.
        dialog.selectFile(file.fileName());
    }
}

} // namespace tavisol
