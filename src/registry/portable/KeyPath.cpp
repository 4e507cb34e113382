#include "registry/portable/KeyPath.h"

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

}  // namespace vsc
