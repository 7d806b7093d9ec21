#pragma once

// What the three script libraries share: one registration table per library, and the argument
// and result conversions every adapter goes through, so each adapter stays a line or two long.
//
// A library's routines are one table of RoutineEntry rows; Init hands the table to
// defineRoutines, which registers every row with its script signature (the parameter hint
// text), arity, optional count, declared result kind and by-reference position. Tests read the
// registrations back from the engine, so the table is the only list of a library's routines.

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>
#include <span>

#include "platform/script/scriptengine.h"

class QObject;

namespace tev {
class TStringList;
}

namespace tev::scripting {

using script::NativeCall;
using script::TypeKind;
using script::Value;

struct RoutineEntry
{
    const char *name;
    const char *hint; // the script signature; empty for none
    int args;
    int optional; // how many of the last arguments may be left out
    TypeKind kind;
    void (*adapter)(NativeCall &);
    int byRef = -1;               // position of the argument the call writes back, or -1
    const char *resultClass = ""; // class of an object result
};

// Registers every row of the table with the engine, in table order.
void defineRoutines(script::ScriptEngine &engine, std::span<const RoutineEntry> routines);

// ---- arguments, by the parameter's type in the hint text ----

// string: the argument as text; Null gives the empty text.
QString text(NativeCall &c, int i);
// Char: the first character of the argument's text (an integer is converted to its text first);
// an empty text is a run-time error.
QChar character(NativeCall &c, int i);
// Integer, Cardinal, TColor: the engine's integer conversion; a value that fits 32 bits neither
// signed nor unsigned is a run-time error (ERangeError).
qint32 int32(NativeCall &c, int i);
quint32 cardinal(NativeCall &c, int i);
// Word, SmallInt, Byte: cut to the parameter's width.
quint16 word(NativeCall &c, int i);
qint16 smallInt(NativeCall &c, int i);
quint8 byte(NativeCall &c, int i);
bool boolean(NativeCall &c, int i);
// Double, Extended, Single, TDateTime.
double number(NativeCall &c, int i);
// AnsiString: the argument's text in the system's ANSI code page.
QByteArray ansi(NativeCall &c, int i);
// HWND: the argument as a 64-bit integer, of which the low 32 bits are the handle.
qintptr windowHandle(NativeCall &c, int i);
// An object argument as a Qt object; nil gives null.
QObject *object(NativeCall &c, int i);
// An object argument that must be of the Qt class T; nil or another class is a run-time error.
QObject *requiredObject(NativeCall &c, int i, const QMetaObject &meta);
template <class T> T *required(NativeCall &c, int i)
{
    return static_cast<T *>(requiredObject(c, i, T::staticMetaObject));
}
// TStringList: the list the argument refers to; nil or another class is a run-time error.
tev::TStringList &stringList(NativeCall &c, int i);
// TStrings that may be nil: null for nil.
tev::TStringList *optionalStringList(NativeCall &c, int i);
// Whether the script passed the optional argument i.
inline bool given(NativeCall &c, int i)
{
    return c.InputArgCount() > i;
}

// ---- results ----

inline void ret(NativeCall &c, const QString &s)
{
    c.ReturnOutputArg(Value(s));
}
inline void ret(NativeCall &c, bool b)
{
    c.ReturnOutputArg(Value(b));
}
// Integer, Cardinal and TColor results: a 32-bit signed integer.
inline void ret(NativeCall &c, qint32 i)
{
    c.ReturnOutputArg(Value(qint64(i)));
}
inline void ret(NativeCall &c, double d)
{
    c.ReturnOutputArg(Value(d));
}
// An unsigned result (result codes, unsigned 8-bit values) keeps its value.
inline void retUnsigned(NativeCall &c, quint32 u)
{
    c.ReturnOutputArg(Value(qint64(u)));
}
// AnsiString and AnsiChar results: text whose characters are the bytes in the ANSI code page.
void retAnsi(NativeCall &c, const QByteArray &bytes);
// A byte array: a dynamic array of byte values.
Value byteArray(const QByteArray &bytes);
// The bytes of an array of byte values (each item cut to 8 bits).
QByteArray bytesOf(const Value &array);

} // namespace tev::scripting
