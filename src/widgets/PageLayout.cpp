#include "widgets/PageLayout.h"

#include "widgets/CheckStates.h"
#include "widgets/Dpi.h"
#include "widgets/FlatControls.h"

namespace vsc {
namespace layout {

HWND ColumnButton(HWND page, const char* caption, int top) {
    return CreateFlatButton(page, caption, kButtonColumn, top, kButtonWidth, 25);
}

HWND PageHeader(HWND page, const char* caption) { return CreateHeaderLabel(page, caption, 8, 8, kPageWidth - 16, 20); }

HWND Text(HWND parent, const std::string& caption, int x, int y, int width, int height) {
    return CreateLabel(parent, caption, x, y, width, height);
}

HWND BoldText(HWND parent, const std::string& caption, int x, int y, int width, int height) {
    LabelStyle style;
    style.Font = BoldFont();
    return CreateLabel(parent, caption, x, y, width, height, style);
}

void AddColumn(HWND list, int index, const char* caption, int width) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<char*>(caption);
    column.cx = ScaledFor(list, width);
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

HWND CreateDialogList(HWND dialog, const char* name, int x, int y, int width, int height,
                      std::initializer_list<ListColumn> columns, DWORD extendedStyle) {
    HWND list = CreateScaledChild(0, WC_LISTVIEWA, name,
                                  WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                      LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                                  dialog, x, y, width, height);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | extendedStyle);
    int index = 0;
    for (const ListColumn& column : columns) AddColumn(list, index++, column.Caption, column.Width);
    return list;
}

HWND CreateListView(HWND parent, const char* name, int x, int y, int width, int height, DWORD extraStyle,
                    HIMAGELIST checkImages) {
    HWND list = CreateScaledChild(0, WC_LISTVIEWA, name,
                                  WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_NOSORTHEADER |
                                      LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_SINGLESEL | extraStyle,
                                  parent, x, y, width, height);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(checkImages));
    ShowTicksToScreenReaders(list);
    return list;
}

}  // namespace layout
}  // namespace vsc
