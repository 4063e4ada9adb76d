#include "platform/db/sqlite.h"

#include "platform/error.h"

SqliteStatement::SqliteStatement(sqlite3 *db, const QString &sql) : m_db(db)
{
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr) != SQLITE_OK)
        throw Error(sqlite::lastError(db), sqlite3_extended_errcode(db));
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

bool SqliteStatement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    // The statement is reset so that its locks go at once, not when it is finalised.
    const QString message = sqlite::lastError(m_db);
    sqlite3_reset(m_stmt);
    throw Error(message, rc);
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

void SqliteStatement::bindNull(int index)
{
    sqlite3_bind_null(m_stmt, index);
}

void SqliteStatement::bindInt(int index, qint64 value)
{
    sqlite3_bind_int64(m_stmt, index, value);
}

void SqliteStatement::bindText(int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::bindText(int index, const char *utf8, int bytes)
{
    sqlite3_bind_text(m_stmt, index, utf8, bytes, SQLITE_TRANSIENT);
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString SqliteStatement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

bool SqliteStatement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

int SqliteStatement::columnType(int column) const
{
    return sqlite3_column_type(m_stmt, column);
}

qint64 SqliteStatement::columnInt(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

QString SqliteStatement::columnText(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column));
}

namespace sqlite {

void exec(sqlite3 *db, const QString &sql)
{
    char *message = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString text = message ? QString::fromUtf8(message) : lastError(db);
        sqlite3_free(message);
        throw Error(text, sqlite3_extended_errcode(db));
    }
}

QString quoted(const QString &identifier)
{
    QString out = identifier;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

QString literal(const QString &text)
{
    QString out = text;
    out.replace(u'\'', QStringLiteral("''"));
    return u'\'' + out + u'\'';
}

QString lastError(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

sqlite3 *openHardened(const QString &uri, int flags)
{
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(uri.toUtf8().constData(), &db, flags | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = db ? lastError(db) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(db);
        throw Error(message, rc);
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    return db;
}

} // namespace sqlite
