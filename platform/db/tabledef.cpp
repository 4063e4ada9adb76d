#include "platform/db/tabledef.h"

#include <QFileInfo>

QString TableDef::baseName() const
{
    return QFileInfo(fileName).completeBaseName().toLower();
}

const FieldDef *TableDef::field(const QString &name) const
{
    for (const FieldDef &f : fields) {
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}
