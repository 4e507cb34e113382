// The process entry: one instance per machine, the main window and the event loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/UFrmMain.h"
#include "widgets/Messages.h"

namespace {

// Owns the single-instance mutex until the process ends.
class InstanceMutex {
public:
    InstanceMutex() : handle_(CreateMutexA(nullptr, FALSE, "VSysCleaner")), existed_(GetLastError() == ERROR_ALREADY_EXISTS) {}
    ~InstanceMutex() { if (handle_) CloseHandle(handle_); }
    InstanceMutex(const InstanceMutex&) = delete;
    InstanceMutex& operator=(const InstanceMutex&) = delete;
    bool AnotherInstanceRuns() const { return existed_; }

private:
    HANDLE handle_;
    bool existed_;
};

int RunApplication() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

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
    if (SUCCEEDED(com)) CoUninitialize();
    return code;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InstanceMutex mutex;
    if (mutex.AnotherInstanceRuns()) return 0;
    try {
        return RunApplication();
    } catch (const std::exception& e) {
        vsc::ShowError(e.what());
        return 1;
    }
}
