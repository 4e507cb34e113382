// Finding junk files as the settings file says, and removing them one at a time: to the recycle
// bin, or for good.
#pragma once

#include <string>

#include "diskclean/SFolders.h"

namespace vsc {

// Sets a search up as a junk scan of the settings file: its "UserExp" filters, its three attribute
// switches, its ignore list, and one search over the given drive letters. Returns the "DleteTo" text. Throws, before
// anything is searched, on an invalid mask or a switch that is not a boolean (the search's other
// settings may then be partly set).
std::string ConfigureJunkSearch(TSearchFolders& search, const std::string& iniFileName, const std::string& drives);

// Moves the file or folder to the recycle bin with the shell (a folder goes with its contents),
// without confirmation, progress or error boxes. True when the shell reports success. A path that
// holds a wildcard ('?', '*') or does not fit the 8-bit calls is never handed on (false).
bool MoveToRecycleBin(const std::string& path);

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

// The row texts of the results list: "Size(Bytes)" in decimal, and "Time" as the date of the
// packed DOS date-time in the user's short date format ("" when it holds no valid date).
std::string FileSizeColumn(const TFileItem& record);
std::string FileDateColumn(std::uint32_t packedTime);

}  // namespace vsc
