#include "platform/crash/crashreport.h"
#include "platform/crash/throwtrace.h"
#include "platform/error.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace tev {
namespace {

// The functions a report must name; kept out of line so that they have frames of their own.
[[gnu::noinline]] void throwFromTheSequenceReader(int depth)
{
    if (depth > 0) {
        throwFromTheSequenceReader(depth - 1);
        asm volatile("" ::: "memory"); // keeps the recursion from becoming a loop
        return;
    }
    throw Error(QStringLiteral("Cannot read line 12 of \"shaft.seq\""));
}

[[gnu::noinline]] int readPastTheEnd(const std::vector<int> &values)
{
    return values.at(values.size() + 2);
}

class ThrowTracingOn : public ::testing::Test
{
protected:
    void SetUp() override { setThrowTracing(true); }
    void TearDown() override { setThrowTracing(false); }
};

template <typename F> CrashReport reportOf(F &&f)
{
    try {
        f();
    } catch (...) {
        return CrashReport::fromCurrentException();
    }
    ADD_FAILURE() << "nothing was thrown";
    return {};
}

TEST_F(ThrowTracingOn, ReportOfAThrownErrorNamesTheThrowingFunction)
{
    const CrashReport report = reportOf([] { throwFromTheSequenceReader(3); });
    EXPECT_EQ(report.message, QStringLiteral("Cannot read line 12 of \"shaft.seq\""));
    EXPECT_EQ(report.exceptionType, QStringLiteral("tev::Error"));
    // The first frame is the throwing function itself, with its source file.
    const QString firstFrame = report.stackTrace.section(QLatin1Char('\n'), 0, 0);
    EXPECT_TRUE(firstFrame.contains(QLatin1String("throwFromTheSequenceReader")))
        << report.stackTrace.toStdString();
    EXPECT_TRUE(firstFrame.contains(QLatin1String("test_crashreport.cpp")))
        << report.stackTrace.toStdString();
    EXPECT_GE(report.stackTrace.count(QLatin1String("throwFromTheSequenceReader")), 4);

    const QString text = report.text();
    for (const QString &part : {QStringLiteral("Tevora " TEVORA_VERSION),
                                QStringLiteral("Qt ") + QString::fromLatin1(qVersion()),
                                QSysInfo::kernelType(), QStringLiteral("tev::Error"),
                                report.message, QStringLiteral("throwFromTheSequenceReader")})
        EXPECT_TRUE(text.contains(part)) << part.toStdString();
}

TEST_F(ThrowTracingOn, ReportOfALibraryExceptionNamesTheCallingFunction)
{
    const std::vector<int> values{1, 2, 3};
    const CrashReport report = reportOf([&] { readPastTheEnd(values); });
    EXPECT_EQ(report.exceptionType, QStringLiteral("std::out_of_range"));
    EXPECT_TRUE(report.message.contains(QLatin1String("vector")));
    EXPECT_TRUE(report.stackTrace.contains(QLatin1String("readPastTheEnd")))
        << report.stackTrace.toStdString();
}

TEST_F(ThrowTracingOn, ExceptionWithoutAMessageIsReportedByItsType)
{
    const CrashReport report = reportOf([] { throw 42; });
    EXPECT_EQ(report.message, QStringLiteral("Unknown exception"));
    EXPECT_EQ(report.exceptionType, QStringLiteral("int"));
    EXPECT_FALSE(report.stackTrace.isEmpty());
}

TEST_F(ThrowTracingOn, TheReportOfTheCaughtExceptionIsNotMixedUpWithALaterOne)
{
    try {
        throwFromTheSequenceReader(0);
    } catch (...) {
        // A handler that throws and catches something else on the way does not change the trace.
        try {
            throw std::runtime_error("inner");
        } catch (...) {
        }
        const CrashReport report = CrashReport::fromCurrentException();
        EXPECT_EQ(report.exceptionType, QStringLiteral("tev::Error"));
        EXPECT_TRUE(report.stackTrace.section(QLatin1Char('\n'), 0, 0)
                        .contains(QLatin1String("throwFromTheSequenceReader")));
    }
}

TEST(ThrowTracingOff, ReportSaysTheThrowWasNotTraced)
{
    setThrowTracing(false);
    const CrashReport report = reportOf([] { throwFromTheSequenceReader(0); });
    EXPECT_TRUE(report.stackTrace.startsWith(QLatin1String("(stack of the handler")));
    EXPECT_EQ(report.message, QStringLiteral("Cannot read line 12 of \"shaft.seq\""));
}

} // namespace
} // namespace tev
