#pragma once

#include "platform/crash/exceptionhandlers.h"

namespace tev {

// A handler without arguments for any signal: the signal's arguments are dropped, and an
// exception the handler throws is reported where it happens (the program's error dialog)
// instead of unwinding through Qt's signal code.
//   connect(button, &QToolButton::clicked, this, reported([this] { FileSave1Execute(); }));
template <typename F> auto reported(F handler)
{
    return [handler = std::move(handler)](auto &&...) mutable {
        try {
            handler();
        } catch (...) {
            HandleCurrentException();
        }
    };
}

} // namespace tev
