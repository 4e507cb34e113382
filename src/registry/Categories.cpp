#include "registry/Categories.h"

#include "registry/ScanContext.h"

namespace vsc {

namespace {

// Where Windows keeps a key apart for 32-bit programs (their installers write below Wow6432Node),
// the 32-bit twin follows its key and gets the same check; a twin that is a registry link to its
// key (as some are) is visited once, where it really lives (RunScan).
//
// tests/help/check-help.sh reads this table: one category begins each "{N, " line, its first two
// strings are the caption and the progress name, and its key paths follow.
std::vector<CategoryEntry> BuildCategoryTable() {
    using A = RepairAction;
    return {
        {1, "Registry integrity", "Registry Integrity", ScanDefaultValues, NoRule, vkString, A::ClearValue,
         {"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced",
          "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
          "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
          "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
          "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
          "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\New"}},
        {2, "Custom Control", "Custom Control ", ScanInprocServers, InprocServerRule, vkString, A::ClearValue,
         {"HKEY_CLASSES_ROOT\\CLSID", "HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID", "HKEY_CURRENT_USER\\CLSID"}},
        {3, "Software Locations", "Software Locations", ScanAppPaths, AppPathRule, vkString, A::ClearValue,
         {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths"}},
        {4, "Windows Fonts", "Windows Fonts", ScanFonts, FontRule, vkString, A::DeleteValue,
         {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
          "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Fonts"}},
        {5, "Windows Help", "Windows Help", ScanHelpFiles, HelpFileRule, vkString, A::DeleteValue,
         {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\Help",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Html Help",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\Html Help"}},
        {6, "Share Programs", "Share Programs", ScanSharedFiles, SharedFileRule, vkInteger, A::DeleteValue,
         {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
          "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\.Default\\CCSelect\\.current"}},
        {7, "Startup Programs", "Startup Programs", ScanStartupEntries, StartupRule, vkString, A::DeleteValue,
         {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
          "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
          "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
          "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
          "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices"}},
        {8, "Add/Remove Programs", "Add/Remove Programs", ScanUninstallEntries, UninstallRule, vkString,
         A::DeleteValue,
         {"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
          "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall"}},
        {9, "Virtual Devices", "Virtual Devices", ScanVirtualDevices, NoRule, vkString, A::ClearValue,
         {"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\VirtualDeviceDrivers"}},
        {10, "Configuration Files", "Configuration Files", ScanConfigFiles, NoRule, vkString, A::ClearValue,
         {"HKEY_LOCAL_MACHINE\\"}},
        {11, "Device Drivers", "Device Drivers", ScanDefaultValues, NoRule, vkString, A::ClearValue,
         {"HKEY_LOCAL_MACHINE\\HARDWARE"}},
        {12, "Sound Appevents", "Sound Appevents", ScanSoundEvents, SoundRule, vkString, A::ClearValue,
         {"HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps", "HKEY_USERS\\.DEFAULT\\AppEvents\\Schemes\\Apps"}},
        {13, "Invalid Files Path", "Invalad Files Path", ScanFilePaths, FilePathRule, vkString, A::ClearValue,
         {"HKEY_LOCAL_MACHINE\\SOFTWARE"}},
        {14, "Invalid Shortcuts", "Invalid Shortcuts", ScanShortcuts, ShortcutRule, vkUnknown, A::RecycleFile, {}},
    };
}

}  // namespace

const std::vector<CategoryEntry>& CategoryTable() {
    static const std::vector<CategoryEntry> table = BuildCategoryTable();
    return table;
}

const CategoryEntry* CategoryOf(int category) {
    const auto& table = CategoryTable();
    if (category < 1 || category > static_cast<int>(table.size())) return nullptr;
    return &table[static_cast<std::size_t>(category - 1)];
}

const char* CategoryProgressName(int category) {
    const CategoryEntry* entry = CategoryOf(category);
    return entry ? entry->ProgressName : "";
}

const char* CategoryCaption(int category) {
    const CategoryEntry* entry = CategoryOf(category);
    return entry ? entry->Caption : "";
}

RepairAction ActionOfCategory(int category) {
    if (const CategoryEntry* entry = CategoryOf(category)) return entry->Action;
    return category > kCategoryCount ? RepairAction::RecycleFile : RepairAction::ClearValue;
}

}  // namespace vsc
