#include "shell/frmsummary.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/icons.h"

namespace tavisol {

const QString frmSummary::kHeader = QStringLiteral(
    "Variable, Long., Lat.,  Altit.,  A(Long), A(Lat), A(Alt),  #Nb,       Corr., Warnings");

frmSummary::frmSummary(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmSummary"));
    setWindowTitle(QStringLiteral("Summary of processed Data"));
    setWindowIcon(MakeIcon(IconId::Index));

    List1 = new QPlainTextEdit(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setReadOnly(true);
    List1->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono(QStringLiteral("Courier New"));
    mono.setStyleHint(QFont::TypeWriter);
    mono.setFixedPitch(true);
    List1->setFont(mono);

    cmdBack = new QPushButton(MakeIcon(IconId::Back), QStringLiteral("Back"), this);
    cmdBack->setObjectName(QStringLiteral("cmdBack"));
    cmdBack->setIconSize(QSize(24, 24));
    connect(cmdBack, &QPushButton::clicked, this, &QWidget::close);

    auto *column = new QVBoxLayout(this);
    column->addWidget(List1, 1);
    column->addWidget(cmdBack, 0, Qt::AlignRight);
    resize(760, 420);
}

void frmSummary::givesum(const QStringList &lines) {
    List1->setPlainText(kHeader);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        List1->appendPlainText(lines[i]);
        QCoreApplication::processEvents();
    }
}

QString frmSummary::text() const {
    return List1->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void frmSummary::showEvent(QShowEvent *e) {
    // Centred on the main window when first shown.
    if (!placed_ && parentWidget()) {
        placed_ = true;
        const QRect owner = parentWidget()->window()->frameGeometry();
        move(owner.left() + owner.width() / 2 - width() / 2,
             owner.top() + owner.height() / 2 - height() / 2);
    }
    QWidget::showEvent(e);
}

} // namespace tavisol
