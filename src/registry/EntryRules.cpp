#include "registry/EntryRules.h"

#include <cstdint>
#include <cstring>
#include <exception>

#include "registry/Categories.h"
#include "registry/PublicOpt.h"

namespace vsc {

namespace {

TargetCheck InprocServerCheck(const std::string& text, TTargetProbe& targets) {
    if (text.empty() || Contains(text, '?')) return PresentTarget();
    std::string path = text;
    if (Contains(path, '"')) path = StripQuotes(path);
    if (Contains(path, '%')) path = ExpandLeadingEnvVar(path);
    // A bare file name is looked for in the system directory only.
    if (!Contains(path, '\\') && Contains(path, '.')) path = GetSystemDir() + "\\" + path;
    if (!HasDriveRoot(path)) return PresentTarget();
    return targets.FileOrFolder(path);
}

TargetCheck AppPathCheck(std::string& data, TTargetProbe& targets) {
    if (!Contains(data, '\\') || Contains(data, '?')) return PresentTarget();
    if (Contains(data, '"')) data = StripQuotes(data);
    if (Contains(data, '%')) data = ExpandLeadingEnvVar(data);
    // A folder does not count as the program file.
    if (!Contains(data, '.') || !HasDriveRoot(data)) return PresentTarget();
    return targets.File(data);
}

TargetCheck StartupCheck(const std::string& name, const std::string& text, TTargetProbe& targets) {
    if (IsBlank(name)) return PresentTarget();  // the default value is not a startup entry
    std::string program = text;
    if (Contains(program, '"')) program = StripQuotes(program);
    if (IsBlank(program) || Trim(program).size() <= 4 || Contains(text, '?')) return PresentTarget();
    // Only data that ends in the program's name: arguments after it keep it out.
    if (!EndsWithExt(program, ".EXE") && !EndsWithExt(program, ".DLL")) return PresentTarget();
    if (Contains(program, '%')) program = ExpandLeadingEnvVar(program);
    return targets.OnPath(program);
}

// The extensions are tried in table order; the first that yields a drive-qualified path to a
// missing file makes the entry broken. When none does, the first path that could not be reached
// lists the entry as uncertain.
TargetCheck UninstallCheck(const std::string& text, TTargetProbe& targets) {
    if (Trim(text).size() <= 5 || Contains(text, '?')) return PresentTarget();
    TargetCheck uncertain;
    for (const char* ext : UninstallExtensions) {
        const std::string path = ExtractPathByExt(ext, text);
        if (path.empty() || !Contains(path, ':')) continue;
        const TargetCheck check = targets.File(path);
        if (check.Certain()) return check;
        if (check.Listed() && !uncertain.Listed()) uncertain = check;
    }
    return uncertain;
}

TargetCheck SoundCheck(const std::string& name, std::string& data, TTargetProbe& targets) {
    if (!IsBlank(name)) return PresentTarget();  // only a key's default value names the sound
    if (IsBlank(data) || Contains(data, '?') || !EndsWithExt(data, ".WAV")) return PresentTarget();
    if (!Contains(data, '\\')) data = EnvironmentVariable("windir") + "\\Media\\" + data;
    if (Contains(data, '%')) data = ExpandLeadingEnvVar(data);
    return targets.File(data);
}

// The value-list frame of fonts and help files: neither name nor data blank, no '?' in the data.
TargetCheck ListedFileCheck(int category, const std::string& name, const std::string& text, TTargetProbe& targets) {
    if (IsBlank(name) || IsBlank(text) || Contains(text, '?')) return PresentTarget();
    std::string file;
    if (category == 4) {
        // A file name in the system's font folder, or a path of its own.
        file = Contains(text, '\\') ? text : EnvironmentVariable("windir") + "\\Fonts\\" + text;
    } else {
        // The value name is the help file, the data the folder that holds it.
        if (Contains(name, '\\')) return PresentTarget();
        file = text + "\\" + name;
    }
    return targets.File(file);
}

// Category 6: the value name is the shared file; only a drive-qualified name with an extension.
TargetCheck SharedFileCheck(const std::string& valueName, TTargetProbe& targets) {
    if (Trim(valueName).size() <= 5 || valueName[1] != ':' || !HasExtDot(valueName)) return PresentTarget();
    return targets.File(valueName);
}

}  // namespace

bool FilePathExamined(const std::string& text) {
    // Only data that is exactly a drive-qualified path with a three-character extension.
    return !IsBlank(text) && !Contains(text, '?') && Contains(text, '\\') && text.size() > 7 && HasDriveRoot(text) &&
           HasExtDot(text);
}

// Each rule records the data as read unless it says otherwise.
TargetCheck NoRule(const std::string&, const std::string& text, std::string& data, TTargetProbe&) {
    data = text;
    return TargetCheck{Existence::Missing, "no rule"};  // the data alone tells
}

TargetCheck InprocServerRule(const std::string&, const std::string& text, std::string& data, TTargetProbe& targets) {
    data = text;
    return InprocServerCheck(text, targets);
}

TargetCheck AppPathRule(const std::string&, const std::string& text, std::string& data, TTargetProbe& targets) {
    data = text;
    return AppPathCheck(data, targets);
}

TargetCheck FontRule(const std::string& name, const std::string& text, std::string& data, TTargetProbe& targets) {
    data = text;
    return ListedFileCheck(4, name, text, targets);
}

TargetCheck HelpFileRule(const std::string& name, const std::string& text, std::string& data, TTargetProbe& targets) {
    data = text;
    return ListedFileCheck(5, name, text, targets);
}

TargetCheck SharedFileRule(const std::string& name, const std::string& text, std::string& data, TTargetProbe& targets) {
    data = text;
    return SharedFileCheck(name, targets);
}

TargetCheck StartupRule(const std::string& name, const std::string& text, std::string& data, TTargetProbe& targets) {
    data = text;
    return StartupCheck(name, text, targets);
}

TargetCheck UninstallRule(const std::string&, const std::string& text, std::string& data, TTargetProbe& targets) {
    data = text;
    return UninstallCheck(text, targets);
}

TargetCheck SoundRule(const std::string& name, const std::string& text, std::string& data, TTargetProbe& targets) {
    data = text;
    return SoundCheck(name, data, targets);
}

TargetCheck FilePathRule(const std::string&, const std::string& text, std::string& data, TTargetProbe& targets) {
    data = text;
    return FilePathExamined(text) ? targets.FileOrFolder(text) : PresentTarget();
}

TargetCheck ShortcutRule(const std::string& name, const std::string&, std::string& data, TTargetProbe& targets) {
    return ShortcutCheck(name, data, targets);
}

TargetCheck TextEntryCheck(int category, const std::string& valueName, const std::string& text, std::string& data,
                           TTargetProbe& targets) {
    const CategoryEntry* entry = CategoryOf(category);
    return (entry ? entry->Rule : NoRule)(valueName, text, data, targets);
}

TargetCheck EntryCheck(int category, const TNTRegistry& registry, const std::string& valueName, std::string& data,
                       TTargetProbe& targets) {
    DWORD regType = REG_NONE;
    std::string raw;
    if (!registry.ReadRawValue(valueName, regType, raw)) return PresentTarget();
    return StoredEntryCheck(category, valueName, regType, raw, data, targets);
}

TargetCheck StoredEntryCheck(int category, const std::string& valueName, DWORD regType, const std::string& raw,
                             std::string& data, TTargetProbe& targets) {
    try {
        const CategoryEntry* entry = CategoryOf(category);
        if (entry && entry->Reads == vkInteger) {
            // As ReadNumber reads it: a REG_DWORD of at most four bytes.
            if (IsBlank(valueName) || Contains(valueName, '?')) return PresentTarget();
            if (KindOfRegType(regType) != vkInteger || raw.size() > sizeof(std::int32_t)) return PresentTarget();
            std::int32_t number = 0;
            std::memcpy(&number, raw.data(), raw.size());
            return entry->Rule(valueName, std::to_string(number), data, targets);
        }
        // A shortcut is no value: nothing stored in the registry is judged by its rule.
        if (entry && entry->Reads == vkUnknown) return PresentTarget();
        // As ReadText reads it: the text up to its first zero byte.
        if (!IsStringKind(KindOfRegType(regType))) return PresentTarget();
        return TextEntryCheck(category, valueName, raw.substr(0, raw.find('\0')), data, targets);
    } catch (const std::exception&) {
        return PresentTarget();
    }
}

TargetCheck ShortcutCheck(const std::string& linkPath, std::string& target, TTargetProbe& targets) {
    target.clear();
    try {
        if (!FileExistsWithDrive(linkPath)) return PresentTarget();
        target = GetShortcutTarget(linkPath);
    } catch (...) {
        return PresentTarget();
    }
    if (target.empty() || Contains(target, '?')) return PresentTarget();
    return targets.FileOrFolder(target);
}

}  // namespace vsc
