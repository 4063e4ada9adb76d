#pragma once

#include <QChar>
#include <QDate>
#include <QLocale>
#include <QString>

// The user's settings for writing and reading dates, times and numbers.
//
// shortDateFormat uses the letters d, dd, M, MM, yy and yyyy (either case); a "/" in it stands
// for dateSeparator, any other character is written as it stands.
struct LocaleSettings
{
    QString shortDateFormat = QStringLiteral("yyyy-M-d");
    QChar dateSeparator = u'-';
    QChar timeSeparator = u':';
    bool twelveHourClock = false;
    bool hourLeadingZero = false;
    QString amDesignator = QStringLiteral("AM");
    QString pmDesignator = QStringLiteral("PM");
    bool designatorBeforeTime = false;
    QChar decimalSeparator = u'.';
    // Today as the conversions see it; null means the real date. Tests pin it.
    QDate today;

    QDate currentDate() const { return today.isValid() ? today : QDate::currentDate(); }

    // The settings of a Qt locale (its short date and long time formats).
    static LocaleSettings fromLocale(const QLocale &locale);
    // The settings of the user's locale (LC_TIME, LC_NUMERIC and friends on Linux).
    static LocaleSettings system();
};

// The settings that every conversion of the running program uses. Set once at start-up from the
// system; tests replace them.
const LocaleSettings &currentLocaleSettings();
void setCurrentLocaleSettings(const LocaleSettings &settings);
