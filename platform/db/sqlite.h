#pragma once

#include <QString>
#include <QVariant>
#include <sqlite3.h>

// Thin owners of SQLite handles. Every failure becomes an Error carrying SQLite's own text.

class SqliteStatement
{
public:
    SqliteStatement(sqlite3 *db, const QString &sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    // Steps once: true while a row is there, false when done. Throws on failure.
    bool step();
    void reset();

    void bindNull(int index);
    void bindInt(int index, qint64 value);
    void bindText(int index, const QString &text);
    void bindText(int index, const char *utf8, int bytes);

    int columnCount() const;
    QString columnName(int column) const;
    bool isNull(int column) const;
    int columnType(int column) const;
    qint64 columnInt(int column) const;
    QString columnText(int column) const;

    sqlite3_stmt *handle() const { return m_stmt; }

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
};

namespace sqlite {

// Runs statements that return no rows. Throws Error with SQLite's text.
void exec(sqlite3 *db, const QString &sql);

// An identifier quoted for SQL ("name" with inner quotes doubled).
QString quoted(const QString &identifier);

// A string quoted as an SQL literal.
QString literal(const QString &text);

// SQLite's text for the last failure on the connection.
QString lastError(sqlite3 *db);

// Opens a connection for storage work: URI names, extended result codes, nothing from a file
// can run code (defensive mode, untrusted schema, no triggers, views or extensions).
sqlite3 *openHardened(const QString &uri, int flags);

} // namespace sqlite
