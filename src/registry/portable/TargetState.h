// Whether the target that registry data or a shortcut names is there. Portable (no windows.h):
// the judgement of what the system answered, and the reason texts the results show.
//
// Three answers. Present: found. Missing: certainly gone, which only a fixed or RAM drive that is
// there can say, with "file not found" or "path not found". Unreachable: everything else that was
// not found: a drive letter that is not there, a removable, CD-ROM or network drive (another medium
// may be in, the share may be offline), a network path, access denied, a drive that is not ready,
// any other error, and a path that names no drive at all. Unreachable entries are listed, but never
// repaired unless the user asks for each.
#pragma once

#include <string>

namespace vsc {

enum class Existence { Present, Missing, Unreachable };

// What the system says a drive letter is.
enum class DriveKind { Fixed, Ram, Removable, CdRom, Network, Absent, Unknown };

// The drive kind of a GetDriveType answer (DRIVE_UNKNOWN 0 .. DRIVE_RAMDISK 6).
DriveKind DriveKindOfType(unsigned driveType);

// Where a path lives: a drive letter ("Q:", upper case), a share ("\\server\share", also written
// "\\?\UNC\server\share"), a device path ("\\.\..."), or nowhere in particular (a relative name).
struct PathRoot {
    enum Kind { Drive, Share, Device, Relative };
    Kind Type = Relative;
    std::string Name;
};
PathRoot RootOfPath(const std::string& path);

// What one question to the file system gave.
struct LookupResult {
    bool Found = false;
    bool Folder = false;       // found, and it is a folder
    unsigned long Error = 0;   // the system's error code when not found
};

// The finding about one entry: Reason says in a few words why it is listed ("" when present).
struct TargetCheck {
    Existence State = Existence::Present;
    std::string Reason;

    bool Listed() const { return State != Existence::Present; }
    bool Certain() const { return State == Existence::Missing; }
};

inline TargetCheck PresentTarget() { return TargetCheck{}; }

// The finding for a path on root, whose drive is of the given kind (not looked at for a share or a
// relative name), after the system answered result. folderCounts: a folder found at the path is
// what the entry names; otherwise a folder is not the file the entry needs.
TargetCheck JudgeLookup(const PathRoot& root, DriveKind kind, const LookupResult& result, bool folderCounts);

// A bare program name that none of the "path" folders holds (every folder asked was there).
TargetCheck NotOnSearchPath();

}  // namespace vsc
