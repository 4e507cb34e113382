// The drives a disk scan or a shortcut search can cover: their letters, labels and sizes, and
// which of them start ticked.
#pragma once

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

// True when running under Wine and the drive's root folder is the root of the Unix file system
// (the whole machine); false otherwise, also on Windows.
bool IsUnixRootDrive(char letter);

// Whether a listed drive starts ticked in the drive list and under "Invalid Shortcuts": every
// drive does but one whose root is the whole machine under Wine, so that a first scan does not
// walk everything.
bool TickedByDefault(char letter);
// The letters of `listed` that start ticked, in order.
std::string DefaultTickedDrives(const std::string& listed);

}  // namespace vsc
