// The thread's message loops: the main loop, and the yield point of the loops that run on the
// user-interface thread (folder search, cleaning, benchmarks), where pending messages are
// dispatched, so Stop buttons and the close query run as nested handlers while the loop waits.
//
// Before a message is translated and dispatched it is offered to the filter (the window layer
// installs its key preview and dialog keys there); a message the filter handled goes no further.
#pragma once

#include <windows.h>

namespace vsc {

// True when the message was handled and must not be translated and dispatched.
using MessageFilter = bool (*)(MSG& msg);
void SetMessageFilter(MessageFilter filter);

// Runs the thread's message loop until WM_QUIT; returns the quit code (-1 when GetMessage fails).
int RunMessageLoop();

// Dispatches every message pending for this thread and returns. Returns false when a quit message
// was among them; the quit message is posted again for the outer loop, and the caller should end
// its work as if stopped.
bool ProcessPendingMessages();

// Offers one message to the filter, then translates and dispatches it unless the filter took it.
void DispatchThroughFilter(MSG& msg);

}  // namespace vsc
