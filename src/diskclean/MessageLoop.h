// The yield point of the loops that run on the user-interface thread (folder search, cleaning):
// pending window messages are dispatched there, so Stop buttons and the close query run as nested
// handlers while the loop waits.
#pragma once

namespace vsc {

// Dispatches every message pending for this thread and returns. Returns false when a quit message
// was among them; the quit message is posted again for the outer loop, and the caller should end
// its work as if stopped.
bool ProcessPendingMessages();

}  // namespace vsc
