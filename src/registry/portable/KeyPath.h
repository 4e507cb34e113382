// Key paths: registry locations written as text, "<root name>\<sub-key path>".
// Portable: no windows.h, so the rules can be tested natively with sanitizers.
#pragma once

#include <cstdint>
#include <string>

namespace vsc {

// The seven root-key names; the index of a name is its place in this table, and its predefined
// handle is 0x80000000 + index.
constexpr int kRootKeyCount = 7;
extern const char* const RootKeyNames[kRootKeyCount];

struct SplitPath {
    std::string root;    // text before the first backslash; empty when there is none
    std::string subKey;  // text after the first backslash (may be empty); the whole text when there is none
};

// Splits at the first backslash only.
SplitPath SplitKeyPath(const std::string& keyPath);

// Index 0..6 of the root name of the key path (exact, case-sensitive comparison), or -1 when the
// text before the first backslash is none of the seven names. An unknown root never falls back to
// another root.
int RootKeyIndex(const std::string& keyPath);

// The predefined handle value 0x80000000 + index, or 0 for an unknown root.
std::uintptr_t RootKeyHandleValue(const std::string& keyPath);

// The key path of a key named by its NT path, as a registry link names its target:
// "\REGISTRY\MACHINE\X" is "HKEY_LOCAL_MACHINE\X", "\REGISTRY\USER\<sid>\X" is
// "HKEY_CURRENT_USER\X" for the given SID of the current user and "HKEY_USERS\<sid>\X" for any
// other. The prefix is matched ignoring ASCII letter case; "" for any other text.
std::string KeyPathOfNtPath(const std::string& ntPath, const std::string& currentUserSid);

}  // namespace vsc
