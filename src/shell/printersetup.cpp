#include "shell/printersetup.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QVBoxLayout>

#include "shell/icons.h"

namespace tavisol {

PrinterSetupDialog::PrinterSetupDialog(QPrinter *printer, QWidget *parent)
    : QDialog(parent), printer_(printer) {
    setObjectName(QStringLiteral("PrinterSetup"));
    setWindowTitle(QStringLiteral("Printer Setup"));
    setWindowIcon(MakeIcon(IconId::PrinterSetup));

    cboPrinter = new QComboBox(this);
    const QStringList names = QPrinterInfo::availablePrinterNames();
    if (names.isEmpty()) {
        cboPrinter->addItem(QStringLiteral("(no printer installed)"));
        cboPrinter->setEnabled(false);
    } else {
        cboPrinter->addItems(names);
        QString current = printer_->printerName();
        if (current.isEmpty())
            current = QPrinterInfo::defaultPrinterName();
        const int at = cboPrinter->findText(current);
        cboPrinter->setCurrentIndex(at < 0 ? 0 : at);
    }

    cboPaper = new QComboBox(this);
    for (QPageSize::PageSizeId id : {QPageSize::A4, QPageSize::A3, QPageSize::A5,
                                     QPageSize::Letter, QPageSize::Legal})
        cboPaper->addItem(QPageSize::name(id), static_cast<int>(id));
    const int paper = cboPaper->findData(static_cast<int>(printer_->pageLayout().pageSize().id()));
    cboPaper->setCurrentIndex(paper < 0 ? 0 : paper);

    optPortrait = new QRadioButton(QStringLiteral("Portrait"), this);
    optLandscape = new QRadioButton(QStringLiteral("Landscape"), this);
    (printer_->pageLayout().orientation() == QPageLayout::Landscape ? optLandscape : optPortrait)
        ->setChecked(true);
    auto *orientation = new QHBoxLayout;
    orientation->addWidget(optPortrait);
    orientation->addWidget(optLandscape);
    orientation->addStretch(1);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Printer:"), cboPrinter);
    form->addRow(QStringLiteral("Paper:"), cboPaper);
    form->addRow(QStringLiteral("Orientation:"), orientation);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        apply();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(buttons);
    setMinimumWidth(340);
}

void PrinterSetupDialog::apply() {
    if (cboPrinter->isEnabled())
        printer_->setPrinterName(cboPrinter->currentText());
    printer_->setPageSize(
        QPageSize(static_cast<QPageSize::PageSizeId>(cboPaper->currentData().toInt())));
    printer_->setPageOrientation(optLandscape->isChecked() ? QPageLayout::Landscape
                                                           : QPageLayout::Portrait);
}

} // namespace tavisol
