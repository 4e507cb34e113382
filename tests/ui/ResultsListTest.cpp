// The virtual results list: rows answered from the result lists, check boxes from the model,
// toggled by real mouse presses and Space.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "support/TestSupport.h"
#include "ui/ResultsList.h"
#include "widgets/CheckStates.h"
#include "widgets/FlatControls.h"
#include "widgets/Window.h"

using namespace vsc;

namespace {

class THost : public TWindow {
public:
    HWND list = nullptr;
    TResultsList results;
    UniqueImageList checks{CreateListCheckImages()};
    UniqueImageList icons{ImageList_Create(16, 16, ILC_COLOR32, 2, 0)};

    void Open() {
        CreateParams params;
        params.Caption = "Results list test";
        params.Style = WS_POPUP | WS_CLIPCHILDREN;
        params.ClientWidth = 560;
        params.ClientHeight = 320;
        Create(params);
        Show();
    }

protected:
    void OnCreate() override {
        HWND panel = CreatePanel(Handle(), 0, 0, 560, 320, colors::kPageBack);
        list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_OWNERDATA |
                                   LVS_SHAREIMAGELISTS | LVS_SINGLESEL,
                               8, 8, 540, 300, panel, nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(checks.get()));
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons.get()));
        for (int i = 0; i < 2; ++i) {
            LVCOLUMNA column = {};
            column.mask = LVCF_WIDTH;
            column.cx = 260;
            SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
        }
        results.Attach(*this, list);
    }
};

std::shared_ptr<ScanResultLists> Problems() {
    auto lists = std::make_shared<ScanResultLists>();
    auto add = [&](const char* key, const char* name, const char* data, const char* category) {
        lists->KeyPathList.push_back(key);
        lists->ValueNameList.push_back(name);
        lists->ValueDataList.push_back(data);
        lists->CategoryList.push_back(category);
    };
    add("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help", "x.hlp", "C:\\help\\", "5");
    add("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", "C:\\a.b.dll", "3", "6");
    add("HKEY_CURRENT_USER\\Software\\Run", "run", "C:\\gone.exe", "7");
    return lists;
}

std::string Text(HWND list, int row, int column) {
    char buffer[512] = {};
    ListView_GetItemText(list, row, column, buffer, sizeof buffer);
    return buffer;
}

int IconOf(HWND list, int row) {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

void PressOnCheckBox(HWND list, int row) {
    RECT icon = {};
    icon.left = LVIR_ICON;
    SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&icon));
    const LPARAM at = MAKELPARAM(icon.left - 8, (icon.top + icon.bottom) / 2);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    vsc::test::PumpMessagesFor(100);
}

}  // namespace

TEST(ResultsList, RowsShowTheProblemsChecked) {
    THost host;
    host.Open();
    host.results.Fill(Problems());
    ASSERT_EQ(ListView_GetItemCount(host.list), 3);
    EXPECT_EQ(Text(host.list, 0, 0), "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help");
    EXPECT_EQ(Text(host.list, 0, 1), "C:\\help\\x.hlp");
    EXPECT_EQ(Text(host.list, 1, 1), "C:\\a.b.dll");
    EXPECT_EQ(Text(host.list, 2, 1), "C:\\gone.exe");
    EXPECT_EQ(IconOf(host.list, 0), 0);
    EXPECT_EQ(IconOf(host.list, 1), 1) << "two dots: not fully safe";
    EXPECT_EQ(IconOf(host.list, 2), 0);
    for (int row = 0; row < 3; ++row) EXPECT_EQ(ListCheckState(host.list, row), 1) << row;

    host.results.Clear();
    EXPECT_EQ(ListView_GetItemCount(host.list), 0);
    EXPECT_TRUE(host.results.CheckedRows().empty());
}

TEST(ResultsList, CheckBoxesToggleByMouseAndSpaceAndAllAtOnce) {
    THost host;
    host.Open();
    host.results.Fill(Problems());
    PressOnCheckBox(host.list, 1);
    EXPECT_EQ(ListCheckState(host.list, 1), 0);
    EXPECT_EQ(host.results.CheckedRows(), (std::vector<std::size_t>{0, 2}));
    PressOnCheckBox(host.list, 1);
    EXPECT_EQ(ListCheckState(host.list, 1), 1);

    // A press beside the check box (on the text) does not toggle.
    RECT label = {};
    label.left = LVIR_LABEL;
    SendMessageA(host.list, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&label));
    PostMessageA(host.list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(label.left + 20, (label.top + label.bottom) / 2));
    PostMessageA(host.list, WM_LBUTTONUP, 0, MAKELPARAM(label.left + 20, (label.top + label.bottom) / 2));
    vsc::test::PumpMessagesFor(100);
    EXPECT_TRUE(host.results.Checked(2));

    // Space toggles the focused row (the one just clicked).
    SetFocus(host.list);
    PostMessageA(host.list, WM_KEYDOWN, VK_SPACE, 1);
    PostMessageA(host.list, WM_KEYUP, VK_SPACE, 0xC0000001);
    vsc::test::PumpMessagesFor(100);
    EXPECT_FALSE(host.results.Checked(2));

    host.results.SetAllChecked(false);
    for (int row = 0; row < 3; ++row) EXPECT_EQ(ListCheckState(host.list, row), 0);
    host.results.SetAllChecked(true);
    EXPECT_EQ(host.results.CheckedRows(), (std::vector<std::size_t>{0, 1, 2}));
}
