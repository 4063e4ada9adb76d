#pragma once

#include "platform/db/fieldkind.h"

#include <QList>
#include <QString>
#include <QStringList>

// A table as the program declares it: its file and its fields in order.
struct TableDef
{
    QString fileName;         // "ryxx.DB": the file in the database folder
    QList<FieldDef> fields;   // declared order = column order
    QStringList uniqueFields; // the storage refuses a second record with the same (non-blank) value

    // The file name without extension, lower case: the name of the table inside the file.
    QString baseName() const;
    const FieldDef *field(const QString &name) const;
};
