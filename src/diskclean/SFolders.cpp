#include "diskclean/SFolders.h"

#include <windows.h>

#include <cstring>

#include "diskclean/portable/FileText.h"
#include "platform/CodePage.h"
#include "platform/Handles.h"
#include "platform/MessagePump.h"
#include "platform/QuietErrors.h"

namespace vsc {

namespace {

// The 8-bit listing holds a name in at most MAX_PATH bytes, and a longer one (in UTF-8, some 86
// characters of CJK script) comes back cut, at a character or in the middle of one. A name this
// long may have been cut.
constexpr std::size_t kNameMayBeCut = MAX_PATH - 8;

// The entry's whole name, read again by its short name with the wide call. False when it has no
// short name: no 8-bit call could then name it.
bool WholeName(const std::string& folder, const WIN32_FIND_DATAA& d, std::string& name) {
    if (!d.cAlternateFileName[0] || !std::memchr(d.cAlternateFileName, 0, sizeof d.cAlternateFileName)) return false;
    WIN32_FIND_DATAW w;
    UniqueFind find(FindFirstFileW(ToWide(JoinPath(folder, d.cAlternateFileName)).c_str(), &w));
    if (!find) return false;
    name = FromWide(w.cFileName);
    return !name.empty() && !HasWildcard(name);
}

bool IsDotEntry(const char* name) { return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)); }

std::uint32_t PackedLocalTime(const FILETIME& utc) {
    FILETIME local;
    WORD date = 0, time = 0;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &time)) return 0;
    return (static_cast<std::uint32_t>(date) << 16) | time;
}

}  // namespace

// One open listing of the walk.
struct TSearchFolders::Frame {
    std::string folder;
    UniqueFind find;
    WIN32_FIND_DATAA data;
    bool haveFirst = true;          // `data` holds the first entry, not yet examined
    bool resumeAfterChild = false;  // the entry in hand was a folder just walked
};

TSearchFolders::TSearchFolders() : alive_(std::make_shared<std::atomic<bool>>(true)) {}

TSearchFolders::~TSearchFolders() {
    *alive_ = false;
    stopped_ = true;
}

void TSearchFolders::Search() {
    if (searching_) return;
    found_.clear();
    countFiles_ = countHide_ = countRead_ = countSystem_ = countIgnored_ = 0;
    sizeOfFiles_ = 0;
    masks_ = SplitMasks(FileMask);  // an invalid mask ends the search here
    stopped_ = false;
    searching_ = true;
    lastYield_ = 0;  // the first entry dispatches
    visited_.Clear();
    const std::shared_ptr<std::atomic<bool>> alive = alive_;
    const QuietCriticalErrors quietDrives;
    // Back to idle on every way out, an exception from an event handler included.
    struct EndSearch {
        TSearchFolders& self;
        const std::shared_ptr<std::atomic<bool>>& alive;
        ~EndSearch() {
            if (!*alive) return;
            self.masks_.clear();
            self.visited_.Clear();
            self.searching_ = false;
        }
    } endSearch{*this, alive};

    switch (ScanOptions) {
    case soAllDisks: {
        const DWORD drives = GetLogicalDrives();
        for (int i = 0; i < 26 && *alive; ++i) {
            if (!(drives & (1u << i))) continue;
            const char root[] = {static_cast<char>('a' + i), ':', '\\', 0};
            const UINT type = GetDriveTypeA(root);
            if (type == DRIVE_FIXED || type == DRIVE_REMOTE || type == DRIVE_CDROM || type == DRIVE_RAMDISK)
                ScanFolder(std::string(1, static_cast<char>('A' + i)) + ":");
        }
        break;
    }
    case soSpecifiedDisk:
        ScanFolder(ScanDir.substr(0, 2));
        break;
    case soSpecifiedDir:
        ScanFolder(ScanDir);
        break;
    case soDriveList: {
        const std::string letters = ScanDir;  // a handler may not change it, but a copy costs nothing
        for (std::size_t i = 0; i < letters.size() && *alive; ++i) ScanFolder(std::string(1, letters[i]) + ":");
        break;
    }
    }
    if (!*alive) return;
    searching_ = false;
    if (OnChanged) OnChanged(*this, countFiles_, sizeOfFiles_, countHide_, countRead_, countSystem_);
}

// Folders below a starting folder are told apart by the reparse attribute alone: asking the system
// for a folder's identity costs more than listing it (several times more under Wine), so only the
// starting folders are compared, which keeps a drive named twice (or a folder given twice) from
// being walked twice.
bool TSearchFolders::FirstVisit(const std::string& folder) {
    return visited_.FirstVisit(JoinPath(folder, ""));
}

// Raises OnProcess and opens the folder's listing; pushes a frame when there is something to
// read. False when the object was destroyed by the event handler.
bool TSearchFolders::OpenFolder(const std::string& folder, bool isRoot, std::vector<Frame>& frames) {
    const std::shared_ptr<std::atomic<bool>> alive = alive_;
    if (OnProcess) {
        OnProcess(*this, folder, countFiles_, sizeOfFiles_, countHide_, countRead_, countSystem_);
        if (!*alive) return false;
    }
    if (stopped_ || folder.empty() || (isRoot && !FirstVisit(folder))) return true;
    Frame frame;
    frame.folder = folder;
    frame.find.reset(FindFirstFileA(JoinPath(folder, "*.*").c_str(), &frame.data));
    if (frame.find) frames.push_back(std::move(frame));
    return true;
}

void TSearchFolders::ExamineEntry(const std::string& folder, const char* name, std::size_t nameLength,
                                  const void* findData) {
    const WIN32_FIND_DATAA& d = *static_cast<const WIN32_FIND_DATAA*>(findData);
    const DWORD attr = d.dwFileAttributes;
    if ((attr & FILE_ATTRIBUTE_HIDDEN) && !ScanHideFile) return;
    if ((attr & FILE_ATTRIBUTE_READONLY) && !ScanReadFile) return;
    if ((attr & FILE_ATTRIBUTE_SYSTEM) && !ScanSystemFile) return;
    if (!MatchesAny(masks_, name, nameLength)) return;
    if (Ignore && !Ignore->Empty() && Ignore->IgnoresFile(JoinPath(folder, std::string(name, nameLength)))) {
        ++countIgnored_;
        return;
    }

    if (attr & FILE_ATTRIBUTE_HIDDEN) ++countHide_;
    if (attr & FILE_ATTRIBUTE_READONLY) ++countRead_;
    if (attr & FILE_ATTRIBUTE_SYSTEM) ++countSystem_;
    ++countFiles_;
    const std::int64_t size = (static_cast<std::int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
    sizeOfFiles_ += size;
    if (!UpdateList) return;

    // AddFoundFile
    TFileItem item;
    item.Name.assign(name, nameLength);
    item.ShortName = d.cAlternateFileName;
    item.Path = JoinPath(folder, "");
    item.FileAttrStr = AttrString(attr);
    item.Size = size;
    item.Time = PackedLocalTime(d.ftLastWriteTime);
    item.Checked = 0;
    found_.push_back(item);
    if (OnFindFile) OnFindFile(*this, item.Name, item.Path, item.Size, attr, item.Time, item.FileAttrStr);
}

// The end of one entry: a stop ends the walk; otherwise pending messages are dispatched. False
// when the walk must end.
bool TSearchFolders::AfterEntry(const std::shared_ptr<std::atomic<bool>>& alive) {
    if (stopped_) return false;
    if (Messages) {
        const unsigned long long now = GetTickCount64();
        if (YieldIntervalMs && now - lastYield_ < YieldIntervalMs) return true;
        lastYield_ = now;
        const bool noQuit = ProcessPendingMessages();
        if (!*alive) return false;
        if (!noQuit) stopped_ = true;  // the application is quitting: end as a stop does
    }
    return true;
}

// How it works: the walk is depth-first and visits entries in listing order, descending into a
// folder as soon as its entry has been examined, as a recursive walk would; but the open listings
// live in `frames`, one per level, instead of on the call stack. A frame whose entry in hand was a
// folder finishes that entry (stop test, message dispatch) once the folder's own frame is done.
void TSearchFolders::ScanFolder(const std::string& root) {
    const std::shared_ptr<std::atomic<bool>> alive = alive_;
    std::vector<Frame> frames;
    if (!OpenFolder(root, true, frames)) return;
    while (!frames.empty()) {
        Frame& f = frames.back();
        if (f.resumeAfterChild) {
            f.resumeAfterChild = false;
            if (!AfterEntry(alive)) return;
        }
        if (stopped_) return;
        if (f.haveFirst) {
            f.haveFirst = false;
        } else if (!FindNextFileA(f.find.get(), &f.data)) {
            frames.pop_back();
            continue;
        }
        const WIN32_FIND_DATAA& d = f.data;
        const char* name = d.cFileName;
        std::size_t nameLength = strnlen(d.cFileName, sizeof d.cFileName);
        bool named = true;
        if (nameLength >= kNameMayBeCut) {
            // Neither listed nor entered unless its whole name is known.
            named = WholeName(f.folder, d, fullName_);
            name = fullName_.c_str();
            nameLength = fullName_.size();
        }
        if (named && !IsDotEntry(name)) {
            ExamineEntry(f.folder, name, nameLength, &d);
            if (!*alive) return;
            const bool isFolder = (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            const bool isLink = (d.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            if (DoRecursive && isFolder && !isLink) {
                f.resumeAfterChild = true;
                const std::string child = JoinPath(f.folder, name);  // `f` may move below
                if (!OpenFolder(child, false, frames)) return;
                continue;
            }
        }
        if (!AfterEntry(alive)) return;
    }
}

}  // namespace vsc
