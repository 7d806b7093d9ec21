#include "app/programstart.h"

#include "platform/crash/crashexception.h"
#include "platform/crash/exceptionhandlers.h"
#include "platform/crash/fatalsignals.h"
#include "platform/error.h"
#include "ui/dialogs/crashreportwindow.h"
#include "ui/dialogs/vyxexceptiondlg.h"
#include "ui/kit/mainform.h"
#include "ui/kit/style.h"

#include <QApplication>
#include <QLoggingCategory>
#include <cstdio>

namespace tev {

namespace {

Q_LOGGING_CATEGORY(lcStart, "tevora.start")

constexpr int kStartFailedExitCode = 1;

QString messageOf(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const Error &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error.");
    }
}

} // namespace

void HandleException(CrashException &exceptIntf, bool &handled)
{
    ShowExceptionDialog(exceptIntf);
    handled = true;
}

QString InstallCrashHandling()
{
    RegisterExceptionHandler(&HandleException);
    installCrashReportFrontEnd();
    return installFatalSignalHandler(UiCrashReportFrontEnd::reportFolder());
}

void PrepareApplication(QApplication &app)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Vyx"));
    QCoreApplication::setApplicationName(QStringLiteral("Tevora"));
    setApplicationTitle(QStringLiteral("Tevora"));
    // Our own style always exists; should it ever not, the program goes on in Qt's look.
    if (!trySetStyle(app, QString::fromLatin1(kStyleName)))
        qCWarning(lcStart) << "The style" << kStyleName << "is not available.";
}

int ReportStartFailure(std::exception_ptr failure)
{
    std::fprintf(stderr, "Tevora: %s\n", qPrintable(messageOf(failure)));
    try {
        std::rethrow_exception(failure);
    } catch (...) {
        HandleCurrentException();
    }
    return kStartFailedExitCode;
}

} // namespace tev
