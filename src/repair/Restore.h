// The restore engine: writes the records of a backup file back into the registry.
#pragma once

#include <string>
#include <vector>

#include "repair/portable/BackupFormat.h"

namespace vsc {

// Writes one backup entry back. The key path, with blanks trimmed from both ends, is opened and
// created when missing (with any missing keys above it). With a type line the value gets that
// registry type and the data the record holds (text, decimal number or hexadecimal bytes, as the
// type says); without one, category 6 writes a REG_DWORD from the decimal data text and every other
// category a REG_SZ. The value name and data text are used exactly as read. False when the key
// cannot be opened or created, the data does not fit its type, or the write is refused; *reason
// (when given) then says which.
bool RestoreEntry(const BackupRecord& record, std::string* reason = nullptr);

// An entry that did not go back, and why.
struct RestoreFailure {
    BackupRecord Record;
    std::string Reason;
};

struct RestoreResult {
    bool ReadFailed = false;  // the file could not be read: nothing was written
    bool Truncated = false;   // the last record was cut off (counted as one failure)
    int Restored = 0;
    int Failed = 0;
    std::vector<RestoreFailure> Failures;  // in file order; a cut-off last record comes last

    // Every entry went back and the file was whole: the backup has done its work.
    bool Succeeded() const { return !ReadFailed && Failed == 0; }
};

// Restores every record of a backup file, in file order. A failed entry does not stop the others.
RestoreResult RestoreBackupFile(const std::string& path);

// What restoring a backup file the user chose came to: the one restore of the restore dialog and
// of the console.
struct BackupRestoreOutcome {
    bool ReadFailed = false;  // the file could not be read: nothing was written
    // The file holds no backup record (empty, or not a backup at all): nothing was written and the
    // file is kept, so that a file given by mistake never silently disappears.
    bool NoRecords = false;
    int Records = 0;          // the entries of the file; a cut-off last record counts as one
    RestoreResult Result;     // what went back
    bool FileRemoved = false; // everything went back and the file, having done its work, is gone

    bool Refused() const { return ReadFailed || NoRecords; }
    bool Succeeded() const { return !Refused() && Result.Succeeded(); }
};

// Restores a backup file as RestoreBackupFile does, then deletes it when every entry went back.
// A file that cannot be read or holds no record is refused and left as it is.
BackupRestoreOutcome RestoreAndRetireBackup(const std::string& path);

// The file's creation time in local time as "%d-%d-%d %d:%d:%d" (year, month, day, hour, minute,
// second, no zero padding), for example 2024-3-7 9:5:3. "" when the time cannot be read.
std::string FormatFileDate(const std::string& path);

}  // namespace vsc
