#include "forms/tfieldedit.h"

#include "platform/db/gbk.h"
#include "platform/db/tfield.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>
#include <functional>
#include <limits>

namespace {

// GBK bytes of a text; a character GBK cannot encode counts two, as when text is cut to size.
int gbkBytes(QStringView text)
{
    int bytes = 0;
    for (char32_t ch : text.toUcs4()) {
        const int n = gbk::charBytes(ch);
        bytes += n ? n : 2;
    }
    return bytes;
}

bool onlyModifier(const QKeyEvent *event, Qt::KeyboardModifier modifier)
{
    return (event->modifiers() & ~Qt::KeypadModifier) == modifier;
}

bool isPaste(const QKeyEvent *event)
{
    return event->matches(QKeySequence::Paste) ||
           (event->key() == Qt::Key_Insert && onlyModifier(event, Qt::ShiftModifier)) ||
           (event->key() == Qt::Key_V && onlyModifier(event, Qt::ControlModifier));
}

bool isCut(const QKeyEvent *event)
{
    return event->matches(QKeySequence::Cut) ||
           (event->key() == Qt::Key_X && onlyModifier(event, Qt::ControlModifier));
}

// The printable text a key types, or "" for a key that types nothing. As for the line edit,
// only Ctrl (alone or with Shift) makes a key a command: Alt+A types an "a" there, so it must
// meet the field's rules too.
QString typedText(const QKeyEvent *event)
{
    const QString text = event->text();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (text.isEmpty() || modifiers == Qt::ControlModifier ||
        modifiers == (Qt::ControlModifier | Qt::ShiftModifier))
        return {};
    for (char32_t ch : text.toUcs4()) {
        if (!QChar::isPrint(ch))
            return {};
    }
    return text;
}

} // namespace

TFieldEdit::TFieldEdit(QWidget *parent) : QLineEdit(parent)
{
    // Dropped text would pass by the checks that typing and pasting meet.
    setAcceptDrops(false);
    connect(this, &QLineEdit::textEdited, this, [this] { m_changed = true; });
}

bool TFieldEdit::beginChange()
{
    return m_field && m_field->CanModify();
}

bool TFieldEdit::changeable() const
{
    return !isReadOnly() && m_field && m_field->CanModify();
}

void TFieldEdit::restore()
{
    if (!m_field)
        return;
    setText(m_field->Text());
    m_changed = false;
    selectAll();
}

void TFieldEdit::writeBack()
{
    if (!m_changed || !m_field)
        return;
    m_field->setText(text());
    m_changed = false;
}

int TFieldEdit::room() const
{
    const int limit = m_field ? m_field->TextLimit() : 0;
    if (limit <= 0)
        return std::numeric_limits<int>::max();
    QString rest = text();
    if (hasSelectedText())
        rest.remove(selectionStart(), selectionLength());
    return std::max(0, limit - gbkBytes(rest));
}

bool TFieldEdit::fits(const QString &inserted) const
{
    return gbkBytes(inserted) <= room();
}

QString TFieldEdit::fitting(const QString &inserted) const
{
    return gbk::cutToBytes(inserted, room());
}

void TFieldEdit::pasteFitting()
{
    // One line only, as a single-line box takes it; then as much as the field has room for.
    QString clip = QGuiApplication::clipboard()->text();
    const auto lineEnd =
        std::find_if(clip.cbegin(), clip.cend(), [](QChar c) { return c == u'\r' || c == u'\n'; });
    clip.truncate(lineEnd - clip.cbegin());
    insert(fitting(clip));
}

bool TFieldEdit::mayChange()
{
    return beginChange() && !isReadOnly();
}

bool TFieldEdit::event(QEvent *event)
{
    // Keys this box acts on even while read-only go to it rather than to a shortcut.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) ||
            ((isPaste(key) || isCut(key)) && changeable())) {
            key->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void TFieldEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        restore();
        return;
    }
    if (isPaste(event)) {
        if (mayChange())
            pasteFitting();
        return;
    }
    const QString typed = typedText(event);
    if (!typed.isEmpty() && m_field && m_field->CanModify()) {
        for (char32_t ch : typed.toUcs4()) {
            if (!m_field->AcceptsChar(ch)) {
                QApplication::beep();
                return;
            }
        }
        if (!fits(typed))
            return;
    }
    const bool changes = !typed.isEmpty() || event->key() == Qt::Key_Backspace ||
                         event->key() == Qt::Key_Delete || isCut(event);
    // A read-only box leaves the key to the line edit, which refuses it as it refuses any.
    if (changes && !mayChange() && !isReadOnly())
        return;
    QLineEdit::keyPressEvent(event);
}

void TFieldEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const bool changes = !event->commitString().isEmpty() || !event->preeditString().isEmpty();
    if (changes && !mayChange() && !isReadOnly())
        return;
    if (!isReadOnly() && m_field && !event->commitString().isEmpty()) {
        QString accepted;
        for (char32_t ch : event->commitString().toUcs4()) {
            if (m_field->AcceptsChar(ch))
                accepted += QString::fromUcs4(&ch, 1);
            else
                QApplication::beep();
        }
        event->setCommitString(fitting(accepted), event->replacementStart(),
                               event->replacementLength());
    }
    QLineEdit::inputMethodEvent(event);
}

void TFieldEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

QMenu *TFieldEdit::createContextMenu()
{
    // The commands that change the text ask beginChange() first, as the keys do.
    auto *menu = new QMenu(this);
    const bool canChange = changeable();
    const bool selected = hasSelectedText();
    auto add = [&](const QString &label, bool enabled, const std::function<void()> &command) {
        QAction *action = menu->addAction(label);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, command);
    };
    add(tr("&Undo"), canChange && isUndoAvailable(), [this] {
        if (mayChange())
            undo();
    });
    menu->addSeparator();
    add(tr("Cu&t"), canChange && selected, [this] {
        if (mayChange())
            cut();
    });
    add(tr("&Copy"), selected, [this] { copy(); });
    add(tr("&Paste"), canChange && !QGuiApplication::clipboard()->text().isEmpty(), [this] {
        if (mayChange())
            pasteFitting();
    });
    add(tr("&Delete"), canChange && selected, [this] {
        if (mayChange())
            del();
    });
    menu->addSeparator();
    add(tr("Select &All"), !text().isEmpty() && selectedText() != text(), [this] { selectAll(); });
    return menu;
}
