// The report query: the join of the five table files run by SQLite, its fields, its walk and
// count, its failures, fresh runs after Close and Open, and refused changes.
#include "data/unit6.h"
#include "platform/db/tfield.h"
#include "platform/db/tquery.h"
#include "platform/db/ttable.h"
#include "platform/error.h"
#include "tests/testsupport.h"

#include <QtTest>
#include <functional>

namespace {

// One member of staff and his records: {number, has a staff record, trips, clock records,
// overtime records, leave records}. Number 0 stands for a blank number.
using People = QList<QList<int>>;
using Change = std::function<void(TData1 &)>;
using Action = std::function<void(TQuery &)>;

QString number(int n)
{
    return n ? QString::number(n) : QStringLiteral("NULL");
}

// Writes the people's records straight into the table files. Record i of each kind carries i
// where a row's text can show it: the trip's start day, the clock record's minute, the
// overtime's "o<i>" and the leave reason "l<i>".
void fill(const TableFolder &folder, const People &people)
{
    for (const QList<int> &p : people) {
        const QString n = number(p[0]);
        if (p[1]) {
            folder.sql("ryxx.DB", QStringLiteral("INSERT INTO ryxx VALUES (%1, '员工%2', '部门%2')")
                                      .arg(n)
                                      .arg(p[0]));
        }
        for (int i = 1; i <= p[2]; ++i) {
            folder.sql("ccjl.DB", QStringLiteral("INSERT INTO ccjl (员工号, 出差开始时间, "
                                                 "出差结束时间) VALUES (%1, '2024-03-0%2', "
                                                 "'2024-03-1%2')")
                                      .arg(n)
                                      .arg(i));
        }
        for (int i = 1; i <= p[3]; ++i) {
            folder.sql("cqjl.DB", QStringLiteral("INSERT INTO cqjl (员工号, 出入情况, 出入时间) "
                                                 "VALUES (%1, '入', '2024-03-01 08:0%2:00.000')")
                                      .arg(n)
                                      .arg(i));
        }
        for (int i = 1; i <= p[4]; ++i) {
            folder.sql("jbjl.DB", QStringLiteral("INSERT INTO jbjl (员工号, 加班时间, 加班日期) "
                                                 "VALUES (%1, 'o%2', '2024-03-05')")
                                      .arg(n)
                                      .arg(i));
        }
        for (int i = 1; i <= p[5]; ++i) {
            folder.sql("qjjl.DB",
                       QStringLiteral("INSERT INTO qjjl (员工号, 请假开始时间, 请假结束时间, "
                                      "请假原因) VALUES (%1, '2024-03-02 09:00:00.000', "
                                      "'2024-03-02 17:00:00.000', 'l%2')")
                           .arg(n)
                           .arg(i));
        }
    }
}

QString rowKey(const QString &number, const QString &name, const QString &department, int trip,
               int clock, const QString &overtime, const QString &leave)
{
    return QStringLiteral("%1 %2 %3 t%4 c%5 %6 %7")
        .arg(number, name, department)
        .arg(trip)
        .arg(clock)
        .arg(overtime, leave);
}

// The current row of the report query as a key, after checking that every data field holds a
// value and every calculated one is empty.
QString rowOf(TQuery &q)
{
    for (TField *f : q.Fields()) {
        if (f->Calculated() != f->IsNull())
            return QStringLiteral("field %1 is %2").arg(f->FieldName(), f->DisplayText());
    }
    const auto text = [&](const char *name) { return q.FieldByName(name)->DisplayText(); };
    return rowKey(text("员工号"), text("姓名"), text("部门"),
                  q.FieldByName("出差开始时间")->Value().toDate().day(),
                  q.FieldByName("出入时间")->Value().toDateTime().time().minute(), text("加班时间"),
                  text("请假原因"));
}

QStringList walk(TQuery &q)
{
    QStringList keys;
    for (q.First(); !q.Eof(); q.Next())
        keys << rowOf(q);
    return keys;
}

void bind(TData1 &data, const QString &folder)
{
    for (QObject *c : data.Components()) {
        if (auto *dataset = qobject_cast<TDataSet *>(c))
            dataset->setDatabaseName(folder);
    }
}

void setValue(TTable *table, const char *field, const QVariant &value)
{
    table->FieldByName(field)->setValue(value);
}

} // namespace

Q_DECLARE_METATYPE(Change)
Q_DECLARE_METATYPE(Action)

class QueryTest : public QObject
{
    Q_OBJECT
private slots:
    void joinsTheFiveTables_data();
    void joinsTheFiveTables();
    void repeatedColumnNamesAreNumbered_data();
    void repeatedColumnNamesAreNumbered();
    void walksBothWays();
    void openingFails_data();
    void openingFails();
    void eachRunShowsTheTablesAsTheyAreThen_data();
    void eachRunShowsTheTablesAsTheyAreThen();
    void changesAreRefused_data();
    void changesAreRefused();
};

void QueryTest::joinsTheFiveTables_data()
{
    QTest::addColumn<People>("people");
    QTest::addColumn<QStringList>("renames");
    QTest::addColumn<int>("rows");

    const QList<int> full{1, 1, 2, 3, 1, 2};
    QTest::newRow("2 trips, 3 clock, 1 overtime, 2 leave") << People{full} << QStringList() << 12;
    QTest::newRow("one without overtime")
        << People{full, {2, 1, 2, 1, 0, 1}} << QStringList() << 12;
    QTest::newRow("empty leave table")
        << People{{1, 1, 1, 1, 1, 0}, {2, 1, 2, 2, 2, 0}} << QStringList() << 0;
    QTest::newRow("records of no staff member")
        << People{full, {9, 0, 1, 1, 1, 1}} << QStringList() << 12;
    QTest::newRow("blank numbers") << People{full, {0, 1, 1, 1, 1, 1}} << QStringList() << 12;
    QTest::newRow("two people") << People{full, {2, 1, 1, 2, 2, 1}} << QStringList() << 16;
    QTest::newRow("file names in another case")
        << People{full} << QStringList{"cqjl.DB", "CQJL.db", "ryxx.DB", "Ryxx.Db"} << 12;
}

void QueryTest::joinsTheFiveTables()
{
    QFETCH(People, people);
    QFETCH(QStringList, renames);
    QFETCH(int, rows);

    TableFolder folder;
    fill(folder, people);
    for (qsizetype i = 0; i < renames.size(); i += 2)
        QVERIFY(QFile::rename(folder.file(renames[i]), folder.file(renames[i + 1])));
    QStringList expected;
    for (const QList<int> &p : people) {
        if (!p[0] || !p[1])
            continue;
        const QString n = QString::number(p[0]);
        for (int t = 1; t <= p[2]; ++t)
            for (int c = 1; c <= p[3]; ++c)
                for (int o = 1; o <= p[4]; ++o)
                    for (int l = 1; l <= p[5]; ++l)
                        expected << rowKey(n, "员工" + n, "部门" + n, t, c, QString("o%1").arg(o),
                                           QString("l%1").arg(l));
    }
    QCOMPARE(expected.size(), rows);

    TData1 data;
    bind(data, folder.path());
    data.Query1->Open();
    QVERIFY(data.Query1->Active());
    QCOMPARE(data.Query1->Eof(), rows == 0);
    QCOMPARE(data.Query1->RecordCount(), rows);
    QStringList keys = walk(*data.Query1);
    keys.sort();
    expected.sort();
    QCOMPARE(keys, expected);
}

void QueryTest::repeatedColumnNamesAreNumbered_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("values");

    const QString twoTrips =
        QStringLiteral(" from CCJL a, CCJL b where a.记录号 = 1 and b.记录号 = 2");
    QTest::newRow("second of a name")
        << "Select *" + twoTrips << QStringList{"员工号", "员工号_1"} << QStringList{"7", "8"};
    QTest::newRow("first free name")
        << "Select a.员工号, a.员工号 AS 员工号_1, b.员工号" + twoTrips
        << QStringList{"员工号", "员工号_1", "员工号_2"} << QStringList{"7", "7", "8"};
}

void QueryTest::repeatedColumnNamesAreNumbered()
{
    QFETCH(QString, statement);
    QFETCH(QStringList, fields);
    QFETCH(QStringList, values);

    TableFolder folder;
    folder.sql("ccjl.DB", "INSERT INTO ccjl (员工号) VALUES (7), (8)");
    TQuery query(nullptr);
    query.setObjectName("q");
    query.setDatabaseName(folder.path());
    query.setSQL({statement});
    for (const QString &name : fields)
        new TField({name, FieldKind::SmallInt}, &query, &query);
    query.Open();
    QStringList read;
    for (const QString &name : fields)
        read << query.FieldByName(name)->DisplayText();
    QCOMPARE(read, values);
}

void QueryTest::walksBothWays()
{
    TableFolder folder;
    fill(folder, {{1, 1, 2, 3, 1, 2}, {2, 1, 1, 2, 2, 1}});
    TData1 data;
    bind(data, folder.path());
    TQuery &q = *data.Query1;
    data.chucai->Open();
    q.Open();
    const QStringList forward = walk(q);
    QCOMPARE(forward.size(), 16);
    // A table whose file the query reads closes meanwhile; going back runs the statement again.
    data.chucai->Close();
    QCOMPARE(q.RecordCount(), 16);
    q.Next();
    QVERIFY(q.Eof());

    QStringList backward;
    for (q.Last(); !q.Bof(); q.Prior())
        backward.prepend(rowOf(q));
    QCOMPARE(backward, forward);
    QCOMPARE(q.currentKey(), qint64(1));

    q.MoveBy(5);
    QCOMPARE(rowOf(q), forward[5]);
    q.MoveBy(-2);
    QCOMPARE(rowOf(q), forward[3]);
    q.MoveBy(100);
    QVERIFY(q.Eof());
    QCOMPARE(rowOf(q), forward.last());
    QStringList before;
    for (const StoredRecord &r : q.recordsBefore(6, 3))
        before << QString::number(r.key);
    QCOMPARE(before, QStringList({"3", "4", "5"}));
    QCOMPARE(q.recordsFrom(15, 5).size(), 2);
}

void QueryTest::openingFails_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("message");

    // %1 stands for the folder.
    QTest::newRow("missing file") << "qjjl.DB" << QString()
                                  << "Table file '%1/QJJL.DB' does not exist";
    QTest::newRow("not a table file")
        << "jbjl.DB"
        << "garbage"
        << "Table file '%1/jbjl.DB' is damaged or is not a table file";
    QTest::newRow("field missing")
        << "jbjl.DB"
        << "CREATE TABLE jbjl (记录号 INTEGER PRIMARY KEY AUTOINCREMENT, 员工号 SMALLINT, "
           "加班时间 VARCHAR(6))"
        << "Query1: Field '加班日期' not found";
    QTest::newRow("number for a name")
        << "ryxx.DB"
        << "CREATE TABLE ryxx (员工号 SMALLINT, 姓名 INTEGER, 部门 VARCHAR(10))"
        << "Query1: Type mismatch for field '姓名', expecting: String actual: Integer";
    QTest::newRow("text for a time")
        << "cqjl.DB"
        << "CREATE TABLE cqjl (记录号 INTEGER PRIMARY KEY AUTOINCREMENT, 员工号 SMALLINT, "
           "出入情况 VARCHAR(2), 出入时间 VARCHAR(23))"
        << "Query1: Type mismatch for field '出入时间', expecting: DateTime actual: String";
    // String sizes are not compared, and a date fits a date-and-time field.
    QTest::newRow("other size and kind of one family")
        << "ccjl.DB"
        << "CREATE TABLE ccjl (记录号 INTEGER PRIMARY KEY AUTOINCREMENT, 员工号 INTEGER, "
           "出差开始时间 DATETIME, 出差结束时间 DATE)"
        << QString();
}

void QueryTest::openingFails()
{
    QFETCH(QString, file);
    QFETCH(QString, content);
    QFETCH(QString, message);

    TableFolder folder;
    QVERIFY(QFile::remove(folder.file(file)));
    if (content == "garbage") {
        QFile f(folder.file(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    } else if (!content.isEmpty()) {
        folder.sql(file, content);
    }
    TData1 data;
    bind(data, folder.path());
    // A table the query also reads is open already.
    data.chucai->Open();
    QCOMPARE(errorOf([&] { data.Query1->Open(); }), QString(message).replace("%1", folder.path()));
    QCOMPARE(data.Query1->Active(), message.isEmpty());
    QCOMPARE(data.chucai->State(), DataSetState::Browse);
}

void QueryTest::eachRunShowsTheTablesAsTheyAreThen_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("probe");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("name");

    QTest::newRow("leave added") << Change([](TData1 &d) {
        d.qinjia->Open();
        d.qinjia->Append();
        setValue(d.qinjia, "员工号", 1);
        const QDateTime start(QDate(2024, 3, 4), QTime(9, 0), Qt::UTC);
        setValue(d.qinjia, "请假开始时间", start);
        setValue(d.qinjia, "请假结束时间", start.addSecs(3600));
        setValue(d.qinjia, "请假原因", "l3");
        d.qinjia->Post();
    }) << "qjjl.DB"
                                 << "SELECT count(*) FROM qjjl"
                                 << "3" << 18 << "员工1";
    QTest::newRow("trip deleted") << Change([](TData1 &d) {
        d.chucai->Open();
        d.chucai->Delete();
    }) << "ccjl.DB"
                                  << "SELECT count(*) FROM ccjl"
                                  << "1" << 6 << "员工1";
    QTest::newRow("name changed") << Change([](TData1 &d) {
        d.renyuan1->Open();
        d.renyuan1->Edit();
        setValue(d.renyuan1, "姓名", "新名");
        d.renyuan1->Post();
    }) << "ryxx.DB"
                                  << "SELECT 姓名 FROM ryxx"
                                  << "新名" << 12 << "新名";
}

void QueryTest::eachRunShowsTheTablesAsTheyAreThen()
{
    QFETCH(Change, change);
    QFETCH(QString, file);
    QFETCH(QString, probe);
    QFETCH(QString, stored);
    QFETCH(int, rows);
    QFETCH(QString, name);

    TableFolder folder;
    fill(folder, {{1, 1, 2, 3, 1, 2}});
    TData1 data;
    bind(data, folder.path());
    data.Query1->Open();
    QCOMPARE(data.Query1->RecordCount(), 12);
    // The query stands on its first row while a table posts on the same connection: the
    // change is in the file at once.
    change(data);
    QCOMPARE(folder.scalar(file, probe), stored);

    data.Query1->Close();
    data.Query1->Open();
    const QStringList keys = walk(*data.Query1);
    QCOMPARE(keys.size(), rows);
    QCOMPARE(data.Query1->RecordCount(), rows);
    for (const QString &key : keys)
        QCOMPARE(key.section(' ', 1, 1), name);
}

void QueryTest::changesAreRefused_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("message");

    const QString readOnly = QStringLiteral("Query1: Cannot modify a read-only dataset");
    QTest::newRow("edit") << Action([](TQuery &q) { q.Edit(); }) << readOnly;
    QTest::newRow("append") << Action([](TQuery &q) { q.Append(); }) << readOnly;
    QTest::newRow("insert") << Action([](TQuery &q) { q.Insert(); }) << readOnly;
    QTest::newRow("delete") << Action([](TQuery &q) { q.Delete(); }) << readOnly;
    QTest::newRow("set a field") << Action([](TQuery &q) { q.FieldByName("姓名")->setText("x"); })
                                 << "Query1: Dataset not in edit or insert mode";
    QTest::newRow("set a calculated field")
        << Action([](TQuery &q) { q.FieldByName("旷工次数")->setValue(1); })
        << "Query1: Dataset not in edit or insert mode";
}

void QueryTest::changesAreRefused()
{
    QFETCH(Action, action);
    QFETCH(QString, message);

    TableFolder folder;
    fill(folder, {{1, 1, 2, 3, 1, 2}});
    TData1 data;
    bind(data, folder.path());
    TQuery &q = *data.Query1;
    q.Open();
    q.Next();
    const QString before = rowOf(q);
    QCOMPARE(errorOf([&] { action(q); }), message);
    QCOMPARE(q.State(), DataSetState::Browse);
    QCOMPARE(rowOf(q), before);
    QCOMPARE(q.RecordCount(), 12);
    QVERIFY(!q.CanModify());
    QVERIFY(!q.FieldByName("姓名")->CanModify());
}

QTEST_MAIN(QueryTest)
#include "tst_query.moc"
