// The drive list of the disk-clean page: the drives a disk scan can search, with label, capacity,
// free space and a check box per row, and the drive letters that the section tree shows too.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "diskclean/portable/DriveText.h"

namespace vsc {

// Letters of the existing drives, except removable and CD-ROM drives, upper case, ascending.
std::string ListLocalDrives();

// The drive's volume label in the case of the letter (upper for an upper-case letter), or "" when
// the volume cannot be read. No system error dialog is shown while it is read.
std::string DriveVolumeLabel(char letter);

// The "CapaCity" and "Free Space" texts ("?" for both when the drive cannot be asked).
DriveSpaceTexts DriveSpaceText(char letter);

// Index of the path's icon in the system's small-icon list (0 when the shell cannot tell).
int FileIconIndex(const std::string& path);

// The system's small-icon image list. Shared: never destroyed by the program; list views that show
// it must have LVS_SHAREIMAGELISTS.
HIMAGELIST SystemSmallIcons();

// True when running under Wine and the drive's root folder is the root of the Unix file system
// (the whole machine); false otherwise, also on Windows.
bool IsUnixRootDrive(char letter);

// Whether a listed drive starts ticked in the drive list and under "Invalid Shortcuts": every
// drive does but one whose root is the whole machine under Wine, so that a first scan does not
// walk everything.
bool TickedByDefault(char letter);
// The letters of `listed` that start ticked, in order.
std::string DefaultTickedDrives(const std::string& listed);

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
