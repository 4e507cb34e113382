// The existence tests of the checks, with three answers (registry/portable/TargetState.h): present,
// certainly missing, or out of reach.
//
// How it works. The root of each path (a drive letter or a share) is asked about once for the
// life of the probe, which is one scan or one repair: GetDriveType for a letter, and for every
// root that is not a fixed or RAM drive, one question about the root folder. A letter that is not
// there, or a root that does not answer, settles every entry on it without a further question: on
// Windows each question about an offline share waits many seconds. Entries on a root that answers
// are asked about one by one. Critical-error boxes ("insert a disk") are never shown.
//
// One probe belongs to one thread.
#pragma once

#include <map>
#include <string>

#include "registry/portable/TargetState.h"

namespace vsc {

class TTargetProbe {
public:
    // A file at the path; a folder there is not the file (the old FileExistsWithDrive). A path
    // with a wildcard is matched as a pattern.
    TargetCheck File(const std::string& path);
    // A file or a folder at the path (FileExistsWithDrive || FolderExists).
    TargetCheck FileOrFolder(const std::string& path);
    // A program as FileExistsOnPath looks for it: a text with a '\' is tested as it stands, a bare
    // name in each folder of "path". Present when any folder holds it; missing only when every
    // folder asked was on a drive that could say so; an error while testing counts as present.
    TargetCheck OnPath(const std::string& text);
    // True when entries on the path's root are asked about one by one and "not found" there is
    // certain: a fixed or RAM drive that is there.
    bool OnLocalDrive(const std::string& path);
    // The finding for a path whose question the caller asked itself (the file-path walk).
    TargetCheck Judge(const std::string& path, const LookupResult& result, bool folderCounts);

private:
    struct RootState {
        DriveKind Kind = DriveKind::Unknown;
        bool Answers = true;      // entries on it are asked about
        unsigned long Error = 0;  // why it does not answer
    };
    const RootState& Root(const PathRoot& root);
    TargetCheck Ask(const std::string& path, bool folderCounts);

    std::map<std::string, RootState> roots_;  // by root name, upper case
};

}  // namespace vsc
