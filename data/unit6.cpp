#include "data/unit6.h"

#include "data/tables.h"
#include "platform/db/tdatasource.h"
#include "platform/db/tfield.h"
#include "platform/db/tquery.h"
#include "platform/db/ttable.h"

#include <QCoreApplication>
#include <QFileInfo>

TData1 *Data1 = nullptr;

namespace {

enum class Kind { DataSource, Table, Query };

// The module's description: its components in order, each with its one setting: the dataset of
// a data source, the table file of a table.
struct ComponentDecl
{
    const char16_t *name;
    Kind kind;
    const char16_t *setting;
};

constexpr ComponentDecl kComponents[] = {
    {u"renyuan", Kind::DataSource, u"renyuan1"}, {u"renyuan1", Kind::Table, u"ryxx.DB"},
    {u"Query1", Kind::Query, nullptr},           {u"chucai", Kind::Table, u"ccjl.DB"},
    {u"chucai1", Kind::DataSource, u"chucai"},   {u"qinjia", Kind::Table, u"qjjl.DB"},
    {u"qinjia1", Kind::DataSource, u"qinjia"},   {u"jiaban", Kind::Table, u"jbjl.DB"},
    {u"jiaban1", Kind::DataSource, u"jiaban"},   {u"cqjl1", Kind::DataSource, u"cqjl"},
    {u"cqjl", Kind::Table, u"cqjl.DB"},          {u"DataSource1", Kind::DataSource, u"Query1"},
};

template <class T> T *component(QObject *module, const QString &name)
{
    return module->findChild<T *>(name, Qt::FindDirectChildrenOnly);
}

} // namespace

TData1::TData1()
{
    setObjectName(QStringLiteral("Data1"));
    setProperty("OnCreate", QStringLiteral("DataModuleCreate"));
    handlers().add(QStringLiteral("DataModuleCreate"), this, &TData1::DataModuleCreate);

    for (const ComponentDecl &c : kComponents) {
        QObject *object = nullptr;
        switch (c.kind) {
        case Kind::DataSource: {
            auto *source = new TDataSource(this);
            source->setDataSetName(QString::fromUtf16(c.setting));
            object = source;
            break;
        }
        case Kind::Table: {
            // Its field objects follow it; they belong to the module, not to the table.
            auto *table = new TTable(this);
            tables::declare(*table, *tables::byFileName(QString::fromUtf16(c.setting)),
                            QString::fromUtf16(c.name), QString(), this);
            object = table;
            break;
        }
        case Kind::Query: {
            auto *query = new TQuery(this);
            query->setSQL(tables::reportQueryLines());
            for (const tables::QueryField &f : tables::reportQueryFields())
                (new TField(f.def, query, this))->setObjectName(f.objectName);
            object = query;
            break;
        }
        }
        object->setObjectName(QString::fromUtf16(c.name));
    }

    renyuan = component<TDataSource>(this, QStringLiteral("renyuan"));
    renyuan1 = component<TTable>(this, QStringLiteral("renyuan1"));
    Query1 = component<TQuery>(this, QStringLiteral("Query1"));
    chucai = component<TTable>(this, QStringLiteral("chucai"));
    chucai1 = component<TDataSource>(this, QStringLiteral("chucai1"));
    qinjia = component<TTable>(this, QStringLiteral("qinjia"));
    qinjia1 = component<TDataSource>(this, QStringLiteral("qinjia1"));
    jiaban = component<TTable>(this, QStringLiteral("jiaban"));
    jiaban1 = component<TDataSource>(this, QStringLiteral("jiaban1"));
    cqjl1 = component<TDataSource>(this, QStringLiteral("cqjl1"));
    cqjl = component<TTable>(this, QStringLiteral("cqjl"));
    DataSource1 = component<TDataSource>(this, QStringLiteral("DataSource1"));
}

QString TData1::executableFolder()
{
    // Not the current folder: the tables are always those next to the program.
    const QString path = QCoreApplication::applicationFilePath();
    return path.left(path.lastIndexOf(u'/') + 1);
}

void TData1::DataModuleCreate(QObject * /*Sender*/)
{
    for (QObject *c : Components()) {
        if (auto *dataset = qobject_cast<TDataSet *>(c))
            dataset->setDatabaseName(executableFolder());
    }
}
