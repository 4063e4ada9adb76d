// The report query over generated table files whose join has ROWS rows: Open plus a walk of
// every row reading the number, name and department as display text, against the sqlite3 shell
// running the same statement over the same files. Each run is a process of its own, ours and
// the shell's alternately; prints the median times, their ratio and our walk's peak memory.
// Checks nothing.
//
//   bench_query [ROWS...]      (default 1000000 10000000; ROWS a multiple of 10,000)
#include "bench/runchild.h"
#include "data/tables.h"
#include "data/unit6.h"
#include "platform/db/sqlite.h"
#include "platform/db/tfield.h"
#include "platform/db/tquery.h"
#include "tools/tabletool.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

constexpr int kRuns = 3;

// Each person has 10 records in each of the four record tables: 10,000 rows of the join.
void generate(const QString &dir, int people)
{
    tabletool::createTables(dir);
    const QString numbers = QStringLiteral("WITH RECURSIVE p(n) AS (SELECT 1 UNION ALL SELECT n + "
                                           "1 FROM p WHERE n < %1), k(i) AS (SELECT 0 UNION ALL "
                                           "SELECT i + 1 FROM k WHERE i < 9) ")
                                .arg(people);
    const QList<QPair<QString, QString>> fills{
        {"ryxx", "INSERT INTO ryxx SELECT n, '员工' || n, '部门' || (n % 10) FROM p"},
        {"ccjl", "INSERT INTO ccjl (员工号, 出差开始时间, 出差结束时间) SELECT n, "
                 "date('2024-01-01', '+' || i || ' days'), date('2024-01-02', '+' || i || "
                 "' days') FROM p, k"},
        {"cqjl", "INSERT INTO cqjl (员工号, 出入情况, 出入时间) SELECT n, iif(i % 2, '出', '入'), "
                 "strftime('%Y-%m-%d %H:%M:%f', '2024-01-01 08:00', '+' || i || ' hours') FROM "
                 "p, k"},
        {"jbjl", "INSERT INTO jbjl (员工号, 加班时间, 加班日期) SELECT n, '2小时', "
                 "date('2024-02-01', '+' || i || ' days') FROM p, k"},
        {"qjjl", "INSERT INTO qjjl (员工号, 请假开始时间, 请假结束时间, 请假原因) SELECT n, "
                 "strftime('%Y-%m-%d %H:%M:%f', '2024-03-01 09:00', '+' || i || ' days'), "
                 "strftime('%Y-%m-%d %H:%M:%f', '2024-03-01 17:00', '+' || i || ' days'), "
                 "'病假' FROM p, k"},
    };
    for (const auto &[table, insert] : fills) {
        sqlite3 *db = sqlite::openHardened(QDir(dir).filePath(table + QStringLiteral(".DB")),
                                           SQLITE_OPEN_READWRITE);
        try {
            sqlite::exec(db,
                         QStringLiteral("BEGIN; ") + numbers + insert + QStringLiteral("; COMMIT"));
        } catch (...) {
            sqlite3_close(db);
            throw;
        }
        sqlite3_close(db);
    }
}

// The measured process: exits 0 when the walk saw `rows` rows.
int walk(const QString &dir, qint64 rows)
{
    TData1 data;
    for (QObject *c : data.Components()) {
        if (auto *dataset = qobject_cast<TDataSet *>(c))
            dataset->setDatabaseName(dir);
    }
    TQuery &query = *data.Query1;
    query.Open();
    TField *number = query.FieldByName(QStringLiteral("员工号"));
    TField *name = query.FieldByName(QStringLiteral("姓名"));
    TField *department = query.FieldByName(QStringLiteral("部门"));
    qint64 seen = 0, characters = 0;
    for (query.First(); !query.Eof(); query.Next()) {
        characters += number->DisplayText().size() + name->DisplayText().size() +
                      department->DisplayText().size();
        ++seen;
    }
    return seen == rows && characters > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 3 && args[0] == QStringLiteral("--walk"))
        return walk(args[1], args[2].toLongLong());

    QTextStream out(stdout);
    QList<qint64> sizes;
    for (const QString &a : args)
        sizes << a.toLongLong();
    if (sizes.isEmpty())
        sizes = {1000000, 10000000};

    for (const qint64 rows : sizes) {
        const int people = int(rows / 10000);
        QTemporaryDir dir;
        generate(dir.path(), people);
        QStringList shell{QStringLiteral(":memory:")};
        for (const TableDef &def : tables::all()) {
            shell << QStringLiteral("-cmd")
                  << QStringLiteral("ATTACH '%1' AS %2")
                         .arg(QDir(dir.path()).filePath(def.fileName), def.baseName());
        }
        shell << tables::reportQueryLines().join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");

        QList<double> ours, theirs, memory;
        for (int run = 0; run < kRuns; ++run) {
            const ChildRun walked =
                runChild(QCoreApplication::applicationFilePath(),
                         {QStringLiteral("--walk"), dir.path(), QString::number(rows)});
            const ChildRun sqlite = runChild(QStringLiteral("sqlite3"), shell);
            if (walked.exitCode != 0 || sqlite.exitCode != 0) {
                out << "a run failed: walk " << walked.exitCode << ", sqlite3 " << sqlite.exitCode
                    << '\n';
                return 1;
            }
            ours << walked.seconds;
            theirs << sqlite.seconds;
            memory << walked.peakMegabytes;
        }
        const double a = median(ours), b = median(theirs);
        out << QStringLiteral("%1 rows (%2 people, 10 records each in the four record tables), "
                              "median of %3 runs: Open and walk %4 s, sqlite3 shell %5 s, ratio "
                              "%6 (target at most 2); peak memory of the walk %7 MB (largest "
                              "%8 MB; target under 150 MB)\n")
                   .arg(rows)
                   .arg(people)
                   .arg(kRuns)
                   .arg(a, 0, 'f', 2)
                   .arg(b, 0, 'f', 2)
                   .arg(a / b, 0, 'f', 2)
                   .arg(median(memory), 0, 'f', 1)
                   .arg(*std::max_element(memory.begin(), memory.end()), 0, 'f', 1);
        out.flush();
    }
    return 0;
}
