#pragma once

// How the windows make their controls: each one is made under its parent,
// with its caption where it has one, and carries an object name by which the
// windows and their tests find it again.

#include <QCheckBox>
#include <QString>
#include <QWidget>

#include <type_traits>

namespace tavisol {

template <class W> W *MakeNamed(QWidget *parent, const char *objectName, const QString &caption = {}) {
    W *w = nullptr;
    if constexpr (std::is_constructible_v<W, const QString &, QWidget *>) {
        w = new W(caption, parent);
    } else {
        Q_ASSERT(caption.isEmpty()); // this kind of widget has no caption to show it
        w = new W(parent);
    }
    w->setObjectName(QString::fromLatin1(objectName));
    return w;
}

inline QCheckBox *MakeCheckBox(QWidget *parent, const char *objectName, const QString &caption, bool ticked = false) {
    auto *box = MakeNamed<QCheckBox>(parent, objectName, caption);
    box->setChecked(ticked);
    return box;
}

} // namespace tavisol
