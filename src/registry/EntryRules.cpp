#include "registry/EntryRules.h"

#include <cstdint>
#include <cstring>
#include <exception>

#include "registry/PublicOpt.h"

namespace vsc {

namespace {

bool InprocServerBroken(const std::string& text) {
    if (text.empty() || Contains(text, '?')) return false;
    std::string path = text;
    if (Contains(path, '"')) path = StripQuotes(path);
    if (Contains(path, '%')) path = ExpandLeadingEnvVar(path);
    // A bare file name is looked for in the system directory only.
    if (!Contains(path, '\\') && Contains(path, '.')) path = GetSystemDir() + "\\" + path;
    return HasDriveRoot(path) && !FileOrFolderExists(path);
}

bool AppPathBroken(std::string& data) {
    if (!Contains(data, '\\') || Contains(data, '?')) return false;
    if (Contains(data, '"')) data = StripQuotes(data);
    if (Contains(data, '%')) data = ExpandLeadingEnvVar(data);
    // A folder does not count as the program file.
    return Contains(data, '.') && HasDriveRoot(data) && !FileExistsWithDrive(data);
}

bool StartupBroken(const std::string& name, const std::string& text) {
    if (IsBlank(name)) return false;  // the default value is not a startup entry
    std::string program = text;
    if (Contains(program, '"')) program = StripQuotes(program);
    if (IsBlank(program) || Trim(program).size() <= 4 || Contains(text, '?')) return false;
    // Only data that ends in the program's name: arguments after it keep it out.
    if (!EndsWithExt(program, ".EXE") && !EndsWithExt(program, ".DLL")) return false;
    if (Contains(program, '%')) program = ExpandLeadingEnvVar(program);
    return !FileExistsOnPath(program);
}

// The extensions are tried in table order; the first that yields a drive-qualified path to a
// missing file makes the entry broken.
bool UninstallBroken(const std::string& text) {
    if (Trim(text).size() <= 5 || Contains(text, '?')) return false;
    for (const char* ext : UninstallExtensions) {
        const std::string path = ExtractPathByExt(ext, text);
        if (!path.empty() && Contains(path, ':') && !FileExistsWithDrive(path)) return true;
    }
    return false;
}

bool SoundBroken(const std::string& name, std::string& data) {
    if (!IsBlank(name)) return false;  // only a key's default value names the sound
    if (IsBlank(data) || Contains(data, '?') || !EndsWithExt(data, ".WAV")) return false;
    if (!Contains(data, '\\')) data = EnvironmentVariable("windir") + "\\Media\\" + data;
    if (Contains(data, '%')) data = ExpandLeadingEnvVar(data);
    return !FileExistsWithDrive(data);
}

// The value-list frame of fonts and help files: neither name nor data blank, no '?' in the data.
bool ListedFileBroken(int category, const std::string& name, const std::string& text) {
    if (IsBlank(name) || IsBlank(text) || Contains(text, '?')) return false;
    std::string file;
    if (category == 4) {
        // A file name in the system's font folder, or a path of its own.
        file = Contains(text, '\\') ? text : EnvironmentVariable("windir") + "\\Fonts\\" + text;
    } else {
        // The value name is the help file, the data the folder that holds it.
        if (Contains(name, '\\')) return false;
        file = text + "\\" + name;
    }
    return !FileExistsWithDrive(file);
}

// Category 6: the value name is the shared file; only a drive-qualified name with an extension.
bool SharedFileBroken(const std::string& valueName) {
    return Trim(valueName).size() > 5 && valueName[1] == ':' && HasExtDot(valueName) &&
           !FileExistsWithDrive(valueName);
}

}  // namespace

bool FilePathExamined(const std::string& text) {
    // Only data that is exactly a drive-qualified path with a three-character extension.
    return !IsBlank(text) && !Contains(text, '?') && Contains(text, '\\') && text.size() > 7 && HasDriveRoot(text) &&
           HasExtDot(text);
}

bool TextEntryBroken(int category, const std::string& valueName, const std::string& text, std::string& data) {
    data = text;
    switch (category) {
    case 2: return InprocServerBroken(text);
    case 3: return AppPathBroken(data);
    case 4:
    case 5: return ListedFileBroken(category, valueName, text);
    case 7: return StartupBroken(valueName, text);
    case 8: return UninstallBroken(text);
    case 12: return SoundBroken(valueName, data);
    case 13: return FilePathExamined(text) && !FileOrFolderExists(text);
    default: return true;  // no rule: the data alone tells
    }
}

bool EntryStillBroken(int category, const TNTRegistry& registry, const std::string& valueName, std::string& data) {
    try {
        if (category == 6) {
            if (IsBlank(valueName) || Contains(valueName, '?')) return false;
            data = std::to_string(registry.ReadNumber(valueName));
            return SharedFileBroken(valueName);
        }
        if (!IsStringKind(registry.ValueKind(valueName))) return false;
        return TextEntryBroken(category, valueName, registry.ReadText(valueName), data);
    } catch (const std::exception&) {
        return false;
    }
}

bool StoredEntryBroken(int category, const std::string& valueName, DWORD regType, const std::string& raw,
                       std::string& data) {
    if (category == 6) {
        // As ReadNumber reads it: a REG_DWORD of at most four bytes.
        if (IsBlank(valueName) || Contains(valueName, '?')) return false;
        if (KindOfRegType(regType) != vkInteger || raw.size() > sizeof(std::int32_t)) return false;
        std::int32_t number = 0;
        std::memcpy(&number, raw.data(), raw.size());
        data = std::to_string(number);
        return SharedFileBroken(valueName);
    }
    // As ReadText reads it: the text up to its first zero byte.
    if (!IsStringKind(KindOfRegType(regType))) return false;
    try {
        return TextEntryBroken(category, valueName, raw.substr(0, raw.find('\0')), data);
    } catch (const std::exception&) {
        return false;
    }
}

bool ShortcutStillBroken(const std::string& linkPath, std::string& target) {
    target.clear();
    try {
        if (!FileExistsWithDrive(linkPath)) return false;
        target = GetShortcutTarget(linkPath);
    } catch (...) {
        return false;
    }
    return !target.empty() && !Contains(target, '?') && !FileExistsWithDrive(target) && !FolderExists(target);
}

}  // namespace vsc
