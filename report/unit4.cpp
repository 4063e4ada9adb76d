#include "report/unit4.h"

#include "platform/db/tdataset.h"
#include "platform/error.h"

TQuickReport4 *QuickReport4 = nullptr;

TQuickReport4::TQuickReport4()
{
    setObjectName(QStringLiteral("QuickReport4"));
}

void TQuickReport4::resolveReference(const QByteArray &property, QObject *component)
{
    m_dataSet = qobject_cast<TDataSet *>(component);
    if (property != "DataSet" || !m_dataSet)
        throw Error(QStringLiteral("QuickReport4: the report's dataset must be a dataset"));
}

void TQuickReport4::Preview() {}
