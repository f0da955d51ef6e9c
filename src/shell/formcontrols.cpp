#include "shell/formcontrols.h"

#include <QCoreApplication>
#include <QVariant>
#include <QWidget>

namespace tavisol {

void EnableFormControls(QWidget *window) {
    if (!window)
        return;
    const auto controls = window->findChildren<QWidget *>();
    for (QWidget *control : controls) {
        if (control->property(ControlTagProperty).toString() != QLatin1String("nofont"))
            control->setEnabled(true);
        QCoreApplication::processEvents();
    }
}

} // namespace tavisol
