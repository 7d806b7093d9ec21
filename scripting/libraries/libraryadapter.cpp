#include "scripting/libraries/libraryadapter.h"

#include <QObject>

#include "platform/script/lib/classeslib.h"
#include "platform/script/scripterror.h"
#include "platform/text/tencoding.h"

namespace tev::scripting {

using script::raiseError;

void defineRoutines(script::ScriptEngine &engine, std::span<const RoutineEntry> routines)
{
    for (const RoutineEntry &r : routines) {
        script::NativeRoutine &routine =
            engine.DefineMethod(QLatin1String(r.name), r.args, r.kind, QLatin1String(r.resultClass),
                                r.adapter, false, r.optional, QLatin1String(r.hint));
        if (r.byRef >= 0)
            routine.SetVarArgs({r.byRef});
    }
}

QString text(NativeCall &c, int i)
{
    return c.GetInputArgAsString(i);
}

QChar character(NativeCall &c, int i)
{
    return c.GetInputArgAsChar(i);
}

qint32 int32(NativeCall &c, int i)
{
    return static_cast<qint32>(static_cast<quint32>(c.GetInputArgAsInteger(i)));
}

quint32 cardinal(NativeCall &c, int i)
{
    return static_cast<quint32>(c.GetInputArgAsInteger(i));
}

quint16 word(NativeCall &c, int i)
{
    return static_cast<quint16>(c.GetInputArgAsInteger(i));
}

qint16 smallInt(NativeCall &c, int i)
{
    return static_cast<qint16>(static_cast<quint16>(c.GetInputArgAsInteger(i)));
}

quint8 byte(NativeCall &c, int i)
{
    return static_cast<quint8>(c.GetInputArgAsInteger(i));
}

bool boolean(NativeCall &c, int i)
{
    return c.GetInputArgAsBoolean(i);
}

double number(NativeCall &c, int i)
{
    return c.GetInputArgAsFloat(i);
}

QByteArray ansi(NativeCall &c, int i)
{
    return TEncoding::ANSI()->GetBytes(text(c, i));
}

qintptr windowHandle(NativeCall &c, int i)
{
    return static_cast<qintptr>(static_cast<quint32>(c.GetInputArgAsInteger(i)));
}

QObject *object(NativeCall &c, int i)
{
    script::ObjectBox *box = c.GetInputArgAsObject(i);
    return box ? box->qobject() : nullptr;
}

QObject *requiredObject(NativeCall &c, int i, const QMetaObject &meta)
{
    QObject *o = object(c, i);
    if (!o)
        raiseError(QStringLiteral("EAccessViolation"),
                   QStringLiteral("Argument %1 is nil, a %2 expected")
                       .arg(i + 1)
                       .arg(QLatin1String(meta.className())));
    if (!o->metaObject()->inherits(&meta))
        raiseError(QStringLiteral("EInvalidCast"), QStringLiteral("Invalid class typecast"));
    return o;
}

tev::TStringList *optionalStringList(NativeCall &c, int i)
{
    auto *list = c.GetInputArgAsNative<script::StringListObject>(i);
    return list ? &list->list : nullptr;
}

tev::TStringList &stringList(NativeCall &c, int i)
{
    tev::TStringList *list = optionalStringList(c, i);
    if (!list)
        raiseError(QStringLiteral("EAccessViolation"),
                   QStringLiteral("Argument %1 is nil, a TStringList expected").arg(i + 1));
    return *list;
}

void retAnsi(NativeCall &c, const QByteArray &bytes)
{
    c.ReturnOutputArg(Value(TEncoding::ANSI()->GetString(bytes)));
}

Value byteArray(const QByteArray &bytes)
{
    std::vector<Value> items;
    items.reserve(static_cast<size_t>(bytes.size()));
    for (char b : bytes)
        items.emplace_back(qint64(static_cast<quint8>(b)));
    return Value::array(std::move(items));
}

QByteArray bytesOf(const Value &array)
{
    QByteArray bytes;
    if (!array.isArray())
        return bytes;
    for (const Value &item : array.rawArray().items)
        bytes.append(static_cast<char>(static_cast<quint8>(item.toInteger())));
    return bytes;
}

} // namespace tev::scripting
