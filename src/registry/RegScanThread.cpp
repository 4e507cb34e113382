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

// The fixed category table. Where Windows keeps a key apart for 32-bit programs (their installers
// write below Wow6432Node), the 32-bit twin follows its key and gets the same check; a twin that
// is a registry link to its key (as some are) is visited once, where it really lives (RunScan).
std::vector<CategoryEntry> BuildCategoryTable() {
    using T = TRegScanThread;
    return {
        {1, "Registry Integrity", &T::ScanDefaultValues,
         {"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced",
          "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
          "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
          "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
          "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
          "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\New"}},
        {2, "Custom Control ", &T::ScanInprocServers,
         {"HKEY_CLASSES_ROOT\\CLSID", "HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID", "HKEY_CURRENT_USER\\CLSID"}},
        {3, "Software Locations", &T::ScanAppPaths,
         {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths"}},
        {4, "Windows Fonts", &T::ScanFonts,
         {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
          "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Fonts"}},
        {5, "Windows Help", &T::ScanHelpFiles,
         {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\Help",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Html Help",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\Html Help"}},
        {6, "Share Programs", &T::ScanSharedFiles,
         {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
          "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\.Default\\CCSelect\\.current"}},
        {7, "Startup Programs", &T::ScanStartupEntries,
         {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
          "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
          "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
          "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
          "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices"}},
        {8, "Add/Remove Programs", &T::ScanUninstallEntries,
         {"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
          "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall"}},
        {9, "Virtual Devices", &T::ScanVirtualDevices,
         {"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\VirtualDeviceDrivers"}},
        {10, "Configuration Files", &T::ScanConfigFiles, {"HKEY_LOCAL_MACHINE\\"}},
        {11, "Device Drivers", &T::ScanDefaultValues, {"HKEY_LOCAL_MACHINE\\HARDWARE"}},
        {12, "Sound Appevents", &T::ScanSoundEvents,
         {"HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps", "HKEY_USERS\\.DEFAULT\\AppEvents\\Schemes\\Apps"}},
        {13, "Invalad Files Path", &T::ScanFilePaths, {"HKEY_LOCAL_MACHINE\\SOFTWARE"}},
        {14, "Invalid Shortcuts", &T::ScanShortcuts, {}},
    };
}

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

std::size_t ScanResultLists::UncertainCount() const {
    std::size_t n = 0;
    for (std::size_t i = 0; i < Count(); ++i) n += Certain(i) ? 0 : 1;
    return n;
}

const std::vector<CategoryEntry>& CategoryTable() {
    static const std::vector<CategoryEntry> table = BuildCategoryTable();
    return table;
}

const char* CategoryProgressName(int category) {
    if (category < 1 || category > kCategoryCount) return "";
    return CategoryTable()[static_cast<size_t>(category - 1)].ProgressName;
}

TRegScanThread::TRegScanThread(bool createSuspended, std::shared_ptr<ScanResultLists> lists,
                               const std::string& selection, const std::string& driveLetters)
    : Selection(selection),
      DriveLetters(driveLetters),
      lists_(lists ? std::move(lists) : std::make_shared<ScanResultLists>()),
      keyPathOverrides_(kCategoryCount + 1),
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
        // The thread must end in order whatever a check does: the end message is always posted.
        try {
            if (!self->stop_.load()) self->RunScan();
        } catch (...) {
        }
    }
    self->Registry.ReleaseKey();
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
    CategoryIndex = 1;
    const auto& table = CategoryTable();
    for (int k = 1; k <= kSelectionLength; ++k) {
        if (!StopRequested() && k <= static_cast<int>(Selection.size()) && Selection[static_cast<size_t>(k - 1)] == '1') {
            const CategoryEntry& entry = table[static_cast<size_t>(k - 1)];
            const auto& overridden = keyPathOverrides_[static_cast<size_t>(k)];
            const auto& keyPaths = overridden.empty() ? entry.KeyPaths : overridden;
            for (const std::string& keyPath : keyPaths) {
                // A key path that is a registry link is checked where the link leads, unless the
                // category lists that key itself: then it is checked once, under its own path.
                const std::string real = RealKeyPath(keyPath);
                if (real.empty()) continue;
                if (real != keyPath && ListedIgnoringCase(keyPaths, real)) continue;
                (this->*entry.Check)(real);
            }
        }
        ++CategoryIndex;
    }
    if (!DriveLetters.empty() && !StopRequested()) {
        ShowProgress();
        for (char letter : DriveLetters) ScanShortcuts(std::string(1, letter) + ":");
    }
}

std::string RealKeyPath(const std::string& keyPath) {
    std::string target;
    if (!KeyPathIsLink(keyPath, &target)) return keyPath;
    return KeyPathOfLinkTarget(target);
}

bool TRegScanThread::OpenScanKey(const std::string& keyPath) {
    CurKeyPath = keyPath;
    return OpenKeyOn(keyPath, Registry);
}

bool TRegScanThread::OpenKeyOn(const std::string& keyPath, TNTRegistry& registry) {
    WaitWhilePaused();
    registry.ReleaseKey();
    CurSubKey = SplitKeyPath(keyPath).subKey;
    ShowProgress();
    const HKEY root = RootKeyHandle(keyPath);
    if (!root) return false;
    registry.SelectRoot(root);
    // The last key is opened as itself: a sub-key that is a registry link then shows only its link
    // value, so a one-level check finds nothing to read in it and passes it over. (The category's
    // own key paths are resolved before the checks run.)
    return registry.OpenSubKey(CurSubKey, false, true);
}

bool TRegScanThread::OpenSubKeyOn(const std::string& keyPath, const TNTRegistry& parent, const std::string& name,
                                  TNTRegistry& registry) {
    WaitWhilePaused();
    registry.ReleaseKey();
    CurSubKey = SplitKeyPath(keyPath).subKey;
    ShowProgress();
    if (!parent.OpenHandle()) return false;
    // The parent's key serves as this object's root, which the object never closes.
    registry.SelectRoot(parent.OpenHandle());
    // Opened as itself: a registry link is never followed (the caller asks IsLinkKey).
    return registry.OpenSubKey(name, false, true);
}

void TRegScanThread::ShowProgress() {
    SharedLock lock(progressLock_);
    progress_.RegKeyText = CurSubKey;
    progress_.RootKeyText = CategoryProgressName(CategoryIndex);
}

void TRegScanThread::AddProblem() {
    if (StopRequested()) return;
    if (passOver_ && passOver_(CategoryIndex, CurKeyPath, CurValueName)) {
        ++ignoredCount_;
        return;
    }
    lists_->KeyPathList.push_back(CurKeyPath);
    lists_->ValueNameList.push_back(CurValueName);
    lists_->ValueDataList.push_back(CurValueData);
    lists_->CategoryList.push_back(std::to_string(CategoryIndex));
    lists_->CertainList.push_back(CurCheck.State == Existence::Unreachable ? 0 : 1);
    lists_->ReasonList.push_back(CurCheck.Reason);
    {
        SharedLock lock(progressLock_);
        if (CategoryIndex >= 1 && CategoryIndex <= kCategoryCount) ++progress_.Counts[static_cast<size_t>(CategoryIndex)];
        ++progress_.Total;
    }
    ++problemCount_;
}

void TRegScanThread::RecordIfListed(const TargetCheck& check) {
    if (!check.Listed()) return;
    CurCheck = check;
    AddProblem();
}

// Categories 9 and 10 record nothing: they visit their keys so that the scan shows them.
void TRegScanThread::ScanVirtualDevices(const std::string& keyPath) { ScanDefaultValues(keyPath); }

void TRegScanThread::ScanConfigFiles(const std::string& keyPath) {
    if (StopRequested()) return;
    OpenScanKey(keyPath);
    Registry.ReleaseKey();
}

}  // namespace vsc
