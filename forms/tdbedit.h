#pragma once

#include "forms/tfieldedit.h"
#include "platform/db/tdatalink.h"
#include "platform/referrer.h"

// A data-aware edit box: shows one field of its table's current record and writes typed text
// back into it. It is read-only unless the table is in edit or insert state and the field can
// be changed; a keystroke that would change the text first puts a browsing table into edit.
// Typed text stays in the box until the box loses the focus or the table collects pending
// text (before a post or a move); only then is it converted and assigned.
//
// Stored descriptions set "DataSource" (a data source by module and name) and "DataField".
class TDBEdit : public TFieldEdit, public TDataLink, public Referrer
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
    TField *Field() const { return field(); }

    void dataEvent(DataEvent event, TField *changed) override;

protected:
    // In browse state the table is first put into edit.
    bool beginChange() override;
    bool changeable() const override;
    void restore() override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void bindField();
    // Puts the field's text into the box and clears the changed flag.
    void showField();
    bool canStartEdit() const;

    QString m_dataSourceName;
    QString m_dataField;
};
