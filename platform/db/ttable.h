#pragma once

#include "platform/db/foldersession.h"
#include "platform/db/tabledef.h"
#include "platform/db/tdataset.h"

// A table: one table file of the database folder, opened by its file name.
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

private:
    QString m_tableName;
    FolderSession::Table m_file;
};
