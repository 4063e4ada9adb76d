// vantorel-tables, run as a user runs it.
#include "tests/testsupport.h"

#include <QProcess>
#include <QtTest>

namespace {

struct Run
{
    int code;
    QString out;
    QString err;
};

Run tool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(VANTOREL_TABLES_TOOL), args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QString writeCsv(const QTemporaryDir &dir, const QString &text)
{
    const QString path = dir.filePath(QStringLiteral("in.csv"));
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text.toUtf8());
    return path;
}

} // namespace

class TableToolTest : public QObject
{
    Q_OBJECT
private slots:
    void usageAndHelp();
    void createLeavesExistingFilesUntouched();
    void checkReportsEachFile();
    void importAddsRecordsThatExportGivesBack();
    void refusedImportChangesNothing_data();
    void refusedImportChangesNothing();
};

void TableToolTest::usageAndHelp()
{
    const Run help = tool({"--help"});
    QCOMPARE(help.code, 0);
    QVERIFY(help.out.contains("import FILE.DB CSV"));
    QCOMPARE(tool({}).code, 2);
    QCOMPARE(tool({"create"}).code, 2);
    QCOMPARE(tool({"frobnicate", "x"}).code, 2);
}

void TableToolTest::createLeavesExistingFilesUntouched()
{
    TableFolder folder(true);
    QFile mine(folder.file("jbjl.DB"));
    mine.open(QIODevice::WriteOnly);
    mine.write("not a table");
    mine.close();

    const Run run = tool({"create", folder.path()});
    QCOMPARE(run.code, 1);
    QVERIFY2(run.err.contains(folder.file("jbjl.DB")), qPrintable(run.err));
    mine.open(QIODevice::ReadOnly);
    QCOMPARE(mine.readAll(), QByteArray("not a table"));
    // The other four were made.
    QCOMPARE(folder.scalar("cqjl.DB", "SELECT count(*) FROM cqjl"), QStringLiteral("0"));
}

void TableToolTest::checkReportsEachFile()
{
    TableFolder folder;
    folder.sql("ryxx.DB", "INSERT INTO ryxx VALUES (1, '张三', '数学组')");
    QFile::remove(folder.file("qjjl.DB"));
    folder.sql("jbjl.DB", "DROP TABLE jbjl; CREATE TABLE jbjl (记录号 INTEGER, 员工号 SMALLINT)");

    const Run run = tool({"check", folder.path()});
    QCOMPARE(run.code, 1);
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], QStringLiteral("ryxx.DB: ok, 1 record"));
    QCOMPARE(lines[1], QStringLiteral("ccjl.DB: ok, 0 records"));
    QVERIFY2(lines[2].startsWith("qjjl.DB: missing"), qPrintable(lines[2]));
    QVERIFY2(lines[3].contains("Field '加班时间' not found"), qPrintable(lines[3]));

    TableFolder sample(true);
    QCOMPARE(tool({"sample", sample.path()}).code, 0);
    QCOMPARE(tool({"check", sample.path()}).code, 0);
}

void TableToolTest::importAddsRecordsThatExportGivesBack()
{
    TableFolder folder;
    QTemporaryDir dir;
    const QString csv = writeCsv(dir, "\xEF\xBB\xBF员工号,请假开始时间,请假结束时间,请假原因\r\n"
                                      "7,2024-03-05 08:30,2024-03-06T17:00:00.5,\"病假, 发烧\"\r\n"
                                      "-32768,,,\r\n");
    const Run run = tool({"import", folder.file("qjjl.DB"), csv});
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out, QStringLiteral("Imported 2 records into %1\n").arg(folder.file("qjjl.DB")));

    const Run out = tool({"export", folder.file("qjjl.DB")});
    QCOMPARE(out.code, 0);
    QCOMPARE(out.out,
             QStringLiteral("记录号,员工号,请假开始时间,请假结束时间,请假原因\n"
                            "1,7,2024-03-05 08:30:00.000,2024-03-06 17:00:00.500,\"病假, 发烧\"\n"
                            "2,-32768,,,\n"));
}

void TableToolTest::refusedImportChangesNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("csv");
    QTest::addColumn<QString>("error");

    QTest::newRow("date that does not exist")
        << "ccjl.DB"
        << "员工号,出差开始时间\n1,2024-02-28\n2,2023-02-29\n"
        << "line 3, field '出差开始时间': '2023-02-29' is not a date of the form YYYY-MM-DD";
    QTest::newRow("number out of range")
        << "ryxx.DB"
        << "员工号,姓名\n1,a\n40000,b\n"
        << "line 3, field '员工号': 40000 is not a valid value for field '员工号'. The allowed "
           "range is -32768 to 32767";
    QTest::newRow("name too long")
        << "ryxx.DB"
        << "姓名\n欧阳春晓\n欧阳春晓明\n"
        << "line 3, field '姓名': '欧阳春晓明' takes 10 bytes, more than the field's 8";
    QTest::newRow("emoji") << "cqjl.DB"
                           << "出入情况\n入\n\"\xF0\x9F\x98\x80\"\n"
                           << "line 3, field '出入情况': the character '\xF0\x9F\x98\x80' is not "
                              "in the GBK character set";
    QTest::newRow("staff number taken")
        << "ryxx.DB"
        << "员工号,姓名\n5,甲\n5,乙\n"
        << "line 3, field '员工号': the value 5 is already used by another record";
    // A clash deep inside a large import is found and named all the same.
    QString many = QStringLiteral("员工号\n");
    for (int i = 1; i <= 300; ++i)
        many += QString::number(1000 + (i == 250 ? 17 : i)) + u'\n';
    QTest::newRow("staff number taken far down")
        << "ryxx.DB" << many
        << "line 251, field '员工号': the value 1017 is already used by another record";
    QTest::newRow("unknown field") << "jbjl.DB"
                                   << "员工号,工资\n1,2\n"
                                   << "line 1: '工资' is not a field of the table";
    QTest::newRow("values missing") << "jbjl.DB"
                                    << "员工号,加班时间\n1,2小时\n2\n"
                                    << "line 3: 1 values where the header names 2 fields";
    QTest::newRow("quote not closed") << "jbjl.DB"
                                      << "员工号,加班时间\n1,\"2小时\n"
                                      << "line 2: a quoted field is not closed";
}

void TableToolTest::refusedImportChangesNothing()
{
    QFETCH(QString, file);
    QFETCH(QString, csv);
    QFETCH(QString, error);
    TableFolder folder;
    const QString table = QFileInfo(file).completeBaseName();
    folder.sql(file, QStringLiteral("INSERT INTO %1 (员工号) VALUES (99)").arg(table));
    const QString before = tool({"export", folder.file(file)}).out;

    QTemporaryDir dir;
    const Run run = tool({"import", folder.file(file), writeCsv(dir, csv)});
    QCOMPARE(run.code, 1);
    QVERIFY2(run.err.contains(error), qPrintable(run.err));
    QCOMPARE(tool({"export", folder.file(file)}).out, before);
}

QTEST_GUILESS_MAIN(TableToolTest)
#include "tst_tabletool.moc"
