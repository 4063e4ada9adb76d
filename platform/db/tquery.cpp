#include "platform/db/tquery.h"

#include "platform/db/foldersession.h"
#include "platform/db/sqlite.h"
#include "platform/db/tablefile.h"
#include "platform/db/tfield.h"

#include <algorithm>
#include <limits>

namespace {

// While it lives, notes the attached databases that statements being prepared read from.
class SchemaNotes
{
public:
    SchemaNotes(sqlite3 *db, QStringList *schemas) : m_db(db)
    {
        sqlite3_set_authorizer(db, note, schemas);
    }
    ~SchemaNotes() { sqlite3_set_authorizer(m_db, nullptr, nullptr); }
    SchemaNotes(const SchemaNotes &) = delete;
    SchemaNotes &operator=(const SchemaNotes &) = delete;

private:
    static int note(void *schemas, int action, const char *, const char *, const char *database,
                    const char *)
    {
        auto *list = static_cast<QStringList *>(schemas);
        const QString name = QString::fromUtf8(database);
        if (action == SQLITE_READ && database && !list->contains(name))
            list->append(name);
        return SQLITE_OK;
    }
    sqlite3 *m_db;
};

// The names of the result's columns, a repeated name numbered by "%s_%d" from 1 up to the first
// free name, so that every column can be found by name.
QStringList columnNames(const SqliteStatement &stmt)
{
    QStringList names;
    for (int i = 0; i < stmt.columnCount(); ++i) {
        const QString name = stmt.columnName(i);
        QString unique = name;
        for (int n = 1; names.contains(unique, Qt::CaseInsensitive); ++n)
            unique = QStringLiteral("%1_%2").arg(name).arg(n);
        names << unique;
    }
    return names;
}

} // namespace

TQuery::TQuery(QObject *owner) : TDataSet(owner) {}

TQuery::~TQuery()
{
    Close();
}

QString TQuery::text() const
{
    QString joined;
    for (const QString &line : m_sql)
        joined += line + QStringLiteral("\r\n");
    return joined;
}

void TQuery::doOpen()
{
    m_running = text();
    try {
        m_cursor = prepare(m_running);
        // Stepping a statement that writes would change the tables: a query only reads.
        if (!sqlite3_stmt_readonly(m_cursor->handle()) || m_cursor->columnCount() == 0)
            throw error(QStringLiteral("The statement of a query must read records only"));
        bindFields();
    } catch (const Error &) {
        doClose();
        throw;
    }
}

void TQuery::doClose()
{
    // The statement goes first: a file still being read cannot be detached.
    m_cursor.reset();
    for (const QString &schema : std::as_const(m_held))
        session().detach(schema);
    m_held.clear();
    m_columns.clear();
    m_row = 0;
    m_rowCount = -1;
    releaseSession();
}

std::unique_ptr<SqliteStatement> TQuery::prepare(const QString &sql)
{
    FolderSession &s = session();
    static const QString missing = QStringLiteral("no such table: ");
    for (;;) {
        QStringList schemas;
        std::unique_ptr<SqliteStatement> stmt;
        try {
            SchemaNotes notes(s.handle(), &schemas);
            stmt = std::make_unique<SqliteStatement>(s.handle(), sql);
        } catch (const Error &e) {
            if (!e.message().startsWith(missing))
                throw;
            const FolderSession::Table file = s.attach(e.message().mid(missing.size()));
            // Attached already and still missing: the name is no table of the folder.
            if (m_held.contains(file.schema)) {
                s.detach(file.schema);
                throw;
            }
            m_held << file.schema;
            continue;
        }
        // Files that other datasets attached are read too; hold them while the query is open.
        for (const QString &schema : std::as_const(schemas)) {
            if (!m_held.contains(schema) && s.retain(schema))
                m_held << schema;
        }
        return stmt;
    }
}

void TQuery::bindFields()
{
    const QStringList names = columnNames(*m_cursor);
    QList<tablefile::StoredField> columns;
    for (int i = 0; i < names.size(); ++i) {
        const char *type = sqlite3_column_decltype(m_cursor->handle(), i);
        const QString declared = QString::fromUtf8(type ? type : "");
        columns << tablefile::StoredField{names[i], declared,
                                          tablefile::kindOfColumn(declared, false)};
    }
    QList<FieldDef> declared;
    QList<int> dataFields;
    for (qsizetype i = 0; i < Fields().size(); ++i) {
        if (!Fields()[i]->Calculated()) {
            declared << Fields()[i]->def();
            dataFields << int(i);
        }
    }
    QList<int> bound;
    try {
        bound = tablefile::matchFields(declared, columns);
    } catch (const Error &e) {
        throw error(e.message());
    }
    m_columns = QList<int>(Fields().size(), -1);
    for (qsizetype i = 0; i < bound.size(); ++i)
        m_columns[dataFields[i]] = bound[i];
}

QList<StoredRecord> TQuery::fetchRecords(qint64 key, bool forward, int count, int skip)
{
    // Row numbers fit an int; a key outside means before the first row or after the last.
    constexpr qint64 kBeyond = qint64(std::numeric_limits<int>::max()) + 1;
    key = std::clamp<qint64>(key, 0, kBeyond);
    QList<StoredRecord> records;
    if (forward) {
        for (qint64 row = key + 1 + skip; records.size() < count && moveTo(row); ++row)
            records << currentRecord();
        return records;
    }
    qint64 last = key - 1 - skip;
    // Rows up to the cursor's are known to exist; beyond it only the count tells.
    if (last > m_row)
        last = std::min<qint64>(last, RecordCount());
    // Read in result order, the nearest row last, so that only the first read may run again.
    for (qint64 row = std::max<qint64>(1, last - count + 1); row <= last && moveTo(row); ++row)
        records.prepend(currentRecord());
    return records;
}

int TQuery::RecordCount()
{
    checkActive();
    if (m_rowCount < 0) {
        SqliteStatement count(session().handle(),
                              QStringLiteral("SELECT count(*) FROM (") + m_running + u')');
        count.step();
        m_rowCount = count.columnInt(0);
    }
    return int(m_rowCount);
}

bool TQuery::moveTo(qint64 row)
{
    if (row < 1 || (m_rowCount >= 0 && row > m_rowCount))
        return false;
    if (row < m_row) {
        // Behind the cursor: the statement runs again, and the tables may have changed since.
        m_cursor->reset();
        m_row = 0;
        m_rowCount = -1;
    }
    while (m_row < row) {
        if (!step())
            return false;
    }
    return true;
}

bool TQuery::step()
{
    bool onRow = false;
    try {
        onRow = m_cursor->step();
    } catch (const Error &) {
        m_row = 0; // the statement has reset itself
        throw;
    }
    if (!onRow) {
        // Past the last row: the count is known, and the reset ends the read of the files, so
        // that other programs may write them.
        m_rowCount = m_row;
        m_cursor->reset();
        m_row = 0;
        return false;
    }
    ++m_row;
    return true;
}

StoredRecord TQuery::currentRecord() const
{
    StoredRecord record;
    record.key = m_row;
    record.values.resize(Fields().size());
    record.invalid.fill(false, Fields().size());
    for (qsizetype i = 0; i < Fields().size(); ++i) {
        if (m_columns[i] < 0)
            continue; // calculated: always empty
        const FieldDef &def = Fields()[i]->def();
        QString problem;
        record.values[i] = tablefile::readValue(*m_cursor, m_columns[i], def, &problem);
        if (problem.isEmpty())
            continue;
        record.invalid[i] = true;
        if (record.problem.isEmpty()) {
            record.problem =
                error(
                    QStringLiteral("row %1: field '%2' holds %3").arg(m_row).arg(def.name, problem))
                    .message();
        }
    }
    return record;
}
