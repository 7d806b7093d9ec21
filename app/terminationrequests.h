#pragma once

class QWidget;

namespace tev {

// A request to end the program from outside (SIGTERM from the session or `kill`, SIGINT from the
// terminal that started it) closes the window as the user's Exit does, so that the save question,
// the layout and the settings are not skipped.
//
// The embedded database engine catches both signals when it first attaches and would shut itself
// down under the open window, or swallow them. So the start holds them back before any thread
// exists (threads inherit the held set, the engine's included), and once the window exists the
// main thread alone takes them, with a handler that only tells the event loop.

// Call first in main, before the application object and any other thread.
void HoldTerminationRequests();

// Call once the window exists: a request held back meanwhile closes it as soon as the loop runs.
// A request that comes while an earlier one is still being answered is dropped.
void CloseOnTerminationRequest(QWidget *window);

} // namespace tev
