#include "platform/crash/fatalsignals.h"

#include "platform/crash/crashreport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <boost/stacktrace/safe_dump_to.hpp>
#include <boost/stacktrace/stacktrace.hpp>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tev {

namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGILL, SIGFPE};
// Room for the prepared part of the report and the file's path; both are written at install.
char g_header[4096];
char g_path[4096];
// A stack overflow leaves no stack for the handler: it runs on a stack of its own.
alignas(16) char g_altStack[64 * 1024];
// The names of the stack trace are a best effort that allocates: when the signal came while the
// allocator held its lock (a corrupted heap aborts inside it), the effort would wait forever. After
// this many seconds the process ends by its signal all the same.
constexpr unsigned kStackTraceNamesTimeoutSeconds = 10;
volatile sig_atomic_t g_fatalSignal = 0;

void writeText(int fd, const char *text)
{
    std::size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = ::write(fd, text, left);
        if (n <= 0)
            return;
        text += n;
        left -= std::size_t(n);
    }
}

void writeHex(int fd, std::uintptr_t value)
{
    char buffer[2 + 2 * sizeof value + 2] = "0x";
    char *p = buffer + 2;
    for (int shift = int(sizeof value * 8) - 4; shift >= 0; shift -= 4)
        *p++ = "0123456789abcdef"[(value >> shift) & 0xF];
    *p++ = '\n';
    *p = '\0';
    writeText(fd, buffer);
}

const char *signalName(int sig)
{
    switch (sig) {
    case SIGSEGV:
        return "SIGSEGV (segmentation fault)";
    case SIGABRT:
        return "SIGABRT (abort)";
    case SIGBUS:
        return "SIGBUS (bus error)";
    case SIGILL:
        return "SIGILL (illegal instruction)";
    case SIGFPE:
        return "SIGFPE (floating-point error)";
    default:
        return "fatal signal";
    }
}

// The best effort is stuck: end the process now, by the signal that brought it here.
void onStackTraceNamesTimeout(int)
{
    const int sig = g_fatalSignal;
    ::signal(sig, SIG_DFL);
    sigset_t pending;
    sigemptyset(&pending);
    sigaddset(&pending, sig);
    ::sigprocmask(SIG_UNBLOCK, &pending, nullptr);
    ::raise(sig);
    ::_exit(128 + sig);
}

void onFatalSignal(int sig)
{
    const int fd = ::open(g_path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        writeText(fd, g_header);
        writeText(fd, "signal            : ");
        writeText(fd, signalName(sig));
        writeText(fd, "\n\nreturn addresses:\n");
        void *frames[64];
        const std::size_t count = boost::stacktrace::safe_dump_to(0, frames, sizeof frames);
        for (std::size_t i = 0; i < count && i < 64; ++i)
            if (frames[i])
                writeHex(fd, reinterpret_cast<std::uintptr_t>(frames[i]));
        // What follows allocates and is not safe in a signal handler; the part above is on disk.
        g_fatalSignal = sig;
        struct sigaction timeout
        {
        };
        timeout.sa_handler = onStackTraceNamesTimeout;
        sigemptyset(&timeout.sa_mask);
        timeout.sa_flags = SA_ONSTACK;
        ::sigaction(SIGALRM, &timeout, nullptr);
        ::alarm(kStackTraceNamesTimeoutSeconds);
        writeText(fd, "\nstack trace:\n");
        writeText(fd, stackTraceText(boost::stacktrace::stacktrace()).toUtf8().constData());
        ::close(fd);
    }
    // SA_RESETHAND restored the default action: end by the same signal.
    ::raise(sig);
}

void copyText(char *target, std::size_t size, const QByteArray &text)
{
    const std::size_t n = std::min(size - 1, std::size_t(text.size()));
    std::memcpy(target, text.constData(), n);
    target[n] = '\0';
}

} // namespace

QString installFatalSignalHandler(const QString &folder)
{
    if (folder.isEmpty() || !QDir(folder).exists())
        return {};
    const QString path = QDir(folder).absoluteFilePath(
        QStringLiteral("tevora-crash-%1.txt").arg(QCoreApplication::applicationPid()));
    const QString header = QStringLiteral("Tevora crash report\n"
                                          "===================\n\n"
                                          "program           : %1\n"
                                          "Qt                : %2\n"
                                          "operating system  : %3\n")
                               .arg(programVersionText(), qtVersionText(), operatingSystemText());
    copyText(g_header, sizeof g_header, header.toUtf8());
    copyText(g_path, sizeof g_path, QFile::encodeName(path));

    stack_t altStack{};
    altStack.ss_sp = g_altStack;
    altStack.ss_size = sizeof g_altStack;
    ::sigaltstack(&altStack, nullptr);

    struct sigaction action
    {
    };
    action.sa_handler = onFatalSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_ONSTACK;
    for (int sig : kFatalSignals)
        ::sigaction(sig, &action, nullptr);
    return path;
}

} // namespace tev
