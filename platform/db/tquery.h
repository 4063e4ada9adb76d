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
    std::optional<StoredRecord> fetchFirst() override { return std::nullopt; }
    std::optional<StoredRecord> fetchLast() override { return std::nullopt; }
    std::optional<StoredRecord> fetchAfter(qint64) override { return std::nullopt; }
    std::optional<StoredRecord> fetchBefore(qint64) override { return std::nullopt; }
    std::optional<StoredRecord> fetchKey(qint64) override { return std::nullopt; }

private:
    QStringList m_sql;
};
