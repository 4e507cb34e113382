// The folder search of disk clean: walks a folder, a drive, a list of drives or every drive,
// matches every entry name against a list of wildcard masks, leaves out hidden, read-only and
// system entries unless told otherwise, counts and records what it finds, and reports progress
// through three events. It runs on the user-interface thread and, when `Messages` is set, lets
// the thread's pending messages be dispatched after every entry, so that a Stop button can end it.
//
// No walk follows a link: a folder that is a reparse point (junction, symbolic link, mount point)
// is matched like any entry but never entered, so a loop of links cannot keep the search going,
// and a starting folder given twice (a drive listed twice) is walked once. The walk keeps its own
// stack of open listings, so deep trees cannot overflow the thread's stack.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/portable/Mask.h"
#include "settings/portable/IgnoreList.h"

namespace vsc {

enum TScanOptions {
    soAllDisks,       // every fixed, network, CD-ROM and RAM drive
    soSpecifiedDisk,  // the drive named by the first two characters of ScanDir ("C:")
    soSpecifiedDir,   // the folder ScanDir
    soDriveList,      // one drive per character of ScanDir ("CDE")
};

// One found entry.
struct TFileItem {
    std::string Name;         // long name, as listed
    std::string ShortName;    // the file system's 8.3 name of the entry, as listed; "" when it has none
    std::string Path;         // the folder holding it, always ending in a backslash
    std::string FileAttrStr;  // "A-H---" and the like
    std::int64_t Size = 0;    // whole size in bytes (0 for folders)
    std::uint32_t Time = 0;   // last write, local time, DOS date (high word) and time (low word); 0 if unrepresentable
    std::int32_t Checked = 0; // 1 = selected for cleaning; the search adds records unchecked
};

class TSearchFolders;

// Raised when a folder is about to be read, with the current counters.
using TOnProcessEvent = std::function<void(TSearchFolders& sender, const std::string& dir, int countFiles,
                                           std::int64_t sizeOfFiles, int countFilesHide, int countFilesRead,
                                           int countFilesSystem)>;
// Raised once when a search ends (also after a stop), with the final counters.
using TOnChangedEvent = std::function<void(TSearchFolders& sender, int countFiles, std::int64_t sizeOfFiles,
                                           int countFilesHide, int countFilesRead, int countFilesSystem)>;
// Raised for each entry added to FoundFiles.
using TOnFindFileEvent = std::function<void(TSearchFolders& sender, const std::string& aName, const std::string& aPath,
                                            std::int64_t aSize, std::uint32_t aAttr, std::uint32_t aTime,
                                            const std::string& fileAttrStr)>;

class TSearchFolders {
public:
    TSearchFolders();
    ~TSearchFolders();
    TSearchFolders(const TSearchFolders&) = delete;
    TSearchFolders& operator=(const TSearchFolders&) = delete;

    // Properties; change them only while no search runs.
    std::string FileMask = "*";     // comma-separated masks
    bool UpdateList = true;         // keep found entries in FoundFiles and raise OnFindFile
    TScanOptions ScanOptions = soAllDisks;
    std::string ScanDir = "C:\\";   // folder, drive or drive letters, by ScanOptions
    bool Messages = true;           // dispatch pending messages after each entry
    // With Messages: the shortest time between two dispatches. Looking at the queue costs a call
    // into the system (a round trip to the server under Wine) that outweighs reading an entry many
    // times over, so the entries between two dispatches only check the clock. A message waits at
    // most this long; 0 dispatches after every entry.
    unsigned YieldIntervalMs = 10;
    bool ScanHideFile = false;      // include hidden entries
    bool ScanReadFile = false;      // include read-only entries
    bool ScanSystemFile = false;    // include system entries
    bool DoRecursive = true;        // descend into sub-folders
    TOnProcessEvent OnProcess;
    TOnChangedEvent OnChanged;
    TOnFindFileEvent OnFindFile;
    // Entries that match a mask but that this list holds (by file, folder or mask) are passed over
    // and only counted (CountIgnored); they are in no other counter. Null ignores nothing.
    std::shared_ptr<const TIgnoreList> Ignore;

    // Runs one complete search with the current properties and returns when it has ended or been
    // stopped, after raising OnChanged. Clears FoundFiles and the counters first. An invalid mask
    // throws EMaskException before any folder is read, and OnChanged is not raised then. A call
    // while a search runs (from one of its own event handlers) does nothing.
    void Search();

    // Asks the running search to end after the entry in hand. Safe from the search's event
    // handlers and from handlers that run while it dispatches messages; without a running search
    // it has no lasting effect, since Search clears the request when it starts.
    void StopSearch() { stopped_ = true; }
    bool SearchStopped() const { return stopped_; }
    bool Searching() const { return searching_; }

    int CountFiles() const { return countFiles_; }
    std::int64_t SizeOfFiles() const { return sizeOfFiles_; }
    int CountFilesHide() const { return countHide_; }
    int CountFilesRead() const { return countRead_; }
    int CountFilesSystem() const { return countSystem_; }
    int CountIgnored() const { return countIgnored_; }

    // The found entries, in the order found. Read and change `Checked` only while no search runs.
    std::vector<TFileItem>& FoundFiles() { return found_; }
    const std::vector<TFileItem>& FoundFiles() const { return found_; }

private:
    struct Frame;

    void ScanFolder(const std::string& root);
    bool OpenFolder(const std::string& folder, bool isRoot, std::vector<Frame>& frames);
    void ExamineEntry(const std::string& folder, const char* name, std::size_t nameLength, const void* findData);
    bool FirstVisit(const std::string& folder);
    bool AfterEntry(const std::shared_ptr<std::atomic<bool>>& alive);

    TMaskList masks_;
    std::vector<TFileItem> found_;
    TFolderVisits visited_;
    std::string fullName_;  // the name of the entry in hand when the listing may have cut it
    int countFiles_ = 0;
    std::int64_t sizeOfFiles_ = 0;
    int countHide_ = 0, countRead_ = 0, countSystem_ = 0, countIgnored_ = 0;
    std::atomic<bool> stopped_{false};
    bool searching_ = false;
    unsigned long long lastYield_ = 0;
    // Cleared by the destructor: a search that finds its owner gone after dispatching messages
    // returns at once without touching the object.
    std::shared_ptr<std::atomic<bool>> alive_;
};

}  // namespace vsc
