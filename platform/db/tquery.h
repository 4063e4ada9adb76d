#pragma once

#include "platform/db/tdataset.h"

#include <QStringList>
#include <memory>

class SqliteStatement;

// A read-only SQL query over the table files of the database folder. SQLite runs the statement
// as written on the folder's connection; a table the statement names is attached when SQLite
// first misses it. The result is never held: one statement steps forward through it, so a walk
// from the first row to the last costs one step a row whatever the size, and memory stays
// bounded. The key of a record is its row number, from 1. Going back or jumping before the
// current row runs the statement again from the start.
class TQuery : public TDataSet
{
    Q_OBJECT
public:
    explicit TQuery(QObject *owner);
    ~TQuery() override;

    // The statement as stored, line by line; the text run is the lines each ended by CR LF.
    const QStringList &SQL() const { return m_sql; }
    void setSQL(const QStringList &lines) { m_sql = lines; }
    QString text() const;

    // The number of rows of the result, counted by SQLite without reading them out (known for
    // free once a walk has passed the last row). Throws on a closed query.
    int RecordCount();

protected:
    void doOpen() override;
    void doClose() override;
    QList<StoredRecord> fetchRecords(qint64 key, bool forward, int count, int skip) override;

private:
    // Prepares `sql`, attaching each table SQLite misses, and takes a hold on every attached
    // file the statement reads, so that no other dataset's close detaches it meanwhile.
    std::unique_ptr<SqliteStatement> prepare(const QString &sql);
    // Binds each declared data field to a result column by name (repeated column names are
    // numbered by "%s_%d"). Throws the field's message when one has no fitting column.
    void bindFields();
    // Puts the cursor on `row`; false when the result has fewer rows.
    bool moveTo(qint64 row);
    // Steps the cursor; false past the last row, which leaves it reset and the count known.
    bool step();
    StoredRecord currentRecord() const;

    QStringList m_sql;
    QString m_running;                         // the text the open query runs
    QStringList m_held;                        // attached schemas this query holds
    QList<int> m_columns;                      // per field: its result column, -1 for none
    std::unique_ptr<SqliteStatement> m_cursor; // stands on row m_row (0: before the first)
    qint64 m_row = 0;
    qint64 m_rowCount = -1; // -1 until known for the current run
};
