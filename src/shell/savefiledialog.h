#pragma once

// The program's save dialogs: a file name typed without an extension gets
// the extension of the filter chosen in the dialog, so the file is found by
// name and by the program's own lists afterwards.

#include <QString>

class QWidget;

namespace tavisol {

// The fixed extension of a dialog filter's first pattern: "Data (*.Dat)" and
// "*.Dat" give ".Dat"; a pattern without one ("*", "*.*", "*.t?s") gives "".
// Of several filters (";;") the first counts.
QString FilterExtension(const QString &filter);

// `name` with the filter's extension added when its file name has none (no
// "." after the last folder separator); anything else unchanged.
QString WithFilterExtension(const QString &name, const QString &filter);

// A save dialog whose chosen filter's extension (or `extension`, e.g. ".img",
// when given) is added to a name typed without one. The name is taken in the
// dialog's folder, whatever the working folder holds, and replacing the file
// of the completed name is asked about (No, or a folder of that name: the
// dialog again). Empty when the user cancelled.
QString GetSaveFileName(QWidget *parent, const QString &caption, const QString &folder, const QString &filter,
                        const QString &extension = {});

} // namespace tavisol
