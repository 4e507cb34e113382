// The repair engine: repairs the checked problems of a scan, with the backup written first.
//
// How it works. RepairProblems goes once over the checked rows, in ascending order. Each key is
// opened at its first entry and stays open until its last one, so it is opened once for all of them.
//  1. Before the first change, the backup file is created, empty, under its final name (folder
//     created when missing). If that fails nothing at all is changed.
//  2. Each value is read once, just before its change, and judged by its category's rule
//     (EntryRules) on that reading. An entry that is gone, holds other data than the scan recorded,
//     or whose file (or shortcut target) exists again is left as it is and counted apart. A problem
//     the scan found certain must still be certain: one whose target cannot be reached now is left
//     too; a problem that was not certain (which only a user's tick brings here) is repaired while
//     its target is still not found. A value that cannot be read, or whose name or data cannot be
//     written as backup lines, is a failure and stays unchanged.
//  3. The backup record of that same reading is appended to the file, and only then is the value
//     deleted (categories 4 to 8) or emptied (the other registry categories). Broken shortcut files
//     (category 14 and above) are moved to the recycle bin. Whatever did not take effect is counted
//     as a failure.
//  4. At the end the file is flushed to disk. If a change was refused after its record went in, the
//     file is rewritten without that record; a file that holds no record is removed. Should the
//     flush fail, the file is written again, flushed, in its place; should that fail too, the result
//     says so (BackupNotOnDisk).
// So the backup holds what each value held when it was changed, and nothing else; each record is in
// the file (where a crash of the program cannot take it) before its change, and a repair cut short
// leaves a backup of exactly the changes made, at most with the record of the one in hand.
// Runs on the calling thread; no message is shown here (see the window's repair handler).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "registry/RegScanThread.h"
#include "repair/portable/BackupFormat.h"

namespace vsc {

// What each category's problems get (RepairAction) is in the category table: ActionOfCategory.

// Deletes the named value of the key path (the key is never created). True when the value is gone
// afterwards: deleted now, already missing, or its key does not exist. False when the deletion was
// refused or the key could not be opened although it exists; *reason (when given) then says why in
// words ("access denied").
bool DeleteRegValue(const std::string& keyPath, const std::string& valueName, std::string* reason = nullptr);

// Replaces the named value's data by an empty REG_SZ. A value or key that does not exist is left
// missing (nothing is created) and counts as done. False when the write was refused or the key
// could not be opened although it exists, with *reason as for DeleteRegValue.
bool ClearRegValue(const std::string& keyPath, const std::string& valueName, std::string* reason = nullptr);

// Moves a file to the recycle bin through the shell (undoable). True only when the file has left
// its folder; a folder at the path is left alone (false). A path holding a wildcard ('?', '*') or
// too long for the 8-bit calls is never handed to the shell (false). When it returns false and
// reason is given, *reason says why.
bool RecycleShortcutFile(const std::string& path, std::string* reason = nullptr);

// A checked problem left as it was: its row and why.
struct RepairFailure {
    std::size_t Row = 0;
    std::string Reason;
};

struct RepairResult {
    bool NothingChecked = false;  // no checked row: nothing was done
    bool BackupFailed = false;    // the backup could not be written: nothing was changed
    int Repaired = 0;             // values changed, files moved to the recycle bin
    int Failed = 0;               // checked problems left as they were, because a change failed
    // Checked problems left as they are because they changed since the scan: the value or the
    // shortcut is gone, holds other data, or the file it names exists again. Rows in order.
    int ChangedSinceScan = 0;
    std::vector<std::size_t> ChangedSinceScanRows;
    std::vector<RepairFailure> Failures;  // one per failed problem, in row order
    std::string BackupFile;       // full path of the backup file written, "" when none
    // The backup file holds records of changes made, but could not be flushed to disk, nor written
    // again flushed: its records are in the system's file cache only, and a power cut could lose them.
    bool BackupNotOnDisk = false;
};

// Repairs the problems at the given positions of the lists (positions outside the lists and
// repeated positions are ignored). backupFolder is where the backup file goes: the program passes
// ProgramBackupFolder().
RepairResult RepairProblems(const ScanResultLists& lists, const std::vector<std::size_t>& checkedRows,
                            const std::string& backupFolder);

}  // namespace vsc
