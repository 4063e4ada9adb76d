#include "platform/db/tquery.h"

TQuery::TQuery(QObject *owner) : TDataSet(owner) {}

QString TQuery::text() const
{
    QString joined;
    for (const QString &line : m_sql)
        joined += line + QStringLiteral("\r\n");
    return joined;
}

void TQuery::doOpen()
{
    throw error(QStringLiteral("Running a query is not available in this version"));
}

void TQuery::doClose() {}
