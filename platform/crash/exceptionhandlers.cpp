#include "platform/crash/exceptionhandlers.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>
#include <vector>

namespace tev {

namespace {

std::vector<ExceptionHandler> &handlers()
{
    static std::vector<ExceptionHandler> list;
    return list;
}

void printReport(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stderr);
}

bool dispatch(CrashException &exception)
{
    bool handled = false;
    for (const ExceptionHandler &handler : handlers()) {
        handler(exception, handled);
        if (handled)
            break;
    }
    return handled;
}

} // namespace

void RegisterExceptionHandler(ExceptionHandler handler)
{
    handlers().push_back(std::move(handler));
}

void clearExceptionHandlers()
{
    handlers().clear();
}

bool HandleCurrentException() noexcept
{
    try {
        CrashException exception(CrashReport::fromCurrentException());
        bool handled = false;
        QCoreApplication *app = QCoreApplication::instance();
        if (app && QThread::currentThread() != app->thread()) {
            // Handlers show windows: they run on the main thread while this thread waits.
            QMetaObject::invokeMethod(
                app, [&] { handled = dispatch(exception); }, Qt::BlockingQueuedConnection);
        } else {
            handled = dispatch(exception);
        }
        if (!handled)
            printReport(exception.BugReport());
        return handled;
    } catch (...) {
        std::fputs("Tevora: an exception handler failed while reporting an error\n", stderr);
        return false;
    }
}

} // namespace tev
