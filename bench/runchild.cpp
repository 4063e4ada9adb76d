#include "bench/runchild.h"

#include "platform/db/fieldkind.h"
#include "platform/db/sqlite.h"

#include <QDateTime>
#include <QFile>

#include <QElapsedTimer>
#include <algorithm>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

ChildRun runChild(const QString &program, const QStringList &args)
{
    std::vector<QByteArray> storage{program.toLocal8Bit()};
    for (const QString &a : args)
        storage.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    QElapsedTimer timer;
    timer.start();
    const pid_t pid = fork();
    if (pid == 0) {
        // The child's own output would only clutter the figures.
        if (freopen("/dev/null", "w", stdout) == nullptr)
            _exit(127);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    ChildRun run;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.seconds = double(timer.nsecsElapsed()) / 1e9;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakMegabytes = double(usage.ru_maxrss) / 1024.0;
    return run;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

// Fills the empty table file with `rows` records in one transaction.
void fillClockTable(const QString &file, int rows)
{
    sqlite3 *db = sqlite::openHardened(file, SQLITE_OPEN_READWRITE);
    try {
        sqlite::exec(db, QStringLiteral("BEGIN"));
        {
            SqliteStatement insert(
                db,
                QStringLiteral("INSERT INTO cqjl (员工号, 出入情况, 出入时间) VALUES (?, ?, ?)"));
            const QDateTime start(QDate(2020, 1, 1), QTime(7, 0), Qt::UTC);
            for (int i = 0; i < rows; ++i) {
                insert.reset();
                insert.bindInt(1, 1 + i % 3000);
                insert.bindText(2, i % 2 ? QStringLiteral("出") : QStringLiteral("入"));
                insert.bindText(3, isotext::fromDateTime(start.addSecs(qint64(i) * 137)));
                insert.step();
            }
        }
        sqlite::exec(db, QStringLiteral("COMMIT"));
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
}

double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    statm.open(QIODevice::ReadOnly);
    const QList<QByteArray> pages = statm.readAll().split(' ');
    return pages.size() > 1
               ? double(pages[1].toLongLong()) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0)
               : 0;
}
