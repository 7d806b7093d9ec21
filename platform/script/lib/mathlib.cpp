// Math: the numeric routines beyond System.
#include <cmath>
#include <limits>

#include "platform/script/lib/libhelpers.h"
#include "platform/script/lib/stocklibraries.h"
#include "platform/script/operators.h"

namespace tev::script {

using namespace lib;

namespace {

[[noreturn]] void invalidOp()
{
    raiseError(QStringLiteral("EInvalidOp"), QStringLiteral("Invalid floating point operation"));
}

double checked(double v)
{
    if (std::isnan(v))
        invalidOp();
    return v;
}

} // namespace

void defineMathLibrary(ScriptEngine &e)
{
    e.AddConstant(QStringLiteral("NaN"), Value(std::numeric_limits<double>::quiet_NaN()));
    e.AddConstant(QStringLiteral("Infinity"), Value(std::numeric_limits<double>::infinity()));
    e.AddConstant(QStringLiteral("NegInfinity"), Value(-std::numeric_limits<double>::infinity()));
    auto pick = [](NativeCall &c, bool max) {
        const Value &a = c.GetInputArg(0), &b = c.GetInputArg(1);
        const bool firstWins = max ? compareValues(a, b) >= 0 : compareValues(a, b) <= 0;
        c.ReturnOutputArg(firstWins ? a : b);
    };
    def(e, "Max", 2, [pick](NativeCall &c) { pick(c, true); });
    def(e, "Min", 2, [pick](NativeCall &c) { pick(c, false); });
    def(e, "Power", 2, [](NativeCall &c) { ret(c, checked(std::pow(flt(c, 0), flt(c, 1)))); });
    def(e, "IntPower", 2,
        [](NativeCall &c) { ret(c, std::pow(flt(c, 0), static_cast<double>(integer(c, 1)))); });
    def(e, "Floor", 1, [](NativeCall &c) { ret(c, roundToInteger(std::floor(flt(c, 0)))); });
    def(e, "Ceil", 1, [](NativeCall &c) { ret(c, roundToInteger(std::ceil(flt(c, 0)))); });
    def(e, "Log10", 1, [](NativeCall &c) { ret(c, checked(std::log10(flt(c, 0)))); });
    def(e, "Log2", 1, [](NativeCall &c) { ret(c, checked(std::log2(flt(c, 0)))); });
    def(e, "LogN", 2,
        [](NativeCall &c) { ret(c, checked(std::log(flt(c, 1)) / std::log(flt(c, 0)))); });
    def(e, "Tan", 1, [](NativeCall &c) { ret(c, std::tan(flt(c, 0))); });
    def(e, "ArcSin", 1, [](NativeCall &c) { ret(c, checked(std::asin(flt(c, 0)))); });
    def(e, "ArcCos", 1, [](NativeCall &c) { ret(c, checked(std::acos(flt(c, 0)))); });
    def(e, "ArcTan2", 2, [](NativeCall &c) { ret(c, std::atan2(flt(c, 0), flt(c, 1))); });
    def(e, "Hypot", 2, [](NativeCall &c) { ret(c, std::hypot(flt(c, 0), flt(c, 1))); });
    def(e, "DegToRad", 1, [](NativeCall &c) { ret(c, flt(c, 0) * M_PI / 180.0); });
    def(e, "RadToDeg", 1, [](NativeCall &c) { ret(c, flt(c, 0) * 180.0 / M_PI); });
    def(e, "Sign", 1, [](NativeCall &c) {
        const double v = flt(c, 0);
        ret(c, qint64(v > 0 ? 1 : (v < 0 ? -1 : 0)));
    });
    def(e, "IsNan", 1, [](NativeCall &c) { ret(c, std::isnan(flt(c, 0))); });
    def(e, "IsInfinite", 1, [](NativeCall &c) { ret(c, std::isinf(flt(c, 0))); });
    def(
        e, "IsZero", 2,
        [](NativeCall &c) {
            const double eps = has(c, 1) ? flt(c, 1) : 1e-12;
            ret(c, std::fabs(flt(c, 0)) <= eps);
        },
        1);
    def(
        e, "SameValue", 3,
        [](NativeCall &c) {
            const double a = flt(c, 0), b = flt(c, 1);
            const double eps = has(c, 2) && flt(c, 2) > 0
                                   ? flt(c, 2)
                                   : std::max(std::fabs(a), std::fabs(b)) * 1e-12;
            ret(c, std::fabs(a - b) <= eps);
        },
        1);
    def(e, "InRange", 3, [](NativeCall &c) {
        ret(c, compareValues(c.GetInputArg(1), c.GetInputArg(0)) <= 0 &&
                   compareValues(c.GetInputArg(0), c.GetInputArg(2)) <= 0);
    });
    def(e, "EnsureRange", 3, [](NativeCall &c) {
        const Value &v = c.GetInputArg(0), &lo = c.GetInputArg(1), &hi = c.GetInputArg(2);
        c.ReturnOutputArg(compareValues(v, lo) < 0 ? lo : (compareValues(v, hi) > 0 ? hi : v));
    });
    // RoundTo(x, -2) rounds to hundredths, halves to even as the dialect does; SimpleRoundTo
    // rounds halves away from zero.
    def(e, "RoundTo", 2, [](NativeCall &c) {
        const double f = std::pow(10.0, static_cast<double>(integer(c, 1)));
        ret(c, std::nearbyint(flt(c, 0) / f) * f);
    });
    def(
        e, "SimpleRoundTo", 2,
        [](NativeCall &c) {
            const double f = std::pow(10.0, static_cast<double>(has(c, 1) ? integer(c, 1) : -2));
            ret(c, std::round(flt(c, 0) / f) * f);
        },
        1);
    def(
        e, "DivMod", 4,
        [](NativeCall &c) {
            const qint64 a = integer(c, 0), b = integer(c, 1);
            if (b == 0)
                raiseError(QStringLiteral("EDivByZero"), QStringLiteral("Division by zero"));
            c.SetInputArg(2, Value(a / b));
            c.SetInputArg(3, Value(a % b));
        },
        0, TypeKind::tkNone)
        .SetVarArgs({2, 3});
    def(e, "Sum", 1, [](NativeCall &c) {
        double s = 0;
        for (const Value &v : openArray(c, 0))
            s += v.toFloat();
        ret(c, s);
    });
    def(e, "MaxIntValue", 1, [](NativeCall &c) {
        const std::vector<Value> items = openArray(c, 0);
        if (items.empty())
            raiseError(QStringLiteral("ERangeError"), QStringLiteral("Empty array"));
        qint64 m = items[0].toInteger();
        for (const Value &v : items)
            m = std::max(m, v.toInteger());
        ret(c, m);
    });
    def(e, "MinIntValue", 1, [](NativeCall &c) {
        const std::vector<Value> items = openArray(c, 0);
        if (items.empty())
            raiseError(QStringLiteral("ERangeError"), QStringLiteral("Empty array"));
        qint64 m = items[0].toInteger();
        for (const Value &v : items)
            m = std::min(m, v.toInteger());
        ret(c, m);
    });
}

} // namespace tev::script
