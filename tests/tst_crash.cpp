// A program killed at any moment while it posts records leaves a table file that holds every
// record whose Post had returned, as posted, and nothing half-written.
#include "data/tables.h"
#include "platform/db/fieldkind.h"
#include "platform/db/tfield.h"
#include "platform/db/ttable.h"
#include "platform/error.h"
#include "tests/testsupport.h"

#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QtTest>
#include <csignal>
#include <random>

namespace {

struct Row
{
    QString employee;
    QString status;
    QString time;
    bool operator==(const Row &) const = default;
};

QString describe(qint64 key, const Row &row)
{
    return QStringLiteral("record %1 (%2, %3, %4)")
        .arg(key)
        .arg(row.employee, row.status, row.time);
}

// The records the child reported, in the order it posted them. A line the kill cut short proves
// nothing and is left out.
QList<std::pair<qint64, Row>> reported(const QByteArray &out)
{
    QList<std::pair<qint64, Row>> rows;
    QList<QByteArray> lines = out.split('\n');
    lines.removeLast();
    for (const QByteArray &line : std::as_const(lines)) {
        const QStringList parts = QString::fromUtf8(line).split(u'\t');
        if (parts.size() != 4)
            throw Error(QStringLiteral("unreadable line from the child: ") +
                        QString::fromUtf8(line));
        rows.append({parts[0].toLongLong(), Row{parts[1], parts[2], parts[3]}});
    }
    return rows;
}

// Every record of the file as the program reads it, in record number order. A blank value, which
// the child never posts, means a half-written record.
QMap<qint64, Row> readTable(const QString &folder)
{
    TTable table(nullptr);
    tables::declare(table, tables::attendance(), QStringLiteral("cqjl"), folder);
    QMap<qint64, Row> rows;
    for (table.Open(); !table.Eof(); table.Next()) {
        for (const TField *f : table.Fields()) {
            if (f->IsNull())
                throw Error(QStringLiteral("record %1 has no value in field '%2'")
                                .arg(table.currentKey())
                                .arg(f->FieldName()));
        }
        const auto value = [&](const char *name) {
            return table.FieldByName(QString::fromUtf8(name))->Value();
        };
        rows.insert(value("记录号").toLongLong(),
                    Row{value("员工号").toString(), value("出入情况").toString(),
                        isotext::fromDateTime(value("出入时间").toDateTime())});
    }
    return rows;
}

} // namespace

class CrashTest : public QObject
{
    Q_OBJECT
private slots:
    void killedWhilePostingLosesNothing();
};

void CrashTest::killedWhilePostingLosesNothing()
{
    std::mt19937 rng(20261211);
    // One file throughout, so that later kills meet a larger file.
    TableFolder folder;
    QMap<qint64, Row> posted;
    qint64 lastKey = 0;

    for (int round = 0; round < 30; ++round) {
        const int lifetime = std::uniform_int_distribution<int>(20, 300)(rng);
        QProcess child;
        child.start(QStringLiteral(VANTOREL_CRASH_CHILD),
                    {folder.path(), QString::number(quint32(rng()))});
        QVERIFY(child.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        // Read while it runs: a full pipe would stop the child short of the kill.
        QByteArray out;
        while (child.state() == QProcess::Running && clock.elapsed() < lifetime) {
            child.waitForReadyRead(int(std::max<qint64>(1, lifetime - clock.elapsed())));
            out += child.readAllStandardOutput();
        }
        QVERIFY2(child.state() == QProcess::Running, child.readAllStandardError().constData());
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        out += child.readAllStandardOutput();

        QMap<qint64, Row> stored;
        QList<std::pair<qint64, Row>> fresh;
        try {
            fresh = reported(out);
            stored = readTable(folder.path());
        } catch (const Error &e) {
            QFAIL(qPrintable(QStringLiteral("round %1: %2").arg(round).arg(e.message())));
        }
        QCOMPARE(folder.scalar(QStringLiteral("cqjl.DB"), QStringLiteral("PRAGMA integrity_check")),
                 QStringLiteral("ok"));

        // The records added in this round are the reported ones, in order, and at most one more:
        // the kill can fall after a record is stored and before the child says so.
        QList<qint64> added;
        for (auto it = stored.upperBound(lastKey); it != stored.cend(); ++it)
            added << it.key();
        QList<qint64> said;
        for (const auto &[key, row] : std::as_const(fresh)) {
            said << key;
            posted.insert(key, row);
        }
        QVERIFY2(added.mid(0, said.size()) == said && added.size() - said.size() <= 1,
                 qPrintable(QStringLiteral("round %1: %2 records reported, %3 stored")
                                .arg(round)
                                .arg(said.size())
                                .arg(added.size())));
        if (!added.isEmpty())
            lastKey = added.last();

        for (auto it = posted.cbegin(); it != posted.cend(); ++it) {
            QVERIFY2(stored.value(it.key()) == it.value(),
                     qPrintable(QStringLiteral("round %1: %2 was reported, %3 is stored")
                                    .arg(round)
                                    .arg(describe(it.key(), it.value()),
                                         stored.contains(it.key())
                                             ? describe(it.key(), stored.value(it.key()))
                                             : QStringLiteral("nothing"))));
        }
    }
    // A child that never got a record posted would have proved nothing.
    QVERIFY(!posted.isEmpty());
}

QTEST_GUILESS_MAIN(CrashTest)
#include "tst_crash.moc"
