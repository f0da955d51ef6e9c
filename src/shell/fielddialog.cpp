#include "shell/fielddialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

#include "shell/messages.h"
#include "shell/widgetmakers.h"

namespace tavisol {

FieldDialog::FieldDialog(QWidget *parent) : QDialog(parent) { setModal(false); }

bool FieldDialog::showMessage(const Message &m) {
    // The box takes the keyboard: releases that come after it are not the
    // field's.
    forgetPressedKeys();
    return Agreed(m, ShowMessage(this, m));
}

MessageSink FieldDialog::messageSink() {
    return [this](const Message &m) { return showMessage(m); };
}

void FieldDialog::placeOver(const QWidget *mainWindow, bool wholeHeight) {
    if (!mainWindow)
        return;
    const QPoint origin = mainWindow->mapToGlobal(QPoint(0, 0));
    const int left = mainWindow->width() / 2 - width() / 2;
    const int top = mainWindow->height() / 2 - (wholeHeight ? height() : height() / 2);
    move(origin + QPoint(left, top));
}

std::optional<char32_t> FieldDialog::TypedKey(const QKeyEvent *e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return dialogs::KeyEnter;
    case Qt::Key_Backspace:
        return dialogs::KeyBackspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        return std::nullopt;
    default:
        break;
    }
    const QList<uint> chars = e->text().toUcs4();
    if (chars.isEmpty() || chars.front() == 127)
        return std::nullopt;
    return static_cast<char32_t>(chars.front());
}

void FieldDialog::addField(QLineEdit *field, int id, int selectLength) {
    fields_.insert(field, Field{id, selectLength, {}});
    field->installEventFilter(this);
}

void FieldDialog::addButton(QPushButton *button, ButtonRole role) {
    button->setAutoDefault(false);
    button->setDefault(false);
    button->installEventFilter(this);
    buttons_.append(button);
    if (role != ButtonRole::Plain) {
        cancelButton_ = button;
        cancelDropsEntry_ = role == ButtonRole::Cancel;
    }
}

void FieldDialog::reject() {
    if (cancelButton_)
        cancelButton_->click();
    else
        QDialog::reject();
}

void FieldDialog::addCheckBox(QCheckBox *box) {
    box->installEventFilter(this);
    checkBoxes_.append(box);
}

void FieldDialog::setFocusOrder(std::initializer_list<QWidget *> widgets) {
    QWidget *previous = nullptr;
    for (QWidget *w : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

bool FieldDialog::keyHeld(QLineEdit *field) const {
    const auto it = fields_.constFind(field);
    return it != fields_.constEnd() && !it->pressed.isEmpty();
}

dialogs::KeyDecision FieldDialog::keyDecision(int, char32_t key) {
    if (key == dialogs::KeyEnter)
        return {dialogs::KeyAction::MoveOn, std::nullopt};
    return {};
}

void FieldDialog::keyReleased(int) {}

void FieldDialog::showEvent(QShowEvent *e) {
    keptFocus_ = nullptr;
    QDialog::showEvent(e);
}

void FieldDialog::changeEvent(QEvent *e) {
    // Each activation after the first showing follows a deactivation, which
    // notes where the focus was.
    if (e->type() == QEvent::ActivationChange && !isActiveWindow())
        keptFocus_ = focusWidget();
    QDialog::changeEvent(e);
}

void FieldDialog::forgetPressedKeys() {
    for (Field &f : fields_)
        f.pressed.clear();
}

void FieldDialog::fieldLeft(int) {}

bool FieldDialog::eventFilter(QObject *watched, QEvent *e) {
    const auto enterPressed = [e] {
        if (e->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(e)->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter;
    };
    if (auto *button = qobject_cast<QPushButton *>(watched); button && buttons_.contains(button)) {
        if (!enterPressed())
            return QDialog::eventFilter(watched, e);
        button->click();
        return true;
    }
    if (auto *box = qobject_cast<QCheckBox *>(watched); box && checkBoxes_.contains(box)) {
        if (!enterPressed())
            return QDialog::eventFilter(watched, e);
        focusNextChild();
        return true;
    }
    auto *field = qobject_cast<QLineEdit *>(watched);
    const auto it = field ? fields_.constFind(field) : fields_.constEnd();
    if (it == fields_.constEnd())
        return QDialog::eventFilter(watched, e);
    const Field f = it.value();

    switch (e->type()) {
    case QEvent::KeyPress: {
        auto *press = static_cast<QKeyEvent *>(e);
        fields_[field].pressed.append(press->key());
        const std::optional<char32_t> key = TypedKey(press);
        if (!key)
            break;
        const dialogs::KeyDecision d = keyDecision(f.id, *key);
        if (d.message)
            showMessage(*d.message);
        switch (d.action) {
        case dialogs::KeyAction::Take:
            return false;
        case dialogs::KeyAction::Drop:
            return true;
        case dialogs::KeyAction::MoveOn:
            focusNextChild();
            return true;
        }
        break;
    }
    case QEvent::KeyRelease:
        // Only the release of a key pressed here: the rule may show a message,
        // and the key that closes it must not run the rule again.
        if (fields_[field].pressed.removeOne(static_cast<QKeyEvent *>(e)->key()))
            keyReleased(f.id);
        break;
    case QEvent::FocusIn: {
        // The keyboard coming back from a message box or another window to the
        // field that had it is no move into the field: the text stays as the
        // user left it, so the next key goes on typing rather than replacing
        // it. A field given the focus meanwhile selects as usual.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(e)->reason();
        const bool returning =
            (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) &&
            keptFocus_ == field;
        if (f.selectLength < 0 || returning)
            break;
        // The field's own handling first, then the selection over it.
        static_cast<QObject *>(field)->event(e);
        field->setSelection(0, std::min<int>(f.selectLength, static_cast<int>(field->text().size())));
        return true;
    }
    case QEvent::FocusOut: {
        fields_[field].pressed.clear();
        static_cast<QObject *>(field)->event(e);
        // Only a move to another control of this dialog leaves the field; a
        // message box or another window taking over does not.
        switch (static_cast<QFocusEvent *>(e)->reason()) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::MouseFocusReason:
        case Qt::ShortcutFocusReason:
        case Qt::OtherFocusReason:
            if (isVisible() && !(cancelDropsEntry_ && QApplication::focusWidget() == cancelButton_))
                fieldLeft(f.id);
            break;
        default:
            break;
        }
        return true;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, e);
}

void SetFieldText(QLineEdit *field, const std::string &utf8) {
    const QString text = QString::fromStdString(utf8);
    if (field->text() == text)
        return;
    // A field's length limit is for typing; a value put into it stays whole.
    if (text.size() > field->maxLength())
        field->setMaxLength(static_cast<int>(text.size()));
    field->setText(text);
}

std::string FieldString(const QLineEdit *field) { return field->text().toStdString(); }

QLineEdit *MakeDialogField(QWidget *parent, const char *name, const char *text, int maxLength,
                           const char *tip, int width) {
    auto *e = MakeNamed<QLineEdit>(parent, name, QString::fromLatin1(text));
    e->setMaxLength(maxLength);
    // A longer value put in by SetFieldText raises the limit to its length;
    // as the text gets shorter the limit comes back down, so typing never
    // lengthens a text beyond maxLength or beyond what was put in.
    QObject::connect(e, &QLineEdit::textChanged, e, [e, maxLength](const QString &now) {
        e->setMaxLength(std::max(maxLength, static_cast<int>(now.size())));
    });
    if (tip)
        e->setToolTip(QString::fromLatin1(tip));
    e->setFont(QFont(QStringLiteral("Verdana")));
    if (width > 0)
        e->setFixedWidth(width);
    return e;
}


QHBoxLayout *MakeButtonRow(std::initializer_list<QPushButton *> buttons) {
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton *b : buttons)
        row->addWidget(b);
    return row;
}

void LayOutGroup(QGroupBox *group, std::initializer_list<QCheckBox *> checks,
                 std::initializer_list<FieldRow> rows) {
    auto *grid = new QGridLayout(group);
    int row = 0;
    for (QCheckBox *c : checks)
        grid->addWidget(c, row++, 0, 1, 3);
    for (const FieldRow &r : rows) {
        grid->addWidget(new QLabel(r.label), row, 0);
        grid->addWidget(r.field, row, 1);
        if (!r.unit.isEmpty())
            grid->addWidget(new QLabel(r.unit), row, 2);
        ++row;
    }
}

} // namespace tavisol
