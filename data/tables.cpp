#include "data/tables.h"

#include "platform/db/tfield.h"
#include "platform/db/ttable.h"

#include <QFileInfo>

namespace tables {

namespace {

FieldDef smallInt(const QString &name)
{
    return {name, FieldKind::SmallInt};
}

FieldDef recordNumber()
{
    return {QStringLiteral("记录号"), FieldKind::AutoInc, 0, true};
}

FieldDef string(const QString &name, int size)
{
    return {name, FieldKind::String, size};
}

FieldDef date(const QString &name)
{
    return {name, FieldKind::Date};
}

FieldDef dateTime(const QString &name)
{
    return {name, FieldKind::DateTime};
}

} // namespace

const TableDef &staff()
{
    // Employee numbers are unique among staff records, so the report's join never doubles a
    // person; a blank number stays allowed.
    static const TableDef def{QStringLiteral("ryxx.DB"),
                              {smallInt(QStringLiteral("员工号")),
                               string(QStringLiteral("姓名"), 8),
                               string(QStringLiteral("部门"), 10)},
                              {QStringLiteral("员工号")}};
    return def;
}

const TableDef &trips()
{
    static const TableDef def{QStringLiteral("ccjl.DB"),
                              {recordNumber(), smallInt(QStringLiteral("员工号")),
                               date(QStringLiteral("出差开始时间")),
                               date(QStringLiteral("出差结束时间"))},
                              {}};
    return def;
}

const TableDef &leave()
{
    // A string field declared without a size has 20 bytes.
    static const TableDef def{QStringLiteral("qjjl.DB"),
                              {recordNumber(), smallInt(QStringLiteral("员工号")),
                               dateTime(QStringLiteral("请假开始时间")),
                               dateTime(QStringLiteral("请假结束时间")),
                               string(QStringLiteral("请假原因"), 20)},
                              {}};
    return def;
}

const TableDef &overtime()
{
    static const TableDef def{QStringLiteral("jbjl.DB"),
                              {recordNumber(), smallInt(QStringLiteral("员工号")),
                               string(QStringLiteral("加班时间"), 6),
                               date(QStringLiteral("加班日期"))},
                              {}};
    return def;
}

const TableDef &attendance()
{
    static const TableDef def{QStringLiteral("cqjl.DB"),
                              {recordNumber(), smallInt(QStringLiteral("员工号")),
                               string(QStringLiteral("出入情况"), 2),
                               dateTime(QStringLiteral("出入时间"))},
                              {}};
    return def;
}

const QList<TableDef> &all()
{
    static const QList<TableDef> list{staff(), trips(), leave(), overtime(), attendance()};
    return list;
}

const TableDef *byFileName(const QString &fileName)
{
    const QString base = QFileInfo(fileName).completeBaseName();
    for (const TableDef &def : all()) {
        if (def.baseName().compare(base, Qt::CaseInsensitive) == 0)
            return &def;
    }
    return nullptr;
}

void declare(TTable &table, const TableDef &def, const QString &componentName,
             const QString &folder, QObject *fieldOwner)
{
    table.setObjectName(componentName);
    table.setTableName(def.fileName);
    table.setDatabaseName(folder);
    for (const FieldDef &f : def.fields) {
        auto *field = new TField(f, &table, fieldOwner ? fieldOwner : &table);
        field->setObjectName(componentName + f.name);
    }
}

const QStringList &reportQueryLines()
{
    static const QStringList lines{
        QStringLiteral("Select * from CCJL,CQJL,JBJL,QJJL,RYXX"),
        QStringLiteral("  Where"),
        QStringLiteral("  CCJL.员工号 = RYXX.员工号"),
        QStringLiteral("  and"),
        QStringLiteral("  CQJL.员工号 = RYXX.员工号"),
        QStringLiteral("  and"),
        QStringLiteral("  JBJL.员工号 = RYXX.员工号"),
        QStringLiteral("  and"),
        QStringLiteral("  QJJL.员工号 = RYXX.员工号"),
        QString(),
    };
    return lines;
}

const QList<QueryField> &reportQueryFields()
{
    const auto calculated = [](const QString &name, FieldKind kind) {
        return FieldDef{name, kind, 0, false, true};
    };
    static const QList<QueryField> fields{
        {smallInt(QStringLiteral("员工号")), QStringLiteral("Query1BDEDesigner2")},
        {string(QStringLiteral("姓名"), 8), QStringLiteral("Query1BDEDesigner12")},
        {string(QStringLiteral("部门"), 10), QStringLiteral("Query1BDEDesigner13")},
        {date(QStringLiteral("出差开始时间")), QStringLiteral("Query1BDEDesigner3")},
        {date(QStringLiteral("出差结束时间")), QStringLiteral("Query1BDEDesigner4")},
        {string(QStringLiteral("出入情况"), 2), QStringLiteral("Query1BDEDesigner5")},
        {dateTime(QStringLiteral("出入时间")), QStringLiteral("Query1BDEDesigner6")},
        {string(QStringLiteral("加班时间"), 6), QStringLiteral("Query1BDEDesigner7")},
        {date(QStringLiteral("加班日期")), QStringLiteral("Query1BDEDesigner8")},
        {dateTime(QStringLiteral("请假开始时间")), QStringLiteral("Query1BDEDesigner9")},
        {dateTime(QStringLiteral("请假结束时间")), QStringLiteral("Query1BDEDesigner10")},
        {string(QStringLiteral("请假原因"), 20), QStringLiteral("Query1BDEDesigner11")},
        {calculated(QStringLiteral("年月"), FieldKind::Date), QStringLiteral("Query1NY")},
        {calculated(QStringLiteral("请假总时间"), FieldKind::Integer),
         QStringLiteral("Query1Field")},
        {calculated(QStringLiteral("加班总时间"), FieldKind::Integer),
         QStringLiteral("Query1Field2")},
        {calculated(QStringLiteral("出差总时间"), FieldKind::Integer),
         QStringLiteral("Query1Field3")},
        {calculated(QStringLiteral("迟到次数"), FieldKind::Integer),
         QStringLiteral("Query1Field4")},
        {calculated(QStringLiteral("早退次数"), FieldKind::Integer),
         QStringLiteral("Query1Field5")},
        {calculated(QStringLiteral("旷工次数"), FieldKind::Integer),
         QStringLiteral("Query1Field6")},
    };
    return fields;
}

} // namespace tables
