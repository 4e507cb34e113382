#include "registry/RegScanThread.h"

#include <process.h>

#include <algorithm>
#include <optional>

#include "registry/PublicOpt.h"
#include "registry/portable/PathText.h"

namespace vsc {

namespace {

// The worker's stack reservation. The key walks and the folder walk keep their levels on the heap,
// so the stack a scan needs does not grow with the depth of the registry or of a drive: a walk of
// a 512-level key chain and a whole-drive shortcut search each use a few kilobytes (measured by the
// registry tests). The usual 1 MB leaves ample room for the shell link object and system code.
constexpr unsigned kWorkerStackBytes = 1024u * 1024u;

std::atomic<unsigned> g_nextWorkerId{1};

class SharedLock {
public:
    explicit SharedLock(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~SharedLock() { ReleaseSRWLockExclusive(&lock_); }
    SharedLock(const SharedLock&) = delete;
    SharedLock& operator=(const SharedLock&) = delete;

private:
    SRWLOCK& lock_;
};

bool ListedIgnoringCase(const std::vector<std::string>& keyPaths, const std::string& keyPath) {
    const std::string wanted = UpperAscii(keyPath);
    return std::any_of(keyPaths.begin(), keyPaths.end(),
                       [&wanted](const std::string& listed) { return UpperAscii(listed) == wanted; });
}

}  // namespace

void ScanResultLists::Clear() {
    KeyPathList.clear();
    ValueNameList.clear();
    ValueDataList.clear();
    CategoryList.clear();
    CertainList.clear();
    ReasonList.clear();
}

void ScanResultLists::Add(const FoundProblem& problem) {
    KeyPathList.push_back(problem.KeyPath);
    ValueNameList.push_back(problem.ValueName);
    ValueDataList.push_back(problem.Data);
    CategoryList.push_back(std::to_string(problem.Category));
    CertainList.push_back(problem.Check.State == Existence::Unreachable ? 0 : 1);
    ReasonList.push_back(problem.Check.Reason);
}

std::size_t ScanResultLists::UncertainCount() const {
    std::size_t n = 0;
    for (std::size_t i = 0; i < Count(); ++i) n += Certain(i) ? 0 : 1;
    return n;
}

std::string UnfinishedText(const std::vector<ScanResultLists::Failure>& failures) {
    std::string text;
    for (const ScanResultLists::Failure& failure : failures) {
        if (!text.empty()) text += "\r\n";
        text += std::string("The section \"") + CategoryCaption(failure.Category) + "\" could not be finished: " +
                failure.Reason;
    }
    return text;
}

TRegScanThread::TRegScanThread(bool createSuspended, std::shared_ptr<ScanResultLists> lists,
                               const std::string& selection, const std::string& driveLetters)
    : Selection(selection),
      DriveLetters(driveLetters),
      lists_(lists ? std::move(lists) : std::make_shared<ScanResultLists>()),
      keyPathOverrides_(kCategoryCount + 1),
      checkOverrides_(kCategoryCount + 1, nullptr),
      id_(g_nextWorkerId++) {
    running_.reset(CreateEventA(nullptr, TRUE, TRUE, nullptr));
    progress_.RootKeyText = CategoryProgressName(1);
    thread_.reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, kWorkerStackBytes, &ThreadProc, this,
                                                          CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION,
                                                          nullptr)));
    if (!createSuspended) Start();
}

TRegScanThread::~TRegScanThread() {
    RequestStop();
    if (thread_) {
        if (!started_.exchange(true)) ResumeThread(thread_.get());  // a never-started thread runs to its end at once
        WaitForSingleObject(thread_.get(), INFINITE);
    }
}

void TRegScanThread::SetOnDone(HWND window, UINT message) {
    doneWindow_ = window;
    doneMessage_ = message;
}

void TRegScanThread::Start() {
    if (started_.exchange(true)) return;
    if (thread_) {
        ResumeThread(thread_.get());
    } else {
        // No thread could be made: the scan ends at once, and the window still hears of it.
        finished_ = true;
        if (doneWindow_) PostMessageA(doneWindow_, doneMessage_, id_, 0);
    }
}

void TRegScanThread::Pause() {
    if (stop_.load()) return;
    paused_ = true;
    ResetEvent(running_.get());
}

void TRegScanThread::Continue() {
    paused_ = false;
    SetEvent(running_.get());
}

void TRegScanThread::RequestStop() {
    stop_ = true;
    paused_ = false;
    SetEvent(running_.get());  // a paused worker wakes, sees the flag and ends
}

bool TRegScanThread::WaitFor(DWORD ms) const {
    if (!thread_) return true;
    if (!started_.load()) return false;
    return WaitForSingleObject(thread_.get(), ms) == WAIT_OBJECT_0;
}

ScanProgress TRegScanThread::Progress() const {
    SharedLock lock(progressLock_);
    return progress_;
}

void TRegScanThread::OverrideKeyPaths(int category, std::vector<std::string> keyPaths) {
    if (category >= 1 && category <= kCategoryCount)
        keyPathOverrides_[static_cast<size_t>(category)] = std::move(keyPaths);
}

void TRegScanThread::OverrideCheck(int category, CategoryCheck check) {
    if (category >= 1 && category <= kCategoryCount) checkOverrides_[static_cast<size_t>(category)] = check;
}

CategoryCheck TRegScanThread::CheckOf(int category) const {
    if (const CategoryCheck check = checkOverrides_[static_cast<size_t>(category)]) return check;
    return CategoryOf(category)->Check;
}

unsigned __stdcall TRegScanThread::ThreadProc(void* param) {
    auto* self = static_cast<TRegScanThread*>(param);
    // The checks test paths on any drive; an empty removable drive must fail the test quietly
    // rather than ask the user to insert a disk.
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, nullptr);
    {
        // COM, which only the shortcut search uses, once for the whole scan when it searches
        // drives: each drive's shortcut reader then only counts a reference.
        std::optional<ComApartment> com;
        if (!self->DriveLetters.empty()) com.emplace();
        // The thread must end in order whatever happens: the end message is always posted. (An
        // error of a check ends only its category, in RunCategory.)
        try {
            if (!self->stop_.load()) self->RunScan();
        } catch (...) {
            self->NoteFailure(self->current_);
        }
    }
    self->finished_ = true;
    if (self->doneWindow_) PostMessageA(self->doneWindow_, self->doneMessage_, self->id_, 0);
    return 0;
}

// The wait is timed so that a wake-up lost between the flag test and the wait costs at most one
// period; Continue and RequestStop set the flags before they signal the event.
void TRegScanThread::WaitWhilePaused() {
    while (paused_.load() && !stop_.load()) {
        parked_ = true;
        WaitForSingleObject(running_.get(), 100);
    }
    parked_ = false;
}

bool TRegScanThread::StopRequested() {
    WaitWhilePaused();
    return stop_.load();
}

void TRegScanThread::RunScan() {
    for (int k = 1; k <= kSelectionLength; ++k) {
        current_ = k;
        if (StopRequested() || k > static_cast<int>(Selection.size()) || Selection[static_cast<size_t>(k - 1)] != '1')
            continue;
        const auto& overridden = keyPathOverrides_[static_cast<size_t>(k)];
        RunCategory(k, overridden.empty() ? CategoryOf(k)->KeyPaths : overridden);
    }
    current_ = kShortcutCategory;
    if (!DriveLetters.empty() && !StopRequested()) {
        {
            // The place shown last stays until the search opens its first folder.
            SharedLock lock(progressLock_);
            progress_.RootKeyText = CategoryProgressName(kShortcutCategory);
        }
        std::vector<std::string> drives;
        for (char letter : DriveLetters) drives.push_back(std::string(1, letter) + ":");
        RunCategory(kShortcutCategory, drives);
    }
}

void TRegScanThread::RunCategory(int category, const std::vector<std::string>& keyPaths) {
    ScanContext scan(category, *this, targets_, passOver_);
    const CategoryCheck check = CheckOf(category);
    try {
        for (const std::string& keyPath : keyPaths) {
            if (category == kShortcutCategory) {
                check(scan, keyPath);
                continue;
            }
            // A key path that is a registry link is checked where the link leads, unless the
            // category lists that key itself: then it is checked once, under its own path.
            const std::string real = RealKeyPath(keyPath);
            if (real.empty()) continue;
            if (real != keyPath && ListedIgnoringCase(keyPaths, real)) continue;
            check(scan, real);
        }
    } catch (...) {
        NoteFailure(category);
    }
}

void TRegScanThread::NoteFailure(int category) noexcept {
    try {
        std::string reason = "unknown error";
        try {
            throw;
        } catch (const std::exception& error) {
            if (*error.what()) reason = error.what();
        } catch (...) {
        }
        lists_->Failures.push_back({category, std::move(reason)});
    } catch (...) {
        // No memory left even for the note: the end message still goes out.
    }
}

void TRegScanThread::RunCheck(int category, const std::string& keyPath) {
    if (category < 1 || category > kCategoryCount) return;
    current_ = category;
    ScanContext scan(category, *this, targets_, passOver_);
    CheckOf(category)(scan, keyPath);
}

std::string RealKeyPath(const std::string& keyPath) {
    std::string target;
    if (!KeyPathIsLink(keyPath, &target)) return keyPath;
    return KeyPathOfLinkTarget(target);
}

void TRegScanThread::ShowPlace(int category, const std::string& place) {
    SharedLock lock(progressLock_);
    progress_.RegKeyText = place;
    progress_.RootKeyText = CategoryProgressName(category);
}

void TRegScanThread::Record(const FoundProblem& problem) {
    const int k = problem.Category;
    lists_->Add(problem);
    {
        SharedLock lock(progressLock_);
        if (k >= 1 && k <= kCategoryCount) ++progress_.Counts[static_cast<size_t>(k)];
        ++progress_.Total;
    }
    ++problemCount_;
}

void TRegScanThread::PassedOver(const FoundProblem&) { ++ignoredCount_; }

}  // namespace vsc
