#include "app/terminationrequests.h"

#include <QLoggingCategory>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <pthread.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace tev {

namespace {

// Silent unless asked for ("tevora.start.requests.info=true"): says when requests start to
// close the window instead of ending the program.
Q_LOGGING_CATEGORY(lcRequests, "tevora.start.requests", QtWarningMsg)

// The handler and the waiting thread only write a byte; the main thread reads it through the
// event loop.
int g_requestPipe[2] = {-1, -1};
// The end the waiting thread writes to once the window exists; -1 before.
std::atomic<int> g_windowRequests{-1};

sigset_t terminationSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    return set;
}

void tellWindow(int fd)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    errno = savedErrno;
}

void onTerminationRequest(int)
{
    tellWindow(g_requestPipe[0]);
}

// Ends the process by the signal itself, as its default does, whatever handler the engine set.
[[noreturn]] void endBy(int signal)
{
    ::signal(signal, SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    ::raise(signal);
    ::_exit(128 + signal);
}

void waitForRequests()
{
    const sigset_t set = terminationSignals();
    for (;;) {
        int signal = 0;
        if (::sigwait(&set, &signal) != 0)
            continue;
        const int window = g_windowRequests.load();
        if (window < 0)
            endBy(signal);
        tellWindow(window);
    }
}

} // namespace

void HoldTerminationRequests()
{
    const sigset_t set = terminationSignals();
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
    try {
        std::thread(waitForRequests).detach();
    } catch (const std::system_error &) {
        // Without the thread a request waits for the window, as it would be held anyway.
    }
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
    g_windowRequests.store(g_requestPipe[0]);
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    qCInfo(lcRequests, "A request to end now closes the window.");
}

} // namespace tev
