#include "platform/db/ttable.h"

#include "platform/db/tablefile.h"
#include "platform/db/tfield.h"

TTable::TTable(QObject *owner) : TDataSet(owner) {}

TTable::~TTable()
{
    Close();
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
    } catch (const Error &e) {
        const QString path = m_file.path;
        s.detach(m_file.schema);
        m_file = {};
        releaseSession();
        // Storage failures keep the storage's words; a field that does not fit is the table's.
        if (e.code() != 0)
            throw Error(tablefile::storageMessage(e.code(), path, e.message()), e.code());
        throw error(e.message());
    }
    setState(DataSetState::Browse);
}

void TTable::doClose()
{
    session().detach(m_file.schema);
    m_file = {};
    releaseSession();
}
