#pragma once

#include "platform/db/tabledef.h"

#include <QList>
#include <QStringList>

class QObject;
class TTable;

// The five tables of the program and the report query's declaration.
namespace tables {

const TableDef &staff();      // ryxx.DB
const TableDef &trips();      // ccjl.DB
const TableDef &leave();      // qjjl.DB
const TableDef &overtime();   // jbjl.DB
const TableDef &attendance(); // cqjl.DB

// All five, in the order above.
const QList<TableDef> &all();

// The declaration whose file `fileName` names (letter case not minded, extension optional);
// nullptr for none.
const TableDef *byFileName(const QString &fileName);

// Sets a table component up as the program declares its tables: component name, table file,
// folder and one field object per declared field, owned by `fieldOwner` (the table itself when
// null).
void declare(TTable &table, const TableDef &def, const QString &componentName,
             const QString &folder, QObject *fieldOwner = nullptr);

// The report query: its statement line by line, and its nineteen fields with the names of
// their field objects.
const QStringList &reportQueryLines();
struct QueryField
{
    FieldDef def;
    QString objectName;
};
const QList<QueryField> &reportQueryFields();

} // namespace tables
