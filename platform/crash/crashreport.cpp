#include "platform/crash/crashreport.h"

#include "platform/crash/throwtrace.h"
#include "platform/error.h"

#include <QSysInfo>
#include <QTimeZone>
#include <boost/core/demangle.hpp>
#include <cxxabi.h>
#include <dlfcn.h>
#include <exception>

namespace tev {

// One line per frame: function, then source file and line, or the module when there is no
// debug information. The frames hold return addresses, which point just past the call and, after
// a call that never returns, into whatever code follows it; one byte back is the call itself.
QString stackTraceText(const boost::stacktrace::stacktrace &trace)
{
    QString out;
    int n = 0;
    for (const boost::stacktrace::frame &returnFrame : trace) {
        const auto *address = static_cast<const char *>(returnFrame.address());
        const boost::stacktrace::frame call(address ? address - 1 : address);
        QString line = QStringLiteral("%1# ").arg(n++, 2);
        const std::string name = call.name();
        line += name.empty() ? QStringLiteral("0x%1").arg(quintptr(address), 0, 16)
                             : QString::fromStdString(name);
        const std::string file = call.source_file();
        if (!file.empty() && call.source_line() > 0) {
            line += QStringLiteral(" at %1:%2")
                        .arg(QString::fromStdString(file))
                        .arg(call.source_line());
        } else {
            Dl_info module{};
            if (address && dladdr(address - 1, &module) && module.dli_fname)
                line += QStringLiteral(" in ") + QString::fromLocal8Bit(module.dli_fname);
        }
        out += line + QLatin1Char('\n');
    }
    return out;
}

QString programVersionText()
{
    return QStringLiteral("Tevora " TEVORA_VERSION);
}

QString qtVersionText()
{
    return QStringLiteral("Qt %1 (built with %2)")
        .arg(QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR));
}

QString operatingSystemText()
{
    return QStringLiteral("%1, %2 %3, %4")
        .arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(), QSysInfo::kernelVersion(),
             QSysInfo::currentCpuArchitecture());
}

CrashReport CrashReport::fromCurrentException()
{
    CrashReport report;
    report.programVersion = programVersionText();
    report.qtVersion = qtVersionText();
    report.operatingSystem = operatingSystemText();
    report.time = QDateTime::currentDateTime();

    const void *object = nullptr;
    try {
        throw;
    } catch (const Error &e) {
        report.message = e.message();
        object = &e;
    } catch (const std::exception &e) {
        report.message = QString::fromLocal8Bit(e.what());
        object = &e;
    } catch (...) {
        report.message = QStringLiteral("Unknown exception");
    }
    const std::type_info *type = abi::__cxa_current_exception_type();
    if (type)
        report.exceptionType = QString::fromStdString(boost::core::demangle(type->name()));

    std::optional<boost::stacktrace::stacktrace> trace =
        object ? throwSiteTrace(object, type) : lastThrowTrace();
    if (trace) {
        report.stackTrace = stackTraceText(*trace);
    } else {
        // Not recorded at the throw (tracing off, or thrown in another module): the handler's
        // stack at least shows which event it interrupted.
        report.stackTrace = QStringLiteral("(stack of the handler; the throw was not traced)\n") +
                            stackTraceText(boost::stacktrace::stacktrace());
    }
    return report;
}

CrashReport CrashReport::fromMessage(const QString &message, const QString &exceptionType)
{
    CrashReport report;
    report.message = message;
    report.exceptionType = exceptionType;
    report.stackTrace = stackTraceText(boost::stacktrace::stacktrace());
    report.programVersion = programVersionText();
    report.qtVersion = qtVersionText();
    report.operatingSystem = operatingSystemText();
    report.time = QDateTime::currentDateTime();
    return report;
}

QString CrashReport::text() const
{
    QString out;
    out += QStringLiteral("Tevora bug report\n");
    out += QStringLiteral("=================\n\n");
    out += QStringLiteral("date/time         : %1\n").arg(time.toString(Qt::ISODate));
    out += QStringLiteral("program           : %1\n").arg(programVersion);
    out += QStringLiteral("Qt                : %1\n").arg(qtVersion);
    out += QStringLiteral("operating system  : %1\n").arg(operatingSystem);
    out += QStringLiteral("exception type    : %1\n").arg(exceptionType);
    out += QStringLiteral("exception message : %1\n\n").arg(message);
    out += QStringLiteral("stack trace of the throw:\n");
    out += stackTrace;
    if (!out.endsWith(QLatin1Char('\n')))
        out += QLatin1Char('\n');
    return out;
}

} // namespace tev
