#include "scripting/libraries/libraryadapter.h"

#include <QObject>
#include <limits>

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

// The argument's text, so that PadLeft('7', 3, 0) pads with the character "0", not with code 0.
QChar character(NativeCall &c, int i)
{
    const QString s = text(c, i);
    if (s.isEmpty())
        raiseError(
            QStringLiteral("EConvertError"),
            QStringLiteral("Argument %1: a character expected but the text is empty").arg(i + 1));
    return s.at(0);
}

namespace {

// The 32 bits of an Integer, Cardinal or TColor argument. Scripts write such values signed
// (-1) as well as unsigned ($FFFFFFFF), so both readings are taken; a value that fits neither is
// an error rather than its low 32 bits.
quint32 bits32(NativeCall &c, int i)
{
    const qint64 value = c.GetInputArgAsInteger(i);
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<quint32>::max())
        raiseError(QStringLiteral("ERangeError"),
                   QStringLiteral("Argument %1: %2 is out of the range of a 32-bit integer")
                       .arg(i + 1)
                       .arg(value));
    return static_cast<quint32>(value);
}

} // namespace

qint32 int32(NativeCall &c, int i)
{
    return static_cast<qint32>(bits32(c, i));
}

quint32 cardinal(NativeCall &c, int i)
{
    return bits32(c, i);
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
