// What Repair says about the changes the registry or the file system refused. Portable (no
// windows.h).
#pragma once

#include <string>
#include <vector>

namespace vsc {

extern const char* const kAccessDeniedReason;  // "access denied"

// The reason in words for a refusal with the system's error code: "access denied" for
// ERROR_ACCESS_DENIED, otherwise the fallback text and the code ("... (error 1234)").
std::string RefusalReason(unsigned long error, const std::string& fallback);

// A key of HKEY_LOCAL_MACHINE or HKEY_CLASSES_ROOT (whose machine-wide part lies in the former):
// on Windows only a program running as administrator may change it.
bool IsMachineWideKey(const std::string& keyPath);

// One entry left as it was.
struct RefusedEntry {
    std::string KeyPath;    // a key path, or the full path of a shortcut file
    std::string ValueName;  // "" for a default value
    bool IsFile = false;
    std::string Reason;
};

// The lines that name the refused entries for the end message: the first ten, one a line, each
// with its reason ("...\Run, value "App": access denied"), then how many more there are. When an
// access to a machine-wide key was denied and the program does not run as administrator, a last
// paragraph says that repairing them needs it. "" for no entry.
std::string RefusedChangesText(const std::vector<RefusedEntry>& refused, bool runningAsAdministrator);

}  // namespace vsc
