#include "platform/MessagePump.h"

namespace vsc {

namespace {
MessageFilter g_filter = nullptr;
}  // namespace

void SetMessageFilter(MessageFilter filter) { g_filter = filter; }

void DispatchThroughFilter(MSG& msg) {
    if (g_filter && g_filter(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

int RunMessageLoop() {
    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
        if (got < 0) return -1;
        DispatchThroughFilter(msg);
    }
    return static_cast<int>(msg.wParam);
}

bool ProcessPendingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        DispatchThroughFilter(msg);
    }
    return true;
}

}  // namespace vsc
