// Benchmark: a scan that finds 100,000 problems fills the results list of the main window.
// Prints the time from the end of the scan to the list shown, and the time of Check All, with
// their ratios to the targets (1 second each). Seeds its problems in a scratch key of its own
// (HKEY_CURRENT_USER\Software\VscBenchResults, volatile: it never reaches the prefix's registry
// files) and deletes it afterwards. The scan's own time is printed too, without a target.
//
// Run in the build's prefix on a display, for example:
//   xvfb-run -a build/wine-exec build/win/bench_results.exe
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "ui/UFrmMain.h"
#include "widgets/CheckStates.h"
#include "widgets/Messages.h"
#include "widgets/Window.h"

using namespace vsc;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kProblems = 100000;
const char* const kBenchKey = "Software\\VscBenchResults";

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// 100,000 application-path entries whose programs do not exist.
bool Seed() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kBenchKey);
    HKEY appPaths = nullptr;
    const std::string path = std::string(kBenchKey) + "\\App Paths";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &appPaths, nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = true;
    for (int i = 0; i < kProblems && ok; ++i) {
        const std::string name = "benchapp" + std::to_string(i) + ".exe";
        const std::string data = "C:\\VscBenchGone\\" + name;
        HKEY key = nullptr;
        ok = RegCreateKeyExA(appPaths, name.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                             nullptr) ==
                 ERROR_SUCCESS &&
             RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
        if (key) RegCloseKey(key);
    }
    RegCloseKey(appPaths);
    return ok;
}

template <typename Pred>
bool Pump(Pred done, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= end) return false;
        ProcessPendingMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

}  // namespace

int main() {
    std::printf("seeding %d problems...\n", kProblems);
    std::fflush(stdout);
    if (!Seed()) {
        std::printf("cannot seed the scratch key\n");
        return 1;
    }

    TFrmMain window;
    window.QuitOnDestroy = false;
    window.CreateMainWindow();
    window.Show();
    // Only "Software Locations", pointed at the seeded key.
    HWND tree = window.Registry().Ui().treRegistry;
    SetTreeNodeState(tree, TreeNodeAt(tree, 0), 2);
    SetSubtreeState(tree, TreeNodeAt(tree, 0), 1);
    SetTreeNodeState(tree, TreeNodeAt(tree, 3), 2);
    TRegistryCleanPage::SetScanWorkerPreparer([](TRegScanThread& worker) {
        worker.OverrideKeyPaths(3, {"HKEY_CURRENT_USER\\" + std::string(kBenchKey) + "\\App Paths"});
    });

    Clock::time_point scanEnded{};
    std::string announced;
    SetMessagePresenter([&](HWND, const std::string& text, UINT) {
        if (scanEnded == Clock::time_point{}) scanEnded = Clock::now();
        announced = text;
        return IDOK;
    });

    const auto scanStarted = Clock::now();
    SendMessageA(window.Registry().Ui().btnRegistryScan, BM_CLICK, 0, 0);
    if (!Pump([&] { return IsWindowVisible(window.Ui().fltRegDelet) != FALSE; }, 30 * 60 * 1000)) {
        std::printf("the results panel did not appear (last message: %s)\n", announced.c_str());
        return 1;
    }
    UpdateWindow(window.Registry().Ui().lstJunkReg);
    const auto listShown = Clock::now();
    const int rows = ListView_GetItemCount(window.Registry().Ui().lstJunkReg);

    SendMessageA(window.Registry().Ui().btnUnCheck, BM_CLICK, 0, 0);
    UpdateWindow(window.Registry().Ui().lstJunkReg);
    const auto checkStart = Clock::now();
    SendMessageA(window.Registry().Ui().btnCheck, BM_CLICK, 0, 0);
    UpdateWindow(window.Registry().Ui().lstJunkReg);
    const auto checkEnd = Clock::now();

    const double show = Seconds(scanEnded, listShown);
    const double checkAll = Seconds(checkStart, checkEnd);
    std::printf("message: %s\n", announced.c_str());
    std::printf("rows: %d\n", rows);
    std::printf("scan (not measured against a target): %.2f s\n", Seconds(scanStarted, scanEnded));
    std::printf("end of scan to list shown: %.4f s (target 1 s, ratio %.4f)\n", show, show / 1.0);
    std::printf("Check All: %.4f s (target 1 s, ratio %.4f)\n", checkAll, checkAll / 1.0);
    std::printf("all rows checked: %s\n",
                window.Registry().ResultsList().CheckedRows().size() == static_cast<size_t>(rows) ? "yes" : "no");

    SetMessagePresenter(nullptr);
    TRegistryCleanPage::SetScanWorkerPreparer(nullptr);
    RegDeleteTreeA(HKEY_CURRENT_USER, kBenchKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kBenchKey);
    return rows == kProblems ? 0 : 1;
}
