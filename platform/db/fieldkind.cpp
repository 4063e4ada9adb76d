#include "platform/db/fieldkind.h"

#include "platform/db/gbk.h"
#include "platform/db/localesettings.h"
#include "platform/error.h"

#include <QDateTime>
#include <QTime>

#include <cassert>
#include <iterator>
#include <limits>
#include <optional>
#include <vector>

namespace {

// One row per kind, in the enum's order: the name that messages print and the family by which a
// stored field is matched against a declared one.
struct KindInfo
{
    FieldKind kind;
    const char *name;
    KindFamily family;
};

constexpr KindInfo kKinds[] = {
    {FieldKind::SmallInt, "SmallInt", KindFamily::Integer},
    {FieldKind::AutoInc, "AutoInc", KindFamily::Integer},
    {FieldKind::String, "String", KindFamily::String},
    {FieldKind::Date, "Date", KindFamily::DateTime},
    {FieldKind::DateTime, "DateTime", KindFamily::DateTime},
    {FieldKind::Integer, "Integer", KindFamily::Integer},
    {FieldKind::LargeInt, "LargeInt", KindFamily::Integer},
    {FieldKind::Float, "Float", KindFamily::Float},
    {FieldKind::Boolean, "Boolean", KindFamily::Boolean},
    {FieldKind::Time, "Time", KindFamily::DateTime},
    {FieldKind::Blob, "Blob", KindFamily::Binary},
    {FieldKind::Memo, "Memo", KindFamily::String},
    {FieldKind::Unknown, "Unknown", KindFamily::Unknown},
};
static_assert(std::size(kKinds) == std::size_t(FieldKind::Unknown) + 1);

const KindInfo &kindInfo(FieldKind kind)
{
    const auto index = std::size_t(kind);
    assert(index < std::size(kKinds) && kKinds[index].kind == kind);
    return kKinds[index];
}

bool isIntegerKind(FieldKind kind)
{
    return kindInfo(kind).family == KindFamily::Integer;
}

// The day on which a time typed without a date is stored.
const QDate kTimeOnlyDate(1899, 12, 30);

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// ---- text of stored values

QString formatDate(const QDate &date, const LocaleSettings &locale)
{
    if (!date.isValid())
        return QString();
    const QString &format = locale.shortDateFormat;
    QString out;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        const QChar lower = c.toLower();
        if (lower != u'd' && lower != u'm' && lower != u'y') {
            out.append(c == u'/' ? locale.dateSeparator : c);
            ++i;
            continue;
        }
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run].toLower() == lower)
            ++run;
        i += run;
        if (lower == u'y')
            out.append(run <= 2 ? twoDigits(date.year() % 100)
                                : QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0')));
        else {
            const int n = lower == u'd' ? date.day() : date.month();
            out.append(run == 1 ? QString::number(n) : twoDigits(n));
        }
    }
    return out;
}

QString formatTime(const QTime &time, const LocaleSettings &locale)
{
    int hour = time.hour();
    QString designator;
    if (locale.twelveHourClock) {
        designator = hour < 12 ? locale.amDesignator : locale.pmDesignator;
        hour = hour % 12 == 0 ? 12 : hour % 12;
    }
    QString text = locale.hourLeadingZero ? twoDigits(hour) : QString::number(hour);
    text += locale.timeSeparator + twoDigits(time.minute()) + locale.timeSeparator +
            twoDigits(time.second());
    if (designator.isEmpty())
        return text;
    return locale.designatorBeforeTime ? designator + u' ' + text : text + u' ' + designator;
}

QString formatDateTime(const QDateTime &value, const LocaleSettings &locale)
{
    const QString date = formatDate(value.date(), locale);
    const QTime time = value.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return date;
    return date + u' ' + formatTime(time, locale);
}

// ---- typed integers

[[noreturn]] void throwInvalidInteger(const FieldDef &field, const QString &text)
{
    throw Error(
        QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(text, field.name));
}

// Blanks, an optional sign, then digits to the very end. The number must fit the kind's storage
// (32 bits, or 64 for LargeInt); the narrower SmallInt range is a separate message.
qint64 parseInteger(const FieldDef &field, const QString &text)
{
    const bool wide = field.kind == FieldKind::LargeInt;
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    if (i == text.size())
        throwInvalidInteger(field, text);
    const quint64 positiveMax =
        wide ? quint64(std::numeric_limits<qint64>::max()) : quint64(0x7FFFFFFF);
    const quint64 limit = positiveMax + (negative ? 1 : 0);
    quint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            throwInvalidInteger(field, text);
        const unsigned digit = c - u'0';
        if (magnitude > (limit - digit) / 10)
            throwInvalidInteger(field, text);
        magnitude = magnitude * 10 + digit;
    }
    // -limit without overflow: the most negative value has no positive twin.
    return negative ? qint64(0 - magnitude) : qint64(magnitude);
}

QVariant integerFromText(const FieldDef &field, const QString &text)
{
    const qint64 value = parseInteger(field, text);
    if (field.kind == FieldKind::SmallInt && (value < -32768 || value > 32767))
        throw Error(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is "
                                   "%3 to %4")
                        .arg(QString::number(value), field.name, QString::number(-32768),
                             QString::number(32767)));
    return value;
}

QVariant stringFromText(const FieldDef &field, const QString &text)
{
    if (const char32_t bad = gbk::firstUnencodable(text))
        throw Error(
            QStringLiteral("Field '%1' cannot hold the character '%2': it is not in the GBK "
                           "character set")
                .arg(field.name, QString::fromUcs4(&bad, 1)));
    if (field.kind == FieldKind::String && field.size > 0)
        return gbk::cutToBytes(text, field.size);
    return text;
}

// ---- typed dates and times

// Reads typed date and time text left to right. Blanks are U+0020 only.
class Scanner
{
public:
    Scanner(QStringView text, qsizetype pos) : m_text(text), m_pos(pos) {}

    qsizetype pos() const { return m_pos; }
    bool atEnd() const { return m_pos >= m_text.size(); }

    int skipBlanks()
    {
        int skipped = 0;
        for (; m_pos < m_text.size() && m_text[m_pos] == u' '; ++m_pos)
            ++skipped;
        return skipped;
    }

    // The separator after any blanks; when it is itself a blank, the blanks were it. On failure
    // nothing is consumed.
    bool takeSeparator(QChar separator)
    {
        const qsizetype start = m_pos;
        const int blanks = skipBlanks();
        if (!atEnd() && m_text[m_pos] == separator) {
            ++m_pos;
            return true;
        }
        if (separator == u' ' && blanks > 0)
            return true;
        m_pos = start;
        return false;
    }

    // A run of ASCII digits with at most four after its leading zeros. digits counts them all.
    bool takeNumber(int *value, int *digits)
    {
        const qsizetype start = m_pos;
        int significant = 0;
        int n = 0;
        for (; m_pos < m_text.size() && m_text[m_pos] >= u'0' && m_text[m_pos] <= u'9'; ++m_pos) {
            const int digit = m_text[m_pos].unicode() - u'0';
            if (significant == 0 && digit == 0)
                continue;
            if (++significant > 4)
                return false;
            n = n * 10 + digit;
        }
        *value = n;
        *digits = int(m_pos - start);
        return m_pos > start;
    }

    // The longest designator that stands here (either case): 0 for AM, 1 for PM, -1 for none.
    int takeDesignator(const LocaleSettings &locale)
    {
        const QString candidates[] = {locale.amDesignator, locale.pmDesignator,
                                      QStringLiteral("AM"), QStringLiteral("PM")};
        int found = -1;
        qsizetype length = 0;
        const QStringView rest = m_text.mid(m_pos);
        for (int i = 0; i < 4; ++i) {
            const QString &d = candidates[i];
            if (d.size() > length && rest.startsWith(d, Qt::CaseInsensitive)) {
                found = i % 2;
                length = d.size();
            }
        }
        m_pos += length;
        return found;
    }

private:
    QStringView m_text;
    qsizetype m_pos;
};

enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };

DateOrder dateOrder(const LocaleSettings &locale)
{
    for (QChar c : locale.shortDateFormat) {
        switch (c.toLower().unicode()) {
        case u'd':
            return DateOrder::DayMonthYear;
        case u'm':
            return DateOrder::MonthDayYear;
        case u'y':
        case u'e':
            return DateOrder::YearMonthDay;
        default:
            break;
        }
    }
    return DateOrder::YearMonthDay;
}

struct DateNumber
{
    int value = 0;
    int digits = 0;
};

// A year of one or two digits lands in the hundred years that begin 50 years before today's.
int expandYear(const DateNumber &year, const LocaleSettings &locale)
{
    if (year.digits > 2)
        return year.value;
    const int start = locale.currentDate().year() - 50;
    int full = start - start % 100 + year.value;
    if (full < start)
        full += 100;
    return full;
}

// Two numbers are day and month (day first only in day-month-year order) of the current year;
// three are day, month and year in the locale's order.
QDate makeDate(const DateNumber *n, int count, const LocaleSettings &locale)
{
    const DateOrder order = dateOrder(locale);
    struct Places
    {
        int day, month, year;
    };
    Places at = order == DateOrder::DayMonthYear   ? Places{0, 1, 2}
                : order == DateOrder::MonthDayYear ? Places{1, 0, 2}
                                                   : Places{2, 1, 0};
    if (count == 2 && order == DateOrder::YearMonthDay)
        at = Places{1, 0, -1};
    const int year = count == 2 ? locale.currentDate().year() : expandYear(n[at.year], locale);
    const int month = n[at.month].value;
    const int day = n[at.day].value;
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day))
        return QDate();
    return QDate(year, month, day);
}

struct DateMatch
{
    QDate date;
    qsizetype end;
};

// Every valid date that the text holds from its start, longest reading first: two or three
// numbers, each with or without the one trailing separator. A date-time needs the shorter
// readings when the date and time separators are the same character.
std::vector<DateMatch> scanDates(QStringView text, const LocaleSettings &locale)
{
    std::vector<DateMatch> matches;
    DateNumber n[3];
    Scanner scanner(text, 0);
    for (int count = 0; count < 3;) {
        scanner.skipBlanks();
        if (!scanner.takeNumber(&n[count].value, &n[count].digits))
            break;
        ++count;
        const QDate date = count >= 2 ? makeDate(n, count, locale) : QDate();
        if (date.isValid())
            matches.push_back({date, scanner.pos()});
        if (!scanner.takeSeparator(locale.dateSeparator))
            break;
        if (date.isValid())
            matches.push_back({date, scanner.pos()});
    }
    return {matches.rbegin(), matches.rend()};
}

// A time from pos to the very end of the text.
std::optional<QTime> scanTime(QStringView text, qsizetype pos, const LocaleSettings &locale)
{
    Scanner s(text, pos);
    s.skipBlanks();
    int designator = s.takeDesignator(locale);
    s.skipBlanks();
    int digits = 0;
    int hour = 0, minute = 0, second = 0, msec = 0;
    if (!s.takeNumber(&hour, &digits))
        return std::nullopt;
    if (s.takeSeparator(locale.timeSeparator)) {
        s.skipBlanks();
        if (!s.takeNumber(&minute, &digits))
            return std::nullopt;
        if (s.takeSeparator(locale.timeSeparator)) {
            s.skipBlanks();
            if (!s.takeNumber(&second, &digits))
                return std::nullopt;
            if (s.takeSeparator(locale.decimalSeparator)) {
                s.skipBlanks();
                if (!s.takeNumber(&msec, &digits))
                    return std::nullopt;
            }
        }
    }
    s.skipBlanks();
    if (designator < 0) {
        designator = s.takeDesignator(locale);
        s.skipBlanks();
    }
    if (!s.atEnd())
        return std::nullopt;
    if (designator >= 0) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + (designator == 1 ? 12 : 0);
    }
    if (hour > 23 || minute > 59 || second > 59 || msec > 999)
        return std::nullopt;
    return QTime(hour, minute, second, msec);
}

QVariant dateFromText(const QString &text, const LocaleSettings &locale)
{
    for (const DateMatch &match : scanDates(text, locale))
        if (match.end == text.size())
            return match.date;
    throw Error(QStringLiteral("'%1' is not a valid date").arg(text));
}

// The date readings are tried before the time alone, so that text which reads as a date is one.
QVariant dateTimeFromText(const QString &text, const LocaleSettings &locale)
{
    for (const DateMatch &match : scanDates(text, locale)) {
        if (match.end == text.size())
            return QDateTime(match.date, QTime(0, 0), Qt::UTC);
        if (const auto time = scanTime(text, match.end, locale))
            return QDateTime(match.date, *time, Qt::UTC);
    }
    if (const auto time = scanTime(text, 0, locale))
        return QDateTime(kTimeOnlyDate, *time, Qt::UTC);
    throw Error(QStringLiteral("'%1' is not a valid date and time").arg(text));
}

} // namespace

QString kindName(FieldKind kind)
{
    return QString::fromLatin1(kindInfo(kind).name);
}

KindFamily kindFamily(FieldKind kind)
{
    return kindInfo(kind).family;
}

namespace fieldtext {

QString displayText(const FieldDef &field, const QVariant &value, const LocaleSettings &locale)
{
    if (value.isNull())
        return QString();
    switch (field.kind) {
    case FieldKind::SmallInt:
    case FieldKind::AutoInc:
    case FieldKind::Integer:
    case FieldKind::LargeInt:
        return QString::number(value.toLongLong());
    case FieldKind::Date:
        return formatDate(value.toDate(), locale);
    case FieldKind::DateTime:
        return formatDateTime(value.toDateTime(), locale);
    case FieldKind::Time:
        return formatTime(value.toTime(), locale);
    case FieldKind::Float:
        return QString::number(value.toDouble(), 'g', 15).replace(u'.', locale.decimalSeparator);
    case FieldKind::Boolean:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldKind::Blob:
        return QStringLiteral("(Blob)");
    case FieldKind::String:
    case FieldKind::Memo:
    case FieldKind::Unknown:
        break;
    }
    return value.toString();
}

QVariant valueFromText(const FieldDef &field, const QString &text, const LocaleSettings &locale)
{
    if (text.isEmpty())
        return QVariant();
    switch (field.kind) {
    case FieldKind::SmallInt:
    case FieldKind::AutoInc:
    case FieldKind::Integer:
    case FieldKind::LargeInt:
        return integerFromText(field, text);
    case FieldKind::String:
    case FieldKind::Memo:
        return stringFromText(field, text);
    case FieldKind::Date:
        return dateFromText(text, locale);
    case FieldKind::DateTime:
        return dateTimeFromText(text, locale);
    case FieldKind::Float:
    case FieldKind::Boolean:
    case FieldKind::Time:
    case FieldKind::Blob:
    case FieldKind::Unknown:
        break;
    }
    // Only fields of stored tables and queries are of these kinds, and nobody types into them.
    throw Error(QStringLiteral("Field '%1' cannot be given a value as text").arg(field.name));
}

bool acceptsChar(const FieldDef &field, char32_t ch)
{
    if (field.readOnly)
        return false;
    if (isIntegerKind(field.kind))
        return ch == U'+' || ch == U'-' || (ch >= U'0' && ch <= U'9');
    if (field.kind == FieldKind::String || field.kind == FieldKind::Memo)
        return gbk::charBytes(ch) > 0;
    return true;
}

int textLimit(const FieldDef &field)
{
    return field.kind == FieldKind::String ? field.size : 0;
}

Qt::Alignment alignment(const FieldDef &field)
{
    return isIntegerKind(field.kind) || field.kind == FieldKind::Float ? Qt::AlignRight
                                                                       : Qt::AlignLeft;
}

int defaultDisplayWidth(const FieldDef &field)
{
    switch (field.kind) {
    case FieldKind::String:
        return field.size;
    case FieldKind::DateTime:
        return 18;
    case FieldKind::Boolean:
        return 5;
    default:
        return 10;
    }
}

} // namespace fieldtext

namespace isotext {
namespace {

// Exactly count ASCII digits at pos.
bool readDigits(QStringView text, qsizetype pos, int count, int *value)
{
    if (pos + count > text.size())
        return false;
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = text[pos + i];
        if (c < u'0' || c > u'9')
            return false;
        n = n * 10 + (c.unicode() - u'0');
    }
    *value = n;
    return true;
}

QDate readDate(QStringView text)
{
    int year = 0, month = 0, day = 0;
    if (text.size() < 10 || !readDigits(text, 0, 4, &year) || text[4] != u'-' ||
        !readDigits(text, 5, 2, &month) || text[7] != u'-' || !readDigits(text, 8, 2, &day))
        return QDate();
    if (year < 1 || !QDate::isValid(year, month, day))
        return QDate();
    return QDate(year, month, day);
}

// "HH:MM", then optionally ":SS" and then ".f" to ".fff", to the end of the text.
QTime readTime(QStringView text)
{
    int hour = 0, minute = 0, second = 0, msec = 0;
    if (!readDigits(text, 0, 2, &hour) || text.size() < 5 || text[2] != u':' ||
        !readDigits(text, 3, 2, &minute))
        return QTime();
    qsizetype pos = 5;
    if (pos < text.size()) {
        if (text[pos] != u':' || !readDigits(text, pos + 1, 2, &second))
            return QTime();
        pos += 3;
    }
    if (pos < text.size()) {
        const qsizetype fraction = text.size() - pos - 1;
        if (text[pos] != u'.' || fraction < 1 || fraction > 3 ||
            !readDigits(text, pos + 1, int(fraction), &msec))
            return QTime();
        for (qsizetype i = fraction; i < 3; ++i)
            msec *= 10; // a fraction of a second: ".5" is 500 ms
    }
    if (!QTime::isValid(hour, minute, second, msec))
        return QTime();
    return QTime(hour, minute, second, msec);
}

} // namespace

namespace {

// Writes `value` as `width` digits, with leading zeros.
void putDigits(QChar *out, int value, int width)
{
    for (int i = width - 1; i >= 0; --i, value /= 10)
        out[i] = QChar(u'0' + value % 10);
}

} // namespace

// Written digit by digit: the import of a large file writes one of these per record.
QString fromDate(const QDate &date)
{
    if (!date.isValid())
        return QString();
    QString text(10, u'-');
    putDigits(text.data(), date.year(), 4);
    putDigits(text.data() + 5, date.month(), 2);
    putDigits(text.data() + 8, date.day(), 2);
    return text;
}

QString fromDateTime(const QDateTime &time)
{
    if (!time.isValid())
        return QString();
    const QTime t = time.time();
    QString text = fromDate(time.date()) + QStringLiteral(" 00:00:00.000");
    QChar *out = text.data();
    putDigits(out + 11, t.hour(), 2);
    putDigits(out + 14, t.minute(), 2);
    putDigits(out + 17, t.second(), 2);
    putDigits(out + 20, t.msec(), 3);
    return text;
}

QVariant toDate(QStringView text)
{
    const QDate date = text.size() == 10 ? readDate(text) : QDate();
    return date.isValid() ? QVariant(date) : QVariant();
}

QVariant toDateTime(QStringView text)
{
    if (text.size() < 16 || (text[10] != u' ' && text[10] != u'T'))
        return QVariant();
    const QDate date = readDate(text.first(10));
    const QTime time = readTime(text.mid(11));
    if (!date.isValid() || !time.isValid())
        return QVariant();
    return QDateTime(date, time, Qt::UTC);
}

} // namespace isotext
