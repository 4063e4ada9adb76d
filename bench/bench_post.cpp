// Latency of one Post: Append, three field assignments and Post on the clock-in/clock-out table,
// against one INSERT into the same table schema in a plain SQLite file with the same durability
// (rollback journal, synchronous=FULL), alternating. Prints the figures; checks nothing.
//
//   bench_post [ROUNDS [FOLDER]]     (default 200 rounds, in a temporary folder)
//
// The folder decides the disk, and the disk decides the figures: give one on the disk the table
// files live on where the temporary folder is in memory.
#include "bench/runchild.h"
#include "data/tables.h"
#include "platform/db/fieldkind.h"
#include "platform/db/sqlite.h"
#include "platform/db/tablefile.h"
#include "platform/db/tfield.h"
#include "platform/db/ttable.h"
#include "platform/error.h"
#include "tools/tabletool.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

struct Values
{
    qint64 employee;
    QString status;
    QDateTime time;
};

Values valuesOf(int round)
{
    return {1 + round % 3000, round % 2 ? QStringLiteral("出") : QStringLiteral("入"),
            QDateTime(QDate(2026, 1, 5), QTime(8, 0), Qt::UTC).addSecs(qint64(round) * 97)};
}

// The same work without the dataset: a statement prepared once, one INSERT in autocommit.
class BareFile
{
public:
    explicit BareFile(const QString &path)
    {
        m_db = sqlite::openHardened(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        sqlite::exec(m_db, QStringLiteral("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL"));
        for (const QString &statement : tablefile::createStatements(tables::attendance()))
            sqlite::exec(m_db, statement);
        m_insert = std::make_unique<SqliteStatement>(
            m_db, QStringLiteral("INSERT INTO cqjl (员工号, 出入情况, 出入时间) VALUES (?, ?, ?)"));
    }
    ~BareFile()
    {
        m_insert.reset();
        sqlite3_close(m_db);
    }
    void insert(const Values &v)
    {
        m_insert->reset();
        m_insert->bindInt(1, v.employee);
        m_insert->bindText(2, v.status);
        m_insert->bindText(3, isotext::fromDateTime(v.time));
        m_insert->step();
    }

private:
    sqlite3 *m_db = nullptr;
    std::unique_ptr<SqliteStatement> m_insert;
};

double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 200;
    QTemporaryDir tmp(argc > 2
                          ? QString::fromLocal8Bit(argv[2]) + QStringLiteral("/bench_post-XXXXXX")
                          : QDir::tempPath() + QStringLiteral("/bench_post-XXXXXX"));
    QTextStream out(stdout);
    if (rounds <= 0 || !tmp.isValid()) {
        out << "usage: bench_post [ROUNDS [FOLDER]]\n";
        return 1;
    }

    try {
        tabletool::createTables(tmp.path());
        TTable table(nullptr);
        tables::declare(table, tables::attendance(), QStringLiteral("cqjl"), tmp.path());
        table.Open();
        TField *employee = table.FieldByName(QStringLiteral("员工号"));
        TField *status = table.FieldByName(QStringLiteral("出入情况"));
        TField *time = table.FieldByName(QStringLiteral("出入时间"));
        BareFile bare(tmp.filePath(QStringLiteral("plain.db")));

        out << "Post of one clock-in/clock-out record, " << rounds << " rounds in " << tmp.path()
            << ", against a bare SQLite INSERT with the same durability\n";
        out.flush();
        QList<double> ours, theirs;
        // A few rounds first, so that neither side pays for warming the caches.
        for (int i = -5; i < rounds; ++i) {
            const Values v = valuesOf(i + 5);
            const auto post = [&] {
                QElapsedTimer timer;
                timer.start();
                table.Append();
                employee->setValue(v.employee);
                status->setValue(v.status);
                time->setValue(v.time);
                table.Post();
                return elapsedMs(timer);
            };
            const auto insert = [&] {
                QElapsedTimer timer;
                timer.start();
                bare.insert(v);
                return elapsedMs(timer);
            };
            // Each side goes first in every other round.
            double mine = 0, plain = 0;
            if (i % 2) {
                mine = post();
                plain = insert();
            } else {
                plain = insert();
                mine = post();
            }
            if (i >= 0) {
                ours << mine;
                theirs << plain;
            }
        }
        const double ratio = median(ours) / median(theirs);
        out << QStringLiteral("median: Post %1 ms, bare INSERT %2 ms, ratio %3 (target at most "
                              "1.30)\n")
                   .arg(median(ours), 0, 'f', 3)
                   .arg(median(theirs), 0, 'f', 3)
                   .arg(ratio, 0, 'f', 2);
    } catch (const Error &e) {
        out << "failed: " << e.message() << "\n";
        return 1;
    }
    return 0;
}
