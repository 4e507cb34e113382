#include "repair/Repair.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <map>
#include <set>
#include <vector>

#include "platform/CodePage.h"
#include "platform/Handles.h"
#include "registry/EntryRules.h"
#include "registry/NTReg.h"
#include "repair/BackupFiles.h"
#include "repair/portable/RefusedChanges.h"

namespace vsc {

namespace {

// Whether a registry value is there to be read.
enum class ValueState { Present, Missing, Unreadable };

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
};

// One key of the repair, opened at its first entry and closed after its last one.
struct OpenedKey {
    TNTRegistry Registry;
    bool Tried = false;      // opening was tried, at its first entry
    bool Opened = false;
    bool Missing = false;    // not opened because it is not there
    std::size_t Last = 0;    // the index of its last change
};

// Reads a value of the open key as stored: Present with its type and bytes, or why not.
ValueState ReadStored(const TNTRegistry& registry, const std::string& name, DWORD& type, std::string& raw) {
    if (registry.ReadRawValue(name, type, raw)) return ValueState::Present;
    const ValueState state = StateOfValue(registry, name);
    return state == ValueState::Present ? ValueState::Unreadable : state;
}

// The backup record of what the value holds; false when it cannot be written as backup lines.
bool RecordOf(const std::string& keyPath, const std::string& valueName, DWORD type, const std::string& raw,
              BackupRecord& record) {
    record.KeyPath = keyPath;
    record.ValueName = valueName;
    record.HasType = true;
    record.RegType = type;
    return DataTextOf(type, raw, record.DataText) && CanWriteBackupRecord(record);
}

const char* FailureOf(RepairAction action) {
    switch (action) {
    case RepairAction::DeleteValue: return "the value could not be deleted";
    case RepairAction::ClearValue: return "the value could not be emptied";
    case RepairAction::RecycleFile: return "the file could not be moved to the recycle bin";
    }
    return "";
}

// A finding that still makes the entry the scan's problem: listed, and certain when the scan found
// it certain (a target that can no longer be reached is not taken for gone).
bool StillListed(const TargetCheck& now, const PlannedChange& change) {
    return now.Listed() && (now.Certain() || !change.ScannedCertain);
}

// True while the shortcut is still the problem the scan recorded: the file is there and still a
// shortcut whose target is not found, the target the scan recorded.
bool ShortcutAsScanned(const PlannedChange& change, TTargetProbe& targets) {
    std::string target;
    return StillListed(ShortcutCheck(change.Path, target, targets), change) && target == change.ScannedData;
}

// What the one reading just before a change found.
enum class Reading { AsScanned, Gone, Changed, Unreadable, NoRecord };

// Reads the value of the open key once and judges that reading: AsScanned, with its backup
// record, while the category's rule still finds it broken with the data the scan recorded.
// targets is the repair's one probe.
Reading ReadForChange(const TNTRegistry& registry, const PlannedChange& change, TTargetProbe& targets,
                      BackupRecord& record) {
    DWORD type = REG_NONE;
    std::string raw;
    switch (ReadStored(registry, change.ValueName, type, raw)) {
    case ValueState::Missing: return Reading::Gone;
    case ValueState::Unreadable: return Reading::Unreadable;
    case ValueState::Present: break;
    }
    if (!RecordOf(change.Path, change.ValueName, type, raw, record)) return Reading::NoRecord;
    std::string data;
    return StillListed(StoredEntryCheck(change.Category, change.ValueName, type, raw, data, targets), change) &&
                   data == change.ScannedData
               ? Reading::AsScanned
               : Reading::Changed;
}

// The change itself, on the key the caller opened (no further reading: the value was just read).
// False, with *reason, when it was refused.
bool ChangeValue(TNTRegistry& registry, const PlannedChange& change, std::string& reason) {
    LONG rc;
    if (change.Action == RepairAction::DeleteValue) {
        rc = RegDeleteValueA(registry.OpenHandle(), change.ValueName.c_str());
        if (rc == ERROR_SUCCESS || StateOfValue(registry, change.ValueName) == ValueState::Missing) return true;
    } else {
        static const BYTE kEmpty[1] = {0};
        rc = RegSetValueExA(registry.OpenHandle(), change.ValueName.c_str(), 0, REG_SZ, kEmpty, 1);
        if (rc == ERROR_SUCCESS) return true;
    }
    reason = RefusalReason(static_cast<unsigned long>(rc), FailureOf(change.Action));
    return false;
}

}  // namespace

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
    MoveToRecycleBin(path);  // what counts is whether the file is gone afterwards
    if (PathGone(path)) return true;
    if (reason) *reason = FailureOf(RepairAction::RecycleFile);
    return false;
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

    // Plan: the changes in row order.
    std::vector<PlannedChange> changes;
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
        // A name holding a wildcard cannot be read again exactly: it is refused, not left.
        if (change.Action == RepairAction::RecycleFile && HasWildcard(change.Path)) {
            fail(row, "its name cannot be written in the system's code page");
            continue;
        }
        changes.push_back(std::move(change));
    }
    // Each key is opened at its first entry and stays open until its last one.
    std::map<std::string, OpenedKey> keys;
    for (std::size_t i = 0; i < changes.size(); ++i)
        if (changes[i].Action != RepairAction::RecycleFile) keys[changes[i].Path].Last = i;

    // The backup file is there before the first change, or nothing is changed at all.
    TBackupAppender backup;
    if (!keys.empty()) {
        if (!backup.Create(backupFolder)) {
            RepairResult failed;
            failed.BackupFailed = true;
            return failed;
        }
        result.BackupFile = backup.Path();
    }

    // Apply, in row order. Each value is read once, just before its change; its record goes into
    // the backup file before the change is made. What changed since the scan is left.
    std::vector<std::string> kept;  // the records of the values changed, in row order
    bool anyRecordUndone = false;
    TTargetProbe targets;  // each drive root asked about once for the whole repair
    for (std::size_t index = 0; index < changes.size(); ++index) {
        const PlannedChange& change = changes[index];
        if (change.Action == RepairAction::RecycleFile) {
            std::string reason;
            if (!ShortcutAsScanned(change, targets))
                leave(change.Row);
            else if (RecycleShortcutFile(change.Path, &reason))
                ++result.Repaired;
            else
                fail(change.Row, reason.empty() ? FailureOf(change.Action) : reason);
            continue;
        }
        OpenedKey& key = keys.find(change.Path)->second;
        if (!key.Tried) {
            key.Tried = true;
            key.Opened = OpenKeyPath(change.Path, key.Registry, false);
            key.Missing = !key.Opened && KeyMissing(change.Path);
        }
        BackupRecord record;
        const Reading reading = key.Opened ? ReadForChange(key.Registry, change, targets, record)
                                           : (key.Missing ? Reading::Gone : Reading::Unreadable);
        std::string text, reason;
        if (reading == Reading::AsScanned) {
            record.Category = lists.CategoryList[change.Row];
            AppendBackupRecord(text, record);
        }
        switch (reading) {
        case Reading::Gone:
        case Reading::Changed: leave(change.Row); break;
        case Reading::Unreadable: fail(change.Row, "the value cannot be read"); break;
        case Reading::NoRecord: fail(change.Row, "the value's data cannot be kept in a backup file"); break;
        case Reading::AsScanned:
            if (!backup.Append(text)) {
                fail(change.Row, "the backup file could not be written");
            } else if (ChangeValue(key.Registry, change, reason)) {
                ++result.Repaired;
                kept.push_back(std::move(text));
            } else {
                fail(change.Row, reason);
                anyRecordUndone = true;
            }
            break;
        }
        if (index == key.Last) key.Registry.ReleaseKey();
    }
    const bool flushed = backup.Finish();

    std::sort(result.ChangedSinceScanRows.begin(), result.ChangedSinceScanRows.end());
    std::stable_sort(result.Failures.begin(), result.Failures.end(),
                     [](const RepairFailure& a, const RepairFailure& b) { return a.Row < b.Row; });

    // Keep in the backup only what was changed. Should the rewrite fail, the fuller file stays:
    // restoring an entry whose change was refused writes back what is still there. A file whose
    // flush failed is written again the same way (flushed before it takes the old one's place).
    if (!result.BackupFile.empty() && kept.empty()) {
        if (DeleteFileA(result.BackupFile.c_str())) result.BackupFile.clear();
    } else if (anyRecordUndone || !flushed) {
        std::string contents;
        for (const std::string& record : kept) contents += record;
        const bool rewritten = ReplaceFileContents(result.BackupFile, contents);
        result.BackupNotOnDisk = !flushed && !rewritten;
    }
    return result;
}

}  // namespace vsc
