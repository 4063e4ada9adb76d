#pragma once

#include "platform/db/foldersession.h"
#include "platform/db/tdataset.h"

#include <memory>

class SqliteStatement;

// A table: one table file of the database folder, opened by its file name. Records come in the
// order of their row numbers (the record number where the table has one), read one at a time.
class TTable : public TDataSet
{
    Q_OBJECT
public:
    explicit TTable(QObject *owner);
    ~TTable() override;

    const QString &TableName() const { return m_tableName; }
    void setTableName(const QString &name) { m_tableName = name; }

    bool CanModify() const override { return Active() && !m_file.readOnly; }
    // The attached file while open.
    const FolderSession::Table &file() const { return m_file; }

protected:
    void doOpen() override;
    void doClose() override;
    QList<StoredRecord> fetchRecords(qint64 key, bool forward, int count, int skip) override;
    qint64 storeNew(const QList<QVariant> &values) override;
    void storeChanges(qint64 key, const QList<QVariant> &values,
                      const QList<bool> &assigned) override;
    void storeDelete(qint64 key) override;

private:
    struct Statements;
    // Runs a statement that writes; the storage's message when it fails.
    void write(SqliteStatement &stmt, const QList<QVariant> &values, const QList<int> &fields);
    [[noreturn]] void fail(const Error &e, const QList<QVariant> &values,
                           const QList<int> &fields) const;
    QString qualified() const;

    QString m_tableName;
    FolderSession::Table m_file;
    std::unique_ptr<Statements> m_stmts;
};
