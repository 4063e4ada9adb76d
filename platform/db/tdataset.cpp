#include "platform/db/tdataset.h"

#include "platform/db/foldersession.h"
#include "platform/db/tfield.h"

#include <QDir>

TDataSet::TDataSet(QObject *owner) : QObject(owner) {}

TDataSet::~TDataSet()
{
    for (TField *f : std::as_const(m_fields))
        f->detachFromDataSet();
}

void TDataSet::Open()
{
    if (Active())
        return;
    doOpen();
}

void TDataSet::Close()
{
    if (!Active())
        return;
    doClose();
    m_state = DataSetState::Inactive;
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

FolderSession &TDataSet::session()
{
    if (!m_session) {
        m_session = FolderSession::forFolder(m_databaseName.isEmpty() ? QDir::currentPath()
                                                                      : m_databaseName);
    }
    return *m_session;
}
