#pragma once

#include "platform/error.h"
#include "platform/script/value.h"

namespace tev::script {

// A compile error of a script: message, line and column (1-based), and the unit it is in (empty
// for the main script).
class CompileError : public tev::Error
{
public:
    CompileError(const QString &message, int line, int column, const QString &unit = QString())
        : tev::Error(message)
        , m_line(line)
        , m_column(column)
        , m_unit(unit)
    {}
    int line() const { return m_line; }
    int column() const { return m_column; }
    const QString &unit() const { return m_unit; }

private:
    int m_line;
    int m_column;
    QString m_unit;
};

// A run-time error of a script. Native code throws it with the exception class a script sees
// in "on E: EConvertError do"; the interpreter adds the line and column where it surfaced and,
// for "raise", the exception object itself.
class ScriptError : public tev::Error
{
public:
    ScriptError(const QString &className, const QString &message)
        : tev::Error(message)
        , m_className(className)
    {}
    const QString &className() const { return m_className; }
    int line() const { return m_line; }
    int column() const { return m_column; }
    bool hasPosition() const { return m_line > 0; }
    void setPosition(int line, int column)
    {
        m_line = line;
        m_column = column;
    }
    // The raised exception object, or Unassigned when native code raised.
    const Value &exceptionObject() const { return m_object; }
    void setExceptionObject(const Value &v) { m_object = v; }
    // A limit error (step budget) ends the script: no "except" handler can catch it.
    bool catchable() const { return m_catchable; }
    void setCatchable(bool c) { m_catchable = c; }

private:
    QString m_className;
    int m_line = 0;
    int m_column = 0;
    Value m_object;
    bool m_catchable = true;
};

// The message of a run-time error for an exception of host code that is no std::exception.
inline QString unknownHostError()
{
    return QStringLiteral("The host raised an exception of an unknown kind");
}

[[noreturn]] inline void raiseError(const QString &className, const QString &message)
{
    throw ScriptError(className, message);
}

} // namespace tev::script
