#pragma once

class QWidget;

namespace tev {

// A request to end the program from outside (SIGTERM from the session or `kill`, SIGINT from the
// terminal that started it).
//
// Before the window exists it ends the program at once, as the system's default does: nothing is
// open that a user could lose, and a message box of the start (a lock folder that cannot be
// used, a refused script) must not keep a logout waiting. Once the window exists it closes the
// window as the user's Exit does, so that the save question, the layout and the settings are not
// skipped.
//
// The embedded database engine catches both signals when it first attaches and would shut itself
// down under the open window, or swallow them. So the start holds them back before any thread
// exists (threads inherit the held set, the engine's included), and one thread of ours waits for
// them: it ends the program while there is no window, and tells the window's event loop once
// there is one. The main thread then takes them as well, with a handler that only tells the
// event loop, so that the programs it starts do not inherit a held set.

// Call first in main, before the application object and any other thread.
void HoldTerminationRequests();

// Call once the window exists: from then on a request closes it. A request that comes while an
// earlier one is still being answered is dropped.
void CloseOnTerminationRequest(QWidget *window);

} // namespace tev
