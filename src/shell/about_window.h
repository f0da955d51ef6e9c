#pragma once

// The about window: the program's name, version and purpose.

#include <QDialog>

class QLabel;

namespace tavisol {

class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget *parent = nullptr);

    QLabel *titleLabel = nullptr;
    QLabel *versionLabel = nullptr;
    QLabel *purposeLabel = nullptr;
    QLabel *methodLabel = nullptr;
    QLabel *folderLabel = nullptr;
};

} // namespace tavisol
