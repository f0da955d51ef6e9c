#include "shell/savefiledialog.h"

#include <QFileDialog>
#include <QFileInfo>

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
    // The dialog itself completes a typed name, so its question about
    // replacing a file is asked about the file that will be written.
    const auto takeSuffix = [&dialog, &extension](const QString &chosen) {
        dialog.setDefaultSuffix((extension.isEmpty() ? FilterExtension(chosen) : extension).mid(1));
    };
    takeSuffix(dialog.selectedNameFilter());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, takeSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString name = dialog.selectedFiles().constFirst();
    return extension.isEmpty() ? WithFilterExtension(name, dialog.selectedNameFilter())
                               : WithFilterExtension(name, QLatin1Char('*') + extension);
}

} // namespace tavisol
