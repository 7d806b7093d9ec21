#include "app/programstart.h"
#include "app/terminationrequests.h"
#include "platform/crash/guardedapplication.h"
#include "platform/instance/singleinstancelock.h"
#include "platform/memory/largeblocks.h"
#include "ui/images/keldmimages.h"
#include "ui/kit/mainform.h"
#include "ui/mainwindow/tevmainform.h"

#include <QApplication>
#include <exception>
#include <memory>

using namespace tev;

int main(int argc, char *argv[])
{
    KeepLargeBlocksReturnable();
    HoldTerminationRequests();
    // One instance per machine: a later start ends here, silently, before any window exists.
    // The lock is held until the process ends.
    std::unique_ptr<SingleInstanceLock> instance;
    std::exception_ptr lockFailure;
    try {
        instance = std::make_unique<SingleInstanceLock>(QString::fromLatin1(kInstanceName));
        if (instance->AlreadyRunning())
            return 0;
    } catch (...) {
        lockFailure = std::current_exception();
    }

    GuardedApplication<QApplication> app(argc, argv);
    InstallCrashHandling();
    PrepareApplication(app);
    if (lockFailure)
        return ReportStartFailure(lockFailure);

    std::unique_ptr<TTevMainForm> form;
    try {
        form = std::make_unique<TTevMainForm>(QCoreApplication::applicationFilePath());
    } catch (...) {
        return ReportStartFailure(std::current_exception());
    }
    setMainForm(form.get());
    // The window's image lists take their pictures once the module exists.
    new TKelDMImages(&app);
    CloseOnTerminationRequest(form.get());
    form->show();
    const int exitCode = app.exec();
    setMainForm(nullptr);
    form.reset();
    return exitCode;
}
