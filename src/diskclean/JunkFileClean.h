// Finding junk files as the settings file says, and removing them one at a time: to the recycle
// bin, or for good.
#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "diskclean/SFolders.h"

namespace vsc {

// Sets a search up as a junk scan of the settings file: its "UserExp" filters, its three attribute
// switches, its ignore list, and one search over the given drive letters. Returns the "DleteTo" text. Throws, before
// anything is searched, on an invalid mask or a switch that is not a boolean (the search's other
// settings may then be partly set).
std::string ConfigureJunkSearch(TSearchFolders& search, const std::string& iniFileName, const std::string& drives);

// The path by which the 8-bit calls reach exactly the record's entry and nothing else: its full
// path, or, when its name holds characters the code page lacks (shown as '?') or the full path is
// too long, its folder and short (8.3) name, the folder itself shortened when need be. "" when there
// is no such path; *reason (when given) then says why.
std::string ExactEntryPath(const TFileItem& record, std::string* reason = nullptr);

// Removes one found record's entry: to the recycle bin (toRecycleBin), or for good with the file
// system's delete. The permanent delete never removes a folder: a folder record is refused. Nor is
// a link, or a folder that holds a folder link, handed to the recycle bin, nor is an entry without
// an exact path (ExactEntryPath) touched at all. True only when the entry was removed and is gone
// from its path. When it returns false and reason is given, *reason says why in a few words.
bool RemoveFoundEntry(const TFileItem& record, bool toRecycleBin, std::string* reason = nullptr);

// A found entry that could not be removed, and why.
struct CleanFailure {
    std::string Name, Folder, Reason;
};

// What a cleaning came to: the entries really gone, and those left with their reasons.
struct CleanOutcome {
    int Cleaned = 0;
    std::vector<CleanFailure> Failures;  // in list order
    int Failed() const { return static_cast<int>(Failures.size()); }
};

// How the caller takes part in a cleaning between entries; every hook may be left empty.
struct CleanHooks {
    // Asked before each checked entry is removed: true ends the cleaning there.
    std::function<bool()> Stopped;
    // After each checked entry was tried, with its index.
    std::function<void(std::size_t index)> Tried;
    // After each index, checked or not: false ends the cleaning (the window dispatches its
    // messages here, which may also empty the list).
    std::function<bool()> Between;
    // An error other than a refused removal; the cleaning goes on with the next index. Without
    // this hook the error leaves the cleaning.
    std::function<void(const std::exception& error)> Error;
};

// The one cleaning of the window and the console: removes every record whose Checked is 1, in list
// order, as RemoveFoundEntry does, up to the count the list had at the start (a list emptied
// meanwhile ends it).
CleanOutcome CleanFoundFiles(std::vector<TFileItem>& files, bool toRecycleBin, const CleanHooks& hooks = {});

// The row texts of the results list: "Size(Bytes)" in decimal, and "Time" as the date of the
// packed DOS date-time in the user's short date format ("" when it holds no valid date).
std::string FileSizeColumn(const TFileItem& record);
std::string FileDateColumn(std::uint32_t packedTime);

}  // namespace vsc
