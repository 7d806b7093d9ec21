#include "platform/script/scriptstack.h"

#include <algorithm>
#include <exception>
#include <pthread.h>
#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

#ifdef TEV_SCRIPT_STACK_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

namespace tev::script {

namespace {

// Pages below this depth are given back to the system when a run that went deeper ends. It is
// large enough for the deepest recursion of ordinary routines (MaxCallDepth levels of a few
// kilobytes each): giving back what the next run of the same walk touches again made a walk
// 5,000 levels deep fifteen times slower, every page coming back as a fresh fault.
constexpr std::size_t KeptCommitted = std::size_t(32) << 20;

struct ThreadStack
{
    char *base = nullptr; // lowest address of the mapping; its first page is the guard page
    std::size_t guard = 0;
    bool active = false;
    const char *lowWater = nullptr; // deepest frame seen during the current run
    ucontext_t caller{};
    ucontext_t script{};
    const std::function<void()> *body = nullptr;
    std::exception_ptr error;
    const void *callerBottom = nullptr; // the thread's own stack, for the address sanitizer
    std::size_t callerSize = 0;

    char *top() const { return base + ScriptStackSize; }
    bool contains(const char *p) const { return base && p >= base && p < top(); }

    ThreadStack() = default;
    ThreadStack(const ThreadStack &) = delete;
    ThreadStack &operator=(const ThreadStack &) = delete;
    ~ThreadStack()
    {
        if (base)
            munmap(base, ScriptStackSize);
    }

    bool reserve()
    {
        if (base)
            return true;
        void *p = mmap(nullptr, ScriptStackSize, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_STACK, -1, 0);
        if (p == MAP_FAILED)
            return false;
        guard = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        mprotect(p, guard, PROT_NONE);
        base = static_cast<char *>(p);
        return true;
    }

    // Gives back the pages a deep run committed, keeping the top of the stack warm.
    void trim()
    {
        if (!lowWater || std::size_t(top() - lowWater) <= KeptCommitted)
            return;
        char *from = base + guard;
        const std::size_t length = std::size_t((top() - KeptCommitted) - from) & ~(guard - 1);
        madvise(from, length, MADV_DONTNEED);
    }
};

thread_local ThreadStack t_stack;

const char *threadStackLow()
{
    thread_local const char *low = [] {
        const char *result = nullptr;
        pthread_attr_t attr;
        if (pthread_getattr_np(pthread_self(), &attr) == 0) {
            void *addr = nullptr;
            std::size_t size = 0;
            if (pthread_attr_getstack(&attr, &addr, &size) == 0)
                result = static_cast<const char *>(addr);
            pthread_attr_destroy(&attr);
        }
        return result;
    }();
    return low;
}

void enterScriptStack()
{
    ThreadStack &s = t_stack;
#ifdef TEV_SCRIPT_STACK_ASAN
    __sanitizer_finish_switch_fiber(nullptr, &s.callerBottom, &s.callerSize);
#endif
    try {
        (*s.body)();
    } catch (...) {
        s.error = std::current_exception();
    }
#ifdef TEV_SCRIPT_STACK_ASAN
    __sanitizer_start_switch_fiber(nullptr, s.callerBottom, s.callerSize);
#endif
    swapcontext(&s.script, &s.caller); // never comes back: the next run makes a new context
}

} // namespace

bool ScriptStack::active()
{
    return t_stack.active;
}

void ScriptStack::run(const std::function<void()> &body)
{
    ThreadStack &s = t_stack;
    // Without an own stack (no address space left) scripts run on the thread's; room() still
    // ends a too deep recursion in an error.
    if (s.active || !s.reserve()) {
        body();
        return;
    }
    getcontext(&s.script);
    s.script.uc_stack.ss_sp = s.base;
    s.script.uc_stack.ss_size = ScriptStackSize;
    s.script.uc_link = nullptr;
    makecontext(&s.script, enterScriptStack, 0);
    s.body = &body;
    s.error = nullptr;
    s.lowWater = s.top();
    s.active = true;
#ifdef TEV_SCRIPT_STACK_ASAN
    void *fakeStack = nullptr;
    __sanitizer_start_switch_fiber(&fakeStack, s.base, ScriptStackSize);
#endif
    swapcontext(&s.caller, &s.script);
#ifdef TEV_SCRIPT_STACK_ASAN
    __sanitizer_finish_switch_fiber(fakeStack, nullptr, nullptr);
#endif
    s.active = false;
    s.body = nullptr;
    s.trim();
    if (s.error) {
        std::exception_ptr error = std::move(s.error);
        s.error = nullptr;
        std::rethrow_exception(error);
    }
}

std::size_t ScriptStack::room()
{
    const char *here = static_cast<const char *>(__builtin_frame_address(0));
    ThreadStack &s = t_stack;
    if (s.active && s.contains(here)) {
        s.lowWater = std::min(s.lowWater, here);
        return std::size_t(here - (s.base + s.guard));
    }
    const char *low = threadStackLow();
    if (!low || here < low)
        return ScriptStackSize;
    return std::size_t(here - low);
}

} // namespace tev::script
