// Text tests on registry data that names files. Portable (no windows.h). Positions are 1-based
// where the name says "Pos", as the check rules count them.
#pragma once

#include <string>

#include "platform/portable/Text.h"

namespace vsc {

// The key paths that the file-path walk never enters on its own (nor their 32-bit twins).
constexpr int kExcludedKeyPathCount = 17;
extern const char* const ExcludedKeyPaths[kExcludedKeyPathCount];

// The eight extensions looked for in uninstall command lines, in search order (case-sensitive).
constexpr int kUninstallExtensionCount = 8;
extern const char* const UninstallExtensions[kUninstallExtensionCount];

// 1-based position of the last occurrence of c in text; 0 when absent.
std::size_t LastCharPos(char c, const std::string& text);
// The drive-qualified path ending in the first occurrence of ext in the command line, or "".
std::string ExtractPathByExt(const std::string& ext, const std::string& commandLine);
// False when the key path, or its 64-bit twin (WithoutWow64Node), equals one of ExcludedKeyPaths,
// ignoring ASCII letter case.
bool KeyNotExcluded(const std::string& keyPath);
// The key path with every "\Wow6432Node" key name (any letter case) left out: the key a 32-bit
// twin stands beside. Any other key path comes back unchanged.
std::string WithoutWow64Node(const std::string& keyPath);
// Characters 2 and 3 are ':' and '\'.
bool HasDriveRoot(const std::string& text);
// The character at position Length-3 is '.'.
bool HasExtDot(const std::string& text);
// The last four characters, ASCII upper-cased, equal suffix (an upper-case four-character text).
bool EndsWithExt(const std::string& text, const std::string& suffix);
// The text with every '"' removed.
std::string StripQuotes(const std::string& text);
// Case-sensitive substring test.
inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
inline bool Contains(const std::string& text, char c) { return text.find(c) != std::string::npos; }

}  // namespace vsc
