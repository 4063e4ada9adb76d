// Datasets over table files: states, the settle rule, storing, and what the controls see.
#include "data/tables.h"
#include "platform/db/tdatasource.h"
#include "platform/db/tfield.h"
#include "platform/db/ttable.h"
#include "platform/error.h"
#include "tests/testsupport.h"

#include <QtTest>
#include <sqlite3.h>

namespace {

// A bound control as the dataset sees it: it holds text for one field and writes it back when
// asked, if the text was changed; it records what it was told.
class TextLink : public TDataLink
{
public:
    TextLink(TDataSource *source, TField *field) : field(field) { setDataSource(source); }
    void type(const QString &t)
    {
        text = t;
        changed = true;
    }
    void dataEvent(DataEvent event, TField *f) override
    {
        events << event;
        if (event == DataEvent::UpdateData && changed) {
            field->setText(text);
            changed = false;
        }
        if (event == DataEvent::FieldChanged && f == field)
            text = field->DisplayText();
    }
    TField *field;
    QString text;
    bool changed = false;
    QList<DataEvent> events;
};

// The staff table of a folder, opened, with a data source for controls.
struct Staff
{
    explicit Staff(const QString &folder, bool open = true) : table(nullptr), source(nullptr)
    {
        tables::declare(table, tables::staff(), "renyuan1", folder);
        source.setDataSet(&table);
        if (open)
            table.Open();
    }
    TField *number() const { return table.FieldByName("员工号"); }
    TTable table;
    TDataSource source;
};

// Runs a script of operations: A append, I insert, E edit, P post, C cancel, D delete, F first,
// L last, N next, R prior (back), X refresh, M two forward, W two back, =n assign n to the
// employee number.
void run(Staff &s, const QString &script)
{
    for (qsizetype i = 0; i < script.size(); ++i) {
        switch (script[i].unicode()) {
        case 'A':
            s.table.Append();
            break;
        case 'I':
            s.table.Insert();
            break;
        case 'E':
            s.table.Edit();
            break;
        case 'P':
            s.table.Post();
            break;
        case 'C':
            s.table.Cancel();
            break;
        case 'D':
            s.table.Delete();
            break;
        case 'F':
            s.table.First();
            break;
        case 'L':
            s.table.Last();
            break;
        case 'N':
            s.table.Next();
            break;
        case 'R':
            s.table.Prior();
            break;
        case 'X':
            s.table.Refresh();
            break;
        case 'M':
            s.table.MoveBy(2);
            break;
        case 'W':
            s.table.MoveBy(-2);
            break;
        case '=': {
            qsizetype end = i + 1;
            while (end < script.size() && script[end].isDigit())
                ++end;
            s.number()->setText(script.mid(i + 1, end - i - 1));
            i = end - 1;
            break;
        }
        default:
            QFAIL("unknown operation in script");
        }
    }
}

char stateLetter(DataSetState state)
{
    switch (state) {
    case DataSetState::Inactive:
        return '-';
    case DataSetState::Browse:
        return 'B';
    case DataSetState::Edit:
        return 'E';
    case DataSetState::Insert:
        return 'I';
    case DataSetState::SetKey:
        return 'K';
    }
    return '?';
}

} // namespace

class DataSetTest : public QObject
{
    Q_OBJECT
private slots:
    void operations_data();
    void operations();
    void beginningAndEndFlags_data();
    void beginningAndEndFlags();
    void refusals_data();
    void refusals();
    void settleCollectsPendingTextFromControls();
    void failedPostKeepsTheRecordPending_data();
    void failedPostKeepsTheRecordPending();
    void storedValuesThatDoNotFitAreReported();
    void closingDropsThePendingRecord();
};

void DataSetTest::operations_data()
{
    QTest::addColumn<QString>("stored"); // employee numbers in the file before
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("after"); // employee numbers in the file after
    QTest::addColumn<QString>("current");

    QTest::newRow("append") << "1,2,3"
                            << "A"
                            << "I"
                            << "1,2,3"
                            << "";
    QTest::newRow("append, post") << "1,2,3"
                                  << "A=9P"
                                  << "B"
                                  << "1,2,3,9"
                                  << "9";
    QTest::newRow("append, cancel") << "1,2,3"
                                    << "NA=9C"
                                    << "B"
                                    << "1,2,3"
                                    << "2";
    QTest::newRow("append twice untouched") << "1,2,3"
                                            << "AA"
                                            << "I"
                                            << "1,2,3"
                                            << "";
    QTest::newRow("append after typing stores") << "1,2,3"
                                                << "A=9A"
                                                << "I"
                                                << "1,2,3,9"
                                                << "";
    QTest::newRow("move stores a changed record") << "1,2,3"
                                                  << "A=9F"
                                                  << "B"
                                                  << "1,2,3,9"
                                                  << "1";
    QTest::newRow("move drops an untouched one") << "1,2,3"
                                                 << "LAF"
                                                 << "B"
                                                 << "1,2,3"
                                                 << "1";
    QTest::newRow("edit") << "1,2,3"
                          << "E"
                          << "E"
                          << "1,2,3"
                          << "1";
    QTest::newRow("edit twice") << "1,2,3"
                                << "E=7E"
                                << "E"
                                << "1,2,3"
                                << "7";
    QTest::newRow("edit, post") << "1,2,3"
                                << "E=7P"
                                << "B"
                                << "7,2,3"
                                << "7";
    QTest::newRow("edit, cancel") << "1,2,3"
                                  << "E=7C"
                                  << "B"
                                  << "1,2,3"
                                  << "1";
    QTest::newRow("edit, next stores") << "1,2,3"
                                       << "E=7N"
                                       << "B"
                                       << "7,2,3"
                                       << "2";
    QTest::newRow("edit untouched, next") << "1,2,3"
                                          << "EN"
                                          << "B"
                                          << "1,2,3"
                                          << "2";
    QTest::newRow("edit, refresh stores") << "1,2,3"
                                          << "E=7X"
                                          << "B"
                                          << "7,2,3"
                                          << "7";
    QTest::newRow("insert, post") << "1,2,3"
                                  << "NI=5P"
                                  << "B"
                                  << "1,2,3,5"
                                  << "5";
    QTest::newRow("delete first") << "1,2,3"
                                  << "D"
                                  << "B"
                                  << "2,3"
                                  << "2";
    QTest::newRow("delete last") << "1,2,3"
                                 << "LD"
                                 << "B"
                                 << "1,2"
                                 << "2";
    QTest::newRow("delete while editing") << "1,2,3"
                                          << "E=7D"
                                          << "B"
                                          << "2,3"
                                          << "2";
    QTest::newRow("delete while inserting") << "1,2,3"
                                            << "NA=9D"
                                            << "B"
                                            << "1,2,3"
                                            << "2";
    QTest::newRow("delete all") << "1"
                                << "D"
                                << "B"
                                << ""
                                << "";
    QTest::newRow("moves stop at the ends") << "1,2,3"
                                            << "NNNNRRRRRN"
                                            << "B"
                                            << "1,2,3"
                                            << "2";
    QTest::newRow("two forward") << "1,2,3,4"
                                 << "M"
                                 << "B"
                                 << "1,2,3,4"
                                 << "3";
    QTest::newRow("two forward, stopped at the end") << "1,2,3,4"
                                                     << "MM"
                                                     << "B"
                                                     << "1,2,3,4"
                                                     << "4";
    QTest::newRow("two back") << "1,2,3,4"
                              << "LW"
                              << "B"
                              << "1,2,3,4"
                              << "2";
    QTest::newRow("moving by stores a changed record") << "1,2,3"
                                                       << "E=7M"
                                                       << "B"
                                                       << "7,2,3"
                                                       << "3";
    QTest::newRow("edit on an empty table inserts") << ""
                                                    << "E"
                                                    << "I"
                                                    << ""
                                                    << "";
    QTest::newRow("first record of an empty table") << ""
                                                    << "E=4P"
                                                    << "B"
                                                    << "4"
                                                    << "4";
    QTest::newRow("blank number") << "1"
                                  << "A=PA"
                                  << "I"
                                  << "1,blank"
                                  << "";
}

void DataSetTest::operations()
{
    QFETCH(QString, stored);
    QFETCH(QString, script);
    QFETCH(QString, state);
    QFETCH(QString, after);
    QFETCH(QString, current);
    TableFolder folder;
    for (const QString &n : stored.split(u',', Qt::SkipEmptyParts))
        folder.sql("ryxx.DB", QStringLiteral("INSERT INTO ryxx (员工号) VALUES (%1)").arg(n));
    Staff s(folder.path());
    run(s, script);
    QCOMPARE(QString(QChar(stateLetter(s.table.State()))), state);
    QCOMPARE(s.number()->DisplayText(), current);
    QCOMPARE(folder.scalar("ryxx.DB", "SELECT group_concat(n) FROM (SELECT ifnull(员工号, 'blank') "
                                      "n FROM ryxx ORDER BY rowid)"),
             after);
}

void DataSetTest::beginningAndEndFlags_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("bof");
    QTest::addColumn<bool>("eof");

    QTest::newRow("opened") << "1,2"
                            << "" << true << false;
    QTest::newRow("opened empty") << ""
                                  << "" << true << true;
    QTest::newRow("next") << "1,2,3"
                          << "N" << false << false;
    QTest::newRow("last") << "1,2"
                          << "L" << false << true;
    QTest::newRow("next past the end") << "1,2"
                                       << "NN" << false << true;
    QTest::newRow("prior past the start") << "1,2"
                                          << "NRR" << true << false;
    QTest::newRow("first") << "1,2"
                           << "LF" << true << false;
    QTest::newRow("append") << "1,2"
                            << "NA" << false << true;
    QTest::newRow("append, post") << "1,2"
                                  << "A=5P" << false << false;
    QTest::newRow("append, cancel") << "1,2"
                                    << "AC" << false << false;
    QTest::newRow("delete the only record") << "1"
                                            << "D" << true << true;
}

void DataSetTest::beginningAndEndFlags()
{
    QFETCH(QString, stored);
    QFETCH(QString, script);
    QFETCH(bool, bof);
    QFETCH(bool, eof);
    TableFolder folder;
    for (const QString &n : stored.split(u',', Qt::SkipEmptyParts))
        folder.sql("ryxx.DB", QStringLiteral("INSERT INTO ryxx (员工号) VALUES (%1)").arg(n));
    Staff s(folder.path());
    run(s, script);
    QCOMPARE(s.table.Bof(), bof);
    QCOMPARE(s.table.Eof(), eof);
}

void DataSetTest::refusals_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("message");

    const QString closed = "renyuan1: Cannot perform this operation on a closed dataset";
    const QString readOnly = "renyuan1: Cannot modify a read-only dataset";
    for (const char *op : {"A", "I", "E", "P", "D", "F", "N", "L", "R", "X"})
        QTest::addRow("closed %s", op) << false << false << op << closed;
    QTest::newRow("closed cancel does nothing") << false << false << "C"
                                                << "";
    for (const char *op : {"A", "I", "E", "D"})
        QTest::addRow("read-only %s", op) << true << true << op << readOnly;
    QTest::newRow("read-only moves") << true << true << "NLFRX"
                                     << "";
    QTest::newRow("post in browse") << true << false << "P"
                                    << "renyuan1: Dataset not in edit or insert mode";
    QTest::newRow("assign in browse") << true << false << "=5"
                                      << "renyuan1: Dataset not in edit or insert mode";
    QTest::newRow("delete on empty")
        << true << false << "DD"
        << "renyuan1: Cannot perform this operation on an empty dataset";
}

void DataSetTest::refusals()
{
    QFETCH(bool, open);
    QFETCH(bool, readOnly);
    QFETCH(QString, script);
    QFETCH(QString, message);
    TableFolder folder;
    folder.sql("ryxx.DB", "INSERT INTO ryxx (员工号) VALUES (1)");
    if (readOnly)
        QFile::setPermissions(folder.file("ryxx.DB"), QFile::ReadOwner);
    Staff s(folder.path(), open);
    QCOMPARE(errorOf([&] { run(s, script); }), message);
}

void DataSetTest::settleCollectsPendingTextFromControls()
{
    TableFolder folder;
    Staff s(folder.path());
    TextLink box(&s.source, s.number());

    // Typed but not yet written back: the settle rule collects it, and stores the record.
    s.table.Append();
    box.type("12");
    s.table.First();
    QCOMPARE(folder.scalar("ryxx.DB", "SELECT group_concat(员工号) FROM ryxx"),
             QStringLiteral("12"));
    QCOMPARE(s.table.State(), DataSetState::Browse);
    QCOMPARE(box.text, QStringLiteral("12"));

    // Nothing typed: the new record goes without a trace.
    s.table.Append();
    s.table.First();
    QCOMPARE(folder.scalar("ryxx.DB", "SELECT count(*) FROM ryxx"), QStringLiteral("1"));

    // The controls hear of every change of state, record and field.
    box.events.clear();
    s.table.Edit();
    s.number()->setText("13");
    QVERIFY(box.events.contains(DataEvent::StateChanged));
    QVERIFY(box.events.contains(DataEvent::RecordChanged));
    QVERIFY(box.events.contains(DataEvent::FieldChanged));
    QCOMPARE(box.text, QStringLiteral("13"));
}

void DataSetTest::failedPostKeepsTheRecordPending_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("lock");
    QTest::addColumn<QString>("message");

    QTest::newRow("number taken")
        << "1" << false << "the value 1 of field '员工号' is already used by another record";
    QTest::newRow("refused text") << "abc" << false
                                  << "'abc' is not a valid integer value for field '员工号'";
    QTest::newRow("out of range")
        << "40000" << false
        << "40000 is not a valid value for field '员工号'. The allowed range is -32768 to 32767";
    QTest::newRow("file locked") << "8" << true << "is locked by another program";
}

void DataSetTest::failedPostKeepsTheRecordPending()
{
    QFETCH(QString, typed);
    QFETCH(bool, lock);
    QFETCH(QString, message);
    TableFolder folder;
    folder.sql("ryxx.DB", "INSERT INTO ryxx VALUES (1, '甲', NULL)");
    Staff s(folder.path());
    TextLink box(&s.source, s.number());
    s.table.Append();
    s.table.FieldByName("姓名")->setText("乙");
    box.type(typed);

    sqlite3 *other = nullptr;
    if (lock) {
        sqlite3_open(folder.file("ryxx.DB").toUtf8().constData(), &other);
        sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    }
    const QString error = errorOf([&] { s.table.Post(); });
    QVERIFY2(error.contains(message), qPrintable(error));
    QCOMPARE(s.table.State(), DataSetState::Insert);
    QCOMPARE(s.table.FieldByName("姓名")->DisplayText(), QStringLiteral("乙"));
    if (other) {
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(other);
    }
    QCOMPARE(folder.scalar("ryxx.DB", "SELECT group_concat(姓名) FROM ryxx"), QStringLiteral("甲"));

    // Once the cause is gone, the same record posts.
    box.type("2");
    s.table.Post();
    QCOMPARE(folder.scalar("ryxx.DB", "SELECT group_concat(员工号 || 姓名) FROM ryxx"),
             QStringLiteral("1甲,2乙"));
}

void DataSetTest::storedValuesThatDoNotFitAreReported()
{
    // Another program made this file without the checks and stored what it liked.
    TableFolder folder(true);
    folder.sql("ryxx.DB", "CREATE TABLE ryxx (员工号 SMALLINT, 姓名 VARCHAR(8), 部门 VARCHAR(10));"
                          "INSERT INTO ryxx VALUES (1, '甲', 'x'), ('abc', '乙', 'y'), "
                          "(70000, '丙', 'z'), (4, '一二三四五六', 'w')");
    Staff s(folder.path());
    QCOMPARE(s.number()->DisplayText(), QStringLiteral("1"));
    const QString path = folder.file("ryxx.DB");
    QCOMPARE(errorOf([&] { s.table.Next(); }),
             QStringLiteral("Table file '%1', record 2: field '员工号' holds 'abc', which is not a "
                            "whole number")
                 .arg(path));
    // The record is current all the same, so that it can be mended or deleted; the value that
    // does not fit reads as blank and is never written back unless assigned.
    QCOMPARE(s.number()->DisplayText(), QString());
    QCOMPARE(s.table.FieldByName("姓名")->DisplayText(), QStringLiteral("乙"));
    s.table.Edit();
    s.table.FieldByName("部门")->setText("新");
    s.table.Post();
    QCOMPARE(folder.scalar("ryxx.DB", "SELECT 员工号 || 部门 FROM ryxx WHERE rowid = 2"),
             QStringLiteral("abc新"));

    QVERIFY(errorOf([&] {
                s.table.Next();
            }).contains("record 3: field '员工号' holds 70000, which is outside -32768 to 32767"));
    QVERIFY(
        errorOf([&] {
            s.table.Next();
        }).contains("record 4: field '姓名' holds text of 12 bytes, longer than the field's 8"));
}

void DataSetTest::closingDropsThePendingRecord()
{
    TableFolder folder;
    Staff s(folder.path());
    s.table.Append();
    s.number()->setText("5");
    s.table.Close();
    QCOMPARE(s.table.State(), DataSetState::Inactive);
    QCOMPARE(folder.scalar("ryxx.DB", "SELECT count(*) FROM ryxx"), QStringLiteral("0"));
    s.table.Open();
    QVERIFY(s.table.IsEmpty());
}

QTEST_GUILESS_MAIN(DataSetTest)
#include "tst_dataset.moc"
