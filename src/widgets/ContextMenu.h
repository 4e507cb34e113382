// Right-click menus of list views, and what their commands start outside the program.
//
// How it works. AttachContextMenu subclasses a list view and turns its WM_CONTEXTMENU into one
// call of the handler with the row the menu is for and the screen point to show it at. The list
// view sends that message after a right-button click; the context-menu key and Shift+F10 send it
// with the point (-1, -1), and the menu is then placed at the focused row. ShowPopupMenu shows the
// menu and returns the command chosen. Tests replace the two seams below, so that a menu can be
// read and a command chosen without a modal menu loop, and nothing is started.
// User-interface thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/Handles.h"

namespace vsc {

// A popup menu, destroyed when its owner goes. Move-only.
using UniqueMenu = UniqueOf<HMENU, NullHandleTraits<HMENU, &DestroyMenu>>;

// Called with the list, the row under the pointer (or the focused row from the keyboard) and the
// screen point of the menu. Not called when the pointer is on no row, or no row has the focus.
using ContextMenuHandler = std::function<void(HWND list, int row, POINT screen)>;
// Replaces an earlier handler of the same list. The handler must outlive the list.
void AttachContextMenu(HWND list, ContextMenuHandler handler);

// Shows the menu at the point and returns the command chosen (0 when none).
UINT ShowPopupMenu(HWND owner, HMENU menu, POINT screen);
// Tests: chooses instead of the user (the menu is the real one, its items can be read); an empty
// function restores the real menu.
using MenuPicker = std::function<UINT(HMENU menu, POINT screen)>;
void SetMenuPicker(MenuPicker picker);

// The rows a menu command applies to: every selected row when `row` is selected, else `row` alone.
std::vector<int> RowsOfCommand(HWND list, int row);

// Puts the text on the clipboard as Unicode text. When the clipboard cannot be opened or set, says
// so in an error box and returns false.
bool CopyTextToClipboard(HWND owner, const std::string& text);
// The "Copy" commands of the lists' menus: the lines, one a line ("\r\n" between them), on the
// clipboard as CopyTextToClipboard puts them, for the window that holds the list.
bool CopyLinesToClipboard(HWND list, const std::vector<std::string>& lines);

// Starts the system's registry editor showing the key (by its key path), or the file manager
// showing the folder with the file or folder at the path selected; says so in an error box when it
// cannot be started.
enum class ExternalView { RegistryEditor, FileLocation };
void OpenExternalView(ExternalView view, const std::string& target);
// Tests: gets what would be started instead of starting it; an empty function restores it.
void SetExternalViewOpener(std::function<void(ExternalView view, const std::string& target)> opener);

}  // namespace vsc
