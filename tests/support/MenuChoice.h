// Right-click menus under test: opens a list's menu the way the user does (a right click on a row,
// or the context-menu key on the focused row), reads what the real menu offers and chooses one of
// its commands by caption, without a modal menu loop. What the menu would start outside the
// program is recorded instead of started.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "support/TestSupport.h"
#include "widgets/ContextMenu.h"

namespace vsc::test {

class MenuChoice {
public:
    MenuChoice() {
        SetMenuPicker([this](HMENU menu, POINT) -> UINT {
            offered.clear();
            UINT chosen = 0;
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                char caption[128] = {};
                if (!GetMenuStringA(menu, static_cast<UINT>(i), caption, sizeof caption, MF_BYPOSITION)) continue;
                const bool grayed = (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) != 0;
                offered.push_back(std::string(caption) + (grayed ? " (grayed)" : ""));
                if (choose == caption) chosen = GetMenuItemID(menu, i);
            }
            ++menus;
            return chosen;
        });
        SetExternalViewOpener([this](ExternalView view, const std::string& target) {
            started.push_back({view, target});
        });
    }
    ~MenuChoice() {
        SetMenuPicker(nullptr);
        SetExternalViewOpener(nullptr);
    }
    MenuChoice(const MenuChoice&) = delete;
    MenuChoice& operator=(const MenuChoice&) = delete;

    // A real right-button click on the row's text; returns the menus shown so far.
    int RightClick(HWND list, int row, const std::string& command) {
        choose = command;
        RECT r{};
        ListView_GetItemRect(list, row, &r, LVIR_LABEL);
        const LPARAM at = MAKELPARAM(r.left + 6, (r.top + r.bottom) / 2);
        // The list places its menu where the pointer is, as it does for a real click.
        POINT screen{r.left + 6, (r.top + r.bottom) / 2};
        ClientToScreen(list, &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, at);
        PostMessageA(list, WM_RBUTTONUP, 0, at);
        PumpMessagesFor(150);
        return menus;
    }
    // The context-menu key with the row focused (and selected alone).
    int MenuKey(HWND list, int row, const std::string& command) {
        choose = command;
        SetFocus(list);
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        PostMessageA(list, WM_KEYDOWN, VK_APPS, 1);
        PostMessageA(list, WM_KEYUP, VK_APPS, 0xC0000001);
        PumpMessagesFor(150);
        return menus;
    }

    std::string choose;                                         // caption of the command to choose
    std::vector<std::string> offered;                           // the captions of the last menu
    int menus = 0;                                              // menus shown
    std::vector<std::pair<ExternalView, std::string>> started;  // what would have been started
};

// The clipboard's Unicode text, converted to the process code page ("" when there is none).
inline std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
            const int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
            if (n > 1) {
                text.resize(static_cast<std::size_t>(n - 1));
                WideCharToMultiByte(CP_ACP, 0, wide, -1, &text[0], n, nullptr, nullptr);
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace vsc::test
