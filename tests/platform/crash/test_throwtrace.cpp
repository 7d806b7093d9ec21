#include "platform/crash/throwtrace.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <stdexcept>

namespace tev {
namespace {

[[gnu::noinline]] void throwAndCatch()
{
    try {
        throw std::runtime_error("closing a connection");
    } catch (const std::exception &) {
    }
}

void throwAtExit()
{
    throwAndCatch();
    std::_Exit(0);
}

// At exit the main thread's records end before the destructors of static objects and the exit
// functions run; those may still throw and catch (the database client does when it closes its
// connections), and must not write into records that are gone.
TEST(ThrowTrace, AThrowAfterTheThreadsRecordsEndedAtExitIsNotRecorded)
{
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            setThrowTracing(true);
            // Every remembered throw holds a trace, so that the next record replaces one.
            for (int i = 0; i < 32; ++i)
                throwAndCatch();
            std::atexit(throwAtExit);
            std::exit(1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(ThrowTrace, AThrowIsRecordedWithItsSite)
{
    setThrowTracing(true);
    const std::runtime_error *thrown = nullptr;
    try {
        throw std::runtime_error("site");
    } catch (const std::runtime_error &e) {
        thrown = &e;
        EXPECT_TRUE(throwSiteTrace(thrown, &typeid(std::runtime_error)).has_value());
    }
    EXPECT_TRUE(lastThrowTrace().has_value());
    setThrowTracing(false);
    EXPECT_FALSE(lastThrowTrace().has_value());
}

} // namespace
} // namespace tev
