// What the benchmarks that drive the real main window share: the prefix guard, pressing a
// control, answering the end message headlessly, pumping messages, clocks and memory figures.
#pragma once

#include <windows.h>
#define PSAPI_VERSION 2
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "registry/RegScanThread.h"
#include "ui/UFrmMain.h"
#include "widgets/CheckStates.h"
#include "widgets/Messages.h"

namespace vsc::bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

inline std::string EnvVar(const char* name) {
    char buffer[1024];
    const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    std::string value = (n == 0 || n >= sizeof buffer) ? std::string() : std::string(buffer, n);
    while (!value.empty() && (value.back() == '/' || value.back() == '\\')) value.pop_back();
    return value;
}

// The temporary folder with its trailing backslash ("C:\\" when there is none): the benchmarks' trees
// and files are made there once and kept for the next run.
inline std::string TempFolder() {
    char temp[MAX_PATH];
    const DWORD n = GetTempPathA(MAX_PATH, temp);
    std::string base = (n == 0 || n >= MAX_PATH) ? std::string("C:\\") : std::string(temp, n);
    if (base.back() != '\\') base += '\\';
    return base;
}

// True only under Wine in the build's own prefix (build/wine-exec names it in VSC_BUILD_PREFIX):
// the benchmarks write scratch data into the registry and the temporary folder, never a user's.
inline bool InBuildPrefix() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) return false;
    const std::string expected = EnvVar("VSC_BUILD_PREFIX");
    return !expected.empty() && expected == EnvVar("WINEPREFIX");
}

inline bool RefuseOutsideBuildPrefix(const char* program) {
    if (InBuildPrefix()) return false;
    std::fprintf(stderr, "%s writes scratch data: run it in the build's prefix (build/wine-exec %s.exe)\n",
                 program, program);
    return true;
}

// Dispatches this thread's messages until `done` holds or `ms` have passed.
template <typename Done>
bool PumpUntil(Done done, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    MSG msg;
    while (!done()) {
        if (GetTickCount64() >= end) return false;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            // Sleeps until a message comes, as the program's own loop does.
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - GetTickCount64()), QS_ALLINPUT);
        }
    }
    return true;
}

inline void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

// Answers every message box with OK (Yes to a question) and notes when the last one came and
// what it said: the end message of a scan stops the clock.
class EndMessage {
public:
    EndMessage() {
        old_ = SetMessagePresenter([this](HWND, const std::string& text, UINT flags) {
            at = Clock::now();
            this->text = text;
            ++count;
            return (flags & MB_YESNO) ? IDYES : IDOK;
        });
    }
    ~EndMessage() { SetMessagePresenter(std::move(old_)); }
    EndMessage(const EndMessage&) = delete;
    EndMessage& operator=(const EndMessage&) = delete;

    Clock::time_point at;
    std::string text;
    int count = 0;

private:
    MessagePresenter old_;
};

// A press through the control, as the user's click arrives: the button sends its own command.
inline void Press(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

inline double PeakWorkingSetMb() {
    PROCESS_MEMORY_COUNTERS memory{};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    return static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// The spread of a set of timings: best, median and worst.
struct Spread {
    double best, median, worst;
};
inline Spread SpreadOf(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2], times.back()};
}

// A registry scan of the given selection and drive letters on its worker thread, without the
// window: what the scan costs before the window shows it.
inline double TimeWorkerAlone(const std::string& selection, const std::string& drives) {
    TRegScanThread scan(true, std::make_shared<ScanResultLists>(), selection, drives);
    const auto t = Clock::now();
    scan.Start();
    while (!scan.WaitFor(INFINITE)) {
    }
    return Seconds(t, Clock::now());
}

// The real main window, made and shown as at the program's start.
inline void OpenMainWindow(TFrmMain& form) {
    form.QuitOnDestroy = false;
    form.CreateMainWindow();
    form.Show();
}

// The row of the drive in the window's drive list (and below "Invalid Shortcuts"), or npos after
// a line on standard error.
inline std::size_t ListedDriveRow(const TFrmMain& form, char letter) {
    const std::size_t at = form.ListedDrives().find(letter);
    if (at == std::string::npos)
        std::fprintf(stderr, "the drive %c: is not listed (%s)\n", letter, form.ListedDrives().c_str());
    return at;
}

// The main window opened once a drive letter was lent to the target: the drive's row, or npos
// after a line on standard error (no letter could be lent, or the window does not list it).
inline std::size_t OpenWithLentDrive(TFrmMain& form, char letter, const std::string& target) {
    if (!letter) {
        std::fprintf(stderr, "no free drive letter could be lent to %s\n", target.c_str());
        return std::string::npos;
    }
    OpenMainWindow(form);
    return ListedDriveRow(form, letter);
}

// Presses Scan on the registry page and waits for the end message: the seconds from the press to
// that message, or a negative number after a line on standard error when the scan did not end
// within ten minutes.
inline double TimeRegistryScanThroughWindow(TFrmMain& form, EndMessage& end) {
    end.count = 0;
    const auto t = Clock::now();
    Press(form.Registry().Ui().btnRegistryScan);
    if (!PumpUntil([&] { return end.count > 0; }, 600000)) {
        std::fprintf(stderr, "the scan did not end within ten minutes\n");
        return -1;
    }
    return Seconds(t, end.at);
}

// The section tree with every section unticked, as the user gets it: "My Computer" pressed once,
// and again when that left it partly ticked.
inline void UntickAllSections(TFrmMain& form) {
    Press(form.Ui().btnLeft1);
    form.Registry().ToggleTreeNode(form.Registry().Ui().CategoryNodes[0]);
    if (TreeNodeState(form.Registry().Ui().treRegistry, form.Registry().Ui().CategoryNodes[0]) != tcsUnticked)
        form.Registry().ToggleTreeNode(form.Registry().Ui().CategoryNodes[0]);
}

// Whether the ticked tree gives this selection and these drive letters; a line on standard error
// when not.
inline bool SelectionIs(const TFrmMain& form, const std::string& selection, const std::string& drives) {
    const ScanSelection chosen = form.Registry().BuildSelection();
    if (chosen.Selection == selection && chosen.DriveLetters == drives) return true;
    std::fprintf(stderr, "unexpected selection %s / %s\n", chosen.Selection.c_str(), chosen.DriveLetters.c_str());
    return false;
}

}  // namespace vsc::bench
