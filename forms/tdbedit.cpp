#include "forms/tdbedit.h"

#include "platform/db/tdataset.h"
#include "platform/db/tdatasource.h"
#include "platform/db/tfield.h"
#include "platform/error.h"
#include "platform/ui/guard.h"

#include <QCoreApplication>
#include <QFocusEvent>

TDBEdit::TDBEdit(QWidget *parent) : TFieldEdit(parent)
{
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
    setField(dataSet && !m_dataField.isEmpty() ? dataSet->FindField(m_dataField) : nullptr);
}

void TDBEdit::dataEvent(DataEvent event, TField *changed)
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
        if (changed == field())
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
    const TField *f = field();
    const bool shown = f && dataSet && dataSet->Active();
    const bool editing = shown && (dataSet->State() == DataSetState::Edit ||
                                   dataSet->State() == DataSetState::Insert);
    setReadOnly(!(editing && f->CanModify()));
    // A read-only line edit takes no input method; a browsing box must, as typing starts Edit.
    setAttribute(Qt::WA_InputMethodEnabled, changeable());

    QString value;
    if (shown)
        value = hasFocus() && f->CanModify() ? f->Text() : f->DisplayText();
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
    setChangedSinceShown(false);
}

bool TDBEdit::canStartEdit() const
{
    const TDataSet *dataSet = DataSet();
    return field() && dataSet && dataSet->State() == DataSetState::Browse && field()->CanModify() &&
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

bool TDBEdit::changeable() const
{
    return !isReadOnly() || canStartEdit();
}

void TDBEdit::restore()
{
    showField();
    selectAll();
}

void TDBEdit::focusInEvent(QFocusEvent *event)
{
    TFieldEdit::focusInEvent(event);
    if (!changedSinceShown())
        showField();
}

void TDBEdit::focusOutEvent(QFocusEvent *event)
{
    TFieldEdit::focusOutEvent(event);
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
    if (!changedSinceShown())
        showField();
}
