#pragma once

#include <QDateTime>
#include <QString>
#include <boost/stacktrace/stacktrace_fwd.hpp>

namespace tev {

// The full report of an exception: what the user sees behind "Details..." and what is mailed to
// the maker. Its layout is ours; it carries the message, the exception's type, the stack of the
// throw, the program version, and the Qt and operating system in use.
struct CrashReport
{
    QString message;
    QString exceptionType;
    QString stackTrace;
    QString programVersion;
    QString qtVersion;
    QString operatingSystem;
    QDateTime time;

    // The report of the exception being handled; call it inside a catch block only.
    static CrashReport fromCurrentException();
    // A report without an exception, e.g. for a fatal signal, with the current stack.
    static CrashReport fromMessage(const QString &message, const QString &exceptionType);

    QString text() const;
};

// A stack trace as the reports show it: one line per frame with function, source file and line.
QString stackTraceText(const boost::stacktrace::stacktrace &trace);

// "Tevora 1.0.0.0", "Qt 6.4.2 (built with 6.4.2)" and the system line of every report.
QString programVersionText();
QString qtVersionText();
QString operatingSystemText();

} // namespace tev
