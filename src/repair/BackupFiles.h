// The backup folder and its files: listing, numbering, and writing a new file record by record
// (with the file helpers of platform/Files.h).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/Handles.h"
#include "platform/Paths.h"

namespace vsc {

// Appends the names (without folder) of the files directly inside the folder whose extension,
// upper-cased, is ".TXT", in the order of the directory search. Sub-folders are skipped. A folder
// that does not exist adds nothing.
void ListBackupFiles(const std::string& folder, std::vector<std::string>& names);

// The name, without folder, that the next backup file in the folder gets: "regbackup1.txt" in an
// empty or missing folder, otherwise one more than the largest number of the listed names.
std::string NextBackupFileName(const std::string& folder);

// A new backup file written record by record, each record before the change it keeps: the file has
// its final name from the start, so that a repair cut short leaves a backup of what it changed.
// Appended bytes go straight to the file (the system's file cache, where other processes see them
// and a crash of this program cannot lose them); Finish flushes them to disk.
class TBackupAppender {
public:
    TBackupAppender() = default;
    TBackupAppender(const TBackupAppender&) = delete;
    TBackupAppender& operator=(const TBackupAppender&) = delete;

    // Creates the next backup file of the folder, empty (the folder is created when missing). False
    // when it cannot be created; nothing is then left behind.
    bool Create(const std::string& folder);
    // Appends the bytes. False when they could not all be written: the file is then cut back to
    // what it held before, and every later Append fails too.
    bool Append(const std::string& bytes);
    // Flushes the file to disk and closes it. False when the flush failed.
    bool Finish();

    const std::string& Path() const { return path_; }
    bool Empty() const { return size_ == 0; }

private:
    UniqueFile file_;
    std::string path_;
    long long size_ = 0;
    bool broken_ = false;
};

// Reads a backup file as text in the process code page, in which backups are written. A file that
// is not valid UTF-8 was written in the system's legacy ANSI code page (by an older version, or
// where the process code page is that one) and is read in it. False as ReadWholeFile.
bool ReadBackupFile(const std::string& path, std::string& text);

}  // namespace vsc
