#pragma once

// The shared printer setup: which printer, paper and orientation the print
// commands use. Changes reach the printer only on OK.

#include <QDialog>

class QComboBox;
class QPrinter;
class QRadioButton;

namespace tavisol {

class PrinterSetupDialog : public QDialog {
    Q_OBJECT
public:
    PrinterSetupDialog(QPrinter *printer, QWidget *parent = nullptr);

    // Writes the choices into the printer (done by OK).
    void apply();

    QComboBox *cboPrinter = nullptr;
    QComboBox *cboPaper = nullptr;
    QRadioButton *optPortrait = nullptr;
    QRadioButton *optLandscape = nullptr;

private:
    QPrinter *printer_;
};

} // namespace tavisol
