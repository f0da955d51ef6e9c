#include "shell/run_summary_window.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/icons.h"

namespace tavisol {

const QString RunSummaryWindow::kHeader = QStringLiteral(
    "Variable, Long., Lat.,  Altit.,  A(Long), A(Lat), A(Alt),  #Nb,       Corr., Warnings");

RunSummaryWindow::RunSummaryWindow(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("runSummaryWindow"));
    setWindowTitle(QStringLiteral("Summary of processed Data"));
    setWindowIcon(MakeIcon(IconId::Index));

    summaryText = new QPlainTextEdit(this);
    summaryText->setObjectName(QStringLiteral("summaryText"));
    summaryText->setReadOnly(true);
    summaryText->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono(QStringLiteral("Courier New"));
    mono.setStyleHint(QFont::TypeWriter);
    mono.setFixedPitch(true);
    summaryText->setFont(mono);

    cmdBack = new QPushButton(MakeIcon(IconId::Back), QStringLiteral("Back"), this);
    cmdBack->setObjectName(QStringLiteral("cmdBack"));
    cmdBack->setIconSize(QSize(24, 24));
    connect(cmdBack, &QPushButton::clicked, this, &QWidget::close);

    auto *column = new QVBoxLayout(this);
    column->addWidget(summaryText, 1);
    column->addWidget(cmdBack, 0, Qt::AlignRight);
    resize(760, 420);
}

void RunSummaryWindow::ShowSummaryLines(const QStringList &lines) {
    summaryText->setPlainText(kHeader);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        summaryText->appendPlainText(lines[i]);
        QCoreApplication::processEvents();
    }
}

QString RunSummaryWindow::text() const {
    return summaryText->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void RunSummaryWindow::showEvent(QShowEvent *e) {
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
