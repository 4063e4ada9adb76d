#pragma once

#include "platform/db/fieldkind.h"

#include <QObject>

class TDataSet;

// A field object: one declared field of a dataset, owned by the dataset's module.
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

    // The dataset forgets fields that go before it.
    void detachFromDataSet() { m_dataSet = nullptr; }

private:
    FieldDef m_def;
    TDataSet *m_dataSet;
};
