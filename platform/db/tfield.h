#pragma once

#include "platform/db/fieldkind.h"

#include <QObject>
#include <QVariant>

class TDataSet;

// A field object: one declared field of a dataset, owned by the dataset's module. Its value is
// that of the dataset's current or pending record.
class TField : public QObject
{
    Q_OBJECT
public:
    TField(const FieldDef &def, TDataSet *dataSet, QObject *owner);
    ~TField() override;

    const FieldDef &def() const { return m_def; }
    const QString &FieldName() const { return m_def.name; }
    FieldKind DataType() const { return m_def.kind; }
    int Size() const { return m_def.size; }
    bool ReadOnly() const { return m_def.readOnly; }
    bool Calculated() const { return m_def.calculated; }
    int DisplayWidth() const { return fieldtext::defaultDisplayWidth(m_def); }
    Qt::Alignment Alignment() const { return fieldtext::alignment(m_def); }
    TDataSet *DataSet() const { return m_dataSet; }

    QVariant Value() const;
    bool IsNull() const { return Value().isNull(); }
    // The text shown in grids and idle edit boxes, and the text put up for editing.
    QString DisplayText() const;
    QString Text() const { return DisplayText(); }
    // Whether the field can be typed into now or later: not read-only, its dataset changeable.
    bool CanModify() const;
    bool AcceptsChar(char32_t ch) const { return fieldtext::acceptsChar(m_def, ch); }
    int TextLimit() const { return fieldtext::textLimit(m_def); }

    // Converts typed text and assigns it; throws the field's message when it does not convert.
    void setText(const QString &text);
    void setValue(const QVariant &value);
    void Clear() { setValue(QVariant()); }

    // The dataset forgets fields that go before it.
    void detachFromDataSet() { m_dataSet = nullptr; }

private:
    FieldDef m_def;
    TDataSet *m_dataSet;
};
