#pragma once

#include <boost/stacktrace/stacktrace.hpp>
#include <optional>
#include <typeinfo>

namespace tev {

// Throw-site stack traces. By the time a handler catches an exception, the stack between the
// throw and the handler is unwound, and with it the function that threw. So, while tracing is on,
// every throw records the stack of the throwing thread together with the exception object; the
// crash report looks the record up by that object.
//
// The records are taken by replacing the C++ runtime's throw entry point (__cxa_throw) in the
// executable; the replacement records and then calls the runtime's own. Tracing is off by
// default, so programs that never report crashes pay only a flag test per throw.
void setThrowTracing(bool on);
bool throwTracing();

// The trace recorded when exceptionObject of that type was thrown on this thread, if it is still
// held (the last few throws per thread are kept; the newest record of an address wins, since an
// exception's storage is reused once it is gone). Turning tracing off forgets this thread's
// records.
std::optional<boost::stacktrace::stacktrace> throwSiteTrace(const void *exceptionObject,
                                                            const std::type_info *type);

// The trace of the most recent throw on this thread, for exceptions whose object is unknown.
std::optional<boost::stacktrace::stacktrace> lastThrowTrace();

} // namespace tev
