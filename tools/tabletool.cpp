#include "tools/tabletool.h"

#include "data/tables.h"
#include "platform/db/fieldkind.h"
#include "platform/db/foldersession.h"
#include "platform/db/gbk.h"
#include "platform/db/localesettings.h"
#include "platform/db/sqlite.h"
#include "platform/db/tablefile.h"
#include "platform/error.h"
#include "tools/csv.h"
#include "tools/sampledata.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <memory>

namespace tabletool {

namespace {

// A table file attached for the tool's work, checked against its declaration.
class OpenTable
{
public:
    explicit OpenTable(const QString &path)
    {
        m_def = tables::byFileName(path);
        if (!m_def) {
            throw Error(QStringLiteral("'%1' is not one of the table files (%2)")
                            .arg(path, fileNames().join(QStringLiteral(", "))));
        }
        const QFileInfo info(path);
        m_session = FolderSession::forFolder(info.absolutePath());
        m_table = m_session->attach(info.fileName());
        try {
            m_columns = tablefile::matchFields(
                m_def->fields, tablefile::storedFields(db(), m_table.schema, m_table.table));
        } catch (const Error &e) {
            m_session->detach(m_table.schema);
            throw Error(QStringLiteral("%1: %2").arg(m_table.path, e.message()));
        }
    }
    ~OpenTable() { m_session->detach(m_table.schema); }

    static QStringList fileNames()
    {
        QStringList names;
        for (const TableDef &def : tables::all())
            names << def.fileName;
        return names;
    }

    sqlite3 *db() const { return m_session->handle(); }
    const TableDef &def() const { return *m_def; }
    const FolderSession::Table &file() const { return m_table; }
    QString qualified() const
    {
        return sqlite::quoted(m_table.schema) + u'.' + sqlite::quoted(m_table.table);
    }
    QString selectAll() const
    {
        QStringList names;
        for (const FieldDef &f : m_def->fields)
            names << sqlite::quoted(f.name);
        return QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid")
            .arg(names.join(QStringLiteral(", ")), qualified());
    }
    // Throws the storage's message for a failure on this file.
    [[noreturn]] void fail(const Error &e) const
    {
        throw Error(tablefile::storageMessage(e.code(), m_table.path, e.message()), e.code());
    }

private:
    const TableDef *m_def = nullptr;
    std::shared_ptr<FolderSession> m_session;
    FolderSession::Table m_table;
    QList<int> m_columns;
};

// Reads a CSV value as the value of a field; the reason why not when it does not fit.
QVariant csvValue(const FieldDef &f, const std::string &raw, QString *reason)
{
    const QString text = QString::fromUtf8(raw.data(), qsizetype(raw.size()));
    if (text.isEmpty())
        return {};
    switch (f.kind) {
    case FieldKind::SmallInt:
    case FieldKind::AutoInc:
        try {
            const QVariant v = fieldtext::valueFromText(f, text, currentLocaleSettings());
            if (f.kind == FieldKind::AutoInc && v.toLongLong() < 1)
                *reason = QStringLiteral("a record number must be 1 or more");
            return v;
        } catch (const Error &e) {
            *reason = e.message();
            return {};
        }
    case FieldKind::String: {
        if (const char32_t bad = gbk::firstUnencodable(text)) {
            *reason = QStringLiteral("the character '%1' is not in the GBK character set")
                          .arg(QString::fromUcs4(&bad, 1));
            return {};
        }
        const int bytes = gbk::byteLength(text);
        if (bytes > f.size) {
            *reason = QStringLiteral("'%1' takes %2 bytes, more than the field's %3")
                          .arg(text)
                          .arg(bytes)
                          .arg(f.size);
            return {};
        }
        return text;
    }
    case FieldKind::Date: {
        const QVariant v = isotext::toDate(text);
        if (v.isNull())
            *reason = QStringLiteral("'%1' is not a date of the form YYYY-MM-DD").arg(text);
        return v;
    }
    case FieldKind::DateTime: {
        const QVariant v = isotext::toDateTime(text);
        if (v.isNull()) {
            *reason = QStringLiteral("'%1' is not a date and time of the form YYYY-MM-DD "
                                     "HH:MM:SS")
                          .arg(text);
        }
        return v;
    }
    default:
        *reason = QStringLiteral("the field's kind cannot be imported");
        return {};
    }
}

// Where a refused value stands, as the start of a message: "file: line 3, field 'x': ".
using Where = std::function<QString(qint64 line, const QString &field)>;

// Adds records to an open table inside one transaction that the caller commits. Records go in
// batches of many rows per statement, which costs SQLite far less than a statement per row; a
// batch that fails is rolled back as a whole and tried row by row to find the record at fault.
class Inserter
{
public:
    Inserter(const OpenTable &table, const QList<const FieldDef *> &fields, Where where)
        : m_table(table), m_fields(fields), m_where(std::move(where))
    {
        m_single = prepare(1);
        m_full = prepare(kBatch);
    }

    // Queues one record, stored at the latest by finish(); throws why a record was refused.
    void add(const QList<QVariant> &values, qint64 line)
    {
        m_rows.append({values, line});
        if (m_rows.size() == kBatch)
            flush();
    }
    void finish() { flush(); }

private:
    static constexpr int kBatch = 128;
    struct Row
    {
        QList<QVariant> values;
        qint64 line;
    };

    std::unique_ptr<SqliteStatement> prepare(int rows) const
    {
        QStringList names, marks;
        for (const FieldDef *f : m_fields) {
            names << sqlite::quoted(f->name);
            marks << QStringLiteral("?");
        }
        const QString row = u'(' + marks.join(u',') + u')';
        QStringList rowList;
        for (int i = 0; i < rows; ++i)
            rowList << row;
        return std::make_unique<SqliteStatement>(
            m_table.db(), QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                              .arg(m_table.qualified(), names.join(u','), rowList.join(u',')));
    }

    void flush()
    {
        if (m_rows.isEmpty())
            return;
        if (m_rows.size() == kBatch) {
            try {
                run(*m_full, 0, kBatch);
                m_rows.clear();
                return;
            } catch (const Error &e) {
                if ((e.code() & 0xff) != SQLITE_CONSTRAINT)
                    m_table.fail(e);
            }
        }
        for (qsizetype r = 0; r < m_rows.size(); ++r) {
            try {
                run(*m_single, r, 1);
            } catch (const Error &e) {
                refuse(e, m_rows[r]);
            }
        }
        m_rows.clear();
    }

    void run(SqliteStatement &stmt, qsizetype first, qsizetype count)
    {
        stmt.reset();
        int index = 1;
        for (qsizetype r = first; r < first + count; ++r) {
            for (qsizetype i = 0; i < m_fields.size(); ++i)
                tablefile::bindValue(stmt, index++, *m_fields[i], m_rows[r].values[i]);
        }
        stmt.step();
    }

    [[noreturn]] void refuse(const Error &e, const Row &row) const
    {
        const int clash = tablefile::violatedKey(e, m_fields);
        if (clash >= 0) {
            throw Error(m_where(row.line, m_fields[clash]->name) +
                        QStringLiteral("the value %1 is already used by another record")
                            .arg(row.values[clash].toString()));
        }
        if ((e.code() & 0xff) == SQLITE_CONSTRAINT)
            throw Error(m_where(row.line, QString()) + e.message());
        m_table.fail(e);
    }

    const OpenTable &m_table;
    QList<const FieldDef *> m_fields;
    Where m_where;
    std::unique_ptr<SqliteStatement> m_single;
    std::unique_ptr<SqliteStatement> m_full;
    QList<Row> m_rows;
};

// Runs `work` inside one write transaction on the table: all of it is stored, or none.
void inTransaction(const OpenTable &table, const std::function<void()> &work)
{
    if (table.file().readOnly)
        throw Error(QStringLiteral("Table file '%1' can only be read; nothing was written")
                        .arg(table.file().path));
    try {
        sqlite::exec(table.db(), QStringLiteral("BEGIN IMMEDIATE"));
    } catch (const Error &e) {
        table.fail(e);
    }
    try {
        work();
        sqlite::exec(table.db(), QStringLiteral("COMMIT"));
    } catch (const Error &e) {
        sqlite3_exec(table.db(), "ROLLBACK", nullptr, nullptr, nullptr);
        if (e.code() != 0 && (e.code() & 0xff) != SQLITE_CONSTRAINT)
            table.fail(e);
        throw;
    }
}

} // namespace

void createTables(const QString &dir)
{
    if (!QFileInfo(dir).isDir())
        throw Error(QStringLiteral("The folder '%1' does not exist").arg(dir));
    QStringList existing;
    for (const TableDef &def : tables::all()) {
        const QString path = FolderSession::resolveFile(dir, def.fileName);
        if (QFileInfo::exists(path)) {
            existing << path;
            continue;
        }
        tablefile::create(path, def);
    }
    if (!existing.isEmpty()) {
        throw Error(QStringLiteral("These table files exist already and were left untouched: %1")
                        .arg(existing.join(QStringLiteral(", "))));
    }
}

void createSample(const QString &dir)
{
    if (!QFileInfo(dir).isDir())
        throw Error(QStringLiteral("The folder '%1' does not exist").arg(dir));
    for (const TableDef &def : tables::all()) {
        const QString path = FolderSession::resolveFile(dir, def.fileName);
        if (QFileInfo::exists(path))
            throw Error(
                QStringLiteral("Table file '%1' exists already; nothing was written").arg(path));
    }
    createTables(dir);
    for (const TableDef &def : tables::all()) {
        OpenTable table(QDir(dir).filePath(def.fileName));
        QList<const FieldDef *> fields;
        for (const FieldDef &f : def.fields) {
            if (f.kind != FieldKind::AutoInc)
                fields << &f;
        }
        Inserter inserter(table, fields, [](qint64, const QString &) { return QString(); });
        inTransaction(table, [&] {
            for (const QList<QVariant> &record : sampledata::records(def))
                inserter.add(record, 0);
            inserter.finish();
        });
    }
}

qint64 importCsv(const QString &tableFile, QIODevice &csv)
{
    const QString where0 = tableFile + QStringLiteral(": ");
    OpenTable table(tableFile);
    CsvReader reader(csv);
    std::vector<std::string> raw;
    if (!reader.next(raw))
        throw Error(where0 +
                    QStringLiteral("the CSV file is empty; it needs a header row of field names"));

    QList<const FieldDef *> fields;
    for (const std::string &name : raw) {
        const FieldDef *f =
            table.def().field(QString::fromUtf8(name.data(), qsizetype(name.size())));
        if (!f) {
            throw Error(where0 + QStringLiteral("line 1: '%1' is not a field of the table; its "
                                                "fields are %2")
                                     .arg(QString::fromStdString(name), [&] {
                                         QStringList n;
                                         for (const FieldDef &d : table.def().fields)
                                             n << d.name;
                                         return n.join(QStringLiteral(", "));
                                     }()));
        }
        if (fields.contains(f))
            throw Error(where0 +
                        QStringLiteral("line 1: the field '%1' is named twice").arg(f->name));
        fields << f;
    }

    const Where where = [&](qint64 line, const QString &field) {
        return field.isEmpty()
                   ? where0 + QStringLiteral("line %1: ").arg(line)
                   : where0 + QStringLiteral("line %1, field '%2': ").arg(line).arg(field);
    };
    qint64 count = 0;
    Inserter inserter(table, fields, where);
    // Every value is checked here against its field, more strictly than the file's own CHECK
    // constraints, which guard against other programs; evaluating those a second time would
    // more than double the time of a large import.
    sqlite::exec(table.db(), QStringLiteral("PRAGMA ignore_check_constraints=ON"));
    const auto restoreChecks = qScopeGuard([&] {
        sqlite3_exec(table.db(), "PRAGMA ignore_check_constraints=OFF", nullptr, nullptr, nullptr);
    });
    inTransaction(table, [&] {
        QList<QVariant> values(fields.size());
        while (reader.next(raw)) {
            const qint64 line = reader.line();
            if (raw.size() == 1 && raw[0].empty())
                continue; // an empty line
            if (raw.size() != size_t(fields.size())) {
                throw Error(where(line, QString()) +
                            QStringLiteral("%1 values where the header names %2 fields")
                                .arg(raw.size())
                                .arg(fields.size()));
            }
            for (qsizetype i = 0; i < fields.size(); ++i) {
                QString reason;
                values[i] = csvValue(*fields[i], raw[size_t(i)], &reason);
                if (!reason.isEmpty())
                    throw Error(where(line, fields[i]->name) + reason);
            }
            inserter.add(values, line);
            ++count;
        }
        inserter.finish();
    });
    return count;
}

void exportCsv(const QString &tableFile, QIODevice &out)
{
    OpenTable table(tableFile);
    std::string line;
    for (const FieldDef &f : table.def().fields) {
        if (!line.empty())
            line.push_back(',');
        appendCsvField(line, f.name.toStdString());
    }
    line.push_back('\n');
    try {
        SqliteStatement rows(table.db(), table.selectAll());
        while (rows.step()) {
            for (qsizetype i = 0; i < table.def().fields.size(); ++i) {
                const FieldDef &f = table.def().fields[i];
                QString problem;
                const QVariant v = tablefile::readValue(rows, int(i + 1), f, &problem);
                if (!problem.isEmpty()) {
                    throw Error(QStringLiteral("Table file '%1', record %2, field '%3' holds %4")
                                    .arg(table.file().path)
                                    .arg(rows.columnInt(0))
                                    .arg(f.name, problem));
                }
                if (i > 0)
                    line.push_back(',');
                if (!v.isNull())
                    appendCsvField(line, rows.columnText(int(i + 1)).toStdString());
            }
            line.push_back('\n');
            if (line.size() > (1u << 16)) {
                out.write(line.data(), qint64(line.size()));
                line.clear();
            }
        }
    } catch (const Error &e) {
        if (e.code() != 0)
            table.fail(e);
        throw;
    }
    out.write(line.data(), qint64(line.size()));
}

bool check(const QString &dir, QTextStream &out)
{
    bool allGood = true;
    for (const TableDef &def : tables::all()) {
        const QString path = FolderSession::resolveFile(dir, def.fileName);
        out << def.fileName << ": ";
        if (!QFileInfo::exists(path)) {
            out << "missing (" << path << ")\n";
            allGood = false;
            continue;
        }
        try {
            OpenTable table(path);
            SqliteStatement integrity(table.db(), QStringLiteral("PRAGMA %1.integrity_check")
                                                      .arg(sqlite::quoted(table.file().schema)));
            QStringList problems;
            while (integrity.step()) {
                if (integrity.columnText(0) != u"ok")
                    problems << integrity.columnText(0);
            }
            if (!problems.isEmpty())
                throw Error(
                    QStringLiteral("fails the integrity check: %1").arg(problems.join(u"; ")));
            qint64 records = 0;
            SqliteStatement rows(table.db(), table.selectAll());
            while (rows.step()) {
                ++records;
                for (qsizetype i = 0; i < def.fields.size(); ++i) {
                    QString problem;
                    tablefile::readValue(rows, int(i + 1), def.fields[i], &problem);
                    if (!problem.isEmpty()) {
                        throw Error(QStringLiteral("record %1, field '%2' holds %3")
                                        .arg(rows.columnInt(0))
                                        .arg(def.fields[i].name, problem));
                    }
                }
            }
            out << "ok, " << records << (records == 1 ? " record" : " records")
                << (table.file().readOnly ? ", read-only" : "") << '\n';
        } catch (const Error &e) {
            out << e.message() << '\n';
            allGood = false;
        }
    }
    return allGood;
}

} // namespace tabletool
