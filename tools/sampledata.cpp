#include "tools/sampledata.h"

#include <QDate>
#include <QDateTime>

namespace sampledata {

namespace {

const char16_t *const kNames[] = {
    u"张伟", u"王芳",   u"李娜",   u"刘洋", u"陈静", u"杨帆",   u"赵磊", u"黄敏",
    u"周杰", u"吴婷",   u"徐强",   u"孙丽", u"马超", u"朱琳",   u"胡斌", u"郭晓峰",
    u"何雪", u"高建国", u"林小红", u"罗志", u"梁晨", u"宋佳",   u"郑凯", u"谢文",
    u"韩梅", u"唐亮",   u"冯雨",   u"董浩", u"程慧", u"曹明远",
};

const char16_t *const kDepartments[] = {
    u"语文组", u"数学组", u"英语组", u"理化生组", u"政史地组", u"音体美组", u"教务处",
};

const char16_t *const kLeaveReasons[] = {
    u"病假", u"事假", u"家中有事", u"参加区教研培训", u"陪同家人就医", u"婚假",
};

const char16_t *const kOvertime[] = {u"2小时", u"3小时", u"半天", u"1天", u"4小时"};

constexpr int kStaff = 30;
constexpr int kFirstNumber = 1001;

// A small deterministic generator, so that every sample is the same.
class Dice
{
public:
    explicit Dice(quint32 seed) : m_state(seed) {}
    int roll(int n)
    {
        m_state = m_state * 1103515245u + 12345u;
        return int((m_state >> 16) % quint32(n));
    }

private:
    quint32 m_state;
};

QDateTime at(const QDate &day, int hour, int minute)
{
    return QDateTime(day, QTime(hour, minute), Qt::UTC);
}

// A school day of the autumn term: weekdays from September to mid-December 2026.
QDate schoolDay(Dice &dice)
{
    QDate d = QDate(2026, 9, 1).addDays(dice.roll(100));
    while (d.dayOfWeek() > 5)
        d = d.addDays(1);
    return d;
}

// Staff numbers that have records in a record table: the first eight have records in all four
// (so the report has rows), the others here and there.
QList<int> staffWith(Dice &dice)
{
    QList<int> numbers;
    for (int i = 0; i < kStaff; ++i) {
        if (i < 8 || dice.roll(3) == 0)
            numbers << kFirstNumber + i;
    }
    return numbers;
}

} // namespace

QList<QList<QVariant>> records(const TableDef &def)
{
    QList<QList<QVariant>> out;
    const QString table = def.baseName();
    Dice dice(quint32(qHash(table)));
    if (table == u"ryxx") {
        for (int i = 0; i < kStaff; ++i) {
            out.append({kFirstNumber + i, QString::fromUtf16(kNames[i]),
                        QString::fromUtf16(kDepartments[i % std::size(kDepartments)])});
        }
    } else if (table == u"ccjl") {
        for (int number : staffWith(dice)) {
            for (int n = 1 + dice.roll(2); n > 0; --n) {
                const QDate start = schoolDay(dice);
                out.append({number, start, start.addDays(dice.roll(4))});
            }
        }
    } else if (table == u"qjjl") {
        for (int number : staffWith(dice)) {
            for (int n = 1 + dice.roll(2); n > 0; --n) {
                const QDate day = schoolDay(dice);
                const QDateTime start = at(day, 8 + dice.roll(5), dice.roll(2) * 30);
                out.append(
                    {number, start, start.addSecs(3600 * (2 + dice.roll(30))),
                     QString::fromUtf16(kLeaveReasons[dice.roll(std::size(kLeaveReasons))])});
            }
        }
    } else if (table == u"jbjl") {
        for (int number : staffWith(dice)) {
            for (int n = 1 + dice.roll(2); n > 0; --n) {
                out.append({number, QString::fromUtf16(kOvertime[dice.roll(std::size(kOvertime))]),
                            schoolDay(dice)});
            }
        }
    } else if (table == u"cqjl") {
        for (int number : staffWith(dice)) {
            for (int n = 1 + dice.roll(2); n > 0; --n) {
                const QDate day = schoolDay(dice);
                out.append({number, QStringLiteral("入"), at(day, 7, 30 + dice.roll(29))});
                out.append({number, QStringLiteral("出"), at(day, 17, dice.roll(50))});
            }
        }
    }
    return out;
}

} // namespace sampledata
