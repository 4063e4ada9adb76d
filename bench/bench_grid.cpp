// A data grid of the designed size over a clock-in/clock-out table of a million records: the
// time to open the table and paint the first screen, to go to the last and the first record
// with Ctrl+End and Ctrl+Home (each up to the repainted grid), the average of 1,000 Page Down
// steps, and the memory all this adds. The measures run in a process of their own, so that
// nothing of making the file counts. Prints the figures; checks nothing.
//
//   bench_grid [ROWS]      (default 1000000)
#include "bench/runchild.h"
#include "data/tables.h"
#include "forms/tdbgrid.h"
#include "platform/db/localesettings.h"
#include "platform/db/tdatasource.h"
#include "platform/db/tfield.h"
#include "platform/db/ttable.h"
#include "tools/tabletool.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void press(QWidget *w, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(w, &event);
}

// The measuring process: prints "open end home pagedown growth".
int measure(const QString &folder, QTextStream &out)
{
    currentLocaleSettings();
    QWidget window;
    window.resize(430, 260);
    auto *grid = new TDBGrid(&window);
    grid->setGeometry(8, 0, 313, 121);
    window.show();
    grid->repaint();
    TTable table(nullptr);
    tables::declare(table, tables::attendance(), QStringLiteral("cqjl"), folder);
    TDataSource source(nullptr);
    source.setDataSet(&table);
    grid->resolveReference("DataSource", &source);
    const double before = residentMegabytes();

    QElapsedTimer timer;
    timer.start();
    table.Open();
    grid->repaint();
    const double open = elapsedMs(timer);

    timer.restart();
    press(grid, Qt::Key_End, Qt::ControlModifier);
    grid->repaint();
    const double end = elapsedMs(timer);

    timer.restart();
    press(grid, Qt::Key_Home, Qt::ControlModifier);
    grid->repaint();
    const double home = elapsedMs(timer);

    timer.restart();
    for (int i = 0; i < 1000; ++i) {
        press(grid, Qt::Key_PageDown);
        grid->repaint();
    }
    const double pageDown = elapsedMs(timer) / 1000;
    out << open << ' ' << end << ' ' << home << ' ' << pageDown << ' '
        << residentMegabytes() - before << '\n';
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && QByteArray(argv[1]) == "--measure") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        QTextStream out(stdout);
        return measure(QString::fromLocal8Bit(argv[2]), out);
    }
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
    QTemporaryDir dir;
    tabletool::createTables(dir.path());
    fillClockTable(dir.filePath(QStringLiteral("cqjl.DB")), rows);
    out << "a grid of 313 x 121 pixels over a clock-in/clock-out table of " << rows
        << " records, 5 runs\n";
    out.flush();

    QList<double> open, end, home, pageDown, growth;
    for (int run = 0; run < 5; ++run) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--measure"), dir.path()});
        child.waitForFinished(-1);
        const QList<QByteArray> f = child.readAllStandardOutput().trimmed().split(' ');
        if (f.size() != 5) {
            out << "a measuring run failed: " << child.readAllStandardError() << '\n';
            return 1;
        }
        open << f[0].toDouble();
        end << f[1].toDouble();
        home << f[2].toDouble();
        pageDown << f[3].toDouble();
        growth << f[4].toDouble();
    }
    out << QStringLiteral("median: open and paint the first screen %1 ms (target within 100 ms); "
                          "Ctrl+End %2 ms, Ctrl+Home %3 ms (targets within 20 ms); Page Down %4 ms "
                          "on average over 1,000 steps (target under 5 ms); memory growth %5 MB "
                          "(target under 40 MB)\n")
               .arg(median(open), 0, 'f', 2)
               .arg(median(end), 0, 'f', 2)
               .arg(median(home), 0, 'f', 2)
               .arg(median(pageDown), 0, 'f', 3)
               .arg(median(growth), 0, 'f', 1);
    return 0;
}
