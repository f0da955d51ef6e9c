#pragma once

// Common ground of the dialogs with filtered number fields: each field tells
// the dialog which keys it takes, a text pasted or dropped into it goes
// through the same filter, Enter moves on to the next control, a field that
// receives the focus selects its text, Escape and the close box act as
// Cancel, and every message goes through the shell's message boxes.

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QString>

#include <optional>
#include <string>

#include "shell/dialoglogic.h"

class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace tavisol {

class FieldDialog : public QDialog {
    Q_OBJECT
public:
    explicit FieldDialog(QWidget *parent = nullptr);

    // Shows the message over this dialog, its lines broken where the text has
    // a carriage return; true for Yes (and for OK).
    bool showMessage(const Message &m);
    // The same as a sink for the plain decision functions.
    MessageSink messageSink();

    // Left edge at half the main window's width minus half this dialog's width;
    // top edge at half the main window's height minus half (wholeHeight: all)
    // of this dialog's height.
    void placeOver(const QWidget *mainWindow, bool wholeHeight = false);

    // The character a key press types, as the filters see it: Enter 13,
    // Backspace 8, else the typed character; nothing for keys that type
    // nothing (arrows, Delete, Tab, function keys).
    static std::optional<char32_t> TypedKey(const QKeyEvent *e);

public slots:
    // Escape and the close box: a click on the Cancel button.
    void reject() override;

protected:
    // Registers a field: `id` is handed back to the hooks below; on receiving
    // the focus the field selects its first `selectLength` characters (none
    // for a negative length: the field keeps its own behaviour). A text
    // pasted or dropped into it (by the menu, the mouse or the paste key) is
    // judged whole by keyDecision character by character, also where the
    // field's length limit lets only its beginning in: refused, the field
    // keeps its text and the message says why; taken, keyReleased runs as
    // after a typed key.
    void addField(QLineEdit *field, int id, int selectLength = 99);
    // Registers a push button: Enter clicks it while it has the focus; it
    // never acts as a default button for Enter typed into a field. Escape and
    // the close box click the dialog's Cancel button. Moving the focus from a
    // field to a Cancel that drops the entry runs no leave rule: the entry is
    // dropped anyway, and the rule's message would swallow the click. A Cancel
    // that keeps the entry (what is typed is in force at once) lets the rule
    // run as any other control does.
    enum class ButtonRole { Plain, Cancel, CancelKeepingEntry };
    void addButton(QPushButton *button, ButtonRole role = ButtonRole::Plain);
    // Registers a check box: Enter moves on from it as from a field.
    void addCheckBox(QCheckBox *box);
    // Sets the focus order, also the order in which Enter moves on.
    static void setFocusOrder(std::initializer_list<QWidget *> widgets);
    // Which keys the field takes; the default takes every key.
    virtual dialogs::KeyDecision keyDecision(int id, char32_t key);
    // On the release of a key whose press the field received. A release whose
    // press went elsewhere (the key that closed a message box, or the Enter
    // that moved the focus here) runs nothing.
    virtual void keyReleased(int id);
    // The focus went from the field to another control of this dialog.
    virtual void fieldLeft(int id);

    bool eventFilter(QObject *watched, QEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    struct Field {
        int id = 0;
        int selectLength = 99;
        QList<int> pressed; // keys pressed in the field and not yet released
        QString text;       // as shown before the edit being reported
        bool cut = false;   // the edit being reported lost text to the length limit
    };
    void forgetPressedKeys();
    // An edit that no typed key made goes through the key filter.
    void judgePaste(QLineEdit *field);
    // The caption of the label beside the field, for messages.
    QString fieldName(const QLineEdit *field) const;
    // The whole text an edit that no typed key made puts in: what is dropped,
    // the mouse selection or an input method's text while the field handles
    // that event, else the clipboard (the paste key, the field's menu).
    QString insertedWhole() const;
    bool typing_ = false; // a key press is being handed to a field
    std::optional<QString> inserting_; // the text of the event being handed to a field
    QHash<QLineEdit *, Field> fields_;
    QList<QPushButton *> buttons_;
    QPushButton *cancelButton_ = nullptr;
    bool cancelDropsEntry_ = false;
    QList<QCheckBox *> checkBoxes_;
    QPointer<QWidget> keptFocus_; // the focus when the keyboard went to another window
};

// Writes a text into a field only when it differs, so the cursor of the field
// being typed into stays where it is. The text is kept whole even when it is
// longer than the field's typing limit.
void SetFieldText(QLineEdit *field, const std::string &utf8);
std::string FieldString(const QLineEdit *field);

// Which field shows which text of a dialog's plain fields struct. A dialog
// lists its fields once; ReadTexts and WriteTexts move the texts along any
// such list (of TextBinding, or of a struct with the same `field` and `text`).
template <class Fields> struct TextBinding {
    QLineEdit *field = nullptr;
    std::string Fields::*text = nullptr;
};
template <class Bindings, class Fields> void ReadTexts(const Bindings &bindings, Fields &f) {
    for (const auto &b : bindings)
        f.*(b.text) = FieldString(b.field);
}
template <class Bindings, class Fields> void WriteTexts(const Bindings &bindings, const Fields &f) {
    for (const auto &b : bindings)
        SetFieldText(b.field, f.*(b.text));
}

// The widgets these dialogs are built from.
// A field in Verdana into which at most maxLength characters can be typed
// (a longer value put in by SetFieldText is kept whole), with a tool tip when
// one is given and a fixed width when one is given.
QLineEdit *MakeDialogField(QWidget *parent, const char *name, const char *text, int maxLength,
                           const char *tip = nullptr, int width = 0);
// The buttons side by side at the right.
QHBoxLayout *MakeButtonRow(std::initializer_list<QPushButton *> buttons);
// A label, the field and, when there is one, its unit in one row.
struct FieldRow {
    QString label;
    QLineEdit *field = nullptr;
    QString unit = QString();
};
// The group's grid: the check boxes one below the other across its width,
// then the field rows.
void LayOutGroup(QGroupBox *group, std::initializer_list<QCheckBox *> checks,
                 std::initializer_list<FieldRow> rows);

} // namespace tavisol
