#include "shell/frmabout.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "shell/icons.h"

namespace tavisol {

frmAbout::frmAbout(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(MakeIcon(IconId::About));
    setModal(false);

    auto make = [this](const QString &text) {
        auto *l = new QLabel(text, this);
        l->setWordWrap(true);
        return l;
    };
    Label1 = make(QStringLiteral("Tavisol"));
    QFont big = Label1->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    Label1->setFont(big);
    Label2 = make(QStringLiteral("Marovel Tavisol Ver.1.0"));
    Label3 = make(QStringLiteral("Long-term monthly climate of any point on Earth, estimated "
                                 "from monthly station normals."));
    Label4 = make(QStringLiteral("Inverse-distance weighting with altitude, gradient and "
                                 "shadow corrections; errors by leave-one-out."));
    Label5 = make(QStringLiteral("Program folder: ") + QCoreApplication::applicationDirPath());
    Label5->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *picture = new QLabel(this);
    picture->setPixmap(MakePixmap(IconId::WorldMap, 64));
    picture->setAlignment(Qt::AlignTop);

    auto *texts = new QVBoxLayout;
    for (QLabel *l : {Label1, Label2, Label3, Label4, Label5})
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
