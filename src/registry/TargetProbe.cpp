#include "registry/TargetProbe.h"

#include <windows.h>

#include "platform/CodePage.h"
#include "platform/Handles.h"
#include "platform/QuietErrors.h"
#include "registry/PublicOpt.h"

namespace vsc {

namespace {

LookupResult Attributes(const std::string& path) {
    LookupResult result;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        result.Error = GetLastError();
        return result;
    }
    result.Found = true;
    result.Folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return result;
}

// FindFirstFile: a wildcard matches as a pattern, and the first entry found decides.
LookupResult Find(const std::string& path) {
    LookupResult result;
    WIN32_FIND_DATAA data;
    UniqueFind find(FindFirstFileA(path.c_str(), &data));
    if (!find.valid()) {
        result.Error = GetLastError();
        return result;
    }
    result.Found = true;
    result.Folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return result;
}

}  // namespace

const TTargetProbe::RootState& TTargetProbe::Root(const PathRoot& root) {
    const std::string key = UpperAscii(root.Name);
    const auto known = roots_.find(key);
    if (known != roots_.end()) return known->second;
    RootState state;
    QuietCriticalErrors quiet;
    if (root.Type == PathRoot::Drive) {
        state.Kind = DriveKindOfType(GetDriveTypeA((root.Name + "\\").c_str()));
        if (state.Kind == DriveKind::Absent) state.Answers = false;
    }
    if (state.Answers && state.Kind != DriveKind::Fixed && state.Kind != DriveKind::Ram) {
        const LookupResult top = Attributes(root.Name + "\\");
        state.Answers = top.Found;
        state.Error = top.Error;
    }
    return roots_.emplace(key, state).first->second;
}

TargetCheck TTargetProbe::Ask(const std::string& path, bool folderCounts) {
    if (path.empty()) return JudgeLookup(PathRoot{}, DriveKind::Unknown, LookupResult{}, folderCounts);
    const PathRoot root = RootOfPath(path);
    // A device path is never asked about; a relative one is, as the old tests did, but not finding
    // it is never certain.
    if (root.Type == PathRoot::Device) return JudgeLookup(root, DriveKind::Unknown, LookupResult{}, folderCounts);
    RootState state;
    if (root.Type != PathRoot::Relative) state = Root(root);
    if (!state.Answers) return JudgeLookup(root, state.Kind, LookupResult{false, false, state.Error}, folderCounts);
    QuietCriticalErrors quiet;
    LookupResult result = folderCounts && !HasWildcard(path) ? Attributes(path) : Find(path);
    // A pattern that first matches a folder: the folder test asks for the text itself.
    if (folderCounts && HasWildcard(path) && !(result.Found && !result.Folder)) {
        const LookupResult asFolder = Attributes(path);
        if (asFolder.Found && asFolder.Folder) result = asFolder;
    }
    return JudgeLookup(root, state.Kind, result, folderCounts);
}

TargetCheck TTargetProbe::File(const std::string& path) { return Ask(path, false); }

TargetCheck TTargetProbe::FileOrFolder(const std::string& path) { return Ask(path, true); }

TargetCheck TTargetProbe::OnPath(const std::string& text) {
    try {
        if (text.find('\\') != std::string::npos) return File(text);
        TargetCheck uncertain;
        for (const std::string& folder : GetSearchPathList()) {
            const std::string candidate = folder + "\\" + text;
            const TargetCheck check = File(candidate);
            if (!check.Listed()) return check;
            // A folder of "path" that names no drive cannot make the answer uncertain: it is
            // searched, but the program is not expected there.
            if (check.State == Existence::Unreachable && RootOfPath(candidate).Type != PathRoot::Relative &&
                !uncertain.Listed())
                uncertain = check;
        }
        return uncertain.Listed() ? uncertain : NotOnSearchPath();
    } catch (...) {
        return PresentTarget();  // an entry that cannot be tested is not reported
    }
}

bool TTargetProbe::OnLocalDrive(const std::string& path) {
    const PathRoot root = RootOfPath(path);
    if (root.Type != PathRoot::Drive) return false;
    const RootState& state = Root(root);
    return state.Answers && (state.Kind == DriveKind::Fixed || state.Kind == DriveKind::Ram);
}

TargetCheck TTargetProbe::Judge(const std::string& path, const LookupResult& result, bool folderCounts) {
    const PathRoot root = RootOfPath(path);
    const DriveKind kind = root.Type == PathRoot::Drive ? Root(root).Kind : DriveKind::Unknown;
    return JudgeLookup(root, kind, result, folderCounts);
}

}  // namespace vsc
