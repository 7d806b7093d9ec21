#pragma once

#include "platform/crash/exceptionhandlers.h"
#include "platform/crash/throwtrace.h"

namespace tev {

// The program start wires the crash-report layer up like this:
//   GuardedApplication<QApplication> app(argc, argv);   // exceptions of handlers and slots
//   RegisterExceptionHandler(HandleException);          // shows the error dialog, sets handled
//   installCrashReportFrontEnd();                       // report window and mail hand-off
//   installFatalSignalHandler(folder);                  // report file on a fatal signal
//
// The application object with the crash-report hook: an exception that leaves an event handler
// or a slot reaches HandleCurrentException instead of ending the program, and the event counts
// as not handled. App is QCoreApplication, QGuiApplication or QApplication; the template keeps
// this layer free of the widget library.
template <typename App> class GuardedApplication : public App
{
public:
    GuardedApplication(int &argc, char **argv)
        : App(argc, argv)
    {
        setThrowTracing(true);
    }

    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return App::notify(receiver, event);
        } catch (...) {
            HandleCurrentException();
            return false;
        }
    }
};

// Wraps a slot so that an exception it throws is reported where it happens instead of
// unwinding through Qt's signal code:
//   connect(button, &QPushButton::clicked, this, guarded([this] { save(); }));
template <typename F> auto guarded(F slot)
{
    return [slot = std::move(slot)](auto &&...args) mutable {
        try {
            slot(std::forward<decltype(args)>(args)...);
        } catch (...) {
            HandleCurrentException();
        }
    };
}

} // namespace tev
