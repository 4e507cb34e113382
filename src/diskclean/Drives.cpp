#include "diskclean/Drives.h"

#include <windows.h>

#include "platform/QuietErrors.h"

namespace vsc {

namespace {

std::string RootOf(char letter) { return std::string(1, letter) + ":\\"; }

}  // namespace

std::string ListLocalDrives() {
    return DriveLettersFromMask(GetLogicalDrives(), [](char letter) {
        return static_cast<unsigned>(GetDriveTypeA(RootOf(letter).c_str()));
    });
}

std::string DriveVolumeLabel(char letter) {
    const QuietCriticalErrors quiet;
    char name[261] = {};
    if (!GetVolumeInformationA(RootOf(letter).c_str(), name, sizeof(name), nullptr, nullptr, nullptr, nullptr, 0)) {
        return std::string();
    }
    std::string label(name);
    if (label.empty()) return label;
    if (static_cast<unsigned char>(letter) > 96) CharLowerBuffA(&label[0], static_cast<DWORD>(label.size()));
    else CharUpperBuffA(&label[0], static_cast<DWORD>(label.size()));
    return label;
}

DriveSpaceTexts DriveSpaceText(char letter) {
    const QuietCriticalErrors quiet;
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    const std::string path = std::string(1, letter) + ":";
    const bool ok = GetDiskFreeSpaceA(path.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                                      &totalClusters) != FALSE;
    return SpaceTextsFromGeometry(ok, sectorsPerCluster, bytesPerSector, freeClusters, totalClusters);
}

bool IsUnixRootDrive(char letter) {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) return false;
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    using UnixNameFn = char*(CDECL*)(LPCWSTR);
    auto unixName = reinterpret_cast<UnixNameFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")));
    if (!unixName) return false;
    const wchar_t root[4] = {static_cast<wchar_t>(letter), L':', L'\\', 0};
    char* name = unixName(root);
    if (!name) return false;
    const bool isRoot = std::string(name) == "/";
    HeapFree(GetProcessHeap(), 0, name);  // Wine allocates the name on the process heap
    return isRoot;
}

bool TickedByDefault(char letter) { return !IsUnixRootDrive(letter); }

std::string DefaultTickedDrives(const std::string& listed) {
    std::string letters;
    for (char letter : listed)
        if (TickedByDefault(letter)) letters.push_back(letter);
    return letters;
}

}  // namespace vsc
