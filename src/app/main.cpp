#include <QApplication>

#include "shell/mdiform1.h"

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavisol"));
    tavisol::MDIForm1 window;
    window.show();
    return QApplication::exec();
}
