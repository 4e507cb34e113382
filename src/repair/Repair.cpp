#include "repair/Repair.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <set>
#include <vector>

#include "platform/Handles.h"
#include "registry/CodePage.h"
#include "registry/EntryRules.h"
#include "registry/NTReg.h"
#include "repair/BackupFiles.h"
#include "repair/portable/RefusedChanges.h"

namespace vsc {

namespace {

// True only when the registry reports the key as not there (not merely as closed to us); when it
// is there but does not open, *reason (when given) says why.
bool KeyMissing(const std::string& keyPath, std::string* reason = nullptr) {
    const HKEY root = RootKeyHandle(keyPath);
    if (!root) return false;
    std::string subKey = SplitKeyPath(keyPath).subKey;
    if (!subKey.empty() && subKey[0] == '\\') subKey.erase(0, 1);
    UniqueKey key;
    const LONG rc = RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE, key.put());
    if (rc == ERROR_SUCCESS) return false;
    if (rc != ERROR_FILE_NOT_FOUND && reason) *reason = RefusalReason(static_cast<unsigned long>(rc), "the key cannot be opened");
    return rc == ERROR_FILE_NOT_FOUND;
}

// True when the key lists a value under this 8-bit name although asking for that name finds none:
// the name came back from the code page with a '?' for a character it cannot show, so the value is
// still there but out of reach of 8-bit calls.
bool ListedButUnreachable(HKEY key, const std::string& name) {
    if (name.find('?') == std::string::npos) return false;
    std::vector<char> buffer(32768);
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(buffer.size());
        const LONG rc = RegEnumValueA(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_MORE_DATA) continue;
        if (rc != ERROR_SUCCESS) return false;  // the end of the list, or a list that cannot be read
        if (name.compare(0, std::string::npos, buffer.data(), length) == 0) return true;
    }
}

ValueState StateOfValue(const TNTRegistry& registry, const std::string& name) {
    const LONG rc = RegQueryValueExA(registry.OpenHandle(), name.c_str(), nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS) return ValueState::Present;
    if (rc != ERROR_FILE_NOT_FOUND) return ValueState::Unreadable;
    return ListedButUnreachable(registry.OpenHandle(), name) ? ValueState::Unreadable : ValueState::Missing;
}

// The data line of a backup record for raw registry data of a type; false when it has no line form.
bool DataTextOf(DWORD type, const std::string& raw, std::string& text) {
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        // Text stored past the first zero byte could not be brought back from a text line.
        const std::size_t end = raw.find('\0');
        if (end != std::string::npos && raw.find_first_not_of('\0', end) != std::string::npos) return false;
        text = raw.substr(0, end);
        return true;
    }
    case REG_DWORD: {
        if (raw.size() != sizeof(std::int32_t)) return false;
        std::int32_t value;
        std::memcpy(&value, raw.data(), sizeof value);
        text = std::to_string(value);
        return true;
    }
    default:
        text = BytesToHex(raw);
        return true;
    }
}

// "1".."14" and the like: decimal digits only, no sign, no blanks.
bool ParseCategory(const std::string& text, int& category) {
    if (text.empty() || text.size() > 9) return false;
    category = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        category = category * 10 + (c - '0');
    }
    return true;
}

struct PlannedChange {
    std::size_t Row;
    RepairAction Action;
    std::string Path;        // key path, or the file's full path
    std::string ValueName;
    int Category = 0;
    std::string ScannedData;  // the data the scan recorded
    bool ScannedCertain = true;  // the scan found the target certainly missing
    bool HasRecord = false;   // index into the records when true
    std::size_t Record = 0;
};

// True while the entry is still the problem the scan recorded: the value (or shortcut) is there,
// the category's rule still finds its file missing, and the data it records is the scan's.
// A problem the scan found certain must still be certain: a target that can no longer be reached
// is not taken for gone.
bool StillAsScanned(const PlannedChange& change) {
    std::string data;
    TargetCheck now;
    if (change.Action == RepairAction::RecycleFile)
        return ShortcutStillBroken(change.Path, data, &now) && data == change.ScannedData &&
               (now.Certain() || !change.ScannedCertain);
    TNTRegistry registry;
    return OpenKeyPath(change.Path, registry, false) &&
           EntryStillBroken(change.Category, registry, change.ValueName, data, &now) && data == change.ScannedData &&
           (now.Certain() || !change.ScannedCertain);
}

// True when the value still holds what its backup record keeps.
bool SameAsRecord(const BackupRecord& record) {
    BackupRecord now;
    bool representable = false;
    return ReadValueForBackup(record.KeyPath, record.ValueName, now, representable) == ValueState::Present &&
           representable && now.RegType == record.RegType && now.DataText == record.DataText;
}

std::string BackupText(const std::vector<BackupRecord>& records, const std::vector<bool>& keep) {
    std::string text;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (keep[i]) AppendBackupRecord(text, records[i]);
    return text;
}

const char* FailureOf(RepairAction action) {
    switch (action) {
    case RepairAction::DeleteValue: return "the value could not be deleted";
    case RepairAction::ClearValue: return "the value could not be emptied";
    case RepairAction::RecycleFile: return "the file could not be moved to the recycle bin";
    }
    return "";
}

}  // namespace

RepairAction ActionOfCategory(int category) {
    if (category >= 14) return RepairAction::RecycleFile;
    if (category >= 4 && category <= 8) return RepairAction::DeleteValue;
    return RepairAction::ClearValue;
}

bool DeleteRegValue(const std::string& keyPath, const std::string& valueName, std::string* reason) {
    TNTRegistry registry;
    if (!OpenKeyPath(keyPath, registry, false)) return KeyMissing(keyPath, reason);
    const LONG rc = RegDeleteValueA(registry.OpenHandle(), valueName.c_str());
    if (rc == ERROR_SUCCESS || StateOfValue(registry, valueName) == ValueState::Missing) return true;
    if (reason) *reason = RefusalReason(static_cast<unsigned long>(rc), FailureOf(RepairAction::DeleteValue));
    return false;
}

bool ClearRegValue(const std::string& keyPath, const std::string& valueName, std::string* reason) {
    TNTRegistry registry;
    if (!OpenKeyPath(keyPath, registry, false)) return KeyMissing(keyPath, reason);
    switch (StateOfValue(registry, valueName)) {
    case ValueState::Missing: return true;
    case ValueState::Unreadable:
        if (reason) *reason = "the value cannot be read";
        return false;
    case ValueState::Present: break;
    }
    static const BYTE kEmpty[1] = {0};
    const LONG rc = RegSetValueExA(registry.OpenHandle(), valueName.c_str(), 0, REG_SZ, kEmpty, 1);
    if (rc == ERROR_SUCCESS) return true;
    if (reason) *reason = RefusalReason(static_cast<unsigned long>(rc), FailureOf(RepairAction::ClearValue));
    return false;
}

bool RecycleShortcutFile(const std::string& path, std::string* reason) {
    // The shell reads '?' and '*' as wildcards: such a path would name every file they match.
    if (HasWildcard(path)) {
        if (reason) *reason = "its name cannot be written in the system's code page";
        return false;
    }
    if (!FitsAnsiPath(path)) {
        if (reason) *reason = "its path is too long for the 8-bit calls";
        return false;
    }
    // Only a file: a folder that has taken the shortcut's name is never sent away with its contents.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return PathGone(path);
    std::string from = path;
    from.push_back('\0');  // the list of names ends with an empty one
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    SHFileOperationA(&op);
    if (PathGone(path)) return true;
    if (reason) *reason = FailureOf(RepairAction::RecycleFile);
    return false;
}

ValueState ReadValueForBackup(const std::string& keyPath, const std::string& valueName, BackupRecord& record,
                              bool& representable) {
    representable = false;
    TNTRegistry registry;
    if (!OpenKeyPath(keyPath, registry, false))
        return KeyMissing(keyPath) ? ValueState::Missing : ValueState::Unreadable;
    const ValueState state = StateOfValue(registry, valueName);
    if (state != ValueState::Present) return state;
    DWORD type = REG_NONE;
    std::string raw;
    if (!registry.ReadRawValue(valueName, type, raw)) return ValueState::Unreadable;
    record.KeyPath = keyPath;
    record.ValueName = valueName;
    record.HasType = true;
    record.RegType = type;
    representable = DataTextOf(type, raw, record.DataText) && CanWriteBackupRecord(record);
    return ValueState::Present;
}

RepairResult RepairProblems(const ScanResultLists& lists, const std::vector<std::size_t>& checkedRows,
                            const std::string& backupFolder) {
    RepairResult result;
    const std::size_t count = std::min({lists.KeyPathList.size(), lists.ValueNameList.size(),
                                        lists.ValueDataList.size(), lists.CategoryList.size()});
    std::set<std::size_t> rows;
    for (std::size_t row : checkedRows)
        if (row < count) rows.insert(row);
    if (rows.empty()) {
        result.NothingChecked = true;
        return result;
    }
    auto fail = [&result](std::size_t row, std::string reason) {
        ++result.Failed;
        result.Failures.push_back({row, std::move(reason)});
    };

    // An entry that is gone, holds other data than the scan recorded, or whose file is there again
    // is left as it is, and counted apart.
    auto leave = [&result](std::size_t row) {
        ++result.ChangedSinceScan;
        result.ChangedSinceScanRows.push_back(row);
    };

    // Plan, reading every value before anything changes.
    std::vector<PlannedChange> changes;
    std::vector<BackupRecord> records;
    for (std::size_t row : rows) {
        int category = 0;
        if (!ParseCategory(lists.CategoryList[row], category)) {
            fail(row, "its category is not a number");
            continue;
        }
        PlannedChange change{row, ActionOfCategory(category), lists.KeyPathList[row], lists.ValueNameList[row]};
        change.Category = category;
        change.ScannedData = lists.ValueDataList[row];
        change.ScannedCertain = lists.Certain(row);
        if (change.Action == RepairAction::RecycleFile) {
            // A name holding a wildcard cannot be read again exactly: it is refused, not left.
            if (HasWildcard(change.Path)) {
                fail(row, "its name cannot be written in the system's code page");
                continue;
            }
            if (!StillAsScanned(change)) {
                leave(row);
                continue;
            }
        }
        if (change.Action != RepairAction::RecycleFile) {
            BackupRecord record;
            bool representable = false;
            const ValueState state = ReadValueForBackup(change.Path, change.ValueName, record, representable);
            if (state == ValueState::Missing) {
                leave(row);
                continue;
            }
            if (state == ValueState::Unreadable) {
                fail(row, "the value cannot be read");
                continue;
            }
            if (!representable) {
                fail(row, "the value's data cannot be kept in a backup file");
                continue;
            }
            if (!StillAsScanned(change)) {
                leave(row);
                continue;
            }
            record.Category = lists.CategoryList[row];
            change.HasRecord = true;
            change.Record = records.size();
            records.push_back(std::move(record));
        }
        changes.push_back(std::move(change));
    }

    // The backup, whole, before the first change.
    std::vector<bool> changed(records.size(), true);
    if (!records.empty()) {
        result.BackupFile = WriteNewBackupFile(backupFolder, BackupText(records, changed));
        if (result.BackupFile.empty()) {
            RepairResult failed;
            failed.BackupFailed = true;
            return failed;
        }
    }

    // Apply.
    bool anyRecordFailed = false;
    for (const PlannedChange& change : changes) {
        // Read again just before the change: what changed meanwhile is left, and its record goes.
        if (!StillAsScanned(change) || (change.HasRecord && !SameAsRecord(records[change.Record]))) {
            leave(change.Row);
            if (change.HasRecord) {
                changed[change.Record] = false;
                anyRecordFailed = true;
            }
            continue;
        }
        bool done = false;
        std::string reason;
        switch (change.Action) {
        case RepairAction::DeleteValue: done = DeleteRegValue(change.Path, change.ValueName, &reason); break;
        case RepairAction::ClearValue: done = ClearRegValue(change.Path, change.ValueName, &reason); break;
        case RepairAction::RecycleFile:
            done = RecycleShortcutFile(change.Path, &reason);
            break;
        }
        if (done) {
            ++result.Repaired;
        } else {
            fail(change.Row, reason.empty() ? FailureOf(change.Action) : reason);
            if (change.HasRecord) {
                changed[change.Record] = false;
                anyRecordFailed = true;
            }
        }
    }

    std::sort(result.ChangedSinceScanRows.begin(), result.ChangedSinceScanRows.end());
    std::stable_sort(result.Failures.begin(), result.Failures.end(),
                     [](const RepairFailure& a, const RepairFailure& b) { return a.Row < b.Row; });

    // Keep in the backup only what was changed. Should the rewrite fail, the fuller file stays:
    // restoring an entry that was never changed writes back what is already there.
    if (anyRecordFailed) {
        if (std::find(changed.begin(), changed.end(), true) == changed.end()) {
            if (DeleteFileA(result.BackupFile.c_str())) result.BackupFile.clear();
        } else {
            ReplaceFileContents(result.BackupFile, BackupText(records, changed));
        }
    }
    return result;
}

}  // namespace vsc
