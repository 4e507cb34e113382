// The process entry: one instance per machine, the main window and the event loop.
#include <windows.h>
#include <commctrl.h>

#include "platform/Handles.h"
#include "platform/InstanceMutex.h"
#include "platform/MessagePump.h"
#include "ui/UFrmMain.h"
#include "widgets/Messages.h"

namespace {

int RunApplication() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const vsc::ComApartment com;

    vsc::TFrmMain frmMain;
    frmMain.CreateMainWindow();
    vsc::SetMessageOwner(frmMain.Handle());
    frmMain.Show(SW_SHOW);
    SetForegroundWindow(frmMain.Handle());
    const int code = vsc::RunMessageLoop();
    vsc::SetMessageOwner(nullptr);
    if (frmMain.WorkerStillRunning()) {
        // A scan worker that was asked to stop has not ended: end the process now instead of
        // waiting for it (ExitProcess ends the other threads before anything is torn down).
        ExitProcess(static_cast<UINT>(code));
    }
    return code;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const vsc::TInstanceMutex mutex;
    if (!mutex.Taken()) return 0;
    try {
        return RunApplication();
    } catch (const std::exception& e) {
        vsc::ShowError(e.what());
        return 1;
    }
}
