#include "registry/portable/TargetState.h"

#include <utility>

#include "platform/portable/Text.h"

namespace vsc {

namespace {

// The system's error codes this judgement tells apart.
constexpr unsigned long kFileNotFound = 2;
constexpr unsigned long kPathNotFound = 3;
constexpr unsigned long kAccessDenied = 5;
constexpr unsigned long kNotReady = 21;

bool IsSlash(char c) { return c == '\\' || c == '/'; }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

TargetCheck Unreachable(std::string reason) { return TargetCheck{Existence::Unreachable, std::move(reason)}; }

// "\\server\share" from the text after the two leading backslashes (or after "\\?\UNC\").
PathRoot ShareRoot(const std::string& rest) {
    std::size_t end = 0;
    while (end < rest.size() && !IsSlash(rest[end])) ++end;  // the server
    if (end < rest.size()) {
        ++end;
        while (end < rest.size() && !IsSlash(rest[end])) ++end;  // the share
    }
    std::string name = "\\\\" + rest.substr(0, end);
    for (char& c : name)
        if (c == '/') c = '\\';
    return PathRoot{PathRoot::Share, name};
}

}  // namespace

DriveKind DriveKindOfType(unsigned driveType) {
    switch (driveType) {
    case 1: return DriveKind::Absent;     // DRIVE_NO_ROOT_DIR
    case 2: return DriveKind::Removable;  // DRIVE_REMOVABLE
    case 3: return DriveKind::Fixed;      // DRIVE_FIXED
    case 4: return DriveKind::Network;    // DRIVE_REMOTE
    case 5: return DriveKind::CdRom;      // DRIVE_CDROM
    case 6: return DriveKind::Ram;        // DRIVE_RAMDISK
    default: return DriveKind::Unknown;
    }
}

PathRoot RootOfPath(const std::string& path) {
    if (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':')
        return PathRoot{PathRoot::Drive, UpperAscii(path.substr(0, 1)) + ":"};
    if (path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1])) {
        // "\\?\" and "\\.\" lead into the system's own name space.
        if (path.size() >= 4 && (path[2] == '?' || path[2] == '.') && IsSlash(path[3])) {
            const std::string rest = path.substr(4);
            if (rest.size() >= 4 && UpperAscii(rest.substr(0, 3)) == "UNC" && IsSlash(rest[3]))
                return ShareRoot(rest.substr(4));
            if (path[2] == '?' && rest.size() >= 2 && IsLetter(rest[0]) && rest[1] == ':') return RootOfPath(rest);
            return PathRoot{PathRoot::Device, path.substr(0, 4)};
        }
        return ShareRoot(path.substr(2));
    }
    return PathRoot{PathRoot::Relative, std::string()};
}

TargetCheck JudgeLookup(const PathRoot& root, DriveKind kind, const LookupResult& result, bool folderCounts) {
    if (result.Found && (!result.Folder || folderCounts)) return PresentTarget();
    switch (root.Type) {
    case PathRoot::Share: return Unreachable("network path (not checked)");
    case PathRoot::Device: return Unreachable("device path (not checked)");
    case PathRoot::Relative: return Unreachable("not a full path (not checked)");
    case PathRoot::Drive: break;
    }
    const std::string& drive = root.Name;
    if (kind == DriveKind::Absent) return Unreachable("drive " + drive + " is not there");
    if (!result.Found && result.Error == kAccessDenied) return Unreachable("no access (not checked)");
    if (!result.Found && result.Error == kNotReady) return Unreachable("drive " + drive + " is not ready (not checked)");
    switch (kind) {
    case DriveKind::Removable: return Unreachable("removable drive " + drive + " (not checked)");
    case DriveKind::CdRom: return Unreachable("CD-ROM drive " + drive + " (not checked)");
    case DriveKind::Network: return Unreachable("network drive " + drive + " (not checked)");
    case DriveKind::Unknown: return Unreachable("drive " + drive + " of unknown type (not checked)");
    default: break;
    }
    // A fixed or RAM drive that is there: only "not found" is certain.
    if (result.Found) return TargetCheck{Existence::Missing, "folder, not a file"};
    if (result.Error == kFileNotFound) return TargetCheck{Existence::Missing, "file not found"};
    if (result.Error == kPathNotFound) return TargetCheck{Existence::Missing, "folder not found"};
    return Unreachable("error " + std::to_string(result.Error) + " (not checked)");
}

TargetCheck NotOnSearchPath() { return TargetCheck{Existence::Missing, "not found on the path"}; }

}  // namespace vsc
