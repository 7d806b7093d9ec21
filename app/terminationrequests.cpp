#include "app/terminationrequests.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>
#include <cerrno>
#include <csignal>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tev {

namespace {

// The handler only writes a byte; the main thread reads it through the event loop.
int g_requestPipe[2] = {-1, -1};

sigset_t terminationSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    return set;
}

void onTerminationRequest(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_requestPipe[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

void HoldTerminationRequests()
{
    const sigset_t set = terminationSignals();
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void CloseOnTerminationRequest(QWidget *window)
{
    const sigset_t set = terminationSignals();
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_requestPipe) != 0) {
        // Without the pipe a request ends the program as it would without a window.
        ::signal(SIGTERM, SIG_DFL);
        ::signal(SIGINT, SIG_DFL);
        ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
        return;
    }
    auto *notifier = new QSocketNotifier(g_requestPipe[1], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window,
                     [window = QPointer<QWidget>(window)] {
                         char bytes[16];
                         while (::read(g_requestPipe[1], bytes, sizeof bytes) > 0) {
                         }
                         static bool answering = false;
                         if (answering || !window)
                             return;
                         answering = true;
                         window->close();
                         answering = false;
                     });
    struct sigaction action
    {
    };
    action.sa_handler = onTerminationRequest;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

} // namespace tev
