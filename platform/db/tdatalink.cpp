#include "platform/db/tdatalink.h"

#include "platform/db/tdataset.h"
#include "platform/db/tdatasource.h"

TDataLink::~TDataLink()
{
    setDataSource(nullptr);
}

void TDataLink::setDataSource(TDataSource *source)
{
    if (m_source == source)
        return;
    if (m_source)
        m_source->removeLink(this);
    m_source = source;
    if (m_source)
        m_source->addLink(this);
}

TDataSource *TDataLink::DataSource() const
{
    return m_source;
}

TDataSet *TDataLink::DataSet() const
{
    return m_source ? m_source->DataSet() : nullptr;
}

bool TDataLink::Active() const
{
    const TDataSet *dataSet = DataSet();
    return dataSet && dataSet->Active();
}
