#pragma once

#include "platform/db/tdatalink.h"
#include "platform/db/tfield.h"
#include "platform/referrer.h"

#include <QLineEdit>
#include <QPointer>

class QMenu;

// A data-aware edit box: shows one field of its table's current record and writes typed text
// back into it. It is read-only unless the table is in edit or insert state and the field can
// be changed; a keystroke that would change the text first puts a browsing table into edit.
// Typed text stays in the box until the box loses the focus or the table collects pending
// text (before a post or a move); only then is it converted and assigned.
//
// Stored descriptions set "DataSource" (a data source by module and name) and "DataField".
class TDBEdit : public QLineEdit, public TDataLink, public Referrer
{
    Q_OBJECT
    Q_PROPERTY(QString DataSource READ dataSourceName WRITE setDataSourceName)
    Q_PROPERTY(QString DataField READ DataField WRITE setDataField)
public:
    explicit TDBEdit(QWidget *parent = nullptr);
    ~TDBEdit() override;

    QString dataSourceName() const { return m_dataSourceName; }
    void setDataSourceName(const QString &name) { m_dataSourceName = name; }
    QList<QByteArray> referenceProperties() const override { return {"DataSource"}; }
    void resolveReference(const QByteArray &property, QObject *component) override;

    // The name of the field the box shows, and the field itself once its table is open
    // (nullptr while closed or when the table has no such field).
    const QString &DataField() const { return m_dataField; }
    void setDataField(const QString &name);
    TField *Field() const { return m_field; }

    // Whether the text was changed since the box last showed its field, that is whether it
    // still has to be written into the field.
    bool changedSinceShown() const { return m_changed; }

    void dataEvent(DataEvent event, TField *field) override;

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void bindField();
    // Puts the field's text into the box and clears the changed flag.
    void showField();
    bool canStartEdit() const;
    // Whether the text may change now; in browse state the table is first put into edit.
    bool beginChange();
    // The text with the selection (or nothing, at the cursor) replaced by `inserted`, and
    // whether that still fits the field's limit.
    bool fits(const QString &inserted) const;
    // As much of `inserted` as fits in place of the selection.
    QString fitting(const QString &inserted) const;
    void pasteFitting();
    void restoreField();
    void writeBack();
    QMenu *createContextMenu();

    QString m_dataSourceName;
    QString m_dataField;
    QPointer<TField> m_field;
    bool m_changed = false;
};
