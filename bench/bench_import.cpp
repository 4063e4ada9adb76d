// Import of a large CSV file into the clock-in/clock-out table, against the sqlite3 shell's
// .import of the same file into a plain table. Prints the figures; checks nothing.
//
//   bench_import [ROWS]      (default 1000000)
#include "bench/runchild.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

namespace {

void writeCsv(const QString &path, int rows)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    QByteArray out = "员工号,出入情况,出入时间\n";
    quint32 state = 12345;
    const auto roll = [&](int n) {
        state = state * 1103515245u + 12345u;
        return int((state >> 16) % quint32(n));
    };
    for (int i = 0; i < rows; ++i) {
        char line[64];
        const int n = std::snprintf(line, sizeof line, "%d,%s,2026-%02d-%02d %02d:%02d:%02d\n",
                                    1 + roll(3000), i % 2 ? "出" : "入", 1 + roll(12), 1 + roll(28),
                                    roll(24), roll(60), roll(60));
        out.append(line, n);
        if (out.size() > (1 << 20)) {
            f.write(out);
            out.clear();
        }
    }
    f.write(out);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
    const QString tool =
        QCoreApplication::applicationDirPath() + QStringLiteral("/vantorel-tables");
    QTextStream out(stdout);

    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("cqjl.csv"));
    writeCsv(csv, rows);
    out << "import of " << rows << " clock-in/clock-out rows (" << QFile(csv).size() / (1024 * 1024)
        << " MB of CSV), 3 runs each\n";
    out.flush();

    QList<double> ours, theirs, peak;
    for (int i = 0; i < 3; ++i) {
        const QString folder = dir.filePath(QStringLiteral("run%1").arg(i));
        QDir().mkpath(folder);
        if (runChild(tool, {QStringLiteral("create"), folder}).exitCode != 0) {
            out << "vantorel-tables create failed\n";
            return 1;
        }
        const ChildRun mine =
            runChild(tool, {QStringLiteral("import"), folder + QStringLiteral("/cqjl.DB"), csv});
        const ChildRun shell = runChild(QStringLiteral("sqlite3"),
                                        {folder + QStringLiteral("/plain.db"),
                                         QStringLiteral("-cmd"), QStringLiteral(".mode csv"),
                                         QStringLiteral(".import ") + csv + QStringLiteral(" t")});
        if (mine.exitCode != 0 || shell.exitCode != 0) {
            out << "a run failed (vantorel-tables " << mine.exitCode << ", sqlite3 "
                << shell.exitCode << ")\n";
            return 1;
        }
        ours << mine.seconds;
        theirs << shell.seconds;
        peak << mine.peakMegabytes;
        out << QStringLiteral(
                   "  run %1: vantorel-tables import %2 s (peak %3 MB), sqlite3 .import %4 s\n")
                   .arg(i + 1)
                   .arg(mine.seconds, 0, 'f', 2)
                   .arg(mine.peakMegabytes, 0, 'f', 1)
                   .arg(shell.seconds, 0, 'f', 2);
        out.flush();
        QDir(folder).removeRecursively();
    }
    const double ratio = median(ours) / median(theirs);
    out << QStringLiteral(
               "median: vantorel-tables %1 s, sqlite3 %2 s, ratio %3 (target at most 2.00); "
               "peak memory %4 MB (target under 100 MB)\n")
               .arg(median(ours), 0, 'f', 2)
               .arg(median(theirs), 0, 'f', 2)
               .arg(ratio, 0, 'f', 2)
               .arg(*std::max_element(peak.begin(), peak.end()), 0, 'f', 1);
    return 0;
}
