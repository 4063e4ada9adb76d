// A clock-in/clock-out table of a million records, against an empty one: the time a fresh table
// takes to open and show its first 30 records, to go to the last record and back to the first,
// and the memory that opening and moving add. Each measure runs in a process of its own, so that
// nothing of making the file is counted. Prints the figures; checks nothing.
//
//   bench_scale [ROWS]      (default 1000000)
#include "bench/runchild.h"
#include "data/tables.h"
#include "platform/db/fieldkind.h"
#include "platform/db/localesettings.h"
#include "platform/db/sqlite.h"
#include "platform/db/tfield.h"
#include "platform/db/ttable.h"
#include "platform/error.h"
#include "tools/tabletool.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <unistd.h>

namespace {

constexpr int kRuns = 5;

double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// The measuring process: prints "open+30 last first growth records".
int measure(const QString &folder)
{
    // The program reads the locale settings at start-up, before any table opens.
    currentLocaleSettings();
    TTable table(nullptr);
    tables::declare(table, tables::attendance(), QStringLiteral("cqjl"), folder);

    const double before = residentMegabytes();
    QElapsedTimer timer;
    timer.start();
    table.Open();
    qsizetype shown = 0; // kept, so that the texts are made
    for (int i = 0; i < 30 && !table.Eof(); ++i) {
        for (const TField *f : table.Fields())
            shown += f->DisplayText().size();
        if (i < 29)
            table.Next();
    }
    const double open = elapsedMs(timer);
    timer.start();
    table.Last();
    const double last = elapsedMs(timer);
    const qint64 records = table.FieldByName(QStringLiteral("记录号"))->Value().toLongLong();
    timer.start();
    table.First();
    const double first = elapsedMs(timer);
    const double growth = residentMegabytes() - before;

    QTextStream(stdout) << open << ' ' << last << ' ' << first << ' ' << growth << ' ' << records
                        << ' ' << shown << '\n';
    return 0;
}

struct Figures
{
    QList<double> open, last, first, growth;
    qint64 records = 0;
};

bool runMeasure(const QString &folder, Figures &figures)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--measure"), folder});
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return false;
    const QStringList parts =
        QString::fromUtf8(child.readAllStandardOutput()).simplified().split(u' ');
    if (parts.size() != 6)
        return false;
    figures.open << parts[0].toDouble();
    figures.last << parts[1].toDouble();
    figures.first << parts[2].toDouble();
    figures.growth << parts[3].toDouble();
    figures.records = parts[4].toLongLong();
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    try {
        if (argc == 3 && QByteArray(argv[1]) == "--measure")
            return measure(QString::fromLocal8Bit(argv[2]));

        const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
        QTextStream out(stdout);
        QTemporaryDir dir;
        const QString big = dir.filePath(QStringLiteral("big"));
        const QString empty = dir.filePath(QStringLiteral("empty"));
        QDir().mkpath(big);
        QDir().mkpath(empty);
        tabletool::createTables(big);
        tabletool::createTables(empty);
        QElapsedTimer timer;
        timer.start();
        fillClockTable(big + QStringLiteral("/cqjl.DB"), rows);
        out << "made a clock-in/clock-out table of " << rows << " records ("
            << QFileInfo(big + QStringLiteral("/cqjl.DB")).size() / (1024 * 1024) << " MB) in "
            << QString::number(double(timer.elapsed()) / 1000, 'f', 1) << " s; " << kRuns
            << " runs each, the file in the page cache\n";
        out.flush();

        Figures large, none;
        for (int i = 0; i < kRuns; ++i) {
            if (!runMeasure(big, large) || !runMeasure(empty, none)) {
                out << "a measuring run failed\n";
                return 1;
            }
            out << QStringLiteral("  run %1: open+30 %2 ms, last %3 ms, first %4 ms, memory +%5 MB "
                                  "(empty table: open %6 ms, memory +%7 MB)\n")
                       .arg(i + 1)
                       .arg(large.open.last(), 0, 'f', 2)
                       .arg(large.last.last(), 0, 'f', 2)
                       .arg(large.first.last(), 0, 'f', 2)
                       .arg(large.growth.last(), 0, 'f', 1)
                       .arg(none.open.last(), 0, 'f', 2)
                       .arg(none.growth.last(), 0, 'f', 1);
            out.flush();
        }
        if (large.records != rows)
            out << "warning: the last record is number " << large.records << ", not " << rows
                << "\n";
        out << QStringLiteral("median on %1 records: open and read 30 records %2 ms (target "
                              "within 50 ms), last %3 ms (target within 10 ms), first %4 ms "
                              "(target within 10 ms)\n")
                   .arg(rows)
                   .arg(median(large.open), 0, 'f', 2)
                   .arg(median(large.last), 0, 'f', 2)
                   .arg(median(large.first), 0, 'f', 2);
        out << QStringLiteral("memory: +%1 MB on %2 records, +%3 MB on an empty table, "
                              "difference %4 MB (target under 30 MB)\n")
                   .arg(median(large.growth), 0, 'f', 1)
                   .arg(rows)
                   .arg(median(none.growth), 0, 'f', 1)
                   .arg(median(large.growth) - median(none.growth), 0, 'f', 1);
    } catch (const Error &e) {
        QTextStream(stderr) << "failed: " << e.message() << "\n";
        return 1;
    }
    return 0;
}
