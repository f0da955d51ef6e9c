#include "shell/run_summary_window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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
    // The lines go in by the thousand, and events through every 10 ms: each
    // append and each pass of the events costs the same for one line as for
    // a thousand.
    constexpr qsizetype LinesPerAppend = 1000;
    summaryText->setPlainText(kHeader);
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    for (qsizetype from = 1; from < lines.size(); from += LinesPerAppend) {
        summaryText->appendPlainText(lines.mid(from, LinesPerAppend).join(QLatin1Char('\n')));
        if (sinceEvents.elapsed() >= 10) {
            QCoreApplication::processEvents();
            sinceEvents.restart();
        }
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
