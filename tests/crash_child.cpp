// Posts clock-in/clock-out records to FOLDER/cqjl.DB until it is killed. After each Post returns
// it prints one line, "record number TAB employee TAB in/out TAB time", and flushes it: the
// lines are what the caller may hold the table file to.
//
//   crash_child FOLDER SEED
#include "data/tables.h"
#include "platform/db/fieldkind.h"
#include "platform/db/tfield.h"
#include "platform/db/ttable.h"
#include "platform/error.h"

#include <QDateTime>
#include <cstdio>
#include <cstdlib>
#include <random>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: crash_child FOLDER SEED\n");
        return 2;
    }
    try {
        TTable table(nullptr);
        tables::declare(table, tables::attendance(), QStringLiteral("cqjl"),
                        QString::fromLocal8Bit(argv[1]));
        table.Open();

        std::mt19937 rng(std::uint32_t(std::strtoul(argv[2], nullptr, 10)));
        const auto roll = [&](int lo, int hi) {
            return std::uniform_int_distribution<int>(lo, hi)(rng);
        };
        static const char *const inOut[] = {"入", "出", "进", "ab"};
        const QDateTime base(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
        for (;;) {
            const qint64 employee = roll(-32768, 32767);
            const QString status = QString::fromUtf8(inOut[roll(0, 3)]);
            const QDateTime time = base.addMSecs(qint64(roll(0, 1 << 30)) * 1000 + roll(0, 999));
            table.Append();
            table.FieldByName(QStringLiteral("员工号"))->setValue(employee);
            table.FieldByName(QStringLiteral("出入情况"))->setValue(status);
            table.FieldByName(QStringLiteral("出入时间"))->setValue(time);
            table.Post();
            const qint64 number = table.FieldByName(QStringLiteral("记录号"))->Value().toLongLong();
            const QByteArray line = QStringLiteral("%1\t%2\t%3\t%4\n")
                                        .arg(number)
                                        .arg(employee)
                                        .arg(status, isotext::fromDateTime(time))
                                        .toUtf8();
            std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
            std::fflush(stdout);
        }
    } catch (const Error &e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
}
