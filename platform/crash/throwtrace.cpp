#include "platform/crash/throwtrace.h"

#include <array>
#include <atomic>
#include <dlfcn.h>
#include <typeinfo>

namespace tev {

namespace {

// How many throws each thread remembers: enough for an exception that is caught and replaced by
// another in a handler, while the first one is still being reported.
constexpr std::size_t kRememberedThrows = 8;
// Deep enough for any event handler in the program; the rest of a deeper stack is Qt's loop.
constexpr std::size_t kMaxFrames = 64;

struct ThrowRecord
{
    const void *object = nullptr;
    const void *type = nullptr;
    boost::stacktrace::stacktrace trace{0, 0};
};

struct ThreadRecords
{
    std::array<ThrowRecord, kRememberedThrows> records;
    std::size_t next = 0;
    bool recording = false; // a throw while recording (out of memory) is not recorded again
};

// A thread's records end with the thread, and the main thread's before the destructors of
// static objects run at exit, which may still throw (a database client closing its connections).
// The flag is trivially destructible, so it can still be read then.
thread_local bool t_recordsGone = false;

struct ThreadRecordsHolder
{
    ThreadRecords records;
    ~ThreadRecordsHolder() { t_recordsGone = true; }
};

thread_local ThreadRecordsHolder t_holder;
std::atomic<bool> g_tracing{false};

// Inlined into the throw entry point, so that the frames to skip are known.
[[gnu::always_inline]] inline void recordThrow(const void *object, const void *type) noexcept
{
    if (t_recordsGone)
        return;
    ThreadRecords &r = t_holder.records;
    if (r.recording)
        return;
    r.recording = true;
    try {
        // Skip the throw entry point: the first frame is the throwing function.
        ThrowRecord &slot = r.records[r.next];
        slot.trace = boost::stacktrace::stacktrace(1, kMaxFrames);
        slot.object = object;
        slot.type = type;
        r.next = (r.next + 1) % kRememberedThrows;
    } catch (...) {
    }
    r.recording = false;
}

} // namespace

void setThrowTracing(bool on)
{
    g_tracing = on;
    if (!on && !t_recordsGone)
        t_holder.records = ThreadRecords();
}

bool throwTracing()
{
    return g_tracing;
}

std::optional<boost::stacktrace::stacktrace> throwSiteTrace(const void *exceptionObject,
                                                            const std::type_info *type)
{
    if (t_recordsGone)
        return std::nullopt;
    const ThreadRecords &r = t_holder.records;
    for (std::size_t i = 0; i < kRememberedThrows; ++i) {
        const ThrowRecord &rec =
            r.records[(r.next + kRememberedThrows - 1 - i) % kRememberedThrows];
        if (rec.object && rec.object == exceptionObject && rec.type == type)
            return rec.trace;
    }
    return std::nullopt;
}

std::optional<boost::stacktrace::stacktrace> lastThrowTrace()
{
    if (t_recordsGone)
        return std::nullopt;
    const ThreadRecords &r = t_holder.records;
    const ThrowRecord &rec = r.records[(r.next + kRememberedThrows - 1) % kRememberedThrows];
    if (!rec.object)
        return std::nullopt;
    return rec.trace;
}

} // namespace tev

// The runtime's throw entry point, replaced in the executable (see throwtrace.h).
extern "C" {

// The compiler's own declaration types the type_info argument as void *.
using CxaThrow = void (*)(void *, void *, void (*)(void *));

[[noreturn]] void __cxa_throw(void *thrownException, void *type, void (*destructor)(void *))
{
    static const auto runtimeThrow = reinterpret_cast<CxaThrow>(dlsym(RTLD_NEXT, "__cxa_throw"));
    if (tev::g_tracing.load(std::memory_order_relaxed))
        tev::recordThrow(thrownException, type);
    runtimeThrow(thrownException, type, destructor);
    __builtin_unreachable();
}
}
