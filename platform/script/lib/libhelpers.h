#pragma once

// Shared helpers that keep each stock routine's adapter a line or two long.

#include "platform/script/scriptengine.h"
#include "platform/script/scripterror.h"

namespace tev::script::lib {

inline NativeRoutine &def(ScriptEngine &e, const char *name, int args, NativeProc proc,
                          int optional = 0, TypeKind kind = TypeKind::tkVariant)
{
    return e.DefineMethod(QLatin1String(name), args, kind, QString(), std::move(proc), false,
                          optional);
}

inline QString str(NativeCall &c, int i)
{
    return c.GetInputArgAsString(i);
}
inline qint64 integer(NativeCall &c, int i)
{
    return c.GetInputArgAsInteger(i);
}
inline double flt(NativeCall &c, int i)
{
    return c.GetInputArgAsFloat(i);
}
inline bool boolean(NativeCall &c, int i)
{
    return c.GetInputArgAsBoolean(i);
}
inline bool has(NativeCall &c, int i)
{
    return c.InputArgCount() > i;
}

inline void ret(NativeCall &c, const QString &s)
{
    c.ReturnOutputArg(Value(s));
}
inline void ret(NativeCall &c, qint64 i)
{
    c.ReturnOutputArg(Value(i));
}
inline void ret(NativeCall &c, int i)
{
    c.ReturnOutputArg(Value(qint64(i)));
}
inline void ret(NativeCall &c, double d)
{
    c.ReturnOutputArg(Value(d));
}
inline void ret(NativeCall &c, bool b)
{
    c.ReturnOutputArg(Value(b));
}

// Checks a text that a routine is about to build against the engine's length limit.
inline void checkLength(qint64 n)
{
    if (n > MaxStringLength)
        raiseError(QStringLiteral("EOutOfMemory"), QStringLiteral("String too long"));
}

// The elements of an open-array argument ([a, b, c]); a single value counts as one element.
inline std::vector<Value> openArray(NativeCall &c, int i)
{
    const Value &v = c.GetInputArg(i);
    if (v.isArray())
        return v.rawArray().items;
    if (v.isEmpty())
        return {};
    return {v};
}

} // namespace tev::script::lib
