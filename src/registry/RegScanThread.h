// The registry scan worker: one scan on a thread of its own.
//
// How it works. The main window creates a worker (suspended) for every scan, hands it fresh result
// lists, the selection string and the drive-letter string, sets where the end message goes, and
// starts it. On the worker thread RunScan walks the categories 1 to 14 and calls each selected
// category's check once per key path of the category table (once per drive letter for 14). The
// checks record problems with AddProblem, which appends to the four result lists and raises the
// counters, unless the ignore list holds the entry: that is only counted (IgnoredCount).
//
// The worker never touches a window and never waits on the user-interface thread. It publishes
// its progress (category name, current sub-key, counters) into a ScanProgress guarded by a
// lock; the window reads a snapshot on a timer of its own. When RunScan returns, one message is
// posted to the owner window, its WPARAM carrying the worker's Id() so that a late end message of
// an older, stopped worker is never taken for the end of a newer scan.
//
// Pause is cooperative: StopRequested(), which the checks test between entries, every key opening
// and AddProblem block while the worker is paused, so a paused worker makes no registry call,
// records nothing and changes no progress. RequestStop wakes a paused worker, and the scan ends.
//
// The result lists are shared (shared_ptr) and written only by the worker while it runs; the
// window reads them after the end message. Destroying the worker stops and joins its thread.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Handles.h"
#include "registry/NTReg.h"
#include "registry/TargetProbe.h"

namespace vsc {

// The four parallel lists of one scan: problem i is entry i of each list.
struct ScanResultLists {
    std::vector<std::string> KeyPathList;    // key path, or for category 14 the shortcut's full path
    std::vector<std::string> ValueNameList;  // value name ("" = default value); "LinkFiles" for 14
    std::vector<std::string> ValueDataList;  // the data found invalid, as text
    std::vector<std::string> CategoryList;   // "1" .. "14"
    // Whether the target is certainly missing (1), or could not be reached (0): such a problem is
    // shown but never repaired unasked. And why the problem is listed, in a few words. Lists made
    // by hand may leave both short: a problem past their end is certain, with no reason.
    std::vector<unsigned char> CertainList;
    std::vector<std::string> ReasonList;

    std::size_t Count() const { return KeyPathList.size(); }
    bool Certain(std::size_t i) const { return i >= CertainList.size() || CertainList[i] != 0; }
    std::string Reason(std::size_t i) const { return i < ReasonList.size() ? ReasonList[i] : std::string(); }
    // Problems that are not certain.
    std::size_t UncertainCount() const;
    void Clear();
};

constexpr int kCategoryCount = 14;
// Characters of the selection string: one per category 1..13.
constexpr int kSelectionLength = 13;

// A snapshot of what the scan page shows.
struct ScanProgress {
    std::string RootKeyText;                    // progress name of the category in progress
    std::string RegKeyText;                     // sub-key opened last, or the folder being searched
    std::array<int, kCategoryCount + 1> Counts{};  // Counts[k]: problems of category k (index 0 unused)
    int Total = 0;
};

class TRegScanThread;
using ScanCheck = void (TRegScanThread::*)(const std::string& argument);

struct CategoryEntry {
    int Number;                            // 1..14
    const char* ProgressName;              // exact text shown while the category runs
    ScanCheck Check;
    std::vector<std::string> KeyPaths;     // empty for 14, which runs once per drive letter
};

// The fixed category table, categories 1 to 14 in order (index 0 is category 1).
const std::vector<CategoryEntry>& CategoryTable();
// "Registry Integrity" .. "Invalid Shortcuts"; "" outside 1..14.
const char* CategoryProgressName(int category);

// The key path itself, or, when its last key is a registry link, the key path of the key the link
// leads to ("" when that is no key path).
std::string RealKeyPath(const std::string& keyPath);

// Whether a problem about to be recorded is to be passed over (the user's ignore list says so):
// its category, key path (for 14 the shortcut's path) and value name. Called on the worker thread.
using PassOverTest = std::function<bool(int category, const std::string& keyPath, const std::string& valueName)>;

class TRegScanThread {
public:
    // The worker keeps its own copies of the strings and shares the lists. The thread is created
    // suspended when createSuspended is true (the window always asks for that) and runs on Start().
    TRegScanThread(bool createSuspended, std::shared_ptr<ScanResultLists> lists, const std::string& selection,
                   const std::string& driveLetters);
    // Requests a stop, wakes a paused worker and waits for its thread to end.
    ~TRegScanThread();
    TRegScanThread(const TRegScanThread&) = delete;
    TRegScanThread& operator=(const TRegScanThread&) = delete;

    // ---- Called on the user-interface thread ----
    // Where the end message goes: PostMessage(window, message, Id(), 0) once RunScan has returned.
    void SetOnDone(HWND window, UINT message);
    // Starts a thread created suspended. Does nothing when it already runs.
    void Start();
    // Pause takes effect at the worker's next pause point (a stop-flag test, a key opening, a
    // folder opening, a shortcut read or a record); Parked() tells when the worker has reached one and waits there. Pause does nothing
    // once a stop has been requested.
    void Pause();
    void Continue();
    bool Paused() const { return paused_.load(); }
    bool Parked() const { return parked_.load(); }
    // Sets the stop flag and ends a pause, so a paused worker wakes and the scan ends. Never waits.
    void RequestStop();
    // True once RunScan has returned (also after an error).
    bool Finished() const { return finished_.load(); }
    // Waits up to ms milliseconds for the thread to end; true when it has ended.
    bool WaitFor(DWORD ms) const;
    // Identity carried by the end message; unique within the process.
    unsigned Id() const { return id_; }
    ScanProgress Progress() const;
    int ProblemCount() const { return problemCount_.load(); }
    const std::shared_ptr<ScanResultLists>& Lists() const { return lists_; }
    // Replaces the key paths handed to a category's check (tests and benchmarks point checks at
    // scratch keys this way). Call before Start().
    void OverrideKeyPaths(int category, std::vector<std::string> keyPaths);
    // The problems AddProblem passes over instead of recording them. Call before Start(); empty
    // (the default) passes nothing over.
    void SetPassOver(PassOverTest test) { passOver_ = std::move(test); }
    // Problems passed over.
    int IgnoredCount() const { return ignoredCount_.load(); }

    // ---- Called on the worker thread (tests may call them directly on their own thread) ----
    void RunScan();
    bool OpenScanKey(const std::string& keyPath);
    bool OpenKeyOn(const std::string& keyPath, TNTRegistry& registry);
    // OpenKeyOn for a sub-key met during a walk: keyPath is the parent's key path + "\" + name, and
    // the key is opened by its name below the parent's open key, which must stay open while
    // registry uses it. Reaches keys whose whole path is longer than the 8-bit registry calls take.
    // A registry link is opened as itself, not followed: IsLinkKey tells the caller.
    bool OpenSubKeyOn(const std::string& keyPath, const TNTRegistry& parent, const std::string& name,
                      TNTRegistry& registry);
    void ShowProgress();
    // Records the entry of CurKeyPath, CurValueName and CurValueData, with CurCheck saying whether
    // it is certain and why it is listed.
    void AddProblem();
    // Sets CurCheck and records the entry when the check lists it.
    void RecordIfListed(const TargetCheck& check);
    // True once a stop has been requested. Blocks while the worker is paused.
    bool StopRequested();
    // Sets the category whose turn it is (RunScan does; tests calling a check directly may too).
    void SetCategoryIndex(int category) { CategoryIndex = category; }

    // The checks, one per category; each takes one key path (or "X:" for ScanShortcuts).
    void ScanDefaultValues(const std::string& keyPath);    // 1, 11
    void ScanInprocServers(const std::string& keyPath);    // 2
    void ScanAppPaths(const std::string& keyPath);         // 3
    void ScanFonts(const std::string& keyPath);            // 4
    void ScanHelpFiles(const std::string& keyPath);        // 5
    void ScanSharedFiles(const std::string& keyPath);      // 6
    void ScanStartupEntries(const std::string& keyPath);   // 7
    void ScanUninstallEntries(const std::string& keyPath); // 8
    void ScanVirtualDevices(const std::string& keyPath);   // 9
    void ScanConfigFiles(const std::string& keyPath);      // 10
    void ScanSoundEvents(const std::string& keyPath);      // 12
    void ScanFilePaths(const std::string& keyPath);        // 13
    void ScanShortcuts(const std::string& drive);          // 14

    // The entry under examination; the checks set them before AddProblem.
    TNTRegistry Registry;
    std::string CurKeyPath;
    std::string CurValueName;
    std::string CurValueData;
    std::string CurSubKey;
    TargetCheck CurCheck;  // present (the default) records a certain problem without a reason
    // The existence tests of this scan: each drive root and share is asked about once.
    TTargetProbe Targets;
    int CategoryIndex = 1;

private:
    static unsigned __stdcall ThreadProc(void* self);
    // Blocks while the worker is paused and no stop has been requested.
    void WaitWhilePaused();

    const std::string Selection;
    const std::string DriveLetters;
    std::shared_ptr<ScanResultLists> lists_;
    std::vector<std::vector<std::string>> keyPathOverrides_;  // index = category; empty = table's

    UniqueThread thread_;
    const unsigned id_;
    HWND doneWindow_ = nullptr;
    UINT doneMessage_ = 0;

    std::atomic<bool> started_{false};
    std::atomic<bool> stop_{false};
    std::atomic<bool> paused_{false};
    std::atomic<bool> parked_{false};
    std::atomic<bool> finished_{false};
    std::atomic<int> problemCount_{0};
    std::atomic<int> ignoredCount_{0};
    PassOverTest passOver_;

    UniqueEvent running_;  // manual-reset event: signalled unless paused

    mutable SRWLOCK progressLock_ = SRWLOCK_INIT;
    ScanProgress progress_;
};

}  // namespace vsc
