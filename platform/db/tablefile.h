#pragma once

#include "platform/db/fieldkind.h"
#include "platform/db/tabledef.h"

#include <QList>
#include <QString>
#include <sqlite3.h>

class Error;

class SqliteStatement;

// The on-disk form of a table: one SQLite database file holding one table named after the file,
// with the declared fields as columns in declared order. Kinds are kept by the declared column
// types and by CHECK constraints; an AutoInc field is an INTEGER PRIMARY KEY AUTOINCREMENT, so
// its numbers are never handed out twice. See docs/table-files.md.
namespace tablefile {

// The SQL that creates the table and its unique indexes.
QStringList createStatements(const TableDef &def);

// Makes a new, empty table file. Refuses (Error) when the file exists already.
void create(const QString &path, const TableDef &def);

// A column of a stored table, with the kind its declared type stands for.
struct StoredField
{
    QString name;
    QString declaredType;
    FieldKind kind = FieldKind::Unknown;
};

FieldKind kindOfColumn(const QString &declaredType, bool autoIncrement);

// The columns of table `table` in attached database `schema`.
QList<StoredField> storedFields(sqlite3 *db, const QString &schema, const QString &table);

// Throws unless the database holds the table `table` (any letter case) and nothing that could
// run or stand in for it: no trigger, no view, no virtual table, no other table of its own.
// Returns the table's name as stored.
QString checkSchema(sqlite3 *db, const QString &schema, const QString &table, const QString &path);

// For each declared field, the index of the stored column it binds to. Throws Error with
// "Field '%s' not found" or the type-mismatch message when a field does not fit.
QList<int> matchFields(const QList<FieldDef> &declared, const QList<StoredField> &stored);

// Binds a field's value in its stored form (integers, UTF-8 text, ISO dates) to a parameter.
void bindValue(SqliteStatement &stmt, int index, const FieldDef &field, const QVariant &value);

// Reads a stored value. When it does not fit the field (another tool wrote it), returns a null
// QVariant and sets *problem to a description of what is there.
QVariant readValue(const SqliteStatement &stmt, int column, const FieldDef &field,
                   QString *problem);

// When a write failed because a key value is taken already, the index in `fields` of the
// field whose value clashed; otherwise -1.
int violatedKey(const Error &e, const QList<const FieldDef *> &fields);

// The storage's message for a failed SQLite call on the file at `path`.
QString storageMessage(int resultCode, const QString &path, const QString &sqliteText);

} // namespace tablefile
