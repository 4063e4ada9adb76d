#include "platform/db/tdatasource.h"

#include "platform/db/tdataset.h"
#include "platform/error.h"

TDataSource::TDataSource(QObject *owner) : QObject(owner) {}

void TDataSource::resolveReference(const QByteArray &property, QObject *component)
{
    auto *dataSet = qobject_cast<TDataSet *>(component);
    if (property != "DataSet" || !dataSet) {
        throw Error(QStringLiteral("%1: %2 is not a dataset")
                        .arg(objectName(), component ? component->objectName() : QString()));
    }
    m_dataSet = dataSet;
}
