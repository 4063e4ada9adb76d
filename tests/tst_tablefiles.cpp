// The table files: what the storage lets in, and how a table opens on a file that another
// program may have made or changed.
#include "data/tables.h"
#include "platform/db/tfield.h"
#include "platform/db/ttable.h"
#include "platform/error.h"
#include "tests/testsupport.h"

#include <QFile>
#include <QtTest>
#include <sqlite3.h>

namespace {

// A table component declared like the program's, working on `folder`.
struct Table
{
    Table(const TableDef &def, const QString &folder, const QString &name = QStringLiteral("t1"))
        : table(nullptr)
    {
        tables::declare(table, def, name, folder);
    }
    TTable table;
};

QString openError(TTable &table)
{
    return errorOf([&] { table.Open(); });
}

} // namespace

class TableFilesTest : public QObject
{
    Q_OBJECT
private slots:
    void storageRefusesValuesOutsideTheirKind_data();
    void storageRefusesValuesOutsideTheirKind();
    void staffNumbersAreUniqueButBlankIsAllowed();
    void recordNumbersAreNeverReused();
    void opensEveryTableAndNamesFilesWithoutRegardToCase();
    void openRefusesFieldsThatDoNotFit_data();
    void openRefusesFieldsThatDoNotFit();
    void openRefusesFilesThatHoldMoreThanTheirTable_data();
    void openRefusesFilesThatHoldMoreThanTheirTable();
    void storageFailuresNameTheFile();
    void readOnlyFileOpensForReadingOnly();
};

void TableFilesTest::storageRefusesValuesOutsideTheirKind_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("insert");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("smallint in range") << "ryxx.DB"
                                       << "(员工号) VALUES (-32768)" << true;
    QTest::newRow("smallint too big") << "ryxx.DB"
                                      << "(员工号) VALUES (70000)" << false;
    QTest::newRow("text in smallint") << "ryxx.DB"
                                      << "(员工号) VALUES ('abc')" << false;
    QTest::newRow("name at its size") << "ryxx.DB"
                                      << "(姓名) VALUES ('abcdefgh')" << true;
    QTest::newRow("name past its size") << "ryxx.DB"
                                        << "(姓名) VALUES ('abcdefghi')" << false;
    QTest::newRow("number in a name") << "ryxx.DB"
                                      << "(姓名) VALUES (x'00')" << false;
    QTest::newRow("date") << "ccjl.DB"
                          << "(出差开始时间) VALUES ('2024-02-29')" << true;
    QTest::newRow("30 February") << "ccjl.DB"
                                 << "(出差开始时间) VALUES ('2024-02-30')" << false;
    QTest::newRow("29 February 2023") << "ccjl.DB"
                                      << "(出差开始时间) VALUES ('2023-02-29')" << false;
    QTest::newRow("date of another shape") << "ccjl.DB"
                                           << "(出差开始时间) VALUES ('2024-3-5')" << false;
    QTest::newRow("year 0") << "ccjl.DB"
                            << "(出差开始时间) VALUES ('0000-01-01')" << false;
    QTest::newRow("date and time") << "cqjl.DB"
                                   << "(出入时间) VALUES ('2024-03-05 08:30:00.000')" << true;
    QTest::newRow("time without ms") << "cqjl.DB"
                                     << "(出入时间) VALUES ('2024-03-05 08:30:00')" << false;
    QTest::newRow("hour 24") << "cqjl.DB"
                             << "(出入时间) VALUES ('2024-03-05 24:00:00.000')" << false;
    QTest::newRow("number as date") << "cqjl.DB"
                                    << "(出入时间) VALUES (45000)" << false;
}

void TableFilesTest::storageRefusesValuesOutsideTheirKind()
{
    QFETCH(QString, file);
    QFETCH(QString, insert);
    QFETCH(bool, accepted);
    TableFolder folder;
    const QString table = QFileInfo(file).completeBaseName();
    bool stored = true;
    try {
        folder.sql(file, QStringLiteral("INSERT INTO %1 %2").arg(table, insert));
    } catch (const Error &) {
        stored = false;
    }
    QCOMPARE(stored, accepted);
}

void TableFilesTest::staffNumbersAreUniqueButBlankIsAllowed()
{
    TableFolder folder;
    folder.sql("ryxx.DB", "INSERT INTO ryxx VALUES (7, 'a', NULL), (NULL, 'b', NULL), (NULL, 'c', "
                          "NULL)");
    QVERIFY_THROWS_EXCEPTION(Error,
                             folder.sql("ryxx.DB", "INSERT INTO ryxx VALUES (7, 'd', NULL)"));
}

void TableFilesTest::recordNumbersAreNeverReused()
{
    TableFolder folder;
    folder.sql("jbjl.DB", "INSERT INTO jbjl (员工号) VALUES (1), (2)");
    folder.sql("jbjl.DB", "DELETE FROM jbjl WHERE 记录号 = 2");
    folder.sql("jbjl.DB", "INSERT INTO jbjl (员工号) VALUES (3)");
    // The deleted record's number 2 does not come back.
    QCOMPARE(folder.scalar("jbjl.DB", "SELECT group_concat(记录号) FROM jbjl"),
             QStringLiteral("1,3"));
}

void TableFilesTest::opensEveryTableAndNamesFilesWithoutRegardToCase()
{
    TableFolder folder;
    QVERIFY(QFile::rename(folder.file("ryxx.DB"), folder.file("RYXX.db")));
    for (const TableDef &def : tables::all()) {
        Table t(def, folder.path());
        t.table.Open();
        QCOMPARE(t.table.State(), DataSetState::Browse);
        QVERIFY(t.table.CanModify());
        t.table.Open(); // opening an open table does nothing
        QCOMPARE(t.table.State(), DataSetState::Browse);
        t.table.Close();
        QCOMPARE(t.table.State(), DataSetState::Inactive);
    }
}

void TableFilesTest::openRefusesFieldsThatDoNotFit_data()
{
    QTest::addColumn<QString>("create");
    QTest::addColumn<QString>("message");

    QTest::newRow("field missing") << "CREATE TABLE ryxx (员工号 SMALLINT, 姓名 VARCHAR(8))"
                                   << "t1: Field '部门' not found";
    QTest::newRow("string for an integer")
        << "CREATE TABLE ryxx (员工号 VARCHAR(5), 姓名 VARCHAR(8), 部门 VARCHAR(10))"
        << "t1: Type mismatch for field '员工号', expecting: SmallInt actual: String";
    QTest::newRow("date for a string")
        << "CREATE TABLE ryxx (员工号 SMALLINT, 姓名 DATE, 部门 VARCHAR(10))"
        << "t1: Type mismatch for field '姓名', expecting: String actual: Date";
    // Kinds of one family fit; string sizes and extra columns do not matter.
    QTest::newRow("same families")
        << "CREATE TABLE ryxx (部门 TEXT, 员工号 INTEGER, 姓名 CHAR(2), 备注 BLOB)"
        << "";
}

void TableFilesTest::openRefusesFieldsThatDoNotFit()
{
    QFETCH(QString, create);
    QFETCH(QString, message);
    TableFolder folder(true);
    folder.sql("ryxx.DB", create);
    Table t(tables::staff(), folder.path());
    QCOMPARE(openError(t.table), message);
    QCOMPARE(t.table.Active(), message.isEmpty());
}

void TableFilesTest::openRefusesFilesThatHoldMoreThanTheirTable_data()
{
    QTest::addColumn<QString>("extra");
    QTest::addColumn<QString>("says");

    QTest::newRow("trigger") << "CREATE TRIGGER t AFTER INSERT ON ryxx BEGIN DELETE FROM ryxx; END"
                             << "holds a trigger";
    QTest::newRow("view") << "CREATE VIEW v AS SELECT 1"
                          << "holds a view";
    QTest::newRow("another table") << "CREATE TABLE cqjl (x)"
                                   << "holds the table 'cqjl'";
    QTest::newRow("its table missing") << "DROP TABLE ryxx; CREATE TABLE other (x)"
                                       << "holds the table 'other'";
}

void TableFilesTest::openRefusesFilesThatHoldMoreThanTheirTable()
{
    QFETCH(QString, extra);
    QFETCH(QString, says);
    TableFolder folder;
    folder.sql("ryxx.DB", extra);
    Table t(tables::staff(), folder.path());
    const QString message = openError(t.table);
    QVERIFY2(message.contains(says) && message.contains(folder.file("ryxx.DB")),
             qPrintable(message));
    QVERIFY(!t.table.Active());
}

void TableFilesTest::storageFailuresNameTheFile()
{
    TableFolder folder(true);
    Table missing(tables::trips(), folder.path());
    QCOMPARE(openError(missing.table),
             QStringLiteral("Table file '%1' does not exist").arg(folder.file("ccjl.DB")));

    QFile junk(folder.file("ccjl.DB"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    QCOMPARE(openError(missing.table),
             QStringLiteral("Table file '%1' is damaged or is not a table file")
                 .arg(folder.file("ccjl.DB")));
    QVERIFY(!missing.table.Active());

    // Another program holds the file locked: the open waits a moment, then says so.
    TableFolder locked;
    sqlite3 *other = nullptr;
    sqlite3_open(locked.file("jbjl.DB").toUtf8().constData(), &other);
    sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    Table blocked(tables::overtime(), locked.path());
    QCOMPARE(
        openError(blocked.table),
        QStringLiteral("Table file '%1' is locked by another program; try again when it is free")
            .arg(locked.file("jbjl.DB")));
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    blocked.table.Open();
    QVERIFY(blocked.table.Active());
}

void TableFilesTest::readOnlyFileOpensForReadingOnly()
{
    TableFolder folder;
    const QString path = folder.file("qjjl.DB");
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    Table t(tables::leave(), folder.path());
    t.table.Open();
    QCOMPARE(t.table.State(), DataSetState::Browse);
    QVERIFY(!t.table.CanModify());
    QVERIFY(t.table.file().readOnly);
}

QTEST_GUILESS_MAIN(TableFilesTest)
#include "tst_tablefiles.moc"
