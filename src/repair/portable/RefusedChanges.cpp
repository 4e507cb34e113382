#include "repair/portable/RefusedChanges.h"

#include "platform/portable/Text.h"

namespace vsc {

const char* const kAccessDeniedReason = "access denied";

std::string RefusalReason(unsigned long error, const std::string& fallback) {
    if (error == 5) return kAccessDeniedReason;  // ERROR_ACCESS_DENIED
    return fallback + " (error " + std::to_string(error) + ")";
}

bool IsMachineWideKey(const std::string& keyPath) {
    const std::string upper = UpperAscii(keyPath);
    for (const char* root : {"HKEY_LOCAL_MACHINE\\", "HKEY_CLASSES_ROOT\\"})
        if (upper.compare(0, std::string(root).size(), root) == 0) return true;
    return false;
}

std::string RefusedChangesText(const std::vector<RefusedEntry>& refused, bool runningAsAdministrator) {
    constexpr std::size_t kNamed = 10;
    std::string text;
    bool needsAdministrator = false;
    for (std::size_t i = 0; i < refused.size(); ++i) {
        const RefusedEntry& entry = refused[i];
        if (!entry.IsFile && entry.Reason == kAccessDeniedReason && IsMachineWideKey(entry.KeyPath))
            needsAdministrator = true;
        if (i >= kNamed) continue;
        text += entry.KeyPath;
        if (!entry.IsFile)
            text += entry.ValueName.empty() ? std::string(", default value") : ", value \"" + entry.ValueName + "\"";
        text += ": " + entry.Reason + "\r\n";
    }
    if (refused.size() > kNamed) text += "and " + std::to_string(refused.size() - kNamed) + " more\r\n";
    if (needsAdministrator && !runningAsAdministrator)
        text += "\r\nRepairing entries of HKEY_LOCAL_MACHINE needs Vemo System Cleaner to run as administrator: "
                "start it with \"Run as administrator\" and scan again.\r\n";
    return text;
}

}  // namespace vsc
