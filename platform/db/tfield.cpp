#include "platform/db/tfield.h"

#include "platform/db/localesettings.h"
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

QVariant TField::Value() const
{
    return m_dataSet ? m_dataSet->fieldValue(this) : QVariant();
}

QString TField::DisplayText() const
{
    return fieldtext::displayText(m_def, Value(), currentLocaleSettings());
}

bool TField::CanModify() const
{
    return !m_def.readOnly && !m_def.calculated && m_dataSet && m_dataSet->CanModify();
}

void TField::setText(const QString &text)
{
    setValue(fieldtext::valueFromText(m_def, text, currentLocaleSettings()));
}

void TField::setValue(const QVariant &value)
{
    if (!m_dataSet)
        throw Error(QStringLiteral("Field '%1' has no dataset").arg(m_def.name));
    m_dataSet->setFieldValue(this, value);
}
