#include "diskclean/JunkFileClean.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/CodePage.h"
#include "platform/Files.h"
#include "platform/Handles.h"
#include "settings/IgnoreListStore.h"
#include "settings/portable/FilterList.h"
#include "settings/Settings.h"

namespace vsc {

namespace {

bool IsFolderLink(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// True when the entry is itself a link (junction, symbolic link, mount point; to a file or a
// folder), or a folder that holds a folder link anywhere below it. Links are not followed, so the
// walk ends; it keeps its own list of folders to read rather than recurse.
bool IsOrHoldsLink(const std::string& path) {
    const DWORD top = GetFileAttributesA(path.c_str());
    if (top == INVALID_FILE_ATTRIBUTES) return false;
    if (top & FILE_ATTRIBUTE_REPARSE_POINT) return true;
    if (!(top & FILE_ATTRIBUTE_DIRECTORY)) return false;
    std::vector<std::string> pending{path};
    while (!pending.empty()) {
        const std::string dir = std::move(pending.back());
        pending.pop_back();
        WIN32_FIND_DATAA d;
        UniqueFind find(FindFirstFileA((dir + "\\*").c_str(), &d));
        if (!find) continue;
        do {
            // A name the listing may have cut hides what is below it: count it as a link.
            if (strnlen(d.cFileName, sizeof d.cFileName) >= MAX_PATH - 8) return true;
            const std::string name = d.cFileName;
            if (name == "." || name == "..") continue;
            if (IsFolderLink(d.dwFileAttributes)) return true;
            if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) pending.push_back(dir + "\\" + name);
        } while (FindNextFileA(find.get(), &d));
    }
    return false;
}

// The system's text for an error code, on one line ("error N" when it has none).
std::string SystemErrorText(DWORD code) {
    UniqueLocal<char> text;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<char*>(text.put()), 0, nullptr);
    std::string message = n && text ? std::string(text.get(), n) : std::string();
    while (!message.empty() && static_cast<unsigned char>(message.back()) <= ' ') message.pop_back();
    for (char& c : message)
        if (c == '\r' || c == '\n') c = ' ';
    return message.empty() ? "error " + std::to_string(code) : message;
}

}  // namespace

std::string ConfigureJunkSearch(TSearchFolders& search, const std::string& iniFileName, const std::string& drives) {
    search.FileMask = FilterMaskList(ReadIniString("FileFilters", "UserExp", "", iniFileName));
    search.ScanDir = drives;
    const DiskOptions options = ReadDiskOptions(iniFileName);
    search.ScanHideFile = StrToBool(options.HideFile);
    search.ScanReadFile = StrToBool(options.ReadFile);
    search.ScanSystemFile = StrToBool(options.SystemFile);
    search.ScanOptions = soDriveList;
    search.Ignore = LoadIgnoreList(iniFileName);
    return options.DleteTo;
}

std::string ExactEntryPath(const TFileItem& record, std::string* reason) {
    auto refuse = [reason](const char* why) {
        if (reason) *reason = why;
        return std::string();
    };
    const std::string full = record.Path + record.Name;
    if (HasWildcard(record.Path)) return refuse("its folder's name cannot be written in the system's code page");
    const bool lossy = HasWildcard(record.Name);
    if (!lossy && FitsAnsiPath(full)) return full;
    const char* const why = lossy ? "its name cannot be written in the system's code page and it has no short name"
                                  : "its path is too long for the 8-bit calls and it has no short name";
    if (record.ShortName.empty() || HasWildcard(record.ShortName)) return refuse(why);
    std::string path = record.Path + record.ShortName;
    if (!FitsAnsiPath(path)) {
        // The folder by its own short name (it holds no wildcard, so exactly this folder answers).
        char folder[MAX_PATH];
        const DWORD n = FitsAnsiPath(record.Path) ? GetShortPathNameA(record.Path.c_str(), folder, sizeof folder) : 0;
        if (n == 0 || n >= sizeof folder) return refuse("its path is too long for the 8-bit calls");
        path = std::string(folder, n);
        if (path.back() != '\\') path.push_back('\\');
        path += record.ShortName;
        if (!FitsAnsiPath(path)) return refuse("its path is too long for the 8-bit calls");
    }
    return path;
}

bool RemoveFoundEntry(const TFileItem& record, bool toRecycleBin, std::string* reason) {
    const bool isFolder = record.FileAttrStr.size() > 1 && record.FileAttrStr[1] == 'D';
    auto refuse = [reason](std::string why) {
        if (reason) *reason = std::move(why);
        return false;
    };
    const std::string path = ExactEntryPath(record, reason);
    if (path.empty()) return false;
    if (toRecycleBin) {
        // The recycle bin may take what a link points at rather than the link (Wine's moves the
        // target), and where a volume has no bin the shell deletes a folder for good, walking
        // into the folder links it meets. So a link, or a folder that holds a folder link, is
        // left alone; what is on disk at this moment counts, not what the scan saw. (The
        // permanent delete of a file link removes the link only. Wine marks only links to
        // folders as links, so there a link to a file still reaches the bin.)
        if (IsOrHoldsLink(path)) return refuse("a link, or a folder holding a link, is not moved to the recycle bin");
        if (!MoveToRecycleBin(path))
            return refuse(GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES ? "already gone"
                                                                                      : "the recycle bin did not take it");
    } else {
        if (isFolder) return refuse("a folder is not deleted permanently");
        if (!DeleteFileA(path.c_str())) return refuse(SystemErrorText(GetLastError()));
    }
    // The shell can report success for an entry it did not move (gone already, or refused
    // quietly); count only what is really gone.
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return refuse("it is still there");
    return true;
}

std::string FileSizeColumn(const TFileItem& record) { return std::to_string(record.Size); }

std::string FileDateColumn(std::uint32_t packedTime) {
    FILETIME local;
    SYSTEMTIME date;
    if (!DosDateTimeToFileTime(static_cast<WORD>(packedTime >> 16), static_cast<WORD>(packedTime & 0xFFFF), &local) ||
        !FileTimeToSystemTime(&local, &date))
        return std::string();
    char text[64];
    const int n = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, text, sizeof text);
    return n > 0 ? std::string(text) : std::string();
}

CleanOutcome CleanFoundFiles(std::vector<TFileItem>& files, bool toRecycleBin, const CleanHooks& hooks) {
    CleanOutcome outcome;
    const std::size_t count = files.size();
    for (std::size_t i = 0; i < count; ++i) {
        try {
            if (i < files.size() && files[i].Checked == 1) {
                if (hooks.Stopped && hooks.Stopped()) break;
                std::string reason;
                if (RemoveFoundEntry(files[i], toRecycleBin, &reason))
                    ++outcome.Cleaned;
                else
                    outcome.Failures.push_back({files[i].Name, files[i].Path, reason});
                if (hooks.Tried) hooks.Tried(i);
            }
            if (hooks.Between && !hooks.Between()) break;
        } catch (const std::exception& e) {
            if (!hooks.Error) throw;
            hooks.Error(e);
        }
    }
    return outcome;
}

}  // namespace vsc
