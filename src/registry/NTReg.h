// Registry access by textual key paths: every registry read and write of the program goes through
// TNTRegistry and the key-path helpers below. 8-bit ("A") registry functions throughout.
#pragma once

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Handles.h"
#include "registry/portable/KeyPath.h"

namespace vsc {

// Raised by the value operations that cannot complete; the message may be empty.
class ERegistryException : public std::runtime_error {
public:
    explicit ERegistryException(const std::string& message) : std::runtime_error(message) {}
};

// Kind of a value's data.
enum ValueKind { vkUnknown, vkString, vkExpandString, vkInteger, vkBinary };

// REG_SZ or REG_EXPAND_SZ: the kinds a check reads as text.
inline bool IsStringKind(ValueKind kind) { return kind == vkString || kind == vkExpandString; }

ValueKind KindOfRegType(DWORD regType);
DWORD RegTypeOfKind(ValueKind kind);

struct KeyInfo {
    std::uint32_t SubKeyCount = 0;
    std::uint32_t MaxSubKeyNameLength = 0;  // bytes of 8-bit text (3 per character in UTF-8), without the terminating zero
    std::uint32_t ValueCount = 0;
    std::uint32_t MaxValueNameLength = 0;   // bytes of 8-bit text, as above
    std::uint32_t MaxDataLength = 0;        // bytes
    std::uint64_t LastWriteTime = 0;        // file time
};

// One root key and at most one open key below it. Opening tries three access levels in turn
// (all access, read and write, read), so a key the user may only read is still opened, and every
// later write to it fails. One thread at a time.
class TNTRegistry {
public:
    TNTRegistry() = default;  // root HKEY_CURRENT_USER, no key open
    ~TNTRegistry() { ReleaseKey(); }
    TNTRegistry(const TNTRegistry&) = delete;
    TNTRegistry& operator=(const TNTRegistry&) = delete;

    // Closes the open key, if any.
    void ReleaseKey() { open_.reset(); }
    // A different root releases the open key; the same root keeps it.
    void SelectRoot(HKEY root);
    HKEY RootHandle() const { return root_; }
    // The open key's raw handle (null when none is open), for callers that enumerate it directly.
    // Still owned by this object.
    HKEY OpenHandle() const { return open_.get(); }

    // Opens (or with canCreate, creates) the sub-key below the root; one leading backslash is
    // dropped, and an empty path opens the root itself as a handle of its own. On success the new
    // key replaces the open one and true is returned; on failure nothing changes.
    // With openLink (and without canCreate) a registry link is opened as itself, not followed to
    // the key it stands for: IsLinkKey then tells which it is.
    bool OpenSubKey(const std::string& subKey, bool canCreate, bool openLink = false);

    // False (and a zeroed record) when the open key cannot be queried.
    bool QueryKeyInfo(KeyInfo& info) const;
    // Names of the open key's sub-keys / values, in enumeration order. Empty when the key cannot be
    // queried; an entry that can no longer be read at its index is left out.
    void ListSubKeyNames(std::vector<std::string>& names) const;
    void ListValueNames(std::vector<std::string>& names) const;

    // False when the value cannot be queried; kind and size then mean nothing.
    bool QueryValueInfo(const std::string& name, vsc::ValueKind& kind, DWORD& size) const;
    // Data size in bytes, or -1 when the value cannot be queried (for example when it is missing).
    long long ValueSize(const std::string& name) const;
    // vkUnknown when the value cannot be queried.
    vsc::ValueKind ValueKind(const std::string& name) const;

    // The text of a REG_SZ or REG_EXPAND_SZ value, up to its first zero byte, unexpanded. A missing
    // or empty value gives "". Raises "Invalid data type for '<name>'" for any other type.
    std::string ReadText(const std::string& name) const;
    // Writes REG_SZ with its terminating zero. Raises (empty message) when the write fails.
    void WriteText(const std::string& name, const std::string& text);
    // Raises with an empty message for a missing value or more than 4 bytes of data, and
    // "Invalid data type for '<name>'" for data that is not REG_DWORD.
    std::int32_t ReadNumber(const std::string& name) const;
    // Writes REG_DWORD. Raises (empty message) when the write fails.
    void WriteNumber(const std::string& name, std::int32_t value);
    // True when the value was deleted.
    bool RemoveValue(const std::string& name);

    // Reads the value into the buffer; raises (empty message) when the value is missing or larger
    // than the buffer. Returns the kind and the bytes read.
    vsc::ValueKind ReadRaw(const std::string& name, void* buffer, DWORD bufferSize, DWORD& bytesRead) const;
    // Writes the bytes with the registry type of the kind; raises (empty message) on failure.
    void WriteRaw(const std::string& name, const void* data, DWORD size, vsc::ValueKind kind);
    // Writes the bytes with an explicit registry type number; raises (empty message) on failure.
    void WriteRawType(const std::string& name, const void* data, DWORD size, DWORD regType);
    // Reads the value's registry type number and its data exactly as stored. False when the value
    // cannot be read.
    bool ReadRawValue(const std::string& name, DWORD& regType, std::string& data) const;

private:
    void MakeCurrent(HKEY key) { open_.reset(key); }

    HKEY root_ = HKEY_CURRENT_USER;
    UniqueKey open_;
};

// The predefined root handle of the key path's root name, or null for an unknown root name.
HKEY RootKeyHandle(const std::string& keyPath);

// True when the key, opened as itself (OpenSubKey with openLink), is a registry link: a key that
// holds a "SymbolicLinkValue" of type REG_LINK, the NT path of the key it stands for, which
// targetNtPath then receives (in the ANSI code page). info holds the key's counts (QueryKeyInfo): a
// link holds that one value and no sub-key, so any other key costs no further call.
bool IsLinkKey(HKEY key, const KeyInfo& info, std::string* targetNtPath = nullptr);

// Whether the last key of the key path is a registry link (its parent keys are followed as usual).
// False when the key cannot be opened.
bool KeyPathIsLink(const std::string& keyPath, std::string* targetNtPath = nullptr);

// The key path a link's target stands for ("HKEY_LOCAL_MACHINE\...", "HKEY_CURRENT_USER\..." for
// the user running the program, "HKEY_USERS\..." for another), or "" when it names no such key.
std::string KeyPathOfLinkTarget(const std::string& targetNtPath);

// Releases the object's open key, selects the key path's root and opens the sub-key on it.
// False (nothing open) for an unknown root name or a key that cannot be opened or created.
bool OpenKeyPath(const std::string& keyPath, TNTRegistry& registry, bool canCreate);

// True when the process runs with the rights of the Administrators group (under user account
// control: elevated).
bool RunningAsAdministrator();

}  // namespace vsc
