#include "platform/db/tablefile.h"

#include "platform/db/gbk.h"
#include "platform/db/sqlite.h"
#include "platform/error.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace tablefile {

namespace {

// The column definition of one field: type, key and the CHECK that keeps its values in kind.
QString columnDefinition(const FieldDef &f)
{
    const QString c = sqlite::quoted(f.name);
    switch (f.kind) {
    case FieldKind::AutoInc:
        return QStringLiteral("%1 INTEGER PRIMARY KEY AUTOINCREMENT CHECK (%1 BETWEEN 1 AND "
                              "2147483647)")
            .arg(c);
    case FieldKind::SmallInt:
        return QStringLiteral("%1 SMALLINT CHECK (%1 IS NULL OR (typeof(%1) = 'integer' AND %1 "
                              "BETWEEN -32768 AND 32767))")
            .arg(c);
    case FieldKind::Integer:
        return QStringLiteral("%1 INTEGER CHECK (%1 IS NULL OR (typeof(%1) = 'integer' AND %1 "
                              "BETWEEN -2147483648 AND 2147483647))")
            .arg(c);
    case FieldKind::String:
        // Sizes count GBK bytes, which SQL cannot measure; every character takes at least one
        // byte, so the length in characters is a bound the file itself keeps.
        return QStringLiteral("%1 VARCHAR(%2) CHECK (%1 IS NULL OR (typeof(%1) = 'text' AND "
                              "length(%1) <= %2))")
            .arg(c)
            .arg(f.size);
    // A date must read back as itself through a Julian day number, which rolls a day that does
    // not exist (30 February) into the next month and so tells it apart.
    case FieldKind::Date:
        return QStringLiteral("%1 DATE CHECK (%1 IS NULL OR (typeof(%1) = 'text' AND %1 >= "
                              "'0001-01-01' AND date(julianday(%1)) IS %1))")
            .arg(c);
    case FieldKind::DateTime:
        return QStringLiteral(
                   "%1 DATETIME CHECK (%1 IS NULL OR (typeof(%1) = 'text' AND %1 >= "
                   "'0001-01-01' AND strftime('%Y-%m-%d %H:%M:%f', julianday(%1)) IS %1))")
            .arg(c);
    default:
        throw Error(QStringLiteral("Field '%1' is of kind %2, which a table file cannot hold")
                        .arg(f.name, kindName(f.kind)));
    }
}

} // namespace

QStringList createStatements(const TableDef &def)
{
    QStringList columns;
    for (const FieldDef &f : def.fields)
        columns << columnDefinition(f);
    const QString table = sqlite::quoted(def.baseName());
    QStringList statements{QStringLiteral("CREATE TABLE %1 (\n  %2\n)")
                               .arg(table, columns.join(QStringLiteral(",\n  ")))};
    for (const QString &unique : def.uniqueFields) {
        statements << QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (%3)")
                          .arg(sqlite::quoted(def.baseName() + u'_' + unique), table,
                               sqlite::quoted(unique));
    }
    return statements;
}

void create(const QString &path, const TableDef &def)
{
    if (QFileInfo::exists(path))
        throw Error(
            QStringLiteral("Table file '%1' exists already; it was left untouched").arg(path));
    sqlite3 *db = nullptr;
    try {
        db = sqlite::openHardened(QStringLiteral("file:%1?mode=rwc")
                                      .arg(QString::fromUtf8(QUrl::toPercentEncoding(path, "/"))),
                                  SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        sqlite::exec(db, QStringLiteral("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL"));
        sqlite::exec(db, QStringLiteral("BEGIN; %1; COMMIT").arg(createStatements(def).join(u';')));
    } catch (const Error &e) {
        sqlite3_close(db);
        throw Error(QStringLiteral("Cannot create table file '%1': %2").arg(path, e.message()));
    }
    sqlite3_close(db);
}

FieldKind kindOfColumn(const QString &declaredType, bool autoIncrement)
{
    // The declared type's first word decides; sizes in brackets do not matter.
    static const QRegularExpression word(QStringLiteral("^\\s*([A-Za-z]+)"));
    const QString type = word.match(declaredType).captured(1).toUpper();
    if (type == u"INTEGER" && autoIncrement)
        return FieldKind::AutoInc;
    if (type == u"SMALLINT" || type == u"TINYINT")
        return FieldKind::SmallInt;
    if (type == u"INTEGER" || type == u"INT" || type == u"MEDIUMINT")
        return FieldKind::Integer;
    if (type == u"BIGINT")
        return FieldKind::LargeInt;
    if (type == u"VARCHAR" || type == u"CHAR" || type == u"CHARACTER" || type == u"NVARCHAR" ||
        type == u"NCHAR" || type == u"VARYING")
        return FieldKind::String;
    if (type == u"TEXT" || type == u"CLOB")
        return FieldKind::Memo;
    if (type == u"DATE")
        return FieldKind::Date;
    if (type == u"DATETIME" || type == u"TIMESTAMP")
        return FieldKind::DateTime;
    if (type == u"TIME")
        return FieldKind::Time;
    if (type == u"REAL" || type == u"FLOAT" || type == u"DOUBLE" || type == u"NUMERIC" ||
        type == u"DECIMAL")
        return FieldKind::Float;
    if (type == u"BOOLEAN" || type == u"BOOL")
        return FieldKind::Boolean;
    if (type == u"BLOB")
        return FieldKind::Blob;
    return FieldKind::Unknown;
}

QList<StoredField> storedFields(sqlite3 *db, const QString &schema, const QString &table)
{
    QList<StoredField> fields;
    SqliteStatement info(db, QStringLiteral("PRAGMA %1.table_info(%2)")
                                 .arg(sqlite::quoted(schema), sqlite::quoted(table)));
    while (info.step()) {
        StoredField f;
        f.name = info.columnText(1);
        f.declaredType = info.columnText(2);
        int autoinc = 0;
        sqlite3_table_column_metadata(db, schema.toUtf8().constData(), table.toUtf8().constData(),
                                      f.name.toUtf8().constData(), nullptr, nullptr, nullptr,
                                      nullptr, &autoinc);
        f.kind = kindOfColumn(f.declaredType, autoinc != 0);
        fields << f;
    }
    return fields;
}

QString checkSchema(sqlite3 *db, const QString &schema, const QString &table, const QString &path)
{
    SqliteStatement objects(db,
                            QStringLiteral("SELECT type, name, tbl_name, sql FROM %1.sqlite_schema")
                                .arg(sqlite::quoted(schema)));
    QString found;
    while (objects.step()) {
        const QString type = objects.columnText(0);
        const QString name = objects.columnText(1);
        const QString sql = objects.columnText(3);
        if (type == u"trigger" || type == u"view") {
            throw Error(QStringLiteral("Table file '%1' holds a %2 ('%3'); a table file may hold "
                                       "only its table, and this one is refused")
                            .arg(path, type, name));
        }
        if (type != u"table" || name.startsWith(u"sqlite_", Qt::CaseInsensitive))
            continue;
        if (name.compare(table, Qt::CaseInsensitive) != 0 ||
            sql.contains(QStringLiteral("VIRTUAL"), Qt::CaseInsensitive) ||
            sql.contains(QStringLiteral("WITHOUT ROWID"), Qt::CaseInsensitive)) {
            throw Error(QStringLiteral("Table file '%1' holds the table '%2' besides or instead "
                                       "of '%3'; it is refused")
                            .arg(path, name, table));
        }
        found = name;
    }
    if (found.isEmpty())
        throw Error(QStringLiteral("Table file '%1' holds no table '%2'").arg(path, table));
    return found;
}

QList<int> matchFields(const QList<FieldDef> &declared, const QList<StoredField> &stored)
{
    QList<int> columns;
    for (const FieldDef &f : declared) {
        int index = -1;
        for (int i = 0; i < stored.size() && index < 0; ++i) {
            if (stored[i].name.compare(f.name, Qt::CaseInsensitive) == 0)
                index = i;
        }
        if (index < 0)
            throw Error(QStringLiteral("Field '%1' not found").arg(f.name));
        if (kindFamily(stored[index].kind) != kindFamily(f.kind)) {
            throw Error(QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                            .arg(f.name, kindName(f.kind), kindName(stored[index].kind)));
        }
        columns << index;
    }
    return columns;
}

void bindValue(SqliteStatement &stmt, int index, const FieldDef &field, const QVariant &value)
{
    if (value.isNull()) {
        stmt.bindNull(index);
        return;
    }
    switch (field.kind) {
    case FieldKind::Date:
        stmt.bindText(index, isotext::fromDate(value.toDate()));
        break;
    case FieldKind::DateTime:
        stmt.bindText(index, isotext::fromDateTime(value.toDateTime()));
        break;
    case FieldKind::String:
    case FieldKind::Memo:
        stmt.bindText(index, value.toString());
        break;
    default:
        stmt.bindInt(index, value.toLongLong());
        break;
    }
}

QVariant readValue(const SqliteStatement &stmt, int column, const FieldDef &field, QString *problem)
{
    const int type = stmt.columnType(column);
    if (type == SQLITE_NULL)
        return {};
    const auto wrong = [&](const QString &what) {
        *problem = what;
        return QVariant();
    };
    switch (kindFamily(field.kind)) {
    case KindFamily::Integer: {
        if (type != SQLITE_INTEGER)
            return wrong(
                QStringLiteral("'%1', which is not a whole number").arg(stmt.columnText(column)));
        const qint64 v = stmt.columnInt(column);
        const qint64 lo = field.kind == FieldKind::SmallInt ? -32768 : -2147483648LL;
        const qint64 hi = field.kind == FieldKind::SmallInt ? 32767 : 2147483647LL;
        if (field.kind != FieldKind::LargeInt && (v < lo || v > hi))
            return wrong(QStringLiteral("%1, which is outside %2 to %3").arg(v).arg(lo).arg(hi));
        return v;
    }
    case KindFamily::String: {
        if (type != SQLITE_TEXT)
            return wrong(QStringLiteral("a value that is not text"));
        const QString text = stmt.columnText(column);
        const int bytes = gbk::byteLength(text);
        if (bytes < 0)
            return wrong(QStringLiteral("text with a character that is not in the GBK set"));
        if (field.kind == FieldKind::String && bytes > field.size)
            return wrong(QStringLiteral("text of %1 bytes, longer than the field's %2")
                             .arg(bytes)
                             .arg(field.size));
        return text;
    }
    case KindFamily::DateTime: {
        const QString text = type == SQLITE_TEXT ? stmt.columnText(column) : QString();
        const QVariant v =
            field.kind == FieldKind::Date ? isotext::toDate(text) : isotext::toDateTime(text);
        if (v.isNull()) {
            return wrong(QStringLiteral("'%1', which is not a %2")
                             .arg(stmt.columnText(column), field.kind == FieldKind::Date
                                                               ? QStringLiteral("date")
                                                               : QStringLiteral("date and time")));
        }
        return v;
    }
    default:
        return wrong(QStringLiteral("a value of a kind the program cannot read"));
    }
}

int violatedKey(const Error &e, const QList<const FieldDef *> &fields)
{
    if (e.code() != SQLITE_CONSTRAINT_UNIQUE && e.code() != SQLITE_CONSTRAINT_PRIMARYKEY)
        return -1;
    // SQLite names the clashing column: "UNIQUE constraint failed: ryxx.员工号".
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (e.message().endsWith(u'.' + fields[i]->name))
            return int(i);
    }
    return -1;
}

QString storageMessage(int resultCode, const QString &path, const QString &sqliteText)
{
    switch (resultCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("Table file '%1' is locked by another program; try again when it "
                              "is free")
            .arg(path);
    case SQLITE_NOTADB:
        return QStringLiteral("Table file '%1' is damaged or is not a table file").arg(path);
    case SQLITE_CORRUPT:
        return QStringLiteral("Table file '%1' is damaged (%2)").arg(path, sqliteText);
    case SQLITE_READONLY:
        return QStringLiteral("Table file '%1' can only be read; nothing was written").arg(path);
    case SQLITE_FULL:
        return QStringLiteral("The disk that holds table file '%1' is full; nothing was written")
            .arg(path);
    case SQLITE_CANTOPEN:
        return QStringLiteral("Table file '%1' cannot be opened (%2)").arg(path, sqliteText);
    case SQLITE_IOERR:
        return QStringLiteral("Table file '%1' could not be read or written (%2)")
            .arg(path, sqliteText);
    default:
        return QStringLiteral("Table file '%1': %2").arg(path, sqliteText);
    }
}

} // namespace tablefile
