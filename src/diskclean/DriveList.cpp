#include "diskclean/DriveList.h"

#include <shellapi.h>

#include <vector>

#include "widgets/CheckStates.h"
#include "widgets/Dpi.h"

namespace vsc {

namespace {

// Sets the process's error mode for its lifetime and restores the previous mode afterwards.
class ScopedErrorMode {
public:
    explicit ScopedErrorMode(UINT mode) : old_(SetErrorMode(mode)) {}
    ~ScopedErrorMode() { SetErrorMode(old_); }
    ScopedErrorMode(const ScopedErrorMode&) = delete;
    ScopedErrorMode& operator=(const ScopedErrorMode&) = delete;

private:
    UINT old_;
};

std::string RootOf(char letter) { return std::string(1, letter) + ":\\"; }

}  // namespace

std::string ListLocalDrives() {
    return DriveLettersFromMask(GetLogicalDrives(), [](char letter) {
        return static_cast<unsigned>(GetDriveTypeA(RootOf(letter).c_str()));
    });
}

std::string DriveVolumeLabel(char letter) {
    ScopedErrorMode quiet(SEM_FAILCRITICALERRORS);
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
    ScopedErrorMode quiet(SEM_FAILCRITICALERRORS);
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    const std::string path = std::string(1, letter) + ":";
    const bool ok = GetDiskFreeSpaceA(path.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                                      &totalClusters) != FALSE;
    return SpaceTextsFromGeometry(ok, sectorsPerCluster, bytesPerSector, freeClusters, totalClusters);
}

int FileIconIndex(const std::string& path) {
    SHFILEINFOA info{};
    if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_TYPENAME)) return 0;
    return info.iIcon;
}

HIMAGELIST SystemSmallIcons() {
    SHFILEINFOA info{};
    return reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
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

void AddDriveListColumns(HWND list) {
    struct Column { const char* caption; int width; };
    const Column columns[] = {{"Path", 150}, {"CapaCity", 91}, {"Free Space", 94}};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<char*>(columns[i].caption);
        column.cx = ScaledFor(list, columns[i].width);
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

void AddDriveRow(HWND list, char letter, bool checked) {
    std::string caption = DriveRowCaption(DriveVolumeLabel(letter), letter);
    const DriveSpaceTexts space = DriveSpaceText(letter);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = &caption[0];
    item.iImage = FileIconIndex(RootOf(letter));
    const int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return;
    std::string texts[2] = {space.Capacity, space.Free};
    for (int sub = 1; sub <= 2; ++sub) {
        LVITEMA subItem{};
        subItem.iSubItem = sub;
        subItem.pszText = &texts[sub - 1][0];
        SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&subItem));
    }
    SetListCheckState(list, row, checked ? 1 : 0);
}

int ToggleCheckBoxAt(HWND list, int button, POINT pos) {
    if (button != 0) return -1;
    const int row = ListCheckBoxAt(list, pos);
    if (row < 0) return -1;
    SetListCheckState(list, row, ListCheckState(list, row) == 1 ? 0 : 1);
    return row;
}

std::string CheckedDriveLetters(HWND list, const std::string& listed) {
    std::string letters;
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows && row < static_cast<int>(listed.size()); ++row) {
        if (ListCheckState(list, row) == 1) letters += listed[static_cast<size_t>(row)];
    }
    return letters;
}

}  // namespace vsc
