#include "repair/Restore.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <map>
#include <vector>

#include "platform/portable/Text.h"
#include "registry/NTReg.h"
#include "repair/BackupFiles.h"

namespace vsc {

namespace {

void WriteDword(TNTRegistry& registry, const std::string& name, const std::string& text) {
    const auto number = ParseDwordText(text);
    if (!number) throw ERegistryException("");
    const std::uint32_t value = *number;
    registry.WriteRawType(name, &value, sizeof value, REG_DWORD);
}

void WriteTyped(TNTRegistry& registry, const BackupRecord& record) {
    switch (record.RegType) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        registry.WriteRawType(record.ValueName, record.DataText.c_str(),
                              static_cast<DWORD>(record.DataText.size() + 1), record.RegType);
        break;
    case REG_DWORD: WriteDword(registry, record.ValueName, record.DataText); break;
    default: {
        const auto bytes = HexToBytes(record.DataText);
        if (!bytes) throw ERegistryException("");
        registry.WriteRawType(record.ValueName, bytes->data(), static_cast<DWORD>(bytes->size()), record.RegType);
    }
    }
}

// False when the record's data text cannot be turned into data of the type it is written as.
bool DataFitsType(const BackupRecord& record) {
    if (record.HasType) {
        if (record.RegType == REG_SZ || record.RegType == REG_EXPAND_SZ) return true;
        if (record.RegType == REG_DWORD) return ParseDwordText(record.DataText).has_value();
        return HexToBytes(record.DataText).has_value();
    }
    return Trim(record.Category) != "6" || ParseDwordText(record.DataText).has_value();
}

// Writes one record into the key that registry holds open for its key path. False, with *reason
// set, when the data does not fit its type or the write is refused.
bool WriteRecord(TNTRegistry& registry, const BackupRecord& record, std::string& reason) {
    if (!DataFitsType(record)) {
        reason = "the data does not fit the value's type";
        return false;
    }
    try {
        if (record.HasType)
            WriteTyped(registry, record);
        else if (Trim(record.Category) == "6")
            WriteDword(registry, record.ValueName, record.DataText);
        else
            registry.WriteText(record.ValueName, record.DataText);
        return true;
    } catch (const std::exception&) {
        reason = "the value could not be written";
        return false;
    }
}

const char* const kKeyNotOpened = "the key cannot be opened or created";

}  // namespace

bool RestoreEntry(const BackupRecord& record, std::string* reason) {
    TNTRegistry registry;
    std::string why = kKeyNotOpened;
    // The key is opened (created when missing) before the data is looked at.
    const bool done = OpenKeyPath(Trim(record.KeyPath), registry, true) && WriteRecord(registry, record, why);
    if (!done && reason) *reason = why;
    return done;
}

namespace {

// Writes the records back key by key, in the order of each key's first record, each key opened
// (or created) once for all of its records; a key's records keep their file order, and so do the
// failures.
RestoreResult RestoreContents(const BackupContents& contents) {
    RestoreResult result;
    const std::vector<BackupRecord>& records = contents.Records;
    std::vector<std::string> reasons(records.size());
    std::vector<bool> written(records.size(), false);
    std::map<std::string, std::vector<std::size_t>> ofKey;
    std::vector<std::string> keys;  // in the order of their first record
    for (std::size_t i = 0; i < records.size(); ++i) {
        std::vector<std::size_t>& members = ofKey[Trim(records[i].KeyPath)];
        if (members.empty()) keys.push_back(Trim(records[i].KeyPath));
        members.push_back(i);
    }
    for (const std::string& key : keys) {
        TNTRegistry registry;
        const bool opened = OpenKeyPath(key, registry, true);
        for (std::size_t i : ofKey[key]) {
            if (!opened)
                reasons[i] = kKeyNotOpened;
            else
                written[i] = WriteRecord(registry, records[i], reasons[i]);
        }
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (written[i]) {
            ++result.Restored;
        } else {
            ++result.Failed;
            result.Failures.push_back({records[i], reasons[i]});
        }
    }
    if (contents.Truncated) {
        result.Truncated = true;
        ++result.Failed;
        result.Failures.push_back({BackupRecord{}, "the file ends inside a record"});
    }
    return result;
}

}  // namespace

RestoreResult RestoreBackupFile(const std::string& path) {
    std::string text;
    if (!ReadBackupFile(path, text)) {
        RestoreResult result;
        result.ReadFailed = true;
        return result;
    }
    return RestoreContents(ReadBackupRecords(text));
}

BackupRestoreOutcome RestoreAndRetireBackup(const std::string& path) {
    BackupRestoreOutcome outcome;
    std::string text;
    if (!ReadBackupFile(path, text)) {
        outcome.ReadFailed = outcome.Result.ReadFailed = true;
        return outcome;
    }
    const BackupContents contents = ReadBackupRecords(text);
    outcome.Records = static_cast<int>(contents.Records.size()) + (contents.Truncated ? 1 : 0);
    if (outcome.Records == 0) {
        outcome.NoRecords = true;
        return outcome;
    }
    outcome.Result = RestoreContents(contents);
    if (outcome.Result.Succeeded()) outcome.FileRemoved = DeleteFileA(path.c_str()) || PathGone(path);
    return outcome;
}

std::string FormatFileDate(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    FILETIME local;
    SYSTEMTIME t;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftCreationTime, &local) || !FileTimeToSystemTime(&local, &t))
        return std::string();
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d-%d-%d %d:%d:%d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    return buffer;
}

}  // namespace vsc
