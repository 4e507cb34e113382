#include "registry/portable/PathText.h"

namespace vsc {

const char* const ExcludedKeyPaths[kExcludedKeyPathCount] = {
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Fonts",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Html Help",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
    // Windows Installer's own records: its database of products, components and folders, and
    // its product registrations among the classes.
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Installer",
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Advanced INF Setup",
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Control Panel",
    // The COM classes, which "Custom Control" checks through HKEY_CLASSES_ROOT.
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID",
};

const char* const UninstallExtensions[kUninstallExtensionCount] = {
    ".exe", ".EXE", ".dll", ".DLL", ".LOG", ".log", ".ISU", ".isu",
};

std::size_t LastCharPos(char c, const std::string& text) {
    const std::size_t at = text.rfind(c);
    return at == std::string::npos ? 0 : at + 1;
}

// Positions below are 1-based, as the rule counts them: P is where the extension starts, C the
// colon in front of the path. The path runs from the drive letter (C-1) to the extension's last
// character (P+3). The colon is looked for among the characters up to the end of the extension;
// a colon standing right after the extension (position P+4) ends no path, and a colon at position 1
// has no drive letter in front of it: both give "".
std::string ExtractPathByExt(const std::string& ext, const std::string& commandLine) {
    if (ext.empty()) return std::string();
    const std::size_t found = commandLine.find(ext);
    if (found == std::string::npos) return std::string();
    const std::size_t p = found + 1;
    const std::size_t extEnd = p + ext.size() - 1;  // P+3 for a four-character extension
    const std::size_t c = LastCharPos(':', commandLine.substr(0, extEnd));
    if (c < 2) return std::string();
    return commandLine.substr(c - 2, extEnd - (c - 2));
}

namespace {
constexpr char kWow64Node[] = "\\WOW6432NODE";
constexpr std::size_t kWow64NodeLength = sizeof kWow64Node - 1;

// Where the next "\Wow6432Node" key name (any letter case) starts at or after from; npos if none.
std::size_t FindWow64Node(const std::string& keyPath, std::size_t from) {
    for (std::size_t at = keyPath.find('\\', from); at != std::string::npos; at = keyPath.find('\\', at + 1)) {
        if (keyPath.size() - at < kWow64NodeLength) break;
        std::size_t i = 0;
        while (i < kWow64NodeLength && UpperAsciiChar(keyPath[at + i]) == kWow64Node[i]) ++i;
        if (i == kWow64NodeLength && (at + i == keyPath.size() || keyPath[at + i] == '\\')) return at;
    }
    return std::string::npos;
}

}  // namespace

// Asked for every sub-key a walk meets, so it compares in place rather than building upper-case
// copies of the key path and of every row.
bool KeyNotExcluded(const std::string& keyPath) {
    for (const char* row : ExcludedKeyPaths) {
        std::size_t i = 0;
        while (i < keyPath.size() && row[i] && UpperAsciiChar(row[i]) == UpperAsciiChar(keyPath[i])) ++i;
        if (i == keyPath.size() && !row[i]) return false;
    }
    // The 32-bit twin of an excluded key is excluded too: the same path with "\Wow6432Node" left out.
    return FindWow64Node(keyPath, 0) == std::string::npos || KeyNotExcluded(WithoutWow64Node(keyPath));
}

std::string WithoutWow64Node(const std::string& keyPath) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = FindWow64Node(keyPath, 0); at != std::string::npos; at = FindWow64Node(keyPath, from)) {
        out.append(keyPath, from, at - from);
        from = at + kWow64NodeLength;
    }
    if (from == 0) return keyPath;
    out.append(keyPath, from, std::string::npos);
    return out;
}

bool HasDriveRoot(const std::string& text) {
    return text.size() >= 3 && text[1] == ':' && text[2] == '\\';
}

bool HasExtDot(const std::string& text) {
    return text.size() >= 4 && text[text.size() - 4] == '.';
}

bool EndsWithExt(const std::string& text, const std::string& suffix) {
    if (text.size() < 4) return false;
    return UpperAscii(text.substr(text.size() - 4)) == suffix;
}

std::string StripQuotes(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text)
        if (ch != '"') out += ch;
    return out;
}

}  // namespace vsc
