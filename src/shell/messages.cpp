#include "shell/messages.h"

#include <QMessageBox>

#include "shell/appstate.h"

namespace tavisol {

namespace {

MessageBoxHandler g_handler;

MsgAnswer RealMessageBox(QWidget *parent, const MessageRequest &r) {
    QMessageBox box(parent);
    box.setWindowTitle(r.title);
    box.setText(r.text);
    switch (r.icon) {
    case MsgIcon::NoIcon: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    }
    if (r.buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MsgAnswer::Ok;
}

} // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    MessageBoxHandler previous = std::move(g_handler);
    g_handler = std::move(handler);
    return previous;
}

QString ApplicationTitle() { return QStringLiteral("Tavisol"); }

MsgAnswer ShowMessage(QWidget *parent, MsgIcon icon, const QString &text, const QString &title,
                      MsgButtons buttons) {
    MessageRequest r;
    r.icon = icon;
    r.buttons = buttons;
    r.title = title.isEmpty() ? ApplicationTitle() : title;
    r.text = text;
    if (g_handler)
        return g_handler(parent, r);
    return RealMessageBox(parent, r);
}

bool BusyGate(QWidget *parent) {
    if (!appState().Busy)
        return true;
    ShowMessage(parent, MsgIcon::Information, QStringLiteral("Tavisol Busy"));
    return false;
}

} // namespace tavisol
