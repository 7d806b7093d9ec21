#include "platform/crash/exceptionhandlers.h"
#include "platform/crash/guardedapplication.h"
#include "platform/crash/throwtrace.h"
#include "platform/error.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

namespace tev {
namespace {

class Sender : public QObject
{
    Q_OBJECT
Q_SIGNALS:
    void fired(int value);
};

[[gnu::noinline]] void failInSlot(int value)
{
    throw Error(QStringLiteral("slot failed with %1").arg(value));
}

class ExceptionHandlers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clearExceptionHandlers();
        setThrowTracing(true);
    }
    void TearDown() override
    {
        clearExceptionHandlers();
        setThrowTracing(false);
    }
};

TEST_F(ExceptionHandlers, GuardedSlotHandsTheExceptionToTheHandler)
{
    QStringList seen;
    QString trace;
    RegisterExceptionHandler([&](CrashException &e, bool &handled) {
        seen << e.ExceptMessage();
        trace = e.report().stackTrace;
        handled = true;
    });
    Sender sender;
    QObject context;
    QObject::connect(&sender, &Sender::fired, &context, guarded([](int v) { failInSlot(v); }));
    Q_EMIT sender.fired(7);
    Q_EMIT sender.fired(8); // the program goes on after a handled exception
    EXPECT_EQ(seen, (QStringList{"slot failed with 7", "slot failed with 8"}));
    EXPECT_TRUE(trace.section(QLatin1Char('\n'), 0, 0).contains(QLatin1String("failInSlot")));
}

TEST_F(ExceptionHandlers, HandlersRunInOrderUntilOneHandles)
{
    QList<int> calls;
    RegisterExceptionHandler([&](CrashException &, bool &) { calls << 1; });
    RegisterExceptionHandler([&](CrashException &, bool &handled) {
        calls << 2;
        handled = true;
    });
    RegisterExceptionHandler([&](CrashException &, bool &) { calls << 3; });
    bool result = false;
    try {
        throw Error(QStringLiteral("x"));
    } catch (...) {
        result = HandleCurrentException();
    }
    EXPECT_TRUE(result);
    EXPECT_EQ(calls, (QList<int>{1, 2}));
}

TEST_F(ExceptionHandlers, UnhandledExceptionIsPrintedAsAReport)
{
    testing::internal::CaptureStderr();
    bool result = true;
    try {
        throw Error(QStringLiteral("nobody handles this"));
    } catch (...) {
        result = HandleCurrentException();
    }
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(result);
    EXPECT_NE(err.find("nobody handles this"), std::string::npos);
    EXPECT_NE(err.find("Tevora bug report"), std::string::npos);
}

TEST_F(ExceptionHandlers, AFailingHandlerDoesNotEscape)
{
    RegisterExceptionHandler([](CrashException &, bool &) { throw std::runtime_error("bad"); });
    testing::internal::CaptureStderr();
    bool result = true;
    try {
        throw Error(QStringLiteral("first"));
    } catch (...) {
        result = HandleCurrentException();
    }
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(result);
}

TEST_F(ExceptionHandlers, ExceptionOnAnotherThreadIsHandledOnTheMainThread)
{
    QThread *handlerThread = nullptr;
    RegisterExceptionHandler([&](CrashException &, bool &handled) {
        handlerThread = QThread::currentThread();
        handled = true;
    });
    std::unique_ptr<QThread> worker(QThread::create([] {
        try {
            throw Error(QStringLiteral("from a worker"));
        } catch (...) {
            HandleCurrentException();
        }
    }));
    worker->start();
    while (!worker->wait(10))
        QCoreApplication::processEvents();
    EXPECT_EQ(handlerThread, qApp->thread());
}

} // namespace
} // namespace tev

#include "test_exceptionhandlers.moc"
