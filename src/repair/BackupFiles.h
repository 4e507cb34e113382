// The backup folder and its files: listing, numbering, and writing a file so that it is either
// complete on disk or not there at all (with the file helpers of platform/Files.h).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/Paths.h"

namespace vsc {

// Appends the names (without folder) of the files directly inside the folder whose extension,
// upper-cased, is ".TXT", in the order of the directory search. Sub-folders are skipped. A folder
// that does not exist adds nothing.
void ListBackupFiles(const std::string& folder, std::vector<std::string>& names);

// The name, without folder, that the next backup file in the folder gets: "regbackup1.txt" in an
// empty or missing folder, otherwise one more than the largest number of the listed names.
std::string NextBackupFileName(const std::string& folder);

// Writes the contents as a new backup file in the folder, which is created when it is missing.
// The bytes go to a temporary name first, are flushed to disk and only then renamed to the next
// backup name, so a backup file is never seen half written and no existing file is replaced.
// Returns the full path of the new file, or "" when anything failed (nothing is left behind).
std::string WriteNewBackupFile(const std::string& folder, const std::string& contents);

// Reads a backup file as text in the process code page, in which backups are written. A file that
// is not valid UTF-8 was written in the system's legacy ANSI code page (by an older version, or
// where the process code page is that one) and is read in it. False as ReadWholeFile.
bool ReadBackupFile(const std::string& path, std::string& text);

}  // namespace vsc
