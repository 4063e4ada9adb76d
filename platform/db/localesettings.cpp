#include "platform/db/localesettings.h"

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Walks a Qt date or time format: runs of one ASCII letter are tokens, text in single quotes is
// literal ('' is a quote), anything else is literal as it stands.
class FormatReader
{
public:
    explicit FormatReader(const QString &format) : m_format(format) {}

    bool atEnd() const { return m_pos >= m_format.size(); }
    qsizetype pos() const { return m_pos; }

    // The next token's letter and run length, or a null letter and the literal text.
    QChar next(qsizetype *run, QString *literal)
    {
        literal->clear();
        const QChar c = m_format[m_pos];
        if (c == u'\'') {
            ++m_pos;
            while (m_pos < m_format.size()) {
                if (m_format[m_pos] == u'\'') {
                    if (m_pos + 1 < m_format.size() && m_format[m_pos + 1] == u'\'') {
                        literal->append(u'\'');
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    break;
                }
                literal->append(m_format[m_pos++]);
            }
            *run = 0;
            return QChar();
        }
        if (isAsciiLetter(c)) {
            qsizetype end = m_pos;
            while (end < m_format.size() && m_format[end] == c)
                ++end;
            *run = end - m_pos;
            m_pos = end;
            return c;
        }
        literal->append(c);
        ++m_pos;
        *run = 0;
        return QChar();
    }

private:
    const QString &m_format;
    qsizetype m_pos = 0;
};

// Qt's short date format in our letters. Weekday names have no place in a typed date and go,
// with the punctuation after them; month names become month numbers.
QString convertDateFormat(const QString &qtFormat)
{
    QString out;
    FormatReader reader(qtFormat);
    bool droppingWeekday = false;
    while (!reader.atEnd()) {
        qsizetype run = 0;
        QString literal;
        const QChar token = reader.next(&run, &literal);
        if (token.isNull()) {
            if (droppingWeekday && !literal.isEmpty() && !literal[0].isLetterOrNumber())
                continue;
            droppingWeekday = false;
            for (QChar c : literal)
                if (!isAsciiLetter(c)) // would read as one of our letters
                    out.append(c);
            continue;
        }
        droppingWeekday = false;
        if (token == u'd' && run >= 3)
            droppingWeekday = true;
        else if (token == u'd')
            out.append(run == 1 ? QStringLiteral("d") : QStringLiteral("dd"));
        else if (token == u'M')
            out.append(run == 1 ? QStringLiteral("M") : QStringLiteral("MM"));
        else if (token == u'y')
            out.append(run == 2 ? QStringLiteral("yy") : QStringLiteral("yyyy"));
    }
    return out;
}

// The first character of the format that is neither a letter nor invisible (right-to-left
// marks sit next to the separators in some locales).
QChar firstSeparator(const QString &format)
{
    for (QChar c : format)
        if (!c.isLetter() && c.category() != QChar::Other_Format)
            return c;
    return QChar();
}

struct TimeFormatFacts
{
    bool hasHour = false;
    bool twelveHour = false;
    bool leadingZero = false;
    bool designatorFirst = false;
    QChar separator; // null when nothing usable follows the hour
};

TimeFormatFacts readTimeFormat(const QString &qtFormat)
{
    TimeFormatFacts facts;
    bool hasDesignator = false;
    bool lowerHour = false;
    bool hourJustRead = false;
    FormatReader reader(qtFormat);
    while (!reader.atEnd()) {
        qsizetype run = 0;
        QString literal;
        const QChar token = reader.next(&run, &literal);
        if (hourJustRead && token.isNull() && literal.size() == 1 && !literal[0].isLetter() &&
            !literal[0].isSpace() && literal[0].category() != QChar::Other_Format)
            facts.separator = literal[0];
        hourJustRead = false;
        if ((token == u'h' || token == u'H') && !facts.hasHour) {
            facts.hasHour = true;
            facts.leadingZero = run >= 2;
            lowerHour = token == u'h';
            hourJustRead = true;
        } else if ((token == u'a' || token == u'A') && !hasDesignator) {
            hasDesignator = true;
            facts.designatorFirst = !facts.hasHour;
        }
    }
    // Qt's "H" counts 0 to 23 even next to a designator.
    facts.twelveHour = hasDesignator && lowerHour;
    facts.designatorFirst = facts.designatorFirst && facts.twelveHour;
    return facts;
}

LocaleSettings &currentInstance()
{
    static LocaleSettings settings = LocaleSettings::system();
    return settings;
}

} // namespace

LocaleSettings LocaleSettings::fromLocale(const QLocale &locale)
{
    LocaleSettings settings;

    const QString dateFormat = convertDateFormat(locale.dateFormat(QLocale::ShortFormat));
    const QChar dateSeparator = firstSeparator(dateFormat);
    if (!dateSeparator.isNull()) {
        settings.dateSeparator = dateSeparator;
        settings.shortDateFormat = QString(dateFormat).replace(dateSeparator, u'/');
    } else if (!dateFormat.isEmpty()) {
        settings.shortDateFormat = dateFormat;
    }

    const TimeFormatFacts longTime = readTimeFormat(locale.timeFormat(QLocale::LongFormat));
    if (longTime.hasHour) {
        settings.twelveHourClock = longTime.twelveHour;
        settings.hourLeadingZero = longTime.leadingZero;
        settings.designatorBeforeTime = longTime.designatorFirst;
    }
    // Some long formats put words between the parts (Japanese, Korean); the short format then
    // still shows the separator that people type.
    QChar timeSeparator = longTime.separator;
    if (timeSeparator.isNull())
        timeSeparator = readTimeFormat(locale.timeFormat(QLocale::ShortFormat)).separator;
    if (!timeSeparator.isNull())
        settings.timeSeparator = timeSeparator;

    if (!locale.amText().isEmpty())
        settings.amDesignator = locale.amText();
    if (!locale.pmText().isEmpty())
        settings.pmDesignator = locale.pmText();
    const QString decimalPoint = locale.decimalPoint();
    if (!decimalPoint.isEmpty())
        settings.decimalSeparator = decimalPoint[0];
    return settings;
}

LocaleSettings LocaleSettings::system()
{
    return fromLocale(QLocale::system());
}

const LocaleSettings &currentLocaleSettings()
{
    return currentInstance();
}

void setCurrentLocaleSettings(const LocaleSettings &settings)
{
    currentInstance() = settings;
}
