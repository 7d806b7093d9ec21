#pragma once

#include "platform/crash/crashexception.h"

#include <functional>

namespace tev {

// A handler receives every exception that nothing else handled; it sets handled to stop it.
using ExceptionHandler = std::function<void(CrashException &exception, bool &handled)>;

// Registers a handler for the whole run. Handlers run on the main thread, in registration order,
// until one sets handled.
void RegisterExceptionHandler(ExceptionHandler handler);
void clearExceptionHandlers(); // for tests

// Reports the exception being handled (call inside a catch block): builds its crash report and
// hands it to the handlers. An exception no handler takes is printed to stderr. Returns whether
// a handler took it. Never throws: a failing handler is reported to stderr instead.
bool HandleCurrentException() noexcept;

} // namespace tev
