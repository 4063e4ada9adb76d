#pragma once

#include <QString>
#include <QVariant>
#include <Qt>

struct LocaleSettings;

// Kinds of field. The names are those that messages print. Fields of the program are of the
// first five kinds; the rest are kinds that a stored table or a query may carry.
enum class FieldKind {
    SmallInt,
    AutoInc,
    String,
    Date,
    DateTime,
    Integer,
    LargeInt,
    Float,
    Boolean,
    Time,
    Blob,
    Memo,
    Unknown,
};

// Families of kinds: a stored field fits a declared one when both are of one family.
enum class KindFamily { Integer, String, DateTime, Float, Boolean, Binary, Unknown };

QString kindName(FieldKind kind);
KindFamily kindFamily(FieldKind kind);

// A declared field. Size counts GBK bytes and matters for String fields only.
struct FieldDef
{
    QString name;
    FieldKind kind = FieldKind::Unknown;
    int size = 0;
    bool readOnly = false;
    bool calculated = false;
};

// Values: a null QVariant is blank. SmallInt, AutoInc, Integer and LargeInt hold qint64,
// String a QString, Date a QDate, DateTime a QDateTime in UTC (wall-clock time, no zone).
namespace fieldtext {

// Text of a stored value for grids and edit boxes; blank gives empty text.
QString displayText(const FieldDef &field, const QVariant &value, const LocaleSettings &locale);

// The value typed text stands for. Throws Error with the field's message (without any
// component prefix) when the text does not convert. String text longer than the field's size
// is cut at a character boundary; a character GBK cannot encode is refused with an error.
QVariant valueFromText(const FieldDef &field, const QString &text, const LocaleSettings &locale);

// Whether a typed character may enter the field's text.
bool acceptsChar(const FieldDef &field, char32_t ch);

// Bytes of text the field takes, 0 for no limit.
int textLimit(const FieldDef &field);

Qt::Alignment alignment(const FieldDef &field);
int defaultDisplayWidth(const FieldDef &field);

} // namespace fieldtext

// ISO-8601 text, the form in which dates and times are stored and exchanged.
namespace isotext {

QString fromDate(const QDate &date);         // "2024-03-05"
QString fromDateTime(const QDateTime &time); // "2024-03-05 08:30:00.000"
// Null QVariant when the text is not of the form; DateTime takes "YYYY-MM-DD", then a blank or
// "T" and "HH:MM", ":SS" and ".fff" optional.
QVariant toDate(QStringView text);
QVariant toDateTime(QStringView text);

} // namespace isotext
