#include "platform/db/fieldkind.h"
#include "platform/db/gbk.h"
#include "platform/db/localesettings.h"
#include "platform/error.h"

#include <QDateTime>
#include <QTest>

#include <limits>

namespace {

// Hand-made locales with today pinned, so that two-number dates and two-digit years are fixed.
LocaleSettings settingsFor(const QString &name)
{
    LocaleSettings s;
    s.today = QDate(2024, 6, 15);
    if (name == u"ymd") { // year-month-day, "-", 24 hours
        s.shortDateFormat = QStringLiteral("yyyy-M-d");
        s.dateSeparator = u'-';
    } else if (name == u"dmy") { // day/month/year, zero-padded hours, decimal comma
        s.shortDateFormat = QStringLiteral("dd/MM/yyyy");
        s.dateSeparator = u'/';
        s.hourLeadingZero = true;
        s.decimalSeparator = u',';
    } else if (name == u"mdy12") { // month/day/two-digit year, 12 hours, designator after
        s.shortDateFormat = QStringLiteral("M/d/yy");
        s.dateSeparator = u'/';
        s.twelveHourClock = true;
    } else if (name == u"before") { // 12 hours, the locale's own designators before the time
        s.shortDateFormat = QStringLiteral("yyyy/M/d");
        s.dateSeparator = u'/';
        s.twelveHourClock = true;
        s.designatorBeforeTime = true;
        s.amDesignator = QStringLiteral("上午");
        s.pmDesignator = QStringLiteral("下午");
    } else if (name == u"dots") { // one character separates both dates and times
        s.shortDateFormat = QStringLiteral("d.M.yyyy");
        s.dateSeparator = u'.';
        s.timeSeparator = u'.';
        s.decimalSeparator = u',';
    } else {
        qFatal("unknown test locale");
    }
    return s;
}

FieldDef field(FieldKind kind, int size = 0, bool readOnly = false)
{
    FieldDef f;
    f.name = kind == FieldKind::String ? QStringLiteral("姓名") : QStringLiteral("员工号");
    f.kind = kind;
    f.size = size;
    f.readOnly = readOnly;
    return f;
}

// The value, or the message of the error thrown instead.
struct Outcome
{
    QVariant value;
    QString error;
};

Outcome convert(const FieldDef &f, const QString &text, const LocaleSettings &locale)
{
    try {
        return {fieldtext::valueFromText(f, text, locale), QString()};
    } catch (const Error &e) {
        return {QVariant(), e.message()};
    }
}

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

const QString kNotInteger = QStringLiteral("'%1' is not a valid integer value for field '员工号'");
const QString kOutOfRange = QStringLiteral(
    "%1 is not a valid value for field '员工号'. The allowed range is -32768 to 32767");

} // namespace

class TestFieldText : public QObject
{
    Q_OBJECT

private slots:
    void integerFromText_data();
    void integerFromText();
    void stringFromText_data();
    void stringFromText();
    void gbkBytes_data();
    void gbkBytes();
    void dateFromText_data();
    void dateFromText();
    void dateTimeFromText_data();
    void dateTimeFromText();
    void displayText_data();
    void displayText();
    void typedCharacters_data();
    void typedCharacters();
    void kindNamesAndFamilies_data();
    void kindNamesAndFamilies();
    void isoText_data();
    void isoText();
    void fromLocale_data();
    void fromLocale();
};

void TestFieldText::integerFromText_data()
{
    QTest::addColumn<FieldKind>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("error");

    const auto S = FieldKind::SmallInt;
    QTest::newRow("upper bound") << S << "32767" << QVariant(qint64(32767)) << QString();
    QTest::newRow("lower bound") << S << "-32768" << QVariant(qint64(-32768)) << QString();
    QTest::newRow("plus sign") << S << "+7" << QVariant(qint64(7)) << QString();
    QTest::newRow("leading blanks and zeros") << S << "  007" << QVariant(qint64(7)) << QString();
    QTest::newRow("empty is blank") << S << "" << QVariant() << QString();
    QTest::newRow("above range") << S << "32768" << QVariant() << kOutOfRange.arg("32768");
    QTest::newRow("below range") << S << "-32769" << QVariant() << kOutOfRange.arg("-32769");
    QTest::newRow("32-bit low in range message")
        << S << "-2147483648" << QVariant() << kOutOfRange.arg("-2147483648");
    QTest::newRow("beyond 32 bits")
        << S << "2147483648" << QVariant() << kNotInteger.arg("2147483648");
    QTest::newRow("11 digits") << S << "12345678901" << QVariant()
                               << kNotInteger.arg("12345678901");
    QTest::newRow("trailing sign") << S << "7-" << QVariant() << kNotInteger.arg("7-");
    QTest::newRow("trailing blank") << S << "7 " << QVariant() << kNotInteger.arg("7 ");
    QTest::newRow("blank inside") << S << "- 7" << QVariant() << kNotInteger.arg("- 7");
    QTest::newRow("sign alone") << S << "+" << QVariant() << kNotInteger.arg("+");
    QTest::newRow("blanks alone") << S << "  " << QVariant() << kNotInteger.arg("  ");
    QTest::newRow("letters") << S << "12a" << QVariant() << kNotInteger.arg("12a");
    QTest::newRow("wide digits") << S << "１２" << QVariant() << kNotInteger.arg("１２");

    const auto A = FieldKind::AutoInc;
    QTest::newRow("autoinc max") << A << "2147483647" << QVariant(qint64(2147483647)) << QString();
    QTest::newRow("autoinc min") << A << "-2147483648" << QVariant(qint64(-2147483647) - 1)
                                 << QString();
    QTest::newRow("autoinc beyond")
        << A << "2147483648" << QVariant() << kNotInteger.arg("2147483648");

    const auto L = FieldKind::LargeInt;
    QTest::newRow("largeint min") << L << "-9223372036854775808"
                                  << QVariant(std::numeric_limits<qint64>::min()) << QString();
    QTest::newRow("largeint beyond")
        << L << "9223372036854775808" << QVariant() << kNotInteger.arg("9223372036854775808");
}

void TestFieldText::integerFromText()
{
    QFETCH(FieldKind, kind);
    QFETCH(QString, text);
    QFETCH(QVariant, value);
    QFETCH(QString, error);

    const Outcome out = convert(field(kind), text, settingsFor("ymd"));
    QCOMPARE(out.error, error);
    QCOMPARE(out.value, value);
}

void TestFieldText::stringFromText_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("error");

    QTest::newRow("as typed") << 8 << " Ab c " << QVariant(" Ab c ") << QString();
    QTest::newRow("ascii cut") << 8 << "Zhang San" << QVariant("Zhang Sa") << QString();
    QTest::newRow("chinese fits") << 8 << "欧阳小明" << QVariant("欧阳小明") << QString();
    QTest::newRow("chinese cut") << 8 << "欧阳小明哥" << QVariant("欧阳小明") << QString();
    QTest::newRow("mixed fits") << 8 << "ab张三丰" << QVariant("ab张三丰") << QString();
    QTest::newRow("no half character") << 8 << "a张三丰李" << QVariant("a张三丰") << QString();
    QTest::newRow("one chinese character") << 2 << "出入" << QVariant("出") << QString();
    QTest::newRow("euro is one byte") << 2 << "€€€" << QVariant("€€") << QString();
    QTest::newRow("empty is blank") << 8 << "" << QVariant() << QString();
    QTest::newRow("emoji refused")
        << 8 << "a😀" << QVariant()
        << "Field '姓名' cannot hold the character '😀': it is not in the GBK character set";
}

void TestFieldText::stringFromText()
{
    QFETCH(int, size);
    QFETCH(QString, text);
    QFETCH(QVariant, value);
    QFETCH(QString, error);

    const Outcome out = convert(field(FieldKind::String, size), text, settingsFor("ymd"));
    QCOMPARE(out.error, error);
    QCOMPARE(out.value, value);
}

void TestFieldText::gbkBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<uint>("firstBad");
    QTest::addColumn<int>("cutAt");
    QTest::addColumn<QString>("cut");

    QTest::newRow("ascii") << "abc" << 3 << 0u << 2 << "ab";
    QTest::newRow("chinese") << "张三丰" << 6 << 0u << 5 << "张三";
    QTest::newRow("mixed") << "a张b" << 4 << 0u << 2 << "a";
    QTest::newRow("full-width blank") << "\u3000x" << 3 << 0u << 2 << "\u3000";
    QTest::newRow("euro") << "€a" << 2 << 0u << 1 << "€";
    QTest::newRow("emoji") << "a😀b" << -1 << 0x1F600u << 2 << "a";
    QTest::newRow("emoji kept whole") << "a😀b" << -1 << 0x1F600u << 3 << "a😀";
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << -1 << 0xD800u << 0 << "";
    QTest::newRow("outside gbk") << "a\u00C0" << -1 << 0xC0u << 9 << "a\u00C0";
}

void TestFieldText::gbkBytes()
{
    QFETCH(QString, text);
    QFETCH(int, bytes);
    QFETCH(uint, firstBad);
    QFETCH(int, cutAt);
    QFETCH(QString, cut);

    QCOMPARE(gbk::byteLength(text), bytes);
    QCOMPARE(uint(gbk::firstUnencodable(text)), firstBad);
    QCOMPARE(gbk::cutToBytes(text, cutAt), cut);
}

void TestFieldText::dateFromText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date"); // invalid: the text is refused

    const QDate bad;
    QTest::newRow("ymd full") << "ymd"
                              << "2024-3-5" << QDate(2024, 3, 5);
    QTest::newRow("ymd two numbers") << "ymd"
                                     << "3-5" << QDate(2024, 3, 5);
    QTest::newRow("ymd blanks and trailing separator") << "ymd"
                                                       << " 2024 - 03 -5-" << QDate(2024, 3, 5);
    QTest::newRow("ymd leading zeros") << "ymd"
                                       << "00002024-3-5" << QDate(2024, 3, 5);
    QTest::newRow("not a leap year") << "ymd"
                                     << "2023-2-29" << bad;
    QTest::newRow("leap year") << "ymd"
                               << "2024-2-29" << QDate(2024, 2, 29);
    QTest::newRow("window start") << "ymd"
                                  << "74-1-2" << QDate(1974, 1, 2);
    QTest::newRow("window end") << "ymd"
                                << "73-1-2" << QDate(2073, 1, 2);
    QTest::newRow("one-digit year") << "ymd"
                                    << "5-1-2" << QDate(2005, 1, 2);
    QTest::newRow("leading zero counts") << "ymd"
                                         << "074-1-2" << QDate(74, 1, 2);
    QTest::newRow("last day") << "ymd"
                              << "9999-12-31" << QDate(9999, 12, 31);
    QTest::newRow("year zero") << "ymd"
                               << "0000-1-1" << bad;
    QTest::newRow("five digits") << "ymd"
                                 << "12024-1-1" << bad;
    QTest::newRow("month 13") << "ymd"
                              << "2024-13-1" << bad;
    QTest::newRow("one number") << "ymd"
                                << "2024" << bad;
    QTest::newRow("two separators at end") << "ymd"
                                           << "2024-3-5--" << bad;
    QTest::newRow("trailing blank") << "ymd"
                                    << "2024-3-5 " << bad;
    QTest::newRow("date and time") << "ymd"
                                   << "2024-3-5 10:00" << bad;
    QTest::newRow("other separator") << "ymd"
                                     << "2024/3/5" << bad;
    QTest::newRow("dmy full") << "dmy"
                              << "5/3/2024" << QDate(2024, 3, 5);
    QTest::newRow("dmy two numbers") << "dmy"
                                     << "5/3" << QDate(2024, 3, 5);
    QTest::newRow("dmy two-digit year") << "dmy"
                                        << "29/02/24" << QDate(2024, 2, 29);
    QTest::newRow("dmy no 31 April") << "dmy"
                                     << "31/4/2024" << bad;
    QTest::newRow("mdy full") << "mdy12"
                              << "3/5/24" << QDate(2024, 3, 5);
    QTest::newRow("mdy two numbers") << "mdy12"
                                     << "3/5" << QDate(2024, 3, 5);
}

void TestFieldText::dateFromText()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QDate, date);

    const Outcome out = convert(field(FieldKind::Date), text, settingsFor(locale));
    if (date.isValid()) {
        QCOMPARE(out.error, QString());
        QCOMPARE(out.value.toDate(), date);
    } else {
        QCOMPARE(out.error, QStringLiteral("'%1' is not a valid date").arg(text));
    }
}

void TestFieldText::dateTimeFromText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("value"); // invalid: the text is refused

    const QDateTime bad;
    QTest::newRow("date only") << "ymd"
                               << "2024-3-5" << utc(2024, 3, 5);
    QTest::newRow("time only") << "ymd"
                               << "8:30" << utc(1899, 12, 30, 8, 30);
    QTest::newRow("hour only") << "ymd"
                               << "17" << utc(1899, 12, 30, 17);
    QTest::newRow("date and time") << "ymd"
                                   << "2024-3-5 8:30" << utc(2024, 3, 5, 8, 30);
    QTest::newRow("milliseconds") << "ymd"
                                  << "2024-3-5 8:30:15.25" << utc(2024, 3, 5, 8, 30, 15, 25);
    QTest::newRow("blanks between parts") << "ymd"
                                          << "3-5  8 : 30 : 15 PM" << utc(2024, 3, 5, 20, 30, 15);
    QTest::newRow("pm without blank") << "ymd"
                                      << "2024-3-5 3pm" << utc(2024, 3, 5, 15);
    QTest::newRow("designator first") << "ymd"
                                      << "PM 3:00" << utc(1899, 12, 30, 15);
    QTest::newRow("12 AM is midnight") << "ymd"
                                       << "2024-3-5 12:10 am" << utc(2024, 3, 5, 0, 10);
    QTest::newRow("12 PM is noon") << "ymd"
                                   << "2024-3-5 12:10 PM" << utc(2024, 3, 5, 12, 10);
    QTest::newRow("hour 13 with designator") << "ymd"
                                             << "2024-3-5 13:00 PM" << bad;
    QTest::newRow("hour 0 with designator") << "ymd"
                                            << "0:30 AM" << bad;
    QTest::newRow("hour 24") << "ymd"
                             << "2024-3-5 24:00" << bad;
    QTest::newRow("minute 60") << "ymd"
                               << "2024-3-5 8:60" << bad;
    QTest::newRow("1000 ms") << "ymd"
                             << "8:30:15.1000" << bad;
    QTest::newRow("separator without minutes") << "ymd"
                                               << "2024-3-5 8:" << bad;
    QTest::newRow("two designators") << "ymd"
                                     << "AM 8:00 PM" << bad;
    QTest::newRow("invalid date") << "ymd"
                                  << "2023-2-29 8:00" << bad;
    QTest::newRow("words") << "ymd"
                           << "noon" << bad;
    QTest::newRow("mdy pm") << "mdy12"
                            << "3/5/24 1:05:09 pm" << utc(2024, 3, 5, 13, 5, 9);
    QTest::newRow("locale designator") << "before"
                                       << "2024/3/5 下午3:00" << utc(2024, 3, 5, 15);
    QTest::newRow("locale designator after") << "before"
                                             << "12:30 上午" << utc(1899, 12, 30, 0, 30);
    QTest::newRow("decimal comma") << "dmy"
                                   << "5/3/2024 8:30:15,5" << utc(2024, 3, 5, 8, 30, 15, 5);
    QTest::newRow("same separators: full") << "dots"
                                           << "5.3.2024 10.30" << utc(2024, 3, 5, 10, 30);
    QTest::newRow("same separators: two-number date") << "dots"
                                                      << "5.3. 10.30" << utc(2024, 3, 5, 10, 30);
    QTest::newRow("same separators: three numbers are a date") << "dots"
                                                               << "5.3.10" << utc(2010, 3, 5);
    QTest::newRow("same separators: reads as date") << "dots"
                                                    << "10.3" << utc(2024, 3, 10);
    QTest::newRow("same separators: time alone") << "dots"
                                                 << "10.30.15" << utc(1899, 12, 30, 10, 30, 15);
}

void TestFieldText::dateTimeFromText()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QDateTime, value);

    const Outcome out = convert(field(FieldKind::DateTime), text, settingsFor(locale));
    if (value.isValid()) {
        QCOMPARE(out.error, QString());
        const QDateTime got = out.value.toDateTime();
        QCOMPARE(got, value);
        QCOMPARE(got.timeSpec(), Qt::UTC);
    } else {
        QCOMPARE(out.error, QStringLiteral("'%1' is not a valid date and time").arg(text));
    }
}

void TestFieldText::displayText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<FieldKind>("kind");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");

    const auto Dt = FieldKind::DateTime;
    QTest::newRow("blank") << "ymd" << FieldKind::SmallInt << QVariant() << "";
    QTest::newRow("negative") << "ymd" << FieldKind::SmallInt << QVariant(qint64(-32768))
                              << "-32768";
    QTest::newRow("autoinc") << "ymd" << FieldKind::AutoInc << QVariant(qint64(1234567))
                             << "1234567";
    QTest::newRow("string") << "ymd" << FieldKind::String << QVariant(" 张三 ") << " 张三 ";
    QTest::newRow("date") << "ymd" << FieldKind::Date << QVariant(QDate(2024, 3, 5)) << "2024-3-5";
    QTest::newRow("early year") << "ymd" << FieldKind::Date << QVariant(QDate(74, 1, 2))
                                << "0074-1-2";
    QTest::newRow("midnight shows date only")
        << "ymd" << Dt << QVariant(utc(2024, 3, 5, 0, 0, 0, 500)) << "2024-3-5";
    QTest::newRow("time") << "ymd" << Dt << QVariant(utc(2024, 3, 5, 8, 5, 9))
                          << "2024-3-5 8:05:09";
    QTest::newRow("time only") << "ymd" << Dt << QVariant(utc(1899, 12, 30, 8, 30))
                               << "1899-12-30 8:30:00";
    QTest::newRow("padded") << "dmy" << Dt << QVariant(utc(2024, 3, 5, 8, 5, 9))
                            << "05/03/2024 08:05:09";
    QTest::newRow("12h date") << "mdy12" << FieldKind::Date << QVariant(QDate(2024, 3, 5))
                              << "3/5/24";
    QTest::newRow("12h midnight hour")
        << "mdy12" << Dt << QVariant(utc(2024, 3, 5, 0, 30)) << "3/5/24 12:30:00 AM";
    QTest::newRow("12h noon") << "mdy12" << Dt << QVariant(utc(2024, 3, 5, 12, 0, 1))
                              << "3/5/24 12:00:01 PM";
    QTest::newRow("12h afternoon")
        << "mdy12" << Dt << QVariant(utc(2024, 3, 5, 23, 59, 59)) << "3/5/24 11:59:59 PM";
    QTest::newRow("designator before")
        << "before" << Dt << QVariant(utc(2024, 3, 5, 15, 4, 5)) << "2024/3/5 下午 3:04:05";
    QTest::newRow("one separator")
        << "dots" << Dt << QVariant(utc(2024, 3, 5, 15, 4, 5)) << "5.3.2024 15.04.05";
}

// Each displayed value also reads back as itself: what a grid shows, an edit box accepts.
void TestFieldText::displayText()
{
    QFETCH(QString, locale);
    QFETCH(FieldKind, kind);
    QFETCH(QVariant, value);
    QFETCH(QString, text);

    const LocaleSettings settings = settingsFor(locale);
    const FieldDef f = field(kind, 20);
    QCOMPARE(fieldtext::displayText(f, value, settings), text);
    QVariant back = fieldtext::valueFromText(f, text, settings);
    if (kind == FieldKind::DateTime) // milliseconds are not shown
        back = back.toDateTime().addMSecs(value.toDateTime().time().msec());
    QCOMPARE(back, value);
}

void TestFieldText::typedCharacters_data()
{
    QTest::addColumn<FieldKind>("kind");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("accepted");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("right");
    QTest::addColumn<int>("width");

    QTest::newRow("smallint") << FieldKind::SmallInt << 0 << false << "+-0123456789"
                              << "a .,eE１" << 0 << true << 10;
    QTest::newRow("read-only autoinc") << FieldKind::AutoInc << 0 << true << ""
                                       << "+-07a" << 0 << true << 10;
    QTest::newRow("string") << FieldKind::String << 8 << false << "aZ 张€\u3000!"
                            << "😀\u00C0" << 8 << false << 8;
    QTest::newRow("date") << FieldKind::Date << 0 << false << "a/:-1 😀"
                          << "" << 0 << false << 10;
    QTest::newRow("datetime") << FieldKind::DateTime << 0 << false << "a/:-1 "
                              << "" << 0 << false << 18;
}

void TestFieldText::typedCharacters()
{
    QFETCH(FieldKind, kind);
    QFETCH(int, size);
    QFETCH(bool, readOnly);
    QFETCH(QString, accepted);
    QFETCH(QString, refused);
    QFETCH(int, limit);
    QFETCH(bool, right);
    QFETCH(int, width);

    const FieldDef f = field(kind, size, readOnly);
    for (char32_t ch : accepted.toUcs4())
        QVERIFY2(fieldtext::acceptsChar(f, ch), qPrintable(QString::fromUcs4(&ch, 1)));
    for (char32_t ch : refused.toUcs4())
        QVERIFY2(!fieldtext::acceptsChar(f, ch), qPrintable(QString::fromUcs4(&ch, 1)));
    QCOMPARE(fieldtext::textLimit(f), limit);
    QCOMPARE(fieldtext::alignment(f), right ? Qt::AlignRight : Qt::AlignLeft);
    QCOMPARE(fieldtext::defaultDisplayWidth(f), width);
}

void TestFieldText::kindNamesAndFamilies_data()
{
    QTest::addColumn<FieldKind>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<FieldKind>("sameFamilyAs");

    QTest::newRow("smallint") << FieldKind::SmallInt << "SmallInt" << FieldKind::LargeInt;
    QTest::newRow("autoinc") << FieldKind::AutoInc << "AutoInc" << FieldKind::SmallInt;
    QTest::newRow("integer") << FieldKind::Integer << "Integer" << FieldKind::AutoInc;
    QTest::newRow("string") << FieldKind::String << "String" << FieldKind::Memo;
    QTest::newRow("date") << FieldKind::Date << "Date" << FieldKind::DateTime;
    QTest::newRow("time") << FieldKind::Time << "Time" << FieldKind::Date;
    QTest::newRow("float") << FieldKind::Float << "Float" << FieldKind::Float;
    QTest::newRow("unknown") << FieldKind::Unknown << "Unknown" << FieldKind::Unknown;
}

void TestFieldText::kindNamesAndFamilies()
{
    QFETCH(FieldKind, kind);
    QFETCH(QString, name);
    QFETCH(FieldKind, sameFamilyAs);

    QCOMPARE(kindName(kind), name);
    QCOMPARE(kindFamily(kind), kindFamily(sameFamilyAs));
    // ...and no other: integers, text and days stay apart.
    const FieldKind others[] = {FieldKind::SmallInt, FieldKind::String, FieldKind::Date};
    int families = 0;
    for (FieldKind other : others)
        families += kindFamily(kind) == kindFamily(other);
    QVERIFY(families <= 1);
}

void TestFieldText::isoText_data()
{
    QTest::addColumn<bool>("withTime");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("value");    // null: refused
    QTest::addColumn<QString>("canonical"); // how the value is written back

    QTest::newRow("date") << false << "2024-03-05" << QVariant(QDate(2024, 3, 5)) << "2024-03-05";
    QTest::newRow("first day") << false << "0001-01-01" << QVariant(QDate(1, 1, 1)) << "0001-01-01";
    QTest::newRow("year 0") << false << "0000-01-01" << QVariant() << "";
    QTest::newRow("month 13") << false << "2024-13-01" << QVariant() << "";
    QTest::newRow("Feb 30") << false << "2024-02-30" << QVariant() << "";
    QTest::newRow("short fields") << false << "2024-3-5" << QVariant() << "";
    QTest::newRow("date with time") << false << "2024-03-05 08:30" << QVariant() << "";
    QTest::newRow("minutes") << true << "2024-03-05 08:30" << QVariant(utc(2024, 3, 5, 8, 30))
                             << "2024-03-05 08:30:00.000";
    QTest::newRow("T and seconds")
        << true << "2024-03-05T08:30:15" << QVariant(utc(2024, 3, 5, 8, 30, 15))
        << "2024-03-05 08:30:15.000";
    QTest::newRow("fraction") << true << "1899-12-30 23:59:59.5"
                              << QVariant(utc(1899, 12, 30, 23, 59, 59, 500))
                              << "1899-12-30 23:59:59.500";
    QTest::newRow("full") << true << "9999-12-31 00:00:00.007"
                          << QVariant(utc(9999, 12, 31, 0, 0, 0, 7)) << "9999-12-31 00:00:00.007";
    QTest::newRow("no time") << true << "2024-03-05" << QVariant() << "";
    QTest::newRow("hour 24") << true << "2024-03-05 24:00" << QVariant() << "";
    QTest::newRow("four fraction digits") << true << "2024-03-05 08:30:15.1234" << QVariant() << "";
    QTest::newRow("empty fraction") << true << "2024-03-05 08:30:15." << QVariant() << "";
    QTest::newRow("fraction without seconds") << true << "2024-03-05 08:30.5" << QVariant() << "";
    QTest::newRow("one-digit hour") << true << "2024-03-05 8:30" << QVariant() << "";
    QTest::newRow("invalid day") << true << "2023-02-29 08:30" << QVariant() << "";
}

void TestFieldText::isoText()
{
    QFETCH(bool, withTime);
    QFETCH(QString, text);
    QFETCH(QVariant, value);
    QFETCH(QString, canonical);

    const QVariant parsed = withTime ? isotext::toDateTime(text) : isotext::toDate(text);
    QCOMPARE(parsed, value);
    if (value.isNull())
        return;
    const QString written =
        withTime ? isotext::fromDateTime(parsed.toDateTime()) : isotext::fromDate(parsed.toDate());
    QCOMPARE(written, canonical);
}

void TestFieldText::fromLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("date");     // 5 March 2024
    QTest::addColumn<QString>("dateTime"); // 5 March 2024 9:04:05
    QTest::addColumn<bool>("twelveHours");
    QTest::addColumn<QChar>("decimal");

    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "3/5/24"
                           << "3/5/24 9:04:05 AM" << true << QChar(u'.');
    QTest::newRow("zh_CN") << QLocale(QLocale::Chinese, QLocale::China) << "2024/3/5"
                           << "2024/3/5 09:04:05" << false << QChar(u'.');
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "05.03.24"
                           << "05.03.24 09:04:05" << false << QChar(u',');
    QTest::newRow("fi_FI") << QLocale(QLocale::Finnish, QLocale::Finland) << "5.3.2024"
                           << "5.3.2024 9.04.05" << false << QChar(u',');
    QTest::newRow("ko_KR") << QLocale(QLocale::Korean, QLocale::SouthKorea) << "24. 3. 5."
                           << "24. 3. 5. 오전 9:04:05" << true << QChar(u'.');
}

// Real locales: the settings show a day and a moment as the locale writes them, and read back
// what they show.
void TestFieldText::fromLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, date);
    QFETCH(QString, dateTime);
    QFETCH(bool, twelveHours);
    QFETCH(QChar, decimal);

    LocaleSettings settings = LocaleSettings::fromLocale(locale);
    settings.today = QDate(2024, 6, 15);
    QCOMPARE(settings.twelveHourClock, twelveHours);
    QCOMPARE(settings.decimalSeparator, decimal);
    QCOMPARE(settings.amDesignator, locale.amText());

    const QDateTime moment = utc(2024, 3, 5, 9, 4, 5);
    const FieldDef dateField = field(FieldKind::Date);
    const FieldDef dateTimeField = field(FieldKind::DateTime);
    QCOMPARE(fieldtext::displayText(dateField, QDate(2024, 3, 5), settings), date);
    QCOMPARE(fieldtext::displayText(dateTimeField, moment, settings), dateTime);
    QCOMPARE(fieldtext::valueFromText(dateField, date, settings), QVariant(QDate(2024, 3, 5)));
    QCOMPARE(fieldtext::valueFromText(dateTimeField, dateTime, settings), QVariant(moment));
}

QTEST_GUILESS_MAIN(TestFieldText)
#include "tst_fieldtext.moc"
