// The shared geometry and building blocks of the main window's pages and panels, so that the shell
// and the workflow pages lay their controls out alike. Geometry is in design pixels (96 DPI) of the
// 577-by-399 main window; the controls scale it to the window's DPI (widgets/Dpi.h).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <string>

namespace vsc {
namespace layout {

constexpr int kClientWidth = 577;
constexpr int kPanelWidth = 575;
constexpr int kPanelHeight = 378;
constexpr int kNavWidth = 131;
constexpr int kPageLeft = 131;
constexpr int kPageWidth = kPanelWidth - kPageLeft;
constexpr int kButtonColumn = 352;  // left edge of the buttons in the right-hand column of a page
constexpr int kButtonWidth = 84;
constexpr int kBarButtonTop = 344;  // the bottom bar of the results panels
constexpr int kTreeIndent = 19;     // the section tree's indent (the tree's own with 16-pixel images)

// A button of the right-hand column of a page.
HWND ColumnButton(HWND page, const char* caption, int top);
// The header strip at the top of a page.
HWND PageHeader(HWND page, const char* caption);
HWND Text(HWND parent, const std::string& caption, int x, int y, int width, int height = 15);
HWND BoldText(HWND parent, const std::string& caption, int x, int y, int width, int height = 15);
// A list column of a design width.
void AddColumn(HWND list, int index, const char* caption, int width);
// A column of a list: its caption and design width.
struct ListColumn {
    const char* Caption;
    int Width;
};
// The list of a dialog: a report list view of one selection, kept shown while the focus is
// elsewhere, selecting whole rows (plus `extendedStyle`), with its columns. `name` is what screen
// readers call it.
HWND CreateDialogList(HWND dialog, const char* name, int x, int y, int width, int height,
                      std::initializer_list<ListColumn> columns, DWORD extendedStyle = 0);
// A report list view of one selection, with the check pictures as its state images, which screen
// readers read as its rows' check boxes. `name` is what they call the list (the caption it is
// shown under).
HWND CreateListView(HWND parent, const char* name, int x, int y, int width, int height, DWORD extraStyle,
                    HIMAGELIST checkImages);

}  // namespace layout
}  // namespace vsc
