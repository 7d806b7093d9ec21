#pragma once

// The stack scripts run on.
//
// The interpreter walks the syntax tree recursively, so every nested script call costs a few
// kilobytes of the machine stack. A thread's own stack (8 MB for the main thread) holds a few
// thousand levels at best, fewer in a sanitizer build, and running out of it kills the process.
// Scripts therefore run on a stack of their own: a large reservation of address space per thread
// whose pages the system commits only when they are touched, entered by a context switch on the
// same thread (Qt objects stay on their thread; nothing runs in parallel). Calls that start while
// a script runs (an event handler during a modal dialog, a host routine calling back into the
// script) stay on it.
//
// Trade-off: a context switch per outermost call (about a microsecond) against recursion limited
// by a named depth instead of by the machine stack; and every nesting level checks the room left,
// so that even a routine with an unusually deep frame ends in EStackOverflow, never in a crash.

#include <cstddef>
#include <functional>

namespace tev::script {

// Address space reserved for each thread's script stack; pages are committed on first touch.
// The address sanitizer cannot clean up after an exception thrown more than 64 MB deep into a
// stack, so its builds get a stack below that; their frames are larger, so they reach the room
// limit at a smaller depth.
#if defined(__SANITIZE_ADDRESS__)
#define TEV_SCRIPT_STACK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TEV_SCRIPT_STACK_ASAN 1
#endif
#endif
#ifdef TEV_SCRIPT_STACK_ASAN
inline constexpr std::size_t ScriptStackSize = std::size_t(60) << 20;
#else
inline constexpr std::size_t ScriptStackSize = std::size_t(256) << 20;
#endif
// Room a script call leaves free below it for host routines, dialogs and error handling.
inline constexpr std::size_t ScriptStackReserve = std::size_t(1) << 20;

class ScriptStack
{
public:
    // Runs body on this thread's script stack, switching to it unless already there. An
    // exception leaving body passes to the caller.
    static void run(const std::function<void()> &body);
    // Bytes between the caller's frame and the end of the stack it runs on.
    static std::size_t room();
    // True when the stack in use has less than ScriptStackReserve left.
    static bool exhausted() { return room() < ScriptStackReserve; }
    static bool active();
};

} // namespace tev::script
