#pragma once

// How the windows make their controls: each one is made under its parent,
// with its caption where it has one, and carries an object name by which the
// windows and their tests find it again.

#include <QCheckBox>
#include <QLabel>
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

// The line above a window's pages that says why they hold no values; hidden
// while it has nothing to say.
inline QLabel *MakeNoticeLabel(QWidget *parent, const QString &objectName) {
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("color: #a00000"));
    label->hide();
    return label;
}

} // namespace tavisol
