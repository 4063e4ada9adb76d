// The data module: its components, their binding to the program's folder, and opening tables.
#include "data/tables.h"
#include "data/unit6.h"
#include "platform/db/tdatasource.h"
#include "platform/db/tfield.h"
#include "platform/db/tquery.h"
#include "platform/db/ttable.h"
#include "platform/ui/tapplication.h"
#include "tests/testsupport.h"
#include "tools/tabletool.h"

#include <QtTest>

class DataModuleTest : public QObject
{
    Q_OBJECT
private slots:
    void componentsInOrderWithTheirSettings();
    void fieldObjectsFollowTheDeclarations();
    void boundToTheProgramsFolderNotTheCurrentOne();
    void openingNeedsTheFilesNotTheStartUp();
    void destroyingClosesEveryDatasetLastComponentFirst();
};

void DataModuleTest::componentsInOrderWithTheirSettings()
{
    TData1 data;
    QStringList names, settings;
    for (QObject *c : data.Components()) {
        if (auto *source = qobject_cast<TDataSource *>(c)) {
            names << c->objectName();
            settings << QStringLiteral("source of ") + source->dataSetName();
        } else if (auto *table = qobject_cast<TTable *>(c)) {
            names << c->objectName();
            settings << QStringLiteral("table ") + table->TableName();
        } else if (qobject_cast<TQuery *>(c)) {
            names << c->objectName();
            settings << QStringLiteral("query");
        }
    }
    QCOMPARE(names, QStringList({"renyuan", "renyuan1", "Query1", "chucai", "chucai1", "qinjia",
                                 "qinjia1", "jiaban", "jiaban1", "cqjl1", "cqjl", "DataSource1"}));
    QCOMPARE(settings, QStringList({"source of renyuan1", "table ryxx.DB", "query", "table ccjl.DB",
                                    "source of chucai", "table qjjl.DB", "source of qinjia",
                                    "table jbjl.DB", "source of jiaban", "source of cqjl",
                                    "table cqjl.DB", "source of Query1"}));
    QCOMPARE(data.Query1->text(), tables::reportQueryLines().join(QStringLiteral("\r\n")) + "\r\n");
    QVERIFY(
        data.Query1->text().startsWith("Select * from CCJL,CQJL,JBJL,QJJL,RYXX\r\n  Where\r\n"));
    QVERIFY(data.Query1->text().endsWith("  QJJL.员工号 = RYXX.员工号\r\n\r\n"));
}

void DataModuleTest::fieldObjectsFollowTheDeclarations()
{
    TData1 data;
    QStringList staff;
    for (TField *f : data.renyuan1->Fields())
        staff << f->FieldName();
    QCOMPARE(staff, QStringList({"员工号", "姓名", "部门"}));
    QCOMPARE(data.renyuan1->Fields()[0]->parent(), &data);

    QCOMPARE(data.Query1->Fields().size(), 19);
    TField *first = data.Query1->FieldByName("员工号");
    QCOMPARE(first->objectName(), QStringLiteral("Query1BDEDesigner2"));
    QVERIFY(data.Query1->FieldByName("旷工次数")->Calculated());
    QCOMPARE(data.cqjl->FieldByName("出入情况")->Size(), 2);
    QVERIFY(data.qinjia->FieldByName("记录号")->ReadOnly());
    try {
        data.chucai->FieldByName("请假原因");
        QFAIL("a field the table does not declare was found");
    } catch (const Error &e) {
        QCOMPARE(e.message(), QStringLiteral("chucai: Field '请假原因' not found"));
    }
}

void DataModuleTest::boundToTheProgramsFolderNotTheCurrentOne()
{
    TableFolder elsewhere(true);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    TApplication app(QCoreApplication::applicationFilePath());
    app.CreateForm(Data1);
    QDir::setCurrent(previous);

    const QString folder = QCoreApplication::applicationDirPath() + u'/';
    for (QObject *c : Data1->Components()) {
        if (auto *dataset = qobject_cast<TDataSet *>(c)) {
            QCOMPARE(dataset->DatabaseName(), folder);
            QCOMPARE(dataset->State(), DataSetState::Inactive);
        }
    }
}

void DataModuleTest::openingNeedsTheFilesNotTheStartUp()
{
    TableFolder folder(true);
    TData1 data;
    for (QObject *c : data.Components()) {
        if (auto *dataset = qobject_cast<TDataSet *>(c))
            dataset->setDatabaseName(folder.path());
    }
    try {
        data.renyuan1->Open();
        QFAIL("a missing table file opened");
    } catch (const Error &e) {
        QVERIFY2(e.message().contains(folder.file("ryxx.DB")), qPrintable(e.message()));
    }
    QCOMPARE(data.renyuan1->State(), DataSetState::Inactive);

    // Once the files are there, the same datasets open.
    tabletool::createTables(folder.path());
    data.renyuan1->Open();
    data.chucai->Open();
    QCOMPARE(data.renyuan1->State(), DataSetState::Browse);
    QCOMPARE(data.chucai->State(), DataSetState::Browse);
}

void DataModuleTest::destroyingClosesEveryDatasetLastComponentFirst()
{
    TableFolder folder;
    auto *data = new TData1;
    QStringList destroyed;
    for (QObject *c : data->Components()) {
        if (auto *dataset = qobject_cast<TDataSet *>(c))
            dataset->setDatabaseName(folder.path());
        if (!qobject_cast<TField *>(c))
            connect(c, &QObject::destroyed, this,
                    [&destroyed, name = c->objectName()] { destroyed << name; });
    }
    data->chucai->Open();
    data->cqjl->Open();
    delete data;
    QCOMPARE(destroyed.first(), QStringLiteral("DataSource1"));
    QCOMPARE(destroyed.last(), QStringLiteral("renyuan"));
}

QTEST_MAIN(DataModuleTest)
#include "tst_datamodule.moc"
