// Category 14: shortcut files (.lnk) on a drive whose target no longer exists. Targets are read
// through one TShortcutReader (PublicOpt) per drive, so that the drive's shortcuts share one shell
// link object, and each target is tested once (TTargetProbe::FileOrFolder).
//
// How the folder walk works. The drive is searched depth first: a folder's entries are taken in
// the order the file system lists them, and a sub-folder is searched completely as soon as it is
// met, before the next entry of its parent. The open searches live on an explicit stack, so the
// depth of the folder tree costs no thread stack.
//
// The walk always ends. A folder that is a reparse point (symbolic link, junction, mount point) is
// never entered: on a real system a junction such as a profile's "Application Data" points back
// into its own parent. A folder reached a second time by any other way (identified by its volume
// and file index; under Wine a drive can be a Unix folder holding symbolic links that the file
// system does not mark) is not entered again either.
#include <memory>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/Handles.h"
#include "registry/PublicOpt.h"
#include "registry/ScanContext.h"

namespace vsc {

namespace {

// One folder being searched.
struct FolderLevel {
    explicit FolderLevel(std::string folder)
        : path(std::move(folder)), find(FindFirstFileA((path + "\\*.*").c_str(), &entry)) {}
    std::string path;
    WIN32_FIND_DATAA entry{};  // the entry to examine next (valid while the search is)
    UniqueFind find;
    bool advance = false;      // the entry has been examined; fetch the next before going on
};

bool IsShortcutName(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot != std::string::npos && UpperAscii(name.substr(dot)) == ".LNK";
}

}  // namespace

void ScanShortcuts(ScanContext& scan, const std::string& drive) {
    TShortcutReader reader;  // its shell link object is made at the first shortcut
    TFolderVisits visited;
    std::vector<std::unique_ptr<FolderLevel>> levels;

    // Starts the search of a folder; false when the walk is to end (a stop was requested).
    auto enter = [&](const std::string& folder) {
        scan.WaitWhilePaused();  // a paused worker opens no folder and shows no new one
        auto level = std::make_unique<FolderLevel>(folder);
        if (!level->find.valid()) return true;  // missing, without media, or not to be listed
        scan.Show(folder);
        if (scan.StopRequested()) return false;
        levels.push_back(std::move(level));
        return true;
    };

    visited.FirstVisit(drive);
    if (!enter(drive)) return;

    while (!levels.empty()) {
        FolderLevel& level = *levels.back();
        if (level.advance) {
            if (!FindNextFileA(level.find.get(), &level.entry)) {
                levels.pop_back();
                continue;
            }
        }
        level.advance = true;
        const std::string name = level.entry.cFileName;
        if (name == "." || name == "..") continue;
        const std::string full = level.path + "\\" + name;

        if (level.entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (level.entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
            if (!visited.FirstVisit(full)) continue;
            if (!enter(full)) return;
            continue;
        }

        if (!IsShortcutName(name)) continue;
        scan.WaitWhilePaused();  // nor does it read a shortcut
        const std::string target = reader.Target(full);
        // A '?' marks a target name that did not survive the conversion to the ANSI code page: it
        // cannot be tested (in a folder part it never matches), and the shortcut may well work.
        if (target.empty() || Contains(target, '?')) continue;
        const TargetCheck check = scan.Targets().FileOrFolder(target);
        if (!check.Listed()) continue;
        if (scan.StopRequested()) return;
        scan.RecordIfListed(check, full, "LinkFiles", target);
    }
}

}  // namespace vsc
