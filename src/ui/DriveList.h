// The drive list of the disk-clean page: the drives a disk scan can search (diskclean/Drives.h),
// with label, capacity, free space and a check box per row, and the system's file icons.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "diskclean/Drives.h"

namespace vsc {

// Index of the path's icon in the system's small-icon list (0 when the shell cannot tell).
int FileIconIndex(const std::string& path);

// The system's small-icon image list. Shared: never destroyed by the program; list views that show
// it must have LVS_SHAREIMAGELISTS.
HIMAGELIST SystemSmallIcons();

// The three columns "Path", "CapaCity" and "Free Space".
void AddDriveListColumns(HWND list);
// Appends the drive's row: caption, the two size texts, its icon and its check box.
void AddDriveRow(HWND list, char letter, bool checked);

// The mouse-down rule of the check-box lists: a press of the left button (button 0) on a row's
// check box toggles that row (0 to 1, 1 to 0). Returns the toggled row, or -1.
int ToggleCheckBoxAt(HWND list, int button, POINT pos);

// The letters of `listed` whose rows (row i for letter i) are checked, in row order.
std::string CheckedDriveLetters(HWND list, const std::string& listed);

}  // namespace vsc
