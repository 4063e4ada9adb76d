#pragma once

#include <QHash>
#include <QString>
#include <memory>
#include <sqlite3.h>

// The connection to a database folder: one SQLite connection that every dataset of the folder
// shares, with each table file attached to it under the table's base name while some dataset
// has it open. So one SQL statement can join the tables of the folder.
class FolderSession
{
public:
    // The session of `folder`, made on first use and shared while anyone holds it.
    static std::shared_ptr<FolderSession> forFolder(const QString &folder);

    ~FolderSession();
    FolderSession(const FolderSession &) = delete;
    FolderSession &operator=(const FolderSession &) = delete;

    struct Table
    {
        QString schema; // name under which the file is attached
        QString table;  // the table's name inside the file
        QString path;   // the file
        bool readOnly = false;
    };

    // Attaches the file of `tableName` ("ryxx.DB", or "RYXX" meaning "ryxx.DB"), found in the
    // folder without regard to letter case, read-write when it can be written and read-only
    // otherwise, and checks that it holds just its table. Every attach needs its detach.
    // Throws Error with the storage's message naming the file.
    Table attach(const QString &tableName);
    void detach(const QString &schema);
    // One more hold on the file attached under `schema`, to be given back by detach; false
    // when no file is attached under it.
    bool retain(const QString &schema);

    sqlite3 *handle() const { return m_db; }
    const QString &folder() const { return m_folder; }

    // The file in `folder` that `tableName` names, whether it exists or not.
    static QString resolveFile(const QString &folder, const QString &tableName);

private:
    explicit FolderSession(const QString &folder);

    struct Attached
    {
        Table table;
        int users = 0;
    };
    QString m_folder;
    sqlite3 *m_db = nullptr;
    QHash<QString, Attached> m_attached;
};
