#include "registry/NTReg.h"

#include <sddl.h>

#include <vector>

#include "platform/Handles.h"

namespace vsc {

ValueKind KindOfRegType(DWORD regType) {
    switch (regType) {
    case REG_SZ: return vkString;
    case REG_EXPAND_SZ: return vkExpandString;
    case REG_BINARY: return vkBinary;
    case REG_DWORD: return vkInteger;
    default: return vkUnknown;
    }
}

DWORD RegTypeOfKind(ValueKind kind) {
    switch (kind) {
    case vkString: return REG_SZ;
    case vkExpandString: return REG_EXPAND_SZ;
    case vkInteger: return REG_DWORD;
    case vkBinary: return REG_BINARY;
    default: return REG_NONE;
    }
}

namespace {

std::string InvalidType(const std::string& name) { return "Invalid data type for '" + name + "'"; }

// The names of the key's sub-keys (subKeys) or of its values (info: its counts), enumerated by
// index with a buffer of the longest name's length + 1 characters. An entry that fails at its index
// (the key changed under us, or the name grew past the reported maximum) is left out.
void ListNames(HKEY key, const KeyInfo& info, bool subKeys, std::vector<std::string>& names) {
    const DWORD count = subKeys ? info.SubKeyCount : info.ValueCount;
    std::vector<char> buffer(static_cast<size_t>(subKeys ? info.MaxSubKeyNameLength : info.MaxValueNameLength) + 1);
    for (DWORD i = 0; i < count; ++i) {
        DWORD length = static_cast<DWORD>(buffer.size());
        buffer[0] = '\0';
        const LONG rc = subKeys ? RegEnumKeyExA(key, i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr)
                                : RegEnumValueA(key, i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) continue;
        if (length > buffer.size()) length = static_cast<DWORD>(buffer.size());
        names.emplace_back(buffer.data(), strnlen(buffer.data(), length));
    }
}

}  // namespace

void TNTRegistry::SelectRoot(HKEY root) {
    if (root == root_) return;
    root_ = root;
    ReleaseKey();
}

bool TNTRegistry::OpenSubKey(const std::string& subKey, bool canCreate, bool openLink) {
    std::string path = subKey;
    if (!path.empty() && path[0] == '\\') path.erase(0, 1);
    if (!root_) return false;

    HKEY key = nullptr;
    bool opened = false;
    if (canCreate && !path.empty()) {
        for (REGSAM access : {static_cast<REGSAM>(KEY_ALL_ACCESS), static_cast<REGSAM>(KEY_READ | KEY_WRITE)}) {
            if (RegCreateKeyExA(root_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                                nullptr) == ERROR_SUCCESS) {
                opened = true;
                break;
            }
        }
    } else {
        for (REGSAM access : {static_cast<REGSAM>(KEY_ALL_ACCESS), static_cast<REGSAM>(KEY_READ | KEY_WRITE),
                              static_cast<REGSAM>(KEY_READ)}) {
            if (RegOpenKeyExA(root_, path.c_str(), openLink ? REG_OPTION_OPEN_LINK : 0, access, &key) ==
                ERROR_SUCCESS) {
                opened = true;
                break;
            }
        }
    }
    if (!opened) return false;
    MakeCurrent(key);
    return true;
}

bool TNTRegistry::QueryKeyInfo(KeyInfo& info) const {
    info = KeyInfo();
    if (!open_) return false;
    DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxData = 0;
    FILETIME written = {};
    if (RegQueryInfoKeyA(open_.get(), nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr, &values,
                         &maxValueName, &maxData, nullptr, &written) != ERROR_SUCCESS)
        return false;
    // The lengths may be given in UTF-16 characters, where the 8-bit names take up to three bytes
    // each in UTF-8 (the process code page) and two in a double-byte code page. The code page is
    // the process's for its life; asking once spares a walk a system call per key.
    static const DWORD bytesPerCharacter = GetACP() == CP_UTF8 ? 3 : GetSystemMetrics(SM_DBCSENABLED) ? 2 : 1;
    maxSubKey *= bytesPerCharacter;
    maxValueName *= bytesPerCharacter;
    info.SubKeyCount = subKeys;
    info.MaxSubKeyNameLength = maxSubKey;
    info.ValueCount = values;
    info.MaxValueNameLength = maxValueName;
    // String data in UTF-16 takes up to half as much again in UTF-8.
    info.MaxDataLength = bytesPerCharacter == 3 ? maxData / 2 * 3 + 3 : maxData;
    info.LastWriteTime = (static_cast<std::uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    return true;
}

void TNTRegistry::ListSubKeyNames(std::vector<std::string>& names) const {
    names.clear();
    KeyInfo info;
    if (QueryKeyInfo(info)) ListNames(open_.get(), info, true, names);
}

void TNTRegistry::ListValueNames(std::vector<std::string>& names) const {
    names.clear();
    KeyInfo info;
    if (QueryKeyInfo(info)) ListNames(open_.get(), info, false, names);
}

bool TNTRegistry::QueryValueInfo(const std::string& name, vsc::ValueKind& kind, DWORD& size) const {
    DWORD type = REG_NONE;
    size = 0;
    if (!open_ || RegQueryValueExA(open_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    kind = KindOfRegType(type);
    return true;
}

long long TNTRegistry::ValueSize(const std::string& name) const {
    vsc::ValueKind kind;
    DWORD size;
    return QueryValueInfo(name, kind, size) ? static_cast<long long>(size) : -1;
}

ValueKind TNTRegistry::ValueKind(const std::string& name) const {
    vsc::ValueKind kind;
    DWORD size;
    return QueryValueInfo(name, kind, size) ? kind : vkUnknown;
}

vsc::ValueKind TNTRegistry::ReadRaw(const std::string& name, void* buffer, DWORD bufferSize, DWORD& bytesRead) const {
    DWORD type = REG_NONE;
    bytesRead = bufferSize;
    if (!open_ || RegQueryValueExA(open_.get(), name.c_str(), nullptr, &type, static_cast<BYTE*>(buffer),
                                   &bytesRead) != ERROR_SUCCESS)
        throw ERegistryException("");
    return KindOfRegType(type);
}

std::string TNTRegistry::ReadText(const std::string& name) const {
    const long long size = ValueSize(name);
    if (size <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(size));
    DWORD read = 0;
    const vsc::ValueKind kind = ReadRaw(name, buffer.data(), static_cast<DWORD>(buffer.size()), read);
    if (kind != vkString && kind != vkExpandString) throw ERegistryException(InvalidType(name));
    if (read > buffer.size()) read = static_cast<DWORD>(buffer.size());
    return std::string(buffer.data(), strnlen(buffer.data(), read));
}

void TNTRegistry::WriteRawType(const std::string& name, const void* data, DWORD size, DWORD regType) {
    if (!open_ || RegSetValueExA(open_.get(), name.c_str(), 0, regType, static_cast<const BYTE*>(data), size) !=
                      ERROR_SUCCESS)
        throw ERegistryException("");
}

void TNTRegistry::WriteRaw(const std::string& name, const void* data, DWORD size, vsc::ValueKind kind) {
    WriteRawType(name, data, size, RegTypeOfKind(kind));
}

void TNTRegistry::WriteText(const std::string& name, const std::string& text) {
    WriteRaw(name, text.c_str(), static_cast<DWORD>(text.size() + 1), vkString);
}

std::int32_t TNTRegistry::ReadNumber(const std::string& name) const {
    std::int32_t value = 0;
    DWORD read = 0;
    if (ReadRaw(name, &value, sizeof value, read) != vkInteger) throw ERegistryException(InvalidType(name));
    return value;
}

void TNTRegistry::WriteNumber(const std::string& name, std::int32_t value) {
    WriteRaw(name, &value, sizeof value, vkInteger);
}

bool TNTRegistry::RemoveValue(const std::string& name) {
    return open_ && RegDeleteValueA(open_.get(), name.c_str()) == ERROR_SUCCESS;
}

bool TNTRegistry::ReadRawValue(const std::string& name, DWORD& regType, std::string& data) const {
    data.clear();
    if (!open_) return false;
    // Most values fit a small buffer and are read by one call; a larger one is measured first.
    char small[512];
    DWORD got = sizeof small;
    const LONG first =
        RegQueryValueExA(open_.get(), name.c_str(), nullptr, &regType, reinterpret_cast<BYTE*>(small), &got);
    if (first == ERROR_SUCCESS) {
        data.assign(small, got < sizeof small ? got : sizeof small);
        return true;
    }
    if (first != ERROR_MORE_DATA) return false;
    // The data may grow between the size query and the read; try again a few times.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        if (RegQueryValueExA(open_.get(), name.c_str(), nullptr, &regType, nullptr, &size) != ERROR_SUCCESS)
            return false;
        std::vector<char> buffer(static_cast<size_t>(size) + 2);
        DWORD read = static_cast<DWORD>(buffer.size());
        const LONG rc = RegQueryValueExA(open_.get(), name.c_str(), nullptr, &regType,
                                         reinterpret_cast<BYTE*>(buffer.data()), &read);
        if (rc == ERROR_MORE_DATA) continue;
        if (rc != ERROR_SUCCESS) return false;
        if (read > buffer.size()) read = static_cast<DWORD>(buffer.size());
        data.assign(buffer.data(), read);
        return true;
    }
    return false;
}

HKEY RootKeyHandle(const std::string& keyPath) {
    const int index = RootKeyIndex(keyPath);
    if (index < 0) return nullptr;
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000000u + index)));
}

bool IsLinkKey(HKEY key, const KeyInfo& info, std::string* targetNtPath) {
    if (!key || info.ValueCount != 1 || info.SubKeyCount != 0) return false;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_LINK)
        return false;
    if (targetNtPath) {
        // The target is UTF-16 text without a terminator.
        std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
        DWORD read = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        targetNtPath->clear();
        if (RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                             &read) == ERROR_SUCCESS) {
            const int length = static_cast<int>(wcsnlen(text.data(), read / sizeof(wchar_t)));
            const int bytes = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
            if (bytes > 0) {
                targetNtPath->resize(static_cast<size_t>(bytes));
                WideCharToMultiByte(CP_ACP, 0, text.data(), length, &(*targetNtPath)[0], bytes, nullptr, nullptr);
            }
        }
    }
    return true;
}

bool KeyPathIsLink(const std::string& keyPath, std::string* targetNtPath) {
    const HKEY root = RootKeyHandle(keyPath);
    if (!root) return false;
    TNTRegistry registry;
    registry.SelectRoot(root);
    KeyInfo info;
    if (!registry.OpenSubKey(SplitKeyPath(keyPath).subKey, false, true) || !registry.QueryKeyInfo(info)) return false;
    return IsLinkKey(registry.OpenHandle(), info, targetNtPath);
}

namespace {

// The SID of the user this process runs as, as text ("S-1-5-21-..."); "" when it cannot be read.
std::string CurrentUserSid() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return std::string();
    const UniqueHandle token(opened);
    std::string text;
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size ? size : 1);
    UniqueLocal<char> sid;
    if (size && GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size) &&
        ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, sid.put()))
        text = sid.get();
    return text;
}

}  // namespace

std::string KeyPathOfLinkTarget(const std::string& targetNtPath) {
    static const std::string sid = CurrentUserSid();
    return KeyPathOfNtPath(targetNtPath, sid);
}

bool OpenKeyPath(const std::string& keyPath, TNTRegistry& registry, bool canCreate) {
    registry.ReleaseKey();
    const HKEY root = RootKeyHandle(keyPath);
    if (!root) return false;
    registry.SelectRoot(root);
    return registry.OpenSubKey(SplitKeyPath(keyPath).subKey, canCreate);
}

bool RunningAsAdministrator() {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  &administrators))
        return false;
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
    FreeSid(administrators);
    return member != FALSE;
}

}  // namespace vsc
