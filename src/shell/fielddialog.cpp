#include "shell/fielddialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>
#include <string>
#include <utility>

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
    fields_.insert(field, Field{id, selectLength, {}, field->text()});
    field->installEventFilter(this);
    // textEdited comes before textChanged: the kept text is still the one
    // before the edit when the paste is judged.
    connect(field, &QLineEdit::textEdited, this, [this, field] { judgePaste(field); });
    // The length limit cuts a longer paste before textEdited reports it.
    connect(field, &QLineEdit::inputRejected, this, [this, field] {
        if (!typing_)
            fields_[field].cut = true;
    });
    connect(field, &QLineEdit::textChanged, this, [this, field](const QString &now) { fields_[field].text = now; });
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

QString FieldDialog::insertedWhole() const {
    return inserting_ ? *inserting_ : QGuiApplication::clipboard()->text();
}

void FieldDialog::judgePaste(QLineEdit *field) {
    const bool cut = std::exchange(fields_[field].cut, false);
    // A typed key has been through the filter already.
    if (typing_)
        return;
    const Field f = fields_.value(field);
    // The new part of the text: what the edit put between the unchanged
    // beginning and end.
    const QString before = f.text;
    const QString after = field->text();
    qsizetype head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    std::u32string inserted;
    for (const char32_t c : (cut ? insertedWhole() : after.mid(head, after.size() - head - tail)).toUcs4())
        inserted.push_back(c);
    const dialogs::PasteDecision d = dialogs::PastedTextDecision(
        inserted, [this, &f](char32_t key) { return keyDecision(f.id, key); }, fieldName(field).toStdString());
    if (!d.taken) {
        // Put back once every receiver has seen this edit (textChanged still
        // follows), then say why.
        QMetaObject::invokeMethod(
            field,
            [this, field, before, head, m = d.message] {
                SetFieldText(field, before.toStdString());
                field->setCursorPosition(static_cast<int>(head));
                if (m)
                    showMessage(*m);
            },
            Qt::QueuedConnection);
        return;
    }
    if (d.message)
        showMessage(*d.message);
    keyReleased(f.id);
}

QString FieldDialog::fieldName(const QLineEdit *field) const {
    for (const QLabel *label : findChildren<QLabel *>())
        if (label->buddy() == field) {
            QString name = label->text().trimmed();
            if (name.endsWith(QLatin1Char(':')))
                name.chop(1);
            return name.trimmed();
        }
    return {};
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
        // The paste key types no character of its own: what it pastes is
        // judged as any pasted text.
        const bool paste = press->matches(QKeySequence::Paste);
        if (const std::optional<char32_t> key = TypedKey(press); key && !paste) {
            const dialogs::KeyDecision d = keyDecision(f.id, *key);
            if (d.message)
                showMessage(*d.message);
            switch (d.action) {
            case dialogs::KeyAction::Take:
                break;
            case dialogs::KeyAction::Drop:
                return true;
            case dialogs::KeyAction::MoveOn:
                focusNextChild();
                return true;
            case dialogs::KeyAction::TypePoint: {
                QKeyEvent point(QEvent::KeyPress, Qt::Key_Period, press->modifiers() & ~Qt::KeypadModifier,
                                QStringLiteral("."), press->isAutoRepeat(), press->count());
                typing_ = true;
                static_cast<QObject *>(field)->event(&point);
                typing_ = false;
                return true;
            }
            }
        }
        // Handed on from here, so that the edit the key makes is known as
        // typed. A key the field ignores still goes on to the dialog.
        typing_ = !paste;
        static_cast<QObject *>(field)->event(e);
        typing_ = false;
        return true;
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
    case QEvent::Drop:
    case QEvent::InputMethod:
    case QEvent::MouseButtonRelease: {
        // The text these events put in, whole, for the paste rule.
        if (e->type() == QEvent::Drop)
            inserting_ = static_cast<QDropEvent *>(e)->mimeData()->text();
        else if (e->type() == QEvent::InputMethod)
            inserting_ = static_cast<QInputMethodEvent *>(e)->commitString();
        else if (static_cast<QMouseEvent *>(e)->button() == Qt::MiddleButton)
            inserting_ = QGuiApplication::clipboard()->text(QClipboard::Selection);
        else
            break;
        static_cast<QObject *>(field)->event(e);
        inserting_.reset();
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
        auto *label = new QLabel(r.label);
        label->setBuddy(r.field); // also names the field in its messages
        grid->addWidget(label, row, 0);
        grid->addWidget(r.field, row, 1);
        if (!r.unit.isEmpty())
            grid->addWidget(new QLabel(r.unit), row, 2);
        ++row;
    }
}

} // namespace tavisol
