#include "registry/portable/KeyPath.h"

#include "platform/portable/Text.h"

namespace vsc {

const char* const RootKeyNames[kRootKeyCount] = {
    "HKEY_CLASSES_ROOT",     "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA",
};

SplitPath SplitKeyPath(const std::string& keyPath) {
    const auto slash = keyPath.find('\\');
    if (slash == std::string::npos) return {std::string(), keyPath};
    return {keyPath.substr(0, slash), keyPath.substr(slash + 1)};
}

int RootKeyIndex(const std::string& keyPath) {
    const std::string root = SplitKeyPath(keyPath).root;
    for (int i = 0; i < kRootKeyCount; ++i)
        if (root == RootKeyNames[i]) return i;
    return -1;
}

std::uintptr_t RootKeyHandleValue(const std::string& keyPath) {
    const int index = RootKeyIndex(keyPath);
    return index < 0 ? 0 : static_cast<std::uintptr_t>(0x80000000u + static_cast<unsigned>(index));
}

std::string KeyPathOfNtPath(const std::string& ntPath, const std::string& currentUserSid) {
    static const std::string machine = "\\REGISTRY\\MACHINE";
    static const std::string user = "\\REGISTRY\\USER";
    auto below = [&ntPath](const std::string& prefix, std::string& rest) {
        if (!StartsWithNoCaseAscii(ntPath, prefix)) return false;
        if (ntPath.size() == prefix.size()) {
            rest.clear();
            return true;
        }
        if (ntPath[prefix.size()] != '\\') return false;
        rest = ntPath.substr(prefix.size() + 1);
        return true;
    };
    std::string rest;
    if (below(machine, rest)) return "HKEY_LOCAL_MACHINE\\" + rest;
    if (!below(user, rest)) return std::string();
    const std::size_t slash = rest.find('\\');
    const std::string sid = rest.substr(0, slash);
    if (!currentUserSid.empty() && EqualsNoCaseAscii(sid, currentUserSid))
        return "HKEY_CURRENT_USER\\" + (slash == std::string::npos ? std::string() : rest.substr(slash + 1));
    return "HKEY_USERS\\" + rest;
}

}  // namespace vsc
