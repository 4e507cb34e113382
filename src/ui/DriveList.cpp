#include "ui/DriveList.h"

#include <shellapi.h>

#include <vector>

#include "widgets/CheckStates.h"
#include "widgets/Dpi.h"

namespace vsc {

namespace {

std::string RootOf(char letter) { return std::string(1, letter) + ":\\"; }

}  // namespace

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
