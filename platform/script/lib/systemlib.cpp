// The System library: the language's own routines and classes, attached to every engine.
#include <QRandomGenerator>
#include <cmath>

#include "platform/script/lib/libhelpers.h"
#include "platform/script/lib/stocklibraries.h"
#include "platform/script/lib/textformat.h"

namespace tev::script {

using namespace lib;

namespace {

class PlainObject : public NativeObject
{
};

ScriptClass *defineExceptions(ScriptEngine &e)
{
    ScriptClass *exc = e.DefineClass(QStringLiteral("Exception"));
    exc->DefineMethod(
        QStringLiteral("Create"), 1, TypeKind::tkClass,
        [](NativeCall &c) {
            c.ReturnOutputArg(c.engine()->NewObject(c.CurrentClass(),
                                                    std::make_unique<ExceptionObject>(str(c, 0))));
        },
        true);
    exc->DefineMethod(
        QStringLiteral("CreateFmt"), 2, TypeKind::tkClass,
        [](NativeCall &c) {
            const QString m = formatText(str(c, 0), openArray(c, 1));
            c.ReturnOutputArg(
                c.engine()->NewObject(c.CurrentClass(), std::make_unique<ExceptionObject>(m)));
        },
        true);
    exc->DefineProperty(
        QStringLiteral("Message"), 0,
        [](NativeCall &c) { ret(c, c.CurrentNative<ExceptionObject>().message); },
        [](NativeCall &c) {
            c.CurrentNative<ExceptionObject>().message = str(c, c.InputArgCount() - 1);
        });
    // The dialect's run-time error classes, with their ancestry.
    struct Sub
    {
        const char *name;
        const char *parent;
    };
    static const Sub subs[] = {
        {"EAbort", "Exception"},
        {"EConvertError", "Exception"},
        {"EIntError", "Exception"},
        {"EDivByZero", "EIntError"},
        {"ERangeError", "EIntError"},
        {"EIntOverflow", "EIntError"},
        {"EMathError", "Exception"},
        {"EZeroDivide", "EMathError"},
        {"EInvalidOp", "EMathError"},
        {"EOverflow", "EMathError"},
        {"EInvalidCast", "Exception"},
        {"EAccessViolation", "Exception"},
        {"EVariantError", "Exception"},
        {"EListError", "Exception"},
        {"EStringListError", "Exception"},
        {"EOutOfMemory", "Exception"},
        {"EStackOverflow", "Exception"},
        {"EInvalidPointer", "Exception"},
        {"EInvalidOperation", "Exception"},
        {"EInOutError", "Exception"},
        {"EFileNotFoundException", "EInOutError"},
        {"EArgumentException", "Exception"},
        {"EScriptError", "Exception"},
        {"EScriptAbort", "Exception"},
        {"EIniFileException", "Exception"},
    };
    for (const Sub &s : subs)
        e.DefineClass(QLatin1String(s.name), e.FindClass(QLatin1String(s.parent)));
    return exc;
}

void defineTObject(ScriptEngine &e)
{
    ScriptClass *obj = e.DefineClass(QStringLiteral("TObject"));
    obj->DefineMethod(
        QStringLiteral("Create"), 0, TypeKind::tkClass,
        [](NativeCall &c) {
            c.ReturnOutputArg(
                c.engine()->NewObject(c.CurrentClass(), std::make_unique<PlainObject>()));
        },
        true);
    auto freeIt = [](NativeCall &c) {
        if (ObjectBox *box = c.CurrentObject())
            box->free();
    };
    obj->DefineMethod(QStringLiteral("Free"), 0, TypeKind::tkNone, freeIt);
    obj->DefineMethod(QStringLiteral("Destroy"), 0, TypeKind::tkNone, freeIt);
    obj->DefineMethod(
        QStringLiteral("ClassName"), 0, TypeKind::tkString,
        [](NativeCall &c) { ret(c, c.CurrentClass() ? c.CurrentClass()->name() : QString()); },
        true);
    obj->DefineMethod(
        QStringLiteral("InheritsFrom"), 1, TypeKind::tkVariant,
        [](NativeCall &c) {
            const Value &v = c.GetInputArg(0);
            ret(c, v.type() == VType::Class && c.CurrentClass() &&
                       c.CurrentClass()->inheritsFrom(v.rawClass()));
        },
        true);
}

// Length, High and Low of a string or array.
qint64 lengthOf(const Value &v)
{
    if (v.isArray())
        return static_cast<qint64>(v.rawArray().items.size());
    if (v.isEmpty() || v.isNull())
        return 0;
    return v.toString().size();
}

void setLength(NativeCall &c)
{
    const qint64 n = integer(c, 1);
    if (n < 0 || n > MaxArrayLength)
        raiseError(QStringLiteral("ERangeError"), QStringLiteral("Invalid length %1").arg(n));
    Value v = c.GetInputArg(0);
    if (v.isString() || (!v.isArray() && !v.isEmpty())) {
        QString s = v.toString();
        s.resize(static_cast<qsizetype>(n), QLatin1Char(' '));
        c.SetInputArg(0, Value(s));
        return;
    }
    if (v.isEmpty())
        v = Value::array({});
    v.mutableArray().items.resize(static_cast<size_t>(n));
    c.SetInputArg(0, v);
}

void incDec(NativeCall &c, int sign)
{
    const Value &v = c.GetInputArg(0);
    const qint64 by = has(c, 1) ? integer(c, 1) : 1;
    if (v.isString() && v.rawString().size() == 1) {
        c.SetInputArg(0, Value(QString(QChar(
                             static_cast<char16_t>(v.rawString().at(0).unicode() + sign * by)))));
        return;
    }
    c.SetInputArg(0, Value(static_cast<qint64>(static_cast<quint64>(v.toInteger()) +
                                               static_cast<quint64>(sign * by))));
}

} // namespace

void defineSystemLibrary(ScriptEngine &e)
{
    defineTObject(e);
    defineExceptions(e);

    e.AddConstant(QStringLiteral("True"), Value(true));
    e.AddConstant(QStringLiteral("False"), Value(false));
    e.AddConstant(QStringLiteral("MaxInt"), Value(qint64(2147483647)));
    e.AddConstant(QStringLiteral("MaxLongInt"), Value(qint64(2147483647)));
    e.AddConstant(QStringLiteral("Null"), Value::null());
    e.AddConstant(QStringLiteral("Unassigned"), Value());
    e.AddConstant(QStringLiteral("sLineBreak"), Value(QStringLiteral("\n")));
    e.AddConstant(QStringLiteral("varEmpty"), Value(qint64(0)));
    e.AddConstant(QStringLiteral("varNull"), Value(qint64(1)));
    e.AddConstant(QStringLiteral("varInteger"), Value(qint64(3)));
    e.AddConstant(QStringLiteral("varDouble"), Value(qint64(5)));
    e.AddConstant(QStringLiteral("varDate"), Value(qint64(7)));
    e.AddConstant(QStringLiteral("varBoolean"), Value(qint64(11)));
    e.AddConstant(QStringLiteral("varString"), Value(qint64(0x100)));
    e.AddConstant(QStringLiteral("varUString"), Value(qint64(0x102)));
    e.AddConstant(QStringLiteral("varInt64"), Value(qint64(20)));
    e.AddConstant(QStringLiteral("varArray"), Value(qint64(0x2000)));

    auto write = [](NativeCall &c, bool line) {
        QString out;
        // Write prints Booleans as the language's TRUE and FALSE.
        for (int i = 0; i < c.InputArgCount(); ++i) {
            const Value &v = c.GetInputArg(i);
            out += v.type() == VType::Boolean
                       ? (v.rawBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE"))
                       : v.toString();
        }
        if (line)
            out += QLatin1Char('\n');
        c.engine()->output(out);
    };
    def(
        e, "Write", -1, [write](NativeCall &c) { write(c, false); }, 0, TypeKind::tkNone);
    def(
        e, "WriteLn", -1, [write](NativeCall &c) { write(c, true); }, 0, TypeKind::tkNone);
    def(
        e, "Inc", 2, [](NativeCall &c) { incDec(c, 1); }, 1, TypeKind::tkNone)
        .SetVarArgs({0});
    def(
        e, "Dec", 2, [](NativeCall &c) { incDec(c, -1); }, 1, TypeKind::tkNone)
        .SetVarArgs({0});
    def(e, "Length", 1, [](NativeCall &c) { ret(c, lengthOf(c.GetInputArg(0))); });
    def(e, "High", 1, [](NativeCall &c) {
        const Value &v = c.GetInputArg(0);
        ret(c, v.isArray() ? v.rawArray().low + lengthOf(v) - 1 : lengthOf(v));
    });
    def(e, "Low", 1, [](NativeCall &c) {
        const Value &v = c.GetInputArg(0);
        ret(c, v.isArray() ? v.rawArray().low : qint64(1));
    });
    def(e, "SetLength", 2, setLength, 0, TypeKind::tkNone).SetVarArgs({0});
    def(
        e, "Copy", 3,
        [](NativeCall &c) {
            const Value &v = c.GetInputArg(0);
            qint64 from = integer(c, 1);
            if (v.isArray()) {
                const auto &items = v.rawArray().items;
                const qint64 n = static_cast<qint64>(items.size());
                from = std::clamp<qint64>(from, 0, n);
                const qint64 count = std::clamp<qint64>(has(c, 2) ? integer(c, 2) : n, 0, n - from);
                c.ReturnOutputArg(Value::array(
                    std::vector<Value>(items.begin() + from, items.begin() + from + count)));
                return;
            }
            const QString s = v.toString();
            if (from < 1)
                from = 1;
            const qint64 count = has(c, 2) ? integer(c, 2) : s.size();
            if (from > s.size() || count <= 0)
                return ret(c, QString());
            ret(c, s.mid(static_cast<qsizetype>(from - 1),
                         static_cast<qsizetype>(std::min<qint64>(count, s.size()))));
        },
        1);
    def(
        e, "Pos", 3,
        [](NativeCall &c) {
            const qint64 offset = has(c, 2) ? integer(c, 2) : 1;
            if (offset < 1)
                return ret(c, qint64(0));
            ret(c, qint64(str(c, 1).indexOf(str(c, 0), static_cast<qsizetype>(offset - 1)) + 1));
        },
        1);
    def(
        e, "Delete", 3,
        [](NativeCall &c) {
            QString s = str(c, 0);
            const qint64 index = integer(c, 1), count = integer(c, 2);
            if (index >= 1 && index <= s.size() && count > 0)
                s.remove(static_cast<qsizetype>(index - 1),
                         static_cast<qsizetype>(std::min<qint64>(count, s.size())));
            c.SetInputArg(0, Value(s));
        },
        0, TypeKind::tkNone)
        .SetVarArgs({0});
    def(
        e, "Insert", 3,
        [](NativeCall &c) {
            QString s = str(c, 1);
            const QString what = str(c, 0);
            checkLength(s.size() + what.size());
            const qint64 index = std::clamp<qint64>(integer(c, 2), 1, s.size() + 1);
            s.insert(static_cast<qsizetype>(index - 1), what);
            c.SetInputArg(1, Value(s));
        },
        0, TypeKind::tkNone)
        .SetVarArgs({1});
    def(e, "Ord", 1, [](NativeCall &c) {
        const Value &v = c.GetInputArg(0);
        if (v.isString() && v.rawString().size() == 1)
            return ret(c, qint64(v.rawString().at(0).unicode()));
        if (v.type() == VType::Boolean)
            return ret(c, qint64(v.rawBool() ? 1 : 0));
        if (v.isString())
            raiseError(QStringLiteral("EConvertError"),
                       QStringLiteral("Ord needs an ordinal value"));
        ret(c, v.toInteger());
    });
    def(e, "Chr", 1, [](NativeCall &c) {
        ret(c, QString(QChar(static_cast<char16_t>(integer(c, 0) & 0xFFFF))));
    });
    def(e, "Succ", 1, [](NativeCall &c) {
        std::vector<Value> a{c.GetInputArg(0)};
        NativeCall inner(c.engine(), a, nullptr);
        incDec(inner, 1);
        c.ReturnOutputArg(a[0]);
    });
    def(e, "Pred", 1, [](NativeCall &c) {
        std::vector<Value> a{c.GetInputArg(0)};
        NativeCall inner(c.engine(), a, nullptr);
        incDec(inner, -1);
        c.ReturnOutputArg(a[0]);
    });
    def(e, "UpCase", 1, [](NativeCall &c) { ret(c, str(c, 0).toUpper()); });
    def(e, "Assigned", 1, [](NativeCall &c) {
        const Value &v = c.GetInputArg(0);
        ret(c, (v.isObject() && v.rawObject() != nullptr) || v.type() == VType::Routine ||
                   v.type() == VType::Class);
    });
    def(e, "Odd", 1, [](NativeCall &c) { ret(c, (integer(c, 0) & 1) != 0); });
    def(e, "Abs", 1, [](NativeCall &c) {
        const Value &v = c.GetInputArg(0);
        if (v.isInteger())
            return ret(c, v.rawInt() < 0
                              ? static_cast<qint64>(0ULL - static_cast<quint64>(v.rawInt()))
                              : v.rawInt());
        ret(c, std::fabs(v.toFloat()));
    });
    def(e, "Sqr", 1, [](NativeCall &c) {
        const Value &v = c.GetInputArg(0);
        if (v.isInteger())
            return ret(c, static_cast<qint64>(static_cast<quint64>(v.rawInt()) *
                                              static_cast<quint64>(v.rawInt())));
        ret(c, v.toFloat() * v.toFloat());
    });
    def(e, "Sqrt", 1, [](NativeCall &c) {
        const double x = flt(c, 0);
        if (x < 0)
            raiseError(QStringLiteral("EInvalidOp"),
                       QStringLiteral("Invalid floating point operation"));
        ret(c, std::sqrt(x));
    });
    def(e, "Trunc", 1, [](NativeCall &c) { ret(c, roundToInteger(std::trunc(flt(c, 0)))); });
    def(e, "Round", 1, [](NativeCall &c) { ret(c, roundToInteger(flt(c, 0))); });
    def(e, "Int", 1, [](NativeCall &c) { ret(c, std::trunc(flt(c, 0))); });
    def(e, "Frac", 1, [](NativeCall &c) {
        const double x = flt(c, 0);
        ret(c, x - std::trunc(x));
    });
    def(e, "Exp", 1, [](NativeCall &c) { ret(c, std::exp(flt(c, 0))); });
    def(e, "Ln", 1, [](NativeCall &c) {
        const double x = flt(c, 0);
        if (x <= 0)
            raiseError(QStringLiteral("EInvalidOp"),
                       QStringLiteral("Invalid floating point operation"));
        ret(c, std::log(x));
    });
    def(e, "Sin", 1, [](NativeCall &c) { ret(c, std::sin(flt(c, 0))); });
    def(e, "Cos", 1, [](NativeCall &c) { ret(c, std::cos(flt(c, 0))); });
    def(e, "ArcTan", 1, [](NativeCall &c) { ret(c, std::atan(flt(c, 0))); });
    def(e, "Pi", 0, [](NativeCall &c) { ret(c, M_PI); });
    def(
        e, "Random", 1,
        [](NativeCall &c) {
            if (has(c, 0)) {
                const qint64 n = integer(c, 0);
                return ret(c, n <= 0 ? qint64(0)
                                     : static_cast<qint64>(QRandomGenerator::global()->bounded(
                                           static_cast<quint64>(n))));
            }
            ret(c, QRandomGenerator::global()->generateDouble());
        },
        1);
    def(
        e, "Randomize", 0, [](NativeCall &) {}, 0, TypeKind::tkNone);
    def(e, "Concat", -1, [](NativeCall &c) {
        QString s;
        for (int i = 0; i < c.InputArgCount(); ++i) {
            s += str(c, i);
            checkLength(s.size());
        }
        ret(c, s);
    });
    def(e, "StringOfChar", 2, [](NativeCall &c) {
        const qint64 n = std::max<qint64>(0, integer(c, 1));
        checkLength(n);
        ret(c, QString(static_cast<qsizetype>(n), c.GetInputArgAsChar(0)));
    });
    def(
        e, "Str", 2, [](NativeCall &c) { c.SetInputArg(1, Value(str(c, 0))); }, 0, TypeKind::tkNone)
        .SetVarArgs({1});
    def(
        e, "Val", 3,
        [](NativeCall &c) {
            const QString s = str(c, 0);
            qint64 i;
            double d;
            if (textToInteger(s, i)) {
                c.SetInputArg(1, Value(i));
                c.SetInputArg(2, Value(qint64(0)));
            } else if (textToFloat(s, d)) {
                c.SetInputArg(1, Value(d));
                c.SetInputArg(2, Value(qint64(0)));
            } else {
                c.SetInputArg(2, Value(qint64(std::max<qsizetype>(1, s.size()))));
            }
        },
        0, TypeKind::tkNone)
        .SetVarArgs({1, 2});
    def(
        e, "Halt", 1,
        [](NativeCall &) {
            ScriptError stop(QStringLiteral("EScriptAbort"), QStringLiteral("Script halted"));
            stop.setCatchable(false);
            throw stop;
        },
        1, TypeKind::tkNone);
    // Variants
    def(e, "VarToStr", 1, [](NativeCall &c) { ret(c, c.GetInputArg(0).toString()); });
    def(e, "VarIsNull", 1, [](NativeCall &c) { ret(c, c.GetInputArg(0).isNull()); });
    def(e, "VarIsEmpty", 1, [](NativeCall &c) { ret(c, c.GetInputArg(0).isEmpty()); });
    def(e, "VarIsArray", 1, [](NativeCall &c) { ret(c, c.GetInputArg(0).isArray()); });
    def(e, "VarType", 1, [](NativeCall &c) {
        static const qint64 codes[] = {0, 1, 11, 20, 5, 7, 0x102, 9, 9, 0x200C, 13};
        const Value &v = c.GetInputArg(0);
        qint64 code = codes[static_cast<int>(v.type())];
        if (v.isInteger() && v.rawInt() >= INT32_MIN && v.rawInt() <= INT32_MAX)
            code = 3;
        ret(c, code);
    });
    def(e, "VarArrayOf", 1,
        [](NativeCall &c) { c.ReturnOutputArg(Value::array(openArray(c, 0))); });
    def(e, "VarArrayHighBound", 2, [](NativeCall &c) {
        const Value &v = c.GetInputArg(0);
        ret(c, v.isArray() ? v.rawArray().low + lengthOf(v) - 1 : qint64(-1));
    });
    def(e, "VarArrayLowBound", 2, [](NativeCall &c) {
        const Value &v = c.GetInputArg(0);
        ret(c, v.isArray() ? v.rawArray().low : qint64(0));
    });
    def(e, "VarArrayCreate", 2, [](NativeCall &c) {
        const std::vector<Value> bounds = openArray(c, 0);
        if (bounds.size() != 2)
            raiseError(QStringLiteral("EVariantError"),
                       QStringLiteral("VarArrayCreate needs two bounds"));
        const qint64 low = bounds[0].toInteger(), high = bounds[1].toInteger();
        if (high < low - 1 || high - low >= MaxArrayLength)
            raiseError(QStringLiteral("ERangeError"), QStringLiteral("Invalid array bounds"));
        c.ReturnOutputArg(
            Value::array(std::vector<Value>(static_cast<size_t>(high - low + 1)), low));
    });
}

} // namespace tev::script
