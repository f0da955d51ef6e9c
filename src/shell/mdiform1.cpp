#include "shell/mdiform1.h"

#include <QMdiArea>

namespace tavisol {

MDIForm1::MDIForm1(QWidget *parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Tavisol"));
    mdi_ = new QMdiArea(this);
    setCentralWidget(mdi_);
    resize(1024, 720);
}

} // namespace tavisol
