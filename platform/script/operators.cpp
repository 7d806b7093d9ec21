#include "platform/script/operators.h"

#include <cmath>

#include "platform/script/scripterror.h"

namespace tev::script {

namespace {

[[noreturn]] void invalidOp(Tok op, const Value &a, const Value &b)
{
    raiseError(QStringLiteral("EVariantError"),
               QStringLiteral("Invalid variant operation: %1 %2 %3")
                   .arg(a.typeName(), QLatin1String(tokenName(op)), b.typeName()));
}

qint64 wrapAdd(qint64 a, qint64 b)
{
    return static_cast<qint64>(static_cast<quint64>(a) + static_cast<quint64>(b));
}
qint64 wrapSub(qint64 a, qint64 b)
{
    return static_cast<qint64>(static_cast<quint64>(a) - static_cast<quint64>(b));
}
qint64 wrapMul(qint64 a, qint64 b)
{
    return static_cast<qint64>(static_cast<quint64>(a) * static_cast<quint64>(b));
}

bool isOrdinalLike(const Value &v)
{
    return v.isInteger() || v.type() == VType::Boolean || v.isEmpty();
}

bool isNumericLike(const Value &v)
{
    return v.isNumber() || v.type() == VType::Boolean || v.isEmpty();
}

// The number a value stands for in arithmetic: strings convert (the Variant rule).
bool numericInteger(const Value &v, qint64 &out)
{
    if (v.isInteger()) {
        out = v.rawInt();
        return true;
    }
    if (v.isEmpty()) {
        out = 0;
        return true;
    }
    if (v.type() == VType::Boolean) {
        out = v.rawBool() ? -1 : 0;
        return true;
    }
    if (v.isString()) {
        qint64 i;
        if (textToInteger(v.rawString(), i)) {
            out = i;
            return true;
        }
    }
    return false;
}

Value arithmetic(Tok op, const Value &a, const Value &b)
{
    if (a.isNull() || b.isNull())
        return Value::null();
    qint64 x, y;
    if (numericInteger(a, x) && numericInteger(b, y) && !(a.isString() && b.isString())) {
        switch (op) {
        case Tok::Plus:
            return Value(wrapAdd(x, y));
        case Tok::Minus:
            return Value(wrapSub(x, y));
        case Tok::Star:
            return Value(wrapMul(x, y));
        default:
            break;
        }
    }
    if (!(a.isNumber() || a.isString() || isNumericLike(a)) ||
        !(b.isNumber() || b.isString() || isNumericLike(b)))
        invalidOp(op, a, b);
    const double p = a.toFloat(), q = b.toFloat();
    double r = 0;
    switch (op) {
    case Tok::Plus:
        r = p + q;
        break;
    case Tok::Minus:
        r = p - q;
        break;
    case Tok::Star:
        r = p * q;
        break;
    default:
        invalidOp(op, a, b);
    }
    // A date-time plus or minus a number stays a date-time; the difference of two is a number.
    const bool aDate = a.type() == VType::DateTime, bDate = b.type() == VType::DateTime;
    if ((aDate != bDate) && op != Tok::Star)
        return Value::dateTime(r);
    return Value(r);
}

qint64 integerOperand(Tok op, const Value &a, const Value &b, const Value &v)
{
    if (v.isString() || v.isNumber() || isOrdinalLike(v))
        return v.toInteger();
    invalidOp(op, a, b);
}

} // namespace

Value binaryOp(Tok op, const Value &a, const Value &b)
{
    switch (op) {
    case Tok::Plus:
        if ((a.isString() || a.isEmpty()) && (b.isString() || b.isEmpty()) &&
            (a.isString() || b.isString())) {
            const qsizetype len = (a.isString() ? a.rawString().size() : 0) +
                                  (b.isString() ? b.rawString().size() : 0);
            if (len > MaxStringLength)
                raiseError(QStringLiteral("EOutOfMemory"), QStringLiteral("String too long"));
            if (!a.isString())
                return b;
            if (!b.isString())
                return a;
            return Value(a.rawString() + b.rawString());
        }
        return arithmetic(op, a, b);
    case Tok::Minus:
    case Tok::Star:
        return arithmetic(op, a, b);
    case Tok::Slash: {
        if (a.isNull() || b.isNull())
            return Value::null();
        const double q = b.toFloat();
        const double p = a.toFloat();
        if (q == 0) {
            if (p == 0)
                raiseError(QStringLiteral("EInvalidOp"),
                           QStringLiteral("Invalid floating point operation"));
            raiseError(QStringLiteral("EZeroDivide"),
                       QStringLiteral("Floating point division by zero"));
        }
        return Value(p / q);
    }
    case Tok::Div:
    case Tok::Mod: {
        if (a.isNull() || b.isNull())
            return Value::null();
        const qint64 x = integerOperand(op, a, b, a);
        const qint64 y = integerOperand(op, a, b, b);
        if (y == 0)
            raiseError(QStringLiteral("EDivByZero"), QStringLiteral("Division by zero"));
        if (y == -1) // the one quotient that overflows
            return op == Tok::Div ? Value(wrapSub(0, x)) : Value(qint64(0));
        return op == Tok::Div ? Value(x / y) : Value(x % y);
    }
    case Tok::And:
    case Tok::Or:
    case Tok::Xor:
        if (a.type() == VType::Boolean && b.type() == VType::Boolean) {
            const bool x = a.rawBool(), y = b.rawBool();
            return Value(op == Tok::And ? (x && y) : op == Tok::Or ? (x || y) : (x != y));
        }
        if (a.isNull() || b.isNull())
            return Value::null();
        {
            const qint64 x = integerOperand(op, a, b, a);
            const qint64 y = integerOperand(op, a, b, b);
            return Value(op == Tok::And ? (x & y) : op == Tok::Or ? (x | y) : (x ^ y));
        }
    case Tok::Shl:
    case Tok::Shr: {
        const quint64 x = static_cast<quint64>(integerOperand(op, a, b, a));
        const qint64 n = integerOperand(op, a, b, b) & 63;
        return Value(static_cast<qint64>(op == Tok::Shl ? x << n : x >> n));
    }
    case Tok::Equal:
        return Value(equalValues(a, b));
    case Tok::NotEqual:
        return Value(!equalValues(a, b));
    case Tok::Less:
        return Value(compareValues(a, b) < 0);
    case Tok::LessEqual:
        return Value(compareValues(a, b) <= 0);
    case Tok::Greater:
        return Value(compareValues(a, b) > 0);
    case Tok::GreaterEqual:
        return Value(compareValues(a, b) >= 0);
    default:
        invalidOp(op, a, b);
    }
}

Value unaryOp(Tok op, const Value &a)
{
    switch (op) {
    case Tok::Minus:
        if (a.isInteger())
            return Value(wrapSub(0, a.rawInt()));
        if (a.isNull())
            return a;
        if (a.type() == VType::DateTime)
            return Value::dateTime(-a.rawFloat());
        if (a.type() == VType::Float)
            return Value(-a.rawFloat());
        return binaryOp(Tok::Minus, Value(qint64(0)), a);
    case Tok::Plus:
        if (a.isNumber())
            return a;
        return binaryOp(Tok::Plus, Value(qint64(0)), a);
    case Tok::Not:
        if (a.type() == VType::Boolean)
            return Value(!a.rawBool());
        if (a.isNull())
            return a;
        if (a.isInteger() || a.isEmpty())
            return Value(~a.toInteger());
        if (a.isString()) {
            qint64 i;
            if (textToInteger(a.rawString(), i))
                return Value(~i);
            return Value(!a.toBoolean());
        }
        return Value(~a.toInteger());
    default:
        raiseError(QStringLiteral("EVariantError"), QStringLiteral("Invalid variant operation"));
    }
}

int compareValues(const Value &a, const Value &b)
{
    auto sign = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull() ? 0 : (a.isNull() ? -1 : 1);
    if (a.isString() && b.isString())
        return sign(
            QStringView(a.rawString()).compare(QStringView(b.rawString()), Qt::CaseSensitive), 0);
    if (a.isEmpty() && b.isEmpty())
        return 0;
    if ((a.isEmpty() && b.isString()) || (a.isString() && b.isEmpty())) {
        const QString x = a.isString() ? a.rawString() : QString();
        const QString y = b.isString() ? b.rawString() : QString();
        return sign(x.compare(y, Qt::CaseSensitive), 0);
    }
    if (a.type() == VType::Boolean && b.type() == VType::Boolean)
        return sign(int(a.rawBool()), int(b.rawBool()));
    if (a.isObject() || b.isObject()) {
        const void *x = a.isObject() ? a.rawObject().get() : nullptr;
        const void *y = b.isObject() ? b.rawObject().get() : nullptr;
        if ((a.isObject() || a.isEmpty()) && (b.isObject() || b.isEmpty()))
            return x == y ? 0 : (x < y ? -1 : 1);
        raiseError(QStringLiteral("EVariantError"),
                   QStringLiteral("Invalid variant operation: cannot compare an object"));
    }
    if (a.type() == VType::Class && b.type() == VType::Class)
        return a.rawClass() == b.rawClass() ? 0 : (a.rawClass() < b.rawClass() ? -1 : 1);
    if (a.isArray() || b.isArray())
        raiseError(QStringLiteral("EVariantError"),
                   QStringLiteral("Invalid variant operation: cannot compare an array"));
    if (a.isInteger() && b.isInteger())
        return sign(a.rawInt(), b.rawInt());
    const double x = a.toFloat(), y = b.toFloat();
    return sign(x, y);
}

bool equalValues(const Value &a, const Value &b)
{
    if (a.isObject() || b.isObject() || a.type() == VType::Class || b.type() == VType::Class ||
        a.type() == VType::Routine || b.type() == VType::Routine) {
        if (a.type() == VType::Routine && b.type() == VType::Routine)
            return a.rawRoutine() == b.rawRoutine();
        if (a.type() == VType::Class && b.type() == VType::Class)
            return a.rawClass() == b.rawClass();
        const void *x = a.isObject() ? a.rawObject().get() : nullptr;
        const void *y = b.isObject() ? b.rawObject().get() : nullptr;
        const bool aNilLike = a.isObject() || a.isEmpty();
        const bool bNilLike = b.isObject() || b.isEmpty();
        return aNilLike && bNilLike && x == y;
    }
    if (a.isArray() && b.isArray()) {
        const auto &x = a.rawArray().items, &y = b.rawArray().items;
        if (x.size() != y.size())
            return false;
        for (size_t i = 0; i < x.size(); ++i)
            if (!equalValues(x[i], y[i]))
                return false;
        return true;
    }
    if ((a.isString() && b.isNumber()) || (a.isNumber() && b.isString())) {
        // The Variant rule: compare as numbers when the text is one, else as texts.
        double d;
        const QString &s = a.isString() ? a.rawString() : b.rawString();
        if (!textToFloat(s, d))
            return false;
    }
    return compareValues(a, b) == 0;
}

} // namespace tev::script
