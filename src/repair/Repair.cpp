#include "repair/Repair.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <map>
#include <memory>
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
    bool HasRecord = false;   // index into the records when true
    std::size_t Record = 0;
    BackupRecord Read;        // what the value held when the plan read it (with HasRecord)
};

// The changes of one key in row order, or one shortcut file alone. The key is opened once, when
// its values are first read, and stays open until its changes are made.
struct ChangeGroup {
    std::string Path;
    std::vector<std::size_t> Changes;  // indices into the planned changes
    std::unique_ptr<TNTRegistry> Key;  // the open key; null for a shortcut
    bool Opened = false;
};

// Groups the changes by key path, each group in the order of its first row, so that a key is
// opened once for all of its entries; shortcut files stay one to a group.
std::vector<ChangeGroup> GroupByKey(const std::vector<PlannedChange>& changes) {
    std::vector<ChangeGroup> groups;
    std::map<std::string, std::size_t> groupOfKey;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const PlannedChange& change = changes[i];
        if (change.Action == RepairAction::RecycleFile) {
            groups.push_back({change.Path, {i}, nullptr});
            continue;
        }
        const auto [at, added] = groupOfKey.emplace(change.Path, groups.size());
        if (added) groups.push_back({change.Path, {}, std::make_unique<TNTRegistry>()});
        groups[at->second].Changes.push_back(i);
    }
    return groups;
}

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

// Just before the change: true while the value of the open key still holds what its backup record
// keeps, and the category's rule still finds it broken, with the data the scan recorded. The value
// is read once here; the rule judges that reading. targets is the repair's one probe.
bool ValueAsPlanned(const TNTRegistry& registry, const PlannedChange& change, TTargetProbe& targets) {
    DWORD type = REG_NONE;
    std::string raw;
    BackupRecord now;
    if (ReadStored(registry, change.ValueName, type, raw) != ValueState::Present ||
        !RecordOf(change.Path, change.ValueName, type, raw, now) || type != change.Read.RegType ||
        now.DataText != change.Read.DataText)
        return false;
    std::string data;
    return StillListed(StoredEntryCheck(change.Category, change.ValueName, type, raw, data, targets), change) &&
           data == change.ScannedData;
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
    std::vector<ChangeGroup> groups = GroupByKey(changes);

    // Every value read once before anything changes, for its backup record; each key is opened
    // once and kept open for its changes. Whether it is still the scan's problem is judged just
    // before its change.
    std::vector<bool> dropped(changes.size(), false);
    for (ChangeGroup& group : groups) {
        if (!group.Key) continue;
        const TNTRegistry& registry = *group.Key;
        const bool opened = group.Opened = OpenKeyPath(group.Path, *group.Key, false);
        const bool keyMissing = !opened && KeyMissing(group.Path);
        for (std::size_t index : group.Changes) {
            PlannedChange& change = changes[index];
            DWORD type = REG_NONE;
            std::string raw;
            const ValueState state = !opened ? (keyMissing ? ValueState::Missing : ValueState::Unreadable)
                                             : ReadStored(registry, change.ValueName, type, raw);
            dropped[index] = true;
            if (state == ValueState::Missing) {
                leave(change.Row);
            } else if (state == ValueState::Unreadable) {
                fail(change.Row, "the value cannot be read");
            } else if (!RecordOf(change.Path, change.ValueName, type, raw, change.Read)) {
                fail(change.Row, "the value's data cannot be kept in a backup file");
            } else {
                change.Read.Category = lists.CategoryList[change.Row];
                change.HasRecord = true;
                dropped[index] = false;
            }
        }
    }
    // The records in row order, as the backup keeps them.
    std::vector<BackupRecord> records;
    for (PlannedChange& change : changes) {
        if (!change.HasRecord) continue;
        change.Record = records.size();
        records.push_back(change.Read);
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

    // Apply. Each entry is read again and judged just before its change: what changed meanwhile (or
    // since the scan) is left, and its record goes.
    bool anyRecordFailed = false;
    TTargetProbe targets;  // each drive root asked about once for the whole repair
    auto unrecord = [&](const PlannedChange& change) {
        if (!change.HasRecord) return;
        changed[change.Record] = false;
        anyRecordFailed = true;
    };
    for (ChangeGroup& group : groups) {
        const PlannedChange& first = changes[group.Changes.front()];
        if (!group.Key) {
            std::string reason;
            if (!ShortcutAsScanned(first, targets))
                leave(first.Row);
            else if (RecycleShortcutFile(first.Path, &reason))
                ++result.Repaired;
            else
                fail(first.Row, reason.empty() ? FailureOf(first.Action) : reason);
            continue;
        }
        TNTRegistry& registry = *group.Key;
        std::string reason;
        for (std::size_t index : group.Changes) {
            if (dropped[index]) continue;
            const PlannedChange& change = changes[index];
            if (!group.Opened || !ValueAsPlanned(registry, change, targets)) {
                leave(change.Row);
                unrecord(change);
            } else if (ChangeValue(registry, change, reason)) {
                ++result.Repaired;
            } else {
                fail(change.Row, reason);
                unrecord(change);
            }
        }
        group.Key.reset();
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
