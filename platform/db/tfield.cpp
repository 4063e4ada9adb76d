#include "platform/db/tfield.h"

#include "platform/db/tdataset.h"

TField::TField(const FieldDef &def, TDataSet *dataSet, QObject *owner)
    : QObject(owner), m_def(def), m_dataSet(dataSet)
{
    if (m_dataSet)
        m_dataSet->addField(this);
}

TField::~TField()
{
    if (m_dataSet)
        m_dataSet->removeField(this);
}
