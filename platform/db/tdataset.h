#pragma once

#include "platform/error.h"

#include <QList>
#include <QObject>
#include <memory>

class FolderSession;
class TField;

enum class DataSetState { Inactive, Browse, Edit, Insert, SetKey };

// A dataset: a named component that opens on a database folder and offers declared fields.
class TDataSet : public QObject
{
    Q_OBJECT
public:
    explicit TDataSet(QObject *owner);
    ~TDataSet() override;

    DataSetState State() const { return m_state; }
    bool Active() const { return m_state != DataSetState::Inactive; }

    // Opens on an inactive dataset; on an open one does nothing at all.
    void Open();
    // Closes without storing anything pending; the dataset becomes inactive.
    void Close();

    // The folder of the table files ("" until set); setting it on a closed dataset only records it.
    const QString &DatabaseName() const { return m_databaseName; }
    void setDatabaseName(const QString &folder);

    const QList<TField *> &Fields() const { return m_fields; }
    TField *FindField(const QString &fieldName) const;
    // As FindField, but a missing field is an error.
    TField *FieldByName(const QString &fieldName) const;

    // Whether the open dataset lets its records be changed.
    virtual bool CanModify() const { return false; }

    void addField(TField *field);
    void removeField(TField *field);

    // An error the dataset raises about itself: "name: message".
    Error error(const QString &message) const
    {
        return Error::fromComponent(objectName(), message);
    }

protected:
    virtual void doOpen() = 0;
    virtual void doClose() = 0;
    void setState(DataSetState state) { m_state = state; }
    FolderSession &session();
    void releaseSession() { m_session.reset(); }

private:
    DataSetState m_state = DataSetState::Inactive;
    QString m_databaseName;
    QList<TField *> m_fields;
    std::shared_ptr<FolderSession> m_session;
};
