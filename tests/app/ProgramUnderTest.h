// The built program, started as a user starts it: VSysCleaner.exe from the folder of the test
// binary (build/win), in a process of its own, found by its window title.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "ui/UFrmMain.h"

namespace vsc::test {

inline const char* const kProgramTitle = "Vemo System Cleaner";

inline std::string ProgramFolder() {  // VSC_PROGRAM_DIR names an unpacked release (scripts/package)
    const char* dir = std::getenv("VSC_PROGRAM_DIR");
    return dir && *dir ? dir : ExecutableFolder();
}
inline std::string ProgramPath() { return ProgramFolder() + "\\VSysCleaner.exe"; }

// A started copy of the program; killed on destruction if it is still running.
class Program {
public:
    // From the program's folder, or from a folder holding a copy of it (and its own Config.Ini).
    bool Start(const std::string& folder = ProgramFolder()) {
        STARTUPINFOA startup{sizeof(startup)};
        const std::string path = folder + "\\VSysCleaner.exe";
        std::string command = "\"" + path + "\"";
        if (!CreateProcessA(path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                            &info_)) {
            return false;
        }
        CloseHandle(info_.hThread);
        return true;
    }
    ~Program() {
        if (info_.hProcess) {
            if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
            CloseHandle(info_.hProcess);
        }
    }
    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    HANDLE Process() const { return info_.hProcess; }
    DWORD Id() const { return info_.dwProcessId; }
    // Waits for the end; the exit code, or STILL_ACTIVE after the timeout.
    DWORD WaitExit(DWORD ms) const {
        WaitForSingleObject(info_.hProcess, ms);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION info_{};
};

// Visible top-level windows titled kProgramTitle, of one process (0: of any process).
inline std::vector<HWND> TitledWindows(DWORD processId) {
    struct Search { DWORD pid; std::vector<HWND> found; } search{processId, {}};
    EnumWindows([](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        char title[64] = {};
        GetWindowTextA(w, title, sizeof(title));
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (std::string(title) == kProgramTitle && IsWindowVisible(w) && (s->pid == 0 || s->pid == pid)) {
            s->found.push_back(w);
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline bool Responsive(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

// Lets the program handle what it was sent and repaint.
inline void Settle(HWND window) {
    Responsive(window);
    PumpMessagesFor(300);
    Responsive(window);
}

// Starts the program and waits for its main window (null when it did not appear).
inline HWND StartAndFindWindow(Program& program, const std::string& folder = ProgramFolder()) {
    if (!program.Start(folder)) return nullptr;
    PumpUntil([&] { return !TitledWindows(program.Id()).empty(); }, 30000);
    auto windows = TitledWindows(program.Id());
    if (windows.size() != 1) return nullptr;
    Settle(windows[0]);
    return windows[0];
}

}  // namespace vsc::test
