#pragma once

#include "platform/db/tfield.h"

#include <QLineEdit>
#include <QPointer>

class QMenu;

// A line edit that takes only what its field accepts: a typed character the field refuses is
// refused with a beep, and no typing, pasting or input-method text goes past the field's size
// in GBK bytes (pasted text keeps its first line and is cut between characters). Before any
// keystroke or menu command that would change the text it asks beginChange(), and drops the
// change when that says no. Escape calls restore().
//
// The box remembers whether its text was changed since it last showed the field; the field
// gets the text only through writeBack(), at a moment the owner chooses.
class TFieldEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TFieldEdit(QWidget *parent = nullptr);

    // The field whose rules the typing follows; without one the box takes no typing.
    TField *field() const { return m_field; }

    // Whether the text was changed since the box last showed its field, that is whether it
    // still has to be written into the field.
    bool changedSinceShown() const { return m_changed; }

protected:
    void setField(TField *field) { m_field = field; }
    void setChangedSinceShown(bool changed) { m_changed = changed; }
    // Whether the text may change now, after whatever that takes (the owner may start Edit
    // here). Default: the field can be modified.
    virtual bool beginChange();
    // Whether beginChange() could let a change through; it enables the menu's commands.
    // Default: the box is not read-only and the field can be modified.
    virtual bool changeable() const;
    // Puts the field's text back and selects it; the text counts as unchanged again.
    virtual void restore();
    // Writes the text into the field if it was changed; throws the field's error, and the text
    // then stays changed.
    void writeBack();

    // Whether the text with the selection (or nothing, at the cursor) replaced by `inserted`
    // still fits the field's limit.
    bool fits(const QString &inserted) const;
    // As much of `inserted` as fits in place of the selection.
    QString fitting(const QString &inserted) const;
    // Pastes the clipboard's first line, as much of it as fits.
    void pasteFitting();

    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // Bytes left for text in place of the selection: the field's limit less the rest of the
    // text, never below 0; INT_MAX for a field without a limit.
    int room() const;
    // Asks beginChange(); whether the text may then change.
    bool mayChange();
    QMenu *createContextMenu();

    QPointer<TField> m_field;
    bool m_changed = false;
};
