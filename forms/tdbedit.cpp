#include "forms/tdbedit.h"

#include "platform/db/gbk.h"
#include "platform/db/tdataset.h"
#include "platform/db/tdatasource.h"
#include "platform/db/tfield.h"
#include "platform/error.h"
#include "platform/ui/guard.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>

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

// The printable text a key types, or "" for a key that types nothing.
QString typedText(const QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty() ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return {};
    for (char32_t ch : text.toUcs4()) {
        if (!QChar::isPrint(ch))
            return {};
    }
    return text;
}

} // namespace

TDBEdit::TDBEdit(QWidget *parent) : QLineEdit(parent)
{
    // Dropped text would pass by the checks that typing and pasting meet.
    setAcceptDrops(false);
    connect(this, &QLineEdit::textEdited, this, [this] { m_changed = true; });
    showField();
}

TDBEdit::~TDBEdit()
{
    setDataSource(nullptr);
}

void TDBEdit::resolveReference(const QByteArray &property, QObject *component)
{
    auto *source = qobject_cast<TDataSource *>(component);
    if (property != "DataSource" || !source)
        throw Error(QStringLiteral("%1: DataSource must name a data source").arg(objectName()));
    setDataSource(source);
    bindField();
    showField();
}

void TDBEdit::setDataField(const QString &name)
{
    m_dataField = name;
    bindField();
    showField();
}

void TDBEdit::bindField()
{
    const TDataSet *dataSet = DataSet();
    m_field = dataSet && !m_dataField.isEmpty() ? dataSet->FindField(m_dataField) : nullptr;
}

void TDBEdit::dataEvent(DataEvent event, TField *field)
{
    switch (event) {
    case DataEvent::ActiveChanged:
        bindField();
        showField();
        break;
    case DataEvent::StateChanged:
    case DataEvent::RecordChanged:
        showField();
        break;
    case DataEvent::FieldChanged:
        // Also after our own write-back: the box then shows the value as the field took it.
        if (field == m_field)
            showField();
        break;
    case DataEvent::UpdateData:
        writeBack();
        break;
    }
}

void TDBEdit::showField()
{
    const TDataSet *dataSet = DataSet();
    const bool shown = m_field && dataSet && dataSet->Active();
    const bool editing = shown && (dataSet->State() == DataSetState::Edit ||
                                   dataSet->State() == DataSetState::Insert);
    setReadOnly(!(editing && m_field->CanModify()));
    // A read-only line edit takes no input method; a browsing box must, as typing starts Edit.
    setAttribute(Qt::WA_InputMethodEnabled, !isReadOnly() || canStartEdit());

    QString value;
    if (shown)
        value = hasFocus() && m_field->CanModify() ? m_field->Text() : m_field->DisplayText();
    if (value == text()) {
        // The same text again: keep the cursor and selection, which a keystroke that started
        // Edit is about to act on. Setting it clears the undo history, as any shown value does.
        const int start = selectionStart(), length = selectionLength(), cursor = cursorPosition();
        setText(value);
        if (length > 0 && cursor == start)
            setSelection(start + length, -length);
        else if (length > 0)
            setSelection(start, length);
        else
            setCursorPosition(cursor);
    } else {
        setText(value);
    }
    m_changed = false;
}

bool TDBEdit::canStartEdit() const
{
    const TDataSet *dataSet = DataSet();
    return m_field && dataSet && dataSet->State() == DataSetState::Browse && m_field->CanModify() &&
           DataSource()->AutoEdit();
}

bool TDBEdit::beginChange()
{
    if (!isReadOnly())
        return true;
    if (!canStartEdit())
        return false;
    guarded([this] { DataSet()->Edit(); });
    return !isReadOnly();
}

bool TDBEdit::fits(const QString &inserted) const
{
    const int limit = m_field ? m_field->TextLimit() : 0;
    if (limit <= 0)
        return true;
    QString result = text();
    if (hasSelectedText())
        result.replace(selectionStart(), selectionLength(), inserted);
    else
        result.insert(cursorPosition(), inserted);
    return gbkBytes(result) <= limit;
}

QString TDBEdit::fitting(const QString &inserted) const
{
    const int limit = m_field ? m_field->TextLimit() : 0;
    if (limit <= 0)
        return inserted;
    QString rest = text();
    if (hasSelectedText())
        rest.remove(selectionStart(), selectionLength());
    return gbk::cutToBytes(inserted, std::max(0, limit - gbkBytes(rest)));
}

void TDBEdit::pasteFitting()
{
    // One line only, as a single-line box takes it; then as much as the field has room for.
    QString clip = QGuiApplication::clipboard()->text();
    const auto lineEnd =
        std::find_if(clip.cbegin(), clip.cend(), [](QChar c) { return c == u'\r' || c == u'\n'; });
    clip.truncate(lineEnd - clip.cbegin());
    insert(fitting(clip));
}

void TDBEdit::restoreField()
{
    showField();
    selectAll();
}

void TDBEdit::writeBack()
{
    if (!m_changed || !m_field)
        return;
    m_field->setText(text());
    m_changed = false;
}

bool TDBEdit::event(QEvent *event)
{
    // Keys this box acts on even while read-only go to it rather than to a shortcut.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) ||
            ((isPaste(key) || isCut(key)) && canStartEdit())) {
            key->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void TDBEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        restoreField();
        return;
    }
    if (isPaste(event)) {
        if (beginChange())
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
        beginChange();
    } else if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete ||
               isCut(event)) {
        beginChange();
    }
    // A box still read-only (a field that cannot be changed, a failed Edit) ignores the key.
    QLineEdit::keyPressEvent(event);
}

void TDBEdit::inputMethodEvent(QInputMethodEvent *event)
{
    if (!event->commitString().isEmpty() || !event->preeditString().isEmpty())
        beginChange();
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

void TDBEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (!m_changed)
        showField();
}

void TDBEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // Another window or a menu taking the focus is no leaving of the box.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    guarded([this] {
        try {
            writeBack();
        } catch (...) {
            // Take the focus back before the error box shows, and without telling the widget
            // that was about to get it: for that widget the focus never moved.
            selectAll();
            setFocus(Qt::NoFocusReason);
            QFocusEvent focusIn(QEvent::FocusIn, Qt::OtherFocusReason);
            QCoreApplication::sendEvent(this, &focusIn);
            throw;
        }
    });
    if (!m_changed)
        showField();
}

void TDBEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

QMenu *TDBEdit::createContextMenu()
{
    // The commands that change the text start Edit first, as the keys do.
    auto *menu = new QMenu(this);
    const bool changeable = !isReadOnly() || canStartEdit();
    const bool selected = hasSelectedText();
    auto add = [&](const QString &label, bool enabled, const std::function<void()> &command) {
        QAction *action = menu->addAction(label);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, command);
    };
    add(tr("&Undo"), changeable && isUndoAvailable(), [this] {
        if (beginChange())
            undo();
    });
    menu->addSeparator();
    add(tr("Cu&t"), changeable && selected, [this] {
        if (beginChange())
            cut();
    });
    add(tr("&Copy"), selected, [this] { copy(); });
    add(tr("&Paste"), changeable && !QGuiApplication::clipboard()->text().isEmpty(), [this] {
        if (beginChange())
            pasteFitting();
    });
    add(tr("&Delete"), changeable && selected, [this] {
        if (beginChange())
            del();
    });
    menu->addSeparator();
    add(tr("Select &All"), !text().isEmpty() && selectedText() != text(), [this] { selectAll(); });
    return menu;
}
