#include "core/lib/conversions.h"

#include "core/lib/numbers.h"
#include "core/lib/textroutines.h"

#include <QDate>
#include <QLocale>
#include <QTime>
#include <cmath>

namespace tev {

namespace {

constexpr qint64 kMSecsPerDay = 86400000;
// 1 January 10000 as a day number: the first date the caption no longer shows.
constexpr double kEndOfDates = 2958466.0;

// The locale's long time format without the time zone, which a date-time value does not carry.
QString LongTimeFormat(const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('t'))
            result += c;
    }
    result.remove(QStringLiteral("()"));
    return result.trimmed();
}

} // namespace

int BoolToInt(bool Value)
{
    return Value ? 1 : 0;
}

QString BoolToParamStr(bool Value)
{
    return Value ? QStringLiteral("YES") : QStringLiteral("NO");
}

bool ParamStrToBool(const QString &Value)
{
    const QString s = TrimText(AsciiUpperCase(Value));
    if (s == QLatin1String("YES"))
        return true;
    if (s == QLatin1String("NO"))
        return false;
    return StrToIntDef(s, 0) != 0;
}

qint32 VarToInt(const QVariant &Value)
{
    if (!Value.isValid() || Value.isNull())
        return 0;
    switch (Value.typeId()) {
    case QMetaType::Bool:
        return Value.toBool() ? 1 : 0;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::SChar:
    case QMetaType::Char:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return qint32(Value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return qint32(quint32(Value.toULongLong()));
    default:
        return 0;
    }
}

double VarToDouble(const QVariant &Value)
{
    if (!Value.isValid() || Value.isNull())
        return NaN;
    switch (Value.typeId()) {
    case QMetaType::Bool:
        return Value.toBool() ? 1 : 0;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::SChar:
    case QMetaType::Char:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return double(Value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return double(Value.toULongLong());
    case QMetaType::Float:
    case QMetaType::Double:
        return Value.toDouble();
    default:
        return NaN;
    }
}

QString DateTimeToCaption(double DateTime)
{
    if (!(DateTime > 0) || !(DateTime < kEndOfDates))
        return QString();
    const qint64 msecs = std::llround(DateTime * double(kMSecsPerDay));
    const QDate date = QDate(1899, 12, 30).addDays(msecs / kMSecsPerDay);
    const int timeOfDay = int(msecs % kMSecsPerDay);
    const QLocale locale = QLocale::system();
    QString result = locale.toString(date, locale.dateFormat(QLocale::ShortFormat));
    if (timeOfDay != 0) {
        result += QLatin1Char(' ') + locale.toString(QTime::fromMSecsSinceStartOfDay(timeOfDay),
                                                     LongTimeFormat(locale));
    }
    return result;
}

} // namespace tev
