#include "shell/about_window.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "shell/icons.h"

namespace tavisol {

AboutWindow::AboutWindow(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutWindow"));
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(MakeIcon(IconId::About));
    setModal(false);

    auto make = [this](const QString &text) {
        auto *l = new QLabel(text, this);
        l->setWordWrap(true);
        return l;
    };
    titleLabel = make(QStringLiteral("Tavisol"));
    QFont big = titleLabel->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    titleLabel->setFont(big);
    versionLabel = make(QStringLiteral("Marovel Tavisol Ver.1.0"));
    purposeLabel = make(QStringLiteral("Long-term monthly climate of any point on Earth, estimated "
                                 "from monthly station normals."));
    methodLabel = make(QStringLiteral("Inverse-distance weighting with altitude, gradient and "
                                 "shadow corrections; errors by leave-one-out."));
    folderLabel = make(QStringLiteral("Program folder: ") + QCoreApplication::applicationDirPath());
    folderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *picture = new QLabel(this);
    picture->setPixmap(MakePixmap(IconId::WorldMap, 64));
    picture->setAlignment(Qt::AlignTop);

    auto *texts = new QVBoxLayout;
    for (QLabel *l : {titleLabel, versionLabel, purposeLabel, methodLabel, folderLabel})
        texts->addWidget(l);
    auto *row = new QHBoxLayout;
    row->addWidget(picture);
    row->addLayout(texts, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addWidget(buttons);
    setMinimumWidth(420);
}

} // namespace tavisol
