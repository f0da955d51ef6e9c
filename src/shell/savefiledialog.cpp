#include "shell/savefiledialog.h"

#include <QFileDialog>
#include <QFileInfo>

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

QString GetSaveFileName(QWidget *parent, const QString &caption, const QString &folder, const QString &filter) {
    QString chosen;
    const QString name = QFileDialog::getSaveFileName(parent, caption, folder, filter, &chosen);
    return WithFilterExtension(name, chosen.isEmpty() ? filter : chosen);
}

} // namespace tavisol
