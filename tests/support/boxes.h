#pragma once

// A real box closed as the user closes it, for the test programs that link
// Qt Test.

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <QtTest/QTest>

#include "support/activation.h"

namespace tavisol::testsupport {

// A box with the text that the user closes with the key (Qt::Key_unknown: a
// click on OK). The key goes to the box; what follows of it, a repeat and the
// release of a key held a little longer, goes to `after`, the window that has
// the focus again once the box is gone.
inline void ShowAndCloseABox(QWidget *parent, const QString &text, Qt::Key key, QWindow *after) {
    QMessageBox box(parent);
    box.setText(text);
    QTimer::singleShot(0, &box, [&box, key, after] {
        Activate(&box);
        if (key == Qt::Key_unknown)
            return QTest::mouseClick(box.button(QMessageBox::Ok), Qt::LeftButton);
        QTest::keyClick(box.windowHandle(), key);
        QTimer::singleShot(0, after, [key, after] {
            QTest::simulateEvent(after, true, key, {}, QString(), true);
            QTest::keyRelease(after, key);
        });
    });
    box.exec();
}

} // namespace tavisol::testsupport
