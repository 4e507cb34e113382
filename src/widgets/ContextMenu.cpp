#include "widgets/ContextMenu.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <map>

#include "platform/Handles.h"
#include "platform/WideText.h"
#include "widgets/Messages.h"

namespace vsc {

namespace {

constexpr UINT_PTR kContextMenuSubclass = 7;

std::map<HWND, ContextMenuHandler>& Handlers() {
    static std::map<HWND, ContextMenuHandler> handlers;
    return handlers;
}

MenuPicker& Picker() {
    static MenuPicker picker;
    return picker;
}

std::function<void(ExternalView, const std::string&)>& ViewOpener() {
    static std::function<void(ExternalView, const std::string&)> opener;
    return opener;
}

// The row and place of a menu asked for by the keyboard: the focused row, just below its text.
bool KeyboardPlace(HWND list, int& row, POINT& screen) {
    row = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    if (row < 0) row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (row < 0) return false;
    ListView_EnsureVisible(list, row, FALSE);
    RECT rect{};
    if (!ListView_GetItemRect(list, row, &rect, LVIR_LABEL)) return false;
    screen = {rect.left + 8, rect.bottom};
    ClientToScreen(list, &screen);
    return true;
}

LRESULT CALLBACK ContextMenuProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    // The context-menu key and Shift+F10 are taken here, press and release, rather than left to
    // the default handling, which not every system turns into WM_CONTEXTMENU.
    const bool menuKey = wParam == VK_APPS || (wParam == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000));
    if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && menuKey) {
        SendMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1);
        return 0;
    }
    if ((message == WM_KEYUP || message == WM_SYSKEYUP) && menuKey) return 0;
    if (message == WM_CONTEXTMENU && reinterpret_cast<HWND>(wParam) == list) {
        const auto found = Handlers().find(list);
        if (found == Handlers().end()) return 0;
        int row = -1;
        POINT screen{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (lParam == -1) {
            if (!KeyboardPlace(list, row, screen)) return 0;
        } else {
            LVHITTESTINFO hit{};
            hit.pt = screen;
            ScreenToClient(list, &hit.pt);
            row = ListView_HitTest(list, &hit);
            if (row < 0 || !(hit.flags & LVHT_ONITEM)) return 0;
        }
        const ContextMenuHandler handler = found->second;  // a copy: the handler may re-attach
        handler(list, row, screen);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        Handlers().erase(list);
        RemoveWindowSubclass(list, ContextMenuProc, kContextMenuSubclass);
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

bool StartRegistryEditor(const std::string& keyPath) {
    // The registry editor opens at the key it showed last; it is told which through that value.
    UniqueKey applet;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit", 0,
                        nullptr, 0, KEY_SET_VALUE, nullptr, applet.put(), nullptr) == ERROR_SUCCESS) {
        const std::string last = "Computer\\" + keyPath;
        RegSetValueExA(applet.get(), "LastKey", 0, REG_SZ, reinterpret_cast<const BYTE*>(last.c_str()),
                       static_cast<DWORD>(last.size() + 1));
    }
    // "/m" lets a second editor start beside one already open.
    // ShellExecute returns a value above 32 when the program was started.
    return reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", "regedit.exe", "/m", nullptr, SW_SHOWNORMAL)) > 32;
}

bool StartFileManager(const std::string& path) {
    const std::wstring parameters = L"/select,\"" + ToWide(path) + L"\"";
    return reinterpret_cast<INT_PTR>(
               ShellExecuteW(nullptr, L"open", L"explorer.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL)) > 32;
}

bool PutOnClipboard(HWND owner, const std::wstring& wide) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    bool done = false;
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t))) {
        if (void* bytes = GlobalLock(memory)) {
            std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, static_cast<wchar_t*>(bytes));
            GlobalUnlock(memory);
            done = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!done) GlobalFree(memory);  // the clipboard owns it only once it was set
    }
    CloseClipboard();
    return done;
}

}  // namespace

void AttachContextMenu(HWND list, ContextMenuHandler handler) {
    Handlers()[list] = std::move(handler);
    SetWindowSubclass(list, ContextMenuProc, kContextMenuSubclass, 0);
}

UINT ShowPopupMenu(HWND owner, HMENU menu, POINT screen) {
    if (Picker()) return Picker()(menu, screen);
    return static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, 0, owner, nullptr));
}

void SetMenuPicker(MenuPicker picker) { Picker() = std::move(picker); }

std::vector<int> RowsOfCommand(HWND list, int row) {
    std::vector<int> rows;
    if (row >= 0 && (ListView_GetItemState(list, row, LVIS_SELECTED) & LVIS_SELECTED)) {
        for (int i = ListView_GetNextItem(list, -1, LVNI_SELECTED); i >= 0;
             i = ListView_GetNextItem(list, i, LVNI_SELECTED))
            rows.push_back(i);
    } else if (row >= 0) {
        rows.push_back(row);
    }
    return rows;
}

bool CopyTextToClipboard(HWND owner, const std::string& text) {
    if (PutOnClipboard(owner, ToWide(text))) return true;
    ShowError("Unable to copy to the clipboard.");
    return false;
}

void OpenExternalView(ExternalView view, const std::string& target) {
    if (ViewOpener()) {
        ViewOpener()(view, target);
        return;
    }
    if (view == ExternalView::RegistryEditor) {
        if (!StartRegistryEditor(target)) ShowError("Unable to start the registry editor.");
    } else if (!StartFileManager(target)) {
        ShowError("Unable to open the location of " + target);
    }
}

void SetExternalViewOpener(std::function<void(ExternalView, const std::string&)> opener) {
    ViewOpener() = std::move(opener);
}

}  // namespace vsc
