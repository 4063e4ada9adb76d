#pragma once

#include "platform/db/tdatalink.h"
#include "platform/error.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <limits>
#include <memory>
#include <optional>

class FolderSession;
class TDataSource;
class TField;

enum class DataSetState { Inactive, Browse, Edit, Insert, SetKey };

// One stored record as the dataset reads it: its key in the storage's order and its values in
// the order of the declared fields.
struct StoredRecord
{
    qint64 key = 0;
    QList<QVariant> values;
    // Set when a stored value does not fit its field: what is wrong, naming table, record and
    // field. The value itself reads as blank, and its field is marked in `invalid`.
    QString problem;
    QList<bool> invalid;
};

// A dataset: a named component that opens on a database folder, offers declared fields, and
// moves through its records one at a time, reading each from the storage when it becomes
// current (no copy of the records is kept). A table dataset also edits: a pending record in
// edit or insert state is stored by Post and dropped by Cancel, and every move first settles a
// pending record (see settle()).
//
// Invariants: in browse state the current record is m_current (none when the dataset is
// empty); in edit and insert state the pending values are m_pending, one per field.
class TDataSet : public QObject
{
    Q_OBJECT
public:
    explicit TDataSet(QObject *owner);
    ~TDataSet() override;

    DataSetState State() const { return m_state; }
    bool Active() const { return m_state != DataSetState::Inactive; }
    // Beginning and end flags: where the last move left the dataset.
    bool Bof() const { return m_bof; }
    bool Eof() const { return m_eof; }
    // Whether the dataset holds no stored record.
    bool IsEmpty() const { return !m_current.has_value(); }
    // The changed flag of the pending record.
    bool Modified() const { return m_modified; }

    // Opens on an inactive dataset and makes the first record current; on an open one does
    // nothing at all.
    void Open();
    // Drops a pending record without storing it; the dataset becomes inactive.
    void Close();

    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    void First();
    void Prior();
    void Next();
    void Last();
    void Refresh();

    // In edit or insert state: every bound control writes its changed text into its field
    // (throws the field's error); then stores the record when its changed flag is set, drops
    // it otherwise. Throws the closed-dataset error on an inactive dataset.
    void settle();

    // The folder of the table files ("" until set); setting it on a closed dataset only records it.
    const QString &DatabaseName() const { return m_databaseName; }
    void setDatabaseName(const QString &folder);

    const QList<TField *> &Fields() const { return m_fields; }
    TField *FindField(const QString &fieldName) const;
    // As FindField, but a missing field is an error.
    TField *FieldByName(const QString &fieldName) const;

    // Whether the open dataset lets its records be changed.
    virtual bool CanModify() const { return false; }

    // The value of a field in the current or pending record.
    QVariant fieldValue(const TField *field) const;
    // Assigns a field of the pending record and sets the changed flag.
    void setFieldValue(TField *field, const QVariant &value);
    // The key of the current stored record (0 when there is none) and, in insert state, of the
    // record the new one stands before (0: after the last).
    qint64 currentKey() const { return m_current ? m_current->key : 0; }
    qint64 insertBeforeKey() const { return m_insertBefore; }

    // Makes the record of `key` current after settling a pending record (the nearest following
    // one when it is gone, else the nearest before).
    void GotoKey(qint64 key);
    // Moves `distance` records forward (or back when negative) after settling a pending record;
    // stops at the ends, which set the end (or beginning) flag as Next and Prior do.
    void MoveBy(int distance);
    // Stored records for display, read without moving: up to `count` records from `key` on
    // (inclusive), or the `count` records before `key` in order. No copy is kept.
    QList<StoredRecord> recordsFrom(qint64 key, int count);
    QList<StoredRecord> recordsBefore(qint64 key, int count);
    // Where the current record stands between the first and the last, from 0 to 1, judged by
    // keys: cheap on any size of table, and exact enough for a scroll bar.
    double approximatePosition();

    void addField(TField *field);
    void removeField(TField *field);
    void addDataSource(TDataSource *source);
    void removeDataSource(TDataSource *source);

    // An error the dataset raises about itself: "name: message".
    Error error(const QString &message) const
    {
        return Error::fromComponent(objectName(), message);
    }

protected:
    // The storage under the dataset. fetchRecords gives up to `count` stored records whose keys
    // come after `key` (forward, in order) or before it (backward, nearest first), passing over
    // the first `skip` of them.
    virtual void doOpen() = 0;
    virtual void doClose() = 0;
    virtual QList<StoredRecord> fetchRecords(qint64 key, bool forward, int count, int skip) = 0;
    // Stores a new record and returns its key; stores the assigned fields of an edited record;
    // deletes a record. Each is durable when it returns, or throws and changes nothing.
    virtual qint64 storeNew(const QList<QVariant> &values);
    virtual void storeChanges(qint64 key, const QList<QVariant> &values,
                              const QList<bool> &assigned);
    virtual void storeDelete(qint64 key);

    FolderSession &session();
    void releaseSession() { m_session.reset(); }
    // Throws the closed-dataset error on an inactive dataset.
    void checkActive() const;

private:
    std::optional<StoredRecord> fetchOne(qint64 key, bool forward, int skip = 0);
    std::optional<StoredRecord> fetchFirst() { return fetchOne(kNoKeyBelow, true); }
    std::optional<StoredRecord> fetchLast() { return fetchOne(kNoKeyAbove, false); }
    std::optional<StoredRecord> fetchAfter(qint64 key) { return fetchOne(key, true); }
    std::optional<StoredRecord> fetchBefore(qint64 key) { return fetchOne(key, false); }
    std::optional<StoredRecord> fetchKey(qint64 key);
    // The record of `key`, else the nearest one after it, else the nearest before; none for 0.
    std::optional<StoredRecord> nearest(qint64 key);
    static constexpr qint64 kNoKeyBelow = std::numeric_limits<qint64>::min();
    static constexpr qint64 kNoKeyAbove = std::numeric_limits<qint64>::max();

    void checkCanModify() const;
    void updateRecord();
    void startPending(DataSetState state, qint64 insertBefore);
    // Makes `record` current (or none), tells the controls, then raises its problem, if any.
    void setCurrent(std::optional<StoredRecord> record);
    // After a change of the stored records: the record of `key`, else the one after it, else
    // the one before it becomes current.
    void resync(qint64 key);
    void setState(DataSetState state);
    void notify(DataEvent event, TField *field = nullptr);
    int fieldIndex(const TField *field) const;

    DataSetState m_state = DataSetState::Inactive;
    QString m_databaseName;
    QList<TField *> m_fields;
    QList<TDataSource *> m_sources; // each unregisters itself before it goes
    std::shared_ptr<FolderSession> m_session;

    std::optional<StoredRecord> m_current;
    QList<QVariant> m_pending;
    QList<bool> m_assigned;
    bool m_modified = false;
    qint64 m_insertBefore = 0;
    bool m_bof = true;
    bool m_eof = true;
};
