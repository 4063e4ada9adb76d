#include "platform/db/ttable.h"

#include "platform/db/sqlite.h"
#include "platform/db/tablefile.h"
#include "platform/db/tfield.h"

// The statements of an open table, prepared once: reading a record costs one indexed lookup.
struct TTable::Statements
{
    std::unique_ptr<SqliteStatement> forward, backward, insert, remove;
    QList<int> insertFields; // the fields the insert names: all but the auto-numbered
};

TTable::TTable(QObject *owner) : TDataSet(owner) {}

TTable::~TTable()
{
    Close();
}

QString TTable::qualified() const
{
    return sqlite::quoted(m_file.schema) + u'.' + sqlite::quoted(m_file.table);
}

void TTable::doOpen()
{
    FolderSession &s = session();
    m_file = s.attach(m_tableName);
    try {
        QList<FieldDef> declared;
        for (const TField *f : Fields())
            declared << f->def();
        tablefile::matchFields(declared,
                               tablefile::storedFields(s.handle(), m_file.schema, m_file.table));

        QStringList names;
        auto stmts = std::make_unique<Statements>();
        for (qsizetype i = 0; i < declared.size(); ++i) {
            names << sqlite::quoted(declared[i].name);
            if (declared[i].kind != FieldKind::AutoInc && !declared[i].calculated)
                stmts->insertFields << int(i);
        }
        const QString select = QStringLiteral("SELECT rowid, %1 FROM %2 ")
                                   .arg(names.join(QStringLiteral(", ")), qualified());
        const auto prepare = [&](const QString &sql) {
            return std::make_unique<SqliteStatement>(s.handle(), sql);
        };
        stmts->forward =
            prepare(select + QStringLiteral("WHERE rowid > ?1 ORDER BY rowid LIMIT ?2 OFFSET ?3"));
        stmts->backward = prepare(
            select + QStringLiteral("WHERE rowid < ?1 ORDER BY rowid DESC LIMIT ?2 OFFSET ?3"));
        QStringList insertNames, marks;
        for (int i : std::as_const(stmts->insertFields)) {
            insertNames << names[i];
            marks << QStringLiteral("?");
        }
        stmts->insert = prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                    .arg(qualified(), insertNames.join(u','), marks.join(u',')));
        stmts->remove = prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(qualified()));
        m_stmts = std::move(stmts);
    } catch (const Error &e) {
        const QString path = m_file.path;
        m_stmts.reset();
        s.detach(m_file.schema);
        m_file = {};
        releaseSession();
        // Storage failures keep the storage's words; a field that does not fit is the table's.
        if (e.code() != 0)
            throw Error(tablefile::storageMessage(e.code(), path, e.message()), e.code());
        throw error(e.message());
    }
}

void TTable::doClose()
{
    m_stmts.reset();
    session().detach(m_file.schema);
    m_file = {};
    releaseSession();
}

QList<StoredRecord> TTable::fetchRecords(qint64 key, bool forward, int count, int skip)
{
    SqliteStatement &stmt = forward ? *m_stmts->forward : *m_stmts->backward;
    stmt.reset();
    stmt.bindInt(1, key);
    stmt.bindInt(2, count);
    stmt.bindInt(3, skip);
    QList<StoredRecord> records;
    try {
        while (stmt.step()) {
            StoredRecord &record = records.emplace_back();
            record.key = stmt.columnInt(0);
            record.invalid.fill(false, Fields().size());
            for (qsizetype i = 0; i < Fields().size(); ++i) {
                const FieldDef &def = Fields()[i]->def();
                QString problem;
                record.values << tablefile::readValue(stmt, int(i + 1), def, &problem);
                if (!problem.isEmpty())
                    record.invalid[i] = true;
                if (!problem.isEmpty() && record.problem.isEmpty()) {
                    record.problem =
                        QStringLiteral("Table file '%1', record %2: field '%3' holds %4")
                            .arg(m_file.path)
                            .arg(record.key)
                            .arg(def.name, problem);
                }
            }
        }
    } catch (const Error &e) {
        stmt.reset();
        throw Error(tablefile::storageMessage(e.code(), m_file.path, e.message()), e.code());
    }
    // Reset at once: a statement left on a row would keep the file locked for reading.
    stmt.reset();
    return records;
}

void TTable::write(SqliteStatement &stmt, const QList<QVariant> &values, const QList<int> &fields)
{
    try {
        stmt.step();
        stmt.reset();
    } catch (const Error &e) {
        stmt.reset();
        fail(e, values, fields);
    }
}

void TTable::fail(const Error &e, const QList<QVariant> &values, const QList<int> &fields) const
{
    QList<const FieldDef *> defs;
    for (int i : fields)
        defs << &Fields()[i]->def();
    const int clash = tablefile::violatedKey(e, defs);
    if (clash >= 0) {
        throw Error(QStringLiteral("Table file '%1': the value %2 of field '%3' is already used by "
                                   "another record; nothing was stored")
                        .arg(m_file.path, values[fields[clash]].toString(), defs[clash]->name),
                    e.code());
    }
    throw Error(tablefile::storageMessage(e.code(), m_file.path, e.message()), e.code());
}

qint64 TTable::storeNew(const QList<QVariant> &values)
{
    SqliteStatement &insert = *m_stmts->insert;
    insert.reset();
    int index = 1;
    for (int i : std::as_const(m_stmts->insertFields))
        tablefile::bindValue(insert, index++, Fields()[i]->def(), values[i]);
    // One statement outside any transaction is a transaction of its own, on disk when it returns.
    write(insert, values, m_stmts->insertFields);
    return sqlite3_last_insert_rowid(session().handle());
}

void TTable::storeChanges(qint64 key, const QList<QVariant> &values, const QList<bool> &assigned)
{
    // Only the fields that were assigned are written: a value nobody touched stays as stored,
    // even one that another program wrote outside its kind.
    QList<int> fields;
    QStringList sets;
    for (int i = 0; i < assigned.size(); ++i) {
        if (assigned[i]) {
            fields << i;
            sets << sqlite::quoted(Fields()[i]->FieldName()) + QStringLiteral(" = ?");
        }
    }
    if (fields.isEmpty())
        return;
    SqliteStatement update(session().handle(),
                           QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                               .arg(qualified(), sets.join(QStringLiteral(", "))));
    int index = 1;
    for (int i : std::as_const(fields))
        tablefile::bindValue(update, index++, Fields()[i]->def(), values[i]);
    update.bindInt(index, key);
    write(update, values, fields);
    if (sqlite3_changes(session().handle()) == 0)
        throw error(
            QStringLiteral("The record was deleted by another program; nothing was stored"));
}

void TTable::storeDelete(qint64 key)
{
    SqliteStatement &remove = *m_stmts->remove;
    remove.reset();
    remove.bindInt(1, key);
    write(remove, {}, {});
}
