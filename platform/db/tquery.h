#pragma once

#include "platform/db/tdataset.h"

#include <QStringList>

// A read-only SQL query over the table files of the database folder.
class TQuery : public TDataSet
{
    Q_OBJECT
public:
    explicit TQuery(QObject *owner);

    // The statement as stored, line by line; the text run is the lines each ended by CR LF.
    const QStringList &SQL() const { return m_sql; }
    void setSQL(const QStringList &lines) { m_sql = lines; }
    QString text() const;

protected:
    void doOpen() override;
    void doClose() override;
    QList<StoredRecord> fetchRecords(qint64, bool, int, int) override { return {}; }

private:
    QStringList m_sql;
};
