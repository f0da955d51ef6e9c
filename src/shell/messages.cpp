#include "shell/messages.h"

#include <QMessageBox>
#include <QPointer>

#include "shell/appstate.h"
#include "shell/dialoggate.h"

namespace tavisol {

namespace {

MessageBoxHandler g_handler;

MsgAnswer RealMessageBox(QWidget *parent, const Message &r) {
    QMessageBox box(parent);
    box.setWindowTitle(QString::fromStdString(r.title));
    box.setText(QString::fromStdString(r.text));
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

MsgAnswer ShowMessage(QWidget *parent, const Message &message) {
    Message shown = message;
    if (shown.title.empty())
        shown.title = ApplicationTitle().toStdString();
    // The logic joins lines with a carriage return, which a Qt label does not
    // break at.
    std::string text;
    text.reserve(shown.text.size());
    for (std::size_t i = 0; i < shown.text.size(); ++i) {
        if (shown.text[i] != '\r')
            text += shown.text[i];
        else if (i + 1 == shown.text.size() || shown.text[i + 1] != '\n')
            text += '\n';
    }
    shown.text = std::move(text);
    if (!ModalDialogMayOpen({"message box", shown.title, shown.text, static_cast<bool>(g_handler)}))
        return shown.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    if (g_handler)
        return g_handler(parent, shown);
    return RealMessageBox(parent, shown);
}

MsgAnswer ShowMessage(QWidget *parent, MsgIcon icon, const QString &text, const QString &title,
                      MsgButtons buttons) {
    return ShowMessage(parent, Message{text.toStdString(), title.toStdString(), icon, buttons});
}

MessageSink MessageSinkFor(QWidget *parent) {
    QPointer<QWidget> guarded(parent);
    return [guarded](const Message &m) { return Agreed(m, ShowMessage(guarded, m)); };
}

void SayBusy(QWidget *parent) { ShowMessage(parent, MsgIcon::Information, QStringLiteral("Tavisol Busy")); }

bool BusyGate(QWidget *parent) {
    if (!appState().Busy)
        return true;
    SayBusy(parent);
    return false;
}

} // namespace tavisol
