#include "platform/db/tdataset.h"

#include "platform/db/foldersession.h"
#include "platform/db/tdatasource.h"
#include "platform/db/tfield.h"

#include <QDir>
#include <algorithm>

TDataSet::TDataSet(QObject *owner) : QObject(owner) {}

TDataSet::~TDataSet()
{
    for (TField *f : std::as_const(m_fields))
        f->detachFromDataSet();
    const QList<TDataSource *> sources = m_sources;
    for (TDataSource *source : sources)
        source->setDataSet(nullptr);
}

// ---- opening and closing

void TDataSet::Open()
{
    if (Active())
        return;
    doOpen();
    try {
        m_current = fetchFirst();
    } catch (const Error &) {
        // Opened storage that cannot give its first record is let go again: the dataset stays
        // closed.
        doClose();
        throw;
    }
    m_bof = true;
    m_eof = IsEmpty();
    m_state = DataSetState::Browse;
    notify(DataEvent::ActiveChanged);
    if (m_current && !m_current->problem.isEmpty())
        throw Error(m_current->problem);
}

void TDataSet::Close()
{
    if (!Active())
        return;
    // A pending record goes without a question: closing is the end of the program.
    m_pending.clear();
    m_assigned.clear();
    m_modified = false;
    m_current.reset();
    doClose();
    m_state = DataSetState::Inactive;
    m_bof = m_eof = true;
    notify(DataEvent::ActiveChanged);
}

// ---- the pending record

void TDataSet::settle()
{
    checkActive();
    switch (m_state) {
    case DataSetState::Edit:
    case DataSetState::Insert:
        updateRecord();
        if (m_modified)
            Post();
        else
            Cancel();
        break;
    case DataSetState::SetKey:
        Post();
        break;
    case DataSetState::Browse:
    case DataSetState::Inactive:
        break;
    }
}

void TDataSet::Append()
{
    settle();
    checkCanModify();
    m_eof = true;
    startPending(DataSetState::Insert, 0);
}

void TDataSet::Insert()
{
    settle();
    checkCanModify();
    startPending(DataSetState::Insert, currentKey());
}

void TDataSet::Edit()
{
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        return;
    checkActive();
    if (IsEmpty()) {
        Insert();
        return;
    }
    settle();
    checkCanModify();
    // Start from what is stored now, not from what was read when the record became current.
    std::optional<StoredRecord> stored = fetchKey(currentKey());
    if (!stored) {
        resync(currentKey());
        throw error(QStringLiteral("The record was deleted by another program"));
    }
    m_current = std::move(stored);
    startPending(DataSetState::Edit, 0);
}

void TDataSet::Post()
{
    checkActive();
    if (m_state == DataSetState::Browse)
        throw error(QStringLiteral("Dataset not in edit or insert mode"));
    if (m_state == DataSetState::SetKey) {
        setState(DataSetState::Browse);
        return;
    }
    updateRecord();
    // A failing store leaves the record pending, exactly as it was.
    qint64 key = currentKey();
    if (m_state == DataSetState::Insert)
        key = storeNew(m_pending);
    else
        storeChanges(key, m_pending, m_assigned);
    m_pending.clear();
    m_assigned.clear();
    m_modified = false;
    m_bof = m_eof = false;
    setState(DataSetState::Browse);
    resync(key);
}

void TDataSet::Cancel()
{
    if (m_state == DataSetState::SetKey)
        setState(DataSetState::Browse);
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    m_pending.clear();
    m_assigned.clear();
    m_modified = false;
    setState(DataSetState::Browse);
    resync(currentKey());
}

void TDataSet::Delete()
{
    checkActive();
    if (m_state == DataSetState::Insert) {
        Cancel();
        return;
    }
    checkCanModify();
    if (IsEmpty())
        throw error(QStringLiteral("Cannot perform this operation on an empty dataset"));
    const qint64 key = currentKey();
    storeDelete(key);
    m_pending.clear();
    m_assigned.clear();
    m_modified = false;
    if (m_state != DataSetState::Browse)
        setState(DataSetState::Browse);
    // The following record becomes current, the preceding one when the last was deleted.
    std::optional<StoredRecord> next = fetchAfter(key);
    if (!next)
        next = fetchBefore(key);
    m_bof = m_eof = !next;
    setCurrent(std::move(next));
}

// ---- moving

void TDataSet::First()
{
    settle();
    std::optional<StoredRecord> first = fetchFirst();
    m_bof = true;
    m_eof = !first;
    setCurrent(std::move(first));
}

void TDataSet::Last()
{
    settle();
    std::optional<StoredRecord> last = fetchLast();
    m_eof = true;
    m_bof = !last;
    setCurrent(std::move(last));
}

void TDataSet::Next()
{
    MoveBy(1);
}

void TDataSet::Prior()
{
    MoveBy(-1);
}

void TDataSet::Refresh()
{
    settle();
    std::optional<StoredRecord> record = nearest(currentKey());
    if (!record)
        record = fetchFirst();
    m_bof = m_eof = !record;
    setCurrent(std::move(record));
}

void TDataSet::MoveBy(int distance)
{
    settle();
    if (distance == 0)
        return;
    const bool forward = distance > 0;
    const qint64 from = currentKey();
    std::optional<StoredRecord> target =
        IsEmpty() ? std::nullopt : fetchOne(from, forward, std::abs(distance) - 1);
    if (target) {
        m_bof = m_eof = false;
        setCurrent(std::move(target));
        return;
    }
    // Fewer records than asked for: the move stops at the end and sets its flag.
    if (!IsEmpty())
        target = forward ? fetchLast() : fetchFirst();
    (forward ? m_eof : m_bof) = true;
    if (!target || target->key == from) {
        notify(DataEvent::RecordChanged);
        return;
    }
    (forward ? m_bof : m_eof) = false;
    setCurrent(std::move(target));
}

void TDataSet::GotoKey(qint64 key)
{
    settle();
    if (key == currentKey())
        return;
    std::optional<StoredRecord> target = nearest(key);
    m_bof = m_eof = !target;
    setCurrent(std::move(target));
}

QList<StoredRecord> TDataSet::recordsFrom(qint64 key, int count)
{
    checkActive();
    return fetchRecords(key == kNoKeyBelow ? key : key - 1, true, count, 0);
}

QList<StoredRecord> TDataSet::recordsBefore(qint64 key, int count)
{
    checkActive();
    QList<StoredRecord> records = fetchRecords(key, false, count, 0);
    std::reverse(records.begin(), records.end());
    return records;
}

double TDataSet::approximatePosition()
{
    checkActive();
    const std::optional<StoredRecord> first = fetchFirst(), last = fetchLast();
    if (!first || !last || last->key == first->key || IsEmpty())
        return 0;
    return double(currentKey() - first->key) / double(last->key - first->key);
}

// ---- fields

QVariant TDataSet::fieldValue(const TField *field) const
{
    const int i = fieldIndex(field);
    if (i < 0 || field->Calculated())
        return {};
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        return m_pending.value(i);
    return m_current ? m_current->values.value(i) : QVariant();
}

void TDataSet::setFieldValue(TField *field, const QVariant &value)
{
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        throw error(QStringLiteral("Dataset not in edit or insert mode"));
    const int i = fieldIndex(field);
    if (i < 0 || field->ReadOnly() || field->Calculated() || !CanModify())
        throw Error(QStringLiteral("Field '%1' cannot be modified").arg(field->FieldName()));
    m_pending[i] = value;
    m_assigned[i] = true;
    m_modified = true;
    notify(DataEvent::FieldChanged, field);
}

// ---- storage defaults: a dataset that only reads

qint64 TDataSet::storeNew(const QList<QVariant> &)
{
    throw error(QStringLiteral("Cannot modify a read-only dataset"));
}

void TDataSet::storeChanges(qint64, const QList<QVariant> &, const QList<bool> &)
{
    throw error(QStringLiteral("Cannot modify a read-only dataset"));
}

void TDataSet::storeDelete(qint64)
{
    throw error(QStringLiteral("Cannot modify a read-only dataset"));
}

// ---- helpers

std::optional<StoredRecord> TDataSet::fetchOne(qint64 key, bool forward, int skip)
{
    QList<StoredRecord> records = fetchRecords(key, forward, 1, skip);
    if (records.isEmpty())
        return std::nullopt;
    return std::move(records.first());
}

std::optional<StoredRecord> TDataSet::nearest(qint64 key)
{
    if (key == 0)
        return std::nullopt;
    std::optional<StoredRecord> record = fetchKey(key);
    if (!record)
        record = fetchAfter(key);
    if (!record)
        record = fetchBefore(key);
    return record;
}

std::optional<StoredRecord> TDataSet::fetchKey(qint64 key)
{
    std::optional<StoredRecord> record =
        key == kNoKeyBelow ? std::nullopt : fetchOne(key - 1, true);
    if (record && record->key != key)
        return std::nullopt;
    return record;
}

void TDataSet::checkActive() const
{
    if (!Active())
        throw error(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void TDataSet::checkCanModify() const
{
    if (!CanModify())
        throw error(QStringLiteral("Cannot modify a read-only dataset"));
}

void TDataSet::updateRecord()
{
    notify(DataEvent::UpdateData);
}

void TDataSet::startPending(DataSetState state, qint64 insertBefore)
{
    m_pending = state == DataSetState::Edit && m_current ? m_current->values
                                                         : QList<QVariant>(m_fields.size());
    m_assigned = QList<bool>(m_fields.size(), false);
    m_modified = false;
    m_insertBefore = insertBefore;
    setState(state);
    notify(DataEvent::RecordChanged);
}

void TDataSet::setCurrent(std::optional<StoredRecord> record)
{
    m_current = std::move(record);
    notify(DataEvent::RecordChanged);
    if (m_current && !m_current->problem.isEmpty())
        throw Error(m_current->problem);
}

void TDataSet::resync(qint64 key)
{
    // The record just stored or left is read again; its values were shown before, so a value
    // that does not fit was reported already and is not raised once more.
    std::optional<StoredRecord> record = nearest(key);
    if (!record)
        record = fetchLast();
    m_bof = m_eof = !record;
    m_current = std::move(record);
    notify(DataEvent::RecordChanged);
}

void TDataSet::setState(DataSetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    notify(DataEvent::StateChanged);
}

void TDataSet::notify(DataEvent event, TField *field)
{
    const QList<TDataSource *> sources = m_sources;
    for (TDataSource *source : sources) {
        if (m_sources.contains(source))
            source->notify(event, field);
    }
}

int TDataSet::fieldIndex(const TField *field) const
{
    return int(m_fields.indexOf(const_cast<TField *>(field)));
}

void TDataSet::setDatabaseName(const QString &folder)
{
    m_databaseName = folder;
}

TField *TDataSet::FindField(const QString &fieldName) const
{
    for (TField *f : m_fields) {
        if (f->FieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
            return f;
    }
    return nullptr;
}

TField *TDataSet::FieldByName(const QString &fieldName) const
{
    if (TField *f = FindField(fieldName))
        return f;
    throw error(QStringLiteral("Field '%1' not found").arg(fieldName));
}

void TDataSet::addField(TField *field)
{
    m_fields.append(field);
}

void TDataSet::removeField(TField *field)
{
    m_fields.removeAll(field);
}

void TDataSet::addDataSource(TDataSource *source)
{
    m_sources.append(source);
}

void TDataSet::removeDataSource(TDataSource *source)
{
    m_sources.removeAll(source);
}

FolderSession &TDataSet::session()
{
    if (!m_session) {
        m_session = FolderSession::forFolder(m_databaseName.isEmpty() ? QDir::currentPath()
                                                                      : m_databaseName);
    }
    return *m_session;
}
