#include "platform/script/value.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/script/datetime.h"
#include "platform/script/scripterror.h"
#include "platform/script/scriptobject.h"
#include "platform/text/formatsettings.h"

namespace tev::script {

Value Value::null()
{
    Value v;
    v.m_v = NullTag{};
    return v;
}

Value Value::dateTime(double d)
{
    Value v;
    v.m_v = DateTag{d};
    return v;
}

Value Value::object(ObjectRef o)
{
    Value v;
    v.m_v = std::move(o);
    return v;
}

Value Value::classRef(const ScriptClass *c)
{
    Value v;
    v.m_v = ClassTag{c};
    return v;
}

Value Value::array(std::vector<Value> items, qint64 low)
{
    Value v;
    auto data = std::make_shared<ArrayData>();
    data->low = low;
    data->items = std::move(items);
    v.m_v = std::move(data);
    return v;
}

Value Value::routine(const Routine *r)
{
    Value v;
    v.m_v = RoutineTag{r};
    return v;
}

double Value::rawFloat() const
{
    if (type() == VType::DateTime)
        return std::get<DateTag>(m_v).d;
    return std::get<double>(m_v);
}

const ScriptClass *Value::rawClass() const
{
    return std::get<ClassTag>(m_v).c;
}
const Routine *Value::rawRoutine() const
{
    return std::get<RoutineTag>(m_v).r;
}

ArrayData &Value::mutableArray()
{
    auto &p = std::get<std::shared_ptr<ArrayData>>(m_v);
    if (p.use_count() > 1)
        p = std::make_shared<ArrayData>(*p);
    return *p;
}

QString Value::typeName() const
{
    switch (type()) {
    case VType::Empty:
        return QStringLiteral("Empty");
    case VType::Null:
        return QStringLiteral("Null");
    case VType::Boolean:
        return QStringLiteral("Boolean");
    case VType::Integer:
        return QStringLiteral("Integer");
    case VType::Float:
        return QStringLiteral("Double");
    case VType::DateTime:
        return QStringLiteral("Date");
    case VType::String:
        return QStringLiteral("String");
    case VType::Object:
        return QStringLiteral("Object");
    case VType::Class:
        return QStringLiteral("Class");
    case VType::Array:
        return QStringLiteral("Array");
    case VType::Routine:
        return QStringLiteral("Routine");
    }
    return QString();
}

namespace {

[[noreturn]] void cannotConvert(const Value &v, const char *target)
{
    raiseError(QStringLiteral("EConvertError"),
               QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                   .arg(v.typeName(), QLatin1String(target)));
}

} // namespace

QString floatToText(double d)
{
    if (std::isnan(d))
        return QStringLiteral("NAN");
    if (std::isinf(d))
        return d > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (d == 0)
        return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", d);
    // buf: [-]D.DDDDDDDDDDDDDDe[+-]XX
    QString s = QString::fromLatin1(buf);
    const bool negative = s.startsWith(QLatin1Char('-'));
    if (negative)
        s.remove(0, 1);
    const int ePos = s.indexOf(QLatin1Char('e'));
    const int exponent = s.mid(ePos + 1).toInt();
    QString digits = s.left(ePos);
    digits.remove(1, 1); // the point
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    const QChar sep = DecimalSeparator();
    QString out;
    if (exponent >= 15 || exponent < -5) {
        out = digits.left(1);
        if (digits.size() > 1)
            out += sep + digits.mid(1);
        out += QLatin1Char('E') + QString::number(exponent);
    } else if (exponent < 0) {
        out = QStringLiteral("0") + sep + QString(-exponent - 1, QLatin1Char('0')) + digits;
    } else if (digits.size() <= exponent + 1) {
        out = digits + QString(exponent + 1 - digits.size(), QLatin1Char('0'));
    } else {
        out = digits.left(exponent + 1) + sep + digits.mid(exponent + 1);
    }
    return negative ? QLatin1Char('-') + out : out;
}

bool textToInteger(const QString &text, qint64 &out)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    if (t.startsWith(QLatin1Char('$'))) {
        out = static_cast<qint64>(t.mid(1).toULongLong(&ok, 16));
        return ok;
    }
    if (t.startsWith(QLatin1Char('-')) && t.mid(1).startsWith(QLatin1Char('$'))) {
        out = -static_cast<qint64>(t.mid(2).toULongLong(&ok, 16));
        return ok;
    }
    out = t.toLongLong(&ok, 10);
    return ok;
}

bool textToFloat(const QString &text, double &out)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    const QChar sep = DecimalSeparator();
    if (sep != QLatin1Char('.')) {
        if (t.contains(QLatin1Char('.')))
            return false;
        t.replace(sep, QLatin1Char('.'));
    }
    for (QChar c : t) {
        if (!(c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('e') ||
              c == QLatin1Char('E') || c == QLatin1Char('+') || c == QLatin1Char('-')))
            return false;
    }
    bool ok = false;
    out = t.toDouble(&ok);
    if (!ok) {
        qint64 i;
        if (textToInteger(text, i)) {
            out = static_cast<double>(i);
            return true;
        }
    }
    return ok;
}

qint64 roundToInteger(double d)
{
    if (!std::isfinite(d) || d >= 9.2233720368547758e18 || d < -9.2233720368547758e18)
        raiseError(QStringLiteral("EConvertError"),
                   QStringLiteral("Invalid floating-point value for an integer"));
    return static_cast<qint64>(std::nearbyint(d)); // the default rounding mode: halves to even
}

QString Value::toString() const
{
    switch (type()) {
    case VType::Empty:
    case VType::Null:
        return QString();
    case VType::Boolean:
        return rawBool() ? QStringLiteral("True") : QStringLiteral("False");
    case VType::Integer:
        return QString::number(rawInt());
    case VType::Float:
        return floatToText(rawFloat());
    case VType::DateTime:
        return dateTimeToText(rawFloat());
    case VType::String:
        return rawString();
    default:
        cannotConvert(*this, "String");
    }
}

qint64 Value::toInteger() const
{
    switch (type()) {
    case VType::Empty:
        return 0;
    case VType::Boolean:
        return rawBool() ? -1 : 0;
    case VType::Integer:
        return rawInt();
    case VType::Float:
    case VType::DateTime:
        return roundToInteger(rawFloat());
    case VType::String: {
        qint64 i;
        if (textToInteger(rawString(), i))
            return i;
        double d;
        if (textToFloat(rawString(), d))
            return roundToInteger(d);
        cannotConvert(*this, "Integer");
    }
    case VType::Object: {
        // The object's identity as a number, as the dialect's object Variants carry it.
        return static_cast<qint64>(reinterpret_cast<quintptr>(rawObject().get()));
    }
    default:
        cannotConvert(*this, "Integer");
    }
}

double Value::toFloat() const
{
    switch (type()) {
    case VType::Empty:
        return 0;
    case VType::Boolean:
        return rawBool() ? -1 : 0;
    case VType::Integer:
        return static_cast<double>(rawInt());
    case VType::Float:
    case VType::DateTime:
        return rawFloat();
    case VType::String: {
        double d;
        if (textToFloat(rawString(), d))
            return d;
        cannotConvert(*this, "Double");
    }
    default:
        cannotConvert(*this, "Double");
    }
}

bool Value::toBoolean() const
{
    switch (type()) {
    case VType::Empty:
        return false;
    case VType::Boolean:
        return rawBool();
    case VType::Integer:
        return rawInt() != 0;
    case VType::Float:
    case VType::DateTime:
        return rawFloat() != 0;
    case VType::String: {
        const QString t = rawString().trimmed();
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        double d;
        if (textToFloat(t, d))
            return d != 0;
        cannotConvert(*this, "Boolean");
    }
    default:
        cannotConvert(*this, "Boolean");
    }
}

} // namespace tev::script
