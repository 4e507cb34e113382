#include "widgets/ContextMenu.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <map>

#include "platform/Handles.h"
#include "platform/WideText.h"
#include "widgets/Messages.h"
#include "widgets/Window.h"

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

// Shows the menu the list asks for (WM_CONTEXTMENU from the list itself) through its handler.
void OpenMenuOf(HWND list, LPARAM lParam) {
    const auto found = Handlers().find(list);
    if (found == Handlers().end()) return;
    int row = -1;
    POINT screen{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (lParam == -1) {
        if (!KeyboardPlace(list, row, screen)) return;
    } else {
        LVHITTESTINFO hit{};
        hit.pt = screen;
        ScreenToClient(list, &hit.pt);
        row = ListView_HitTest(list, &hit);
        if (row < 0 || !(hit.flags & LVHT_ONITEM)) return;
    }
    const ContextMenuHandler handler = found->second;  // a copy: the handler may re-attach
    handler(list, row, screen);
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
        // A command that fails (the ignore list cannot be written, memory runs out) says so and
        // goes no further than here.
        GuardCallback(list, false, [list, lParam] {
            OpenMenuOf(list, lParam);
            return true;
        });
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

// The clipboard, held open by this thread for the object's life.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

bool PutOnClipboard(HWND owner, const std::wstring& wide) {
    const OpenedClipboard clipboard(owner);
    if (!clipboard.IsOpen()) return false;
    EmptyClipboard();
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t)));
    void* bytes = memory ? GlobalLock(memory.get()) : nullptr;
    if (!bytes) return false;
    std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, static_cast<wchar_t*>(bytes));
    GlobalUnlock(memory.get());
    if (!SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
    memory.release();  // the clipboard owns it now
    return true;
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

bool CopyLinesToClipboard(HWND list, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\r\n") + line;
    return CopyTextToClipboard(GetAncestor(list, GA_ROOT), text);
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
