#include "platform/db/tdatasource.h"

#include "platform/db/tdataset.h"
#include "platform/error.h"

TDataSource::TDataSource(QObject *owner) : QObject(owner) {}

TDataSource::~TDataSource()
{
    setDataSet(nullptr);
    const QList<TDataLink *> links = m_links;
    for (TDataLink *link : links)
        link->setDataSource(nullptr);
}

TDataSet *TDataSource::DataSet() const
{
    return m_dataSet;
}

void TDataSource::setDataSet(TDataSet *dataSet)
{
    if (m_dataSet == dataSet)
        return;
    if (m_dataSet)
        m_dataSet->removeDataSource(this);
    m_dataSet = dataSet;
    if (m_dataSet)
        m_dataSet->addDataSource(this);
}

void TDataSource::resolveReference(const QByteArray &property, QObject *component)
{
    auto *dataSet = qobject_cast<TDataSet *>(component);
    if (property != "DataSet" || !dataSet) {
        throw Error(QStringLiteral("%1: %2 is not a dataset")
                        .arg(objectName(), component ? component->objectName() : QString()));
    }
    setDataSet(dataSet);
}

void TDataSource::notify(DataEvent event, TField *field)
{
    if (!m_enabled)
        return;
    // A control may unlink itself while it is told; walk a copy.
    const QList<TDataLink *> links = m_links;
    for (TDataLink *link : links) {
        if (m_links.contains(link))
            link->dataEvent(event, field);
    }
}
