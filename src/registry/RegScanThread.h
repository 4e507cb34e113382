// The registry scan worker: one scan on a thread of its own.
//
// How it works. The main window creates a worker (suspended) for every scan, hands it fresh result
// lists, the selection string and the drive-letter string, sets where the end message goes, and
// starts it. On the worker thread RunScan walks the categories 1 to 14 and calls each selected
// category's check (registry/Categories.h) once per key path of the category (once per drive
// letter for 14), with a ScanContext whose sink is the worker. The problems the checks record are
// appended to the result lists and raise the counters, unless the ignore list holds the entry:
// that is only counted (IgnoredCount).
//
// A check that throws ends its category: the worker notes the category and the error's text in
// the result (ScanResultLists::Failures) and goes on with the next category, so a scan that could
// not be finished says so instead of ending as if it had found everything.
//
// The worker never touches a window and never waits on the user-interface thread. It publishes
// its progress (category name, current sub-key, counters) into a ScanProgress guarded by a
// lock; the window reads a snapshot on a timer of its own. When RunScan returns, one message is
// posted to the owner window, its WPARAM carrying the worker's Id() so that a late end message of
// an older, stopped worker is never taken for the end of a newer scan.
//
// Pause is cooperative: StopRequested(), which the checks test between entries, every key opening
// and every record block while the worker is paused, so a paused worker makes no registry call,
// records nothing and changes no progress. RequestStop wakes a paused worker, and the scan ends.
//
// The result lists are shared (shared_ptr) and written only by the worker while it runs; the
// window reads them after the end message. Destroying the worker stops and joins its thread.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "platform/Handles.h"
#include "registry/Categories.h"
#include "registry/ScanContext.h"
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
    // The categories that could not be finished, in the order they failed: an error ended their
    // check. Their problems found until then are in the lists.
    struct Failure {
        int Category;
        std::string Reason;  // the error's own text, or "unknown error"
    };
    std::vector<Failure> Failures;

    std::size_t Count() const { return KeyPathList.size(); }
    // Appends the problem to every list.
    void Add(const FoundProblem& problem);
    bool Certain(std::size_t i) const { return i >= CertainList.size() || CertainList[i] != 0; }
    std::string Reason(std::size_t i) const { return i < ReasonList.size() ? ReasonList[i] : std::string(); }
    // Problems that are not certain.
    std::size_t UncertainCount() const;
    void Clear();
};

// A snapshot of what the scan page shows.
struct ScanProgress {
    std::string RootKeyText;                    // progress name of the category in progress
    std::string RegKeyText;                     // sub-key opened last, or the folder being searched
    std::array<int, kCategoryCount + 1> Counts{};  // Counts[k]: problems of category k (index 0 unused)
    int Total = 0;
};

// The key path itself, or, when its last key is a registry link, the key path of the key the link
// leads to ("" when that is no key path).
std::string RealKeyPath(const std::string& keyPath);

// The end message's words for the categories that could not be finished, one line each, such as
// 'The section "Startup Programs" could not be finished: access denied'; "" when none failed.
std::string UnfinishedText(const std::vector<ScanResultLists::Failure>& failures);

class TRegScanThread : public ScanSink {
public:
    // The worker keeps its own copies of the strings and shares the lists. The thread is created
    // suspended when createSuspended is true (the window always asks for that) and runs on Start().
    TRegScanThread(bool createSuspended, std::shared_ptr<ScanResultLists> lists, const std::string& selection,
                   const std::string& driveLetters);
    // Requests a stop, wakes a paused worker and waits for its thread to end.
    ~TRegScanThread() override;
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
    // Replaces a category's check (tests make a check fail this way). Call before Start().
    void OverrideCheck(int category, CategoryCheck check);
    // The problems to pass over instead of recording them. Call before Start(); empty
    // (the default) passes nothing over.
    void SetPassOver(PassOverTest test) { passOver_ = std::move(test); }
    // Problems passed over.
    int IgnoredCount() const { return ignoredCount_.load(); }

    // ---- Called on the worker thread (tests may call them directly on their own thread) ----
    void RunScan();
    // Runs the category's check on one key path (or drive) as RunScan would, errors included.
    void RunCheck(int category, const std::string& keyPath);

    // The sink of the checks' contexts.
    bool StopRequested() override;
    void WaitWhilePaused() override;
    void ShowPlace(int category, const std::string& place) override;
    void Record(const FoundProblem& problem) override;
    void PassedOver(const FoundProblem& problem) override;

private:
    static unsigned __stdcall ThreadProc(void* self);
    // Runs one category on its key paths; an error ends it and is noted in the result.
    void RunCategory(int category, const std::vector<std::string>& keyPaths);
    // Called in a handler: notes that the category could not be finished, with the error's text.
    void NoteFailure(int category) noexcept;
    CategoryCheck CheckOf(int category) const;

    const std::string Selection;
    const std::string DriveLetters;
    std::shared_ptr<ScanResultLists> lists_;
    std::vector<std::vector<std::string>> keyPathOverrides_;  // index = category; empty = table's
    std::vector<CategoryCheck> checkOverrides_;               // index = category; null = table's
    // The existence tests of this scan: each drive root and share is asked about once.
    TTargetProbe targets_;
    int current_ = 1;  // worker thread only: the category whose turn it is

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
