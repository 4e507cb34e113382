// The recursive key walks: categories 7 (startup entries), 12 (sound events), 13 (file paths), and
// the walk of categories 1, 9 and 11 that visits keys without recording anything.
//
// How the walk works. A key and everything below it is visited depth first: a key's own values
// in index order, then each sub-key in index order, each sub-key walked completely before the
// next. Every level has its own registry object: the start key is opened by its key path, each
// sub-key by its name below its parent's open key, and each opening shows the key in the progress
// display. A sub-key that is a registry link is never entered. A level's counts are taken once,
// when it is opened. The levels live on an explicit stack on the heap, not on the thread's stack, so a chain as deep
// as the registry allows (512 levels) costs no more stack than a single key.
//
// A value or sub-key that can no longer be read at its index (the key changed during the walk)
// is passed over and the walk goes on. An error raised while a level examines its values or
// sub-keys ends that level only; its parent goes on with its next sub-key. A stop request ends
// every level at its next test: the whole walk returns.
//
// Speed: each value's name, type and data come from one enumeration call, so a string value costs
// one registry call instead of three (kind, size, data); the data is read again by name only when
// it did not fit the walk's buffer.
#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "registry/EntryRules.h"
#include "registry/PublicOpt.h"
#include "registry/ScanContext.h"

namespace vsc {

namespace {

// Longest value name the registry allows, in bytes of 8-bit text (up to three per character in
// UTF-8, the process code page), with its terminator.
constexpr DWORD kLongestValueName = 16383 * 3 + 1;  // UTF-8: up to three bytes per UTF-16 unit
constexpr DWORD kLongestKeyName = 255 * 3 + 1;
// Data longer than this is not fetched with the enumeration; the value step reads it by name.
constexpr DWORD kEnumDataCap = 64 * 1024;

// One enumerated value, as its value step sees it: the kind of its data and, on demand, its text
// with the rules of TNTRegistry::ReadText.
class ValueView {
public:
    ValueView(const TNTRegistry& registry, const std::string& name, DWORD type, const char* data, DWORD size,
              bool haveData)
        : registry_(registry), name_(name), type_(type), data_(data), size_(size), haveData_(haveData) {}

    const std::string& Name() const { return name_; }
    ValueKind Kind() const { return KindOfRegType(type_); }
    bool IsText() const { return Kind() == vkString || Kind() == vkExpandString; }
    // The text up to the first zero byte; "" for empty data. Raises ERegistryException "Invalid data
    // type" for data of any other kind, as ReadText does.
    std::string Text() const {
        if (!haveData_) return registry_.ReadText(name_);
        if (size_ == 0) return std::string();
        if (!IsText()) throw ERegistryException("Invalid data type for '" + name_ + "'");
        return std::string(data_, strnlen(data_, size_));
    }

private:
    const TNTRegistry& registry_;
    const std::string& name_;
    DWORD type_;
    const char* data_;
    DWORD size_;
    bool haveData_;
};

struct WalkLevel {
    TNTRegistry registry;
    std::string keyPath;
    KeyInfo info;
    DWORD nextSubKey = 0;
};

// The walk frame shared by the four walks. Step is called as step(keyPath, ValueView&) for every
// value that could be read; descend(path) says whether a sub-key is entered.
class KeyWalker {
public:
    explicit KeyWalker(ScanContext& scan) : scan_(scan), name_(256), data_(1024), subKeyName_(256) {}

    template <typename Step, typename Descend>
    void Walk(const std::string& start, Step step, Descend descend, bool showAfterEachValue) {
        std::vector<std::unique_ptr<WalkLevel>> levels;
        if (!Enter(start, levels)) return;
        if (!VisitValues(*levels.back(), step, showAfterEachValue)) return;
        while (!levels.empty()) {
            WalkLevel& level = *levels.back();
            std::string child;
            std::string childName;
            try {
                if (level.nextSubKey >= level.info.SubKeyCount) {
                    levels.pop_back();
                    continue;
                }
                if (scan_.StopRequested()) return;
                if (!SubKeyName(level, level.nextSubKey++, childName)) continue;
                child = level.keyPath + "\\" + childName;
                if (!descend(child)) continue;
            } catch (const std::exception&) {
                levels.pop_back();
                continue;
            }
            if (!Enter(child, levels, &level, childName)) continue;
            if (!VisitValues(*levels.back(), step, showAfterEachValue)) return;
        }
    }

private:
    // Opens a level and pushes it; false (nothing pushed) when the key or its counts cannot be read.
    // The start key is opened by its key path. A sub-key is opened by its name below its parent's
    // open key (the parent outlives it on the stack), with the same access fallback and progress
    // display: a key whose path is longer than the 8-bit registry calls take as one text (under
    // Wine, MAX_PATH characters) is still reached.
    bool Enter(const std::string& keyPath, std::vector<std::unique_ptr<WalkLevel>>& levels,
               const WalkLevel* parent = nullptr, const std::string& name = std::string()) {
        try {
            auto level = std::make_unique<WalkLevel>();
            level->keyPath = keyPath;
            const bool opened = parent ? scan_.OpenSubKey(keyPath, parent->registry, name, level->registry)
                                       : scan_.OpenKey(keyPath, level->registry);
            if (!opened) return false;
            if (!level->registry.QueryKeyInfo(level->info)) return false;
            // A registry link is not entered: what it leads to is walked where it really lives,
            // when the walk reaches it there.
            if (parent && IsLinkKey(level->registry.OpenHandle(), level->info)) return false;
            levels.push_back(std::move(level));
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }

    // The values of a freshly entered level. False when a stop was requested (the walk ends). An
    // error ends the whole level: its remaining values and all its sub-keys are left out.
    template <typename Step>
    bool VisitValues(WalkLevel& level, Step& step, bool showAfterEachValue) {
        try {
            const HKEY key = level.registry.OpenHandle();
            Grow(name_, level.info.MaxValueNameLength + 1);
            Grow(data_, std::min<DWORD>(level.info.MaxDataLength + 2, kEnumDataCap));
            for (DWORD i = 0; i < level.info.ValueCount; ++i) {
                if (scan_.StopRequested()) return false;
                DWORD nameLength = static_cast<DWORD>(name_.size());
                DWORD dataLength = static_cast<DWORD>(data_.size());
                DWORD type = REG_NONE;
                bool haveData = true;
                LONG rc = RegEnumValueA(key, i, name_.data(), &nameLength, nullptr, &type,
                                        reinterpret_cast<BYTE*>(data_.data()), &dataLength);
                if (rc == ERROR_MORE_DATA) {
                    // The name or the data did not fit: ask again for the name and type alone.
                    Grow(name_, kLongestValueName);
                    nameLength = static_cast<DWORD>(name_.size());
                    haveData = false;
                    rc = RegEnumValueA(key, i, name_.data(), &nameLength, nullptr, &type, nullptr, nullptr);
                }
                if (rc == ERROR_SUCCESS) {
                    if (nameLength > name_.size()) nameLength = static_cast<DWORD>(name_.size());
                    if (dataLength > data_.size()) dataLength = static_cast<DWORD>(data_.size());
                    const std::string name(name_.data(), strnlen(name_.data(), nameLength));
                    if (Contains(name, '?')) {
                        // The name may not have survived the conversion to the ANSI code page: the
                        // value is then known by its name only as the registry resolves that name
                        // (no value, or another value spelt with a real '?'), never by the data
                        // enumerated here, or a problem would name one value and show another's data.
                        haveData = false;
                        DWORD size = 0;
                        if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                            type = REG_NONE;
                    }
                    ValueView value(level.registry, name, type, data_.data(), dataLength, haveData);
                    step(level.keyPath, value);
                }
                if (showAfterEachValue) scan_.ShowAgain();
            }
        } catch (const std::exception&) {
            level.info.SubKeyCount = 0;
        }
        return true;
    }

    bool SubKeyName(WalkLevel& level, DWORD index, std::string& name) {
        Grow(subKeyName_, level.info.MaxSubKeyNameLength + 1);
        for (int attempt = 0; attempt < 2; ++attempt) {
            DWORD length = static_cast<DWORD>(subKeyName_.size());
            const LONG rc = RegEnumKeyExA(level.registry.OpenHandle(), index, subKeyName_.data(), &length, nullptr,
                                          nullptr, nullptr, nullptr);
            if (rc == ERROR_SUCCESS) {
                if (length > subKeyName_.size()) length = static_cast<DWORD>(subKeyName_.size());
                name.assign(subKeyName_.data(), strnlen(subKeyName_.data(), length));
                return true;
            }
            if (rc != ERROR_MORE_DATA) return false;
            Grow(subKeyName_, kLongestKeyName);  // renamed or added since the counts were taken
        }
        return false;
    }

    static void Grow(std::vector<char>& buffer, DWORD size) {
        if (buffer.size() < size) buffer.resize(size);
    }

    ScanContext& scan_;
    // Shared by all levels: values are examined one at a time.
    std::vector<char> name_;
    std::vector<char> data_;
    std::vector<char> subKeyName_;
};

bool EveryKey(const std::string&) { return true; }

// Answers, for the span of one file-path walk, whether a drive-rooted text names an existing file
// or folder (TTargetProbe::FileOrFolder). The walk of HKEY_LOCAL_MACHINE\SOFTWARE meets the same
// files again and again (system libraries, a program's own folder), and the file system is slow to
// ask, so on a fixed or RAM drive the answers are remembered:
//  - the finding for each text (letter case of ASCII letters ignored, as the file system does);
//  - the folders known to be missing: nothing below a missing folder exists, so the other paths of
//    an uninstalled program cost no further test;
//  - the folders known to exist, so that a missing file in an existing folder costs one test.
// One attribute query answers for nearly every entry that exists, and for every entry whose folder
// is missing; another entry it does not find is searched for as the file test does. A text with a
// wildcard is never remembered: it matches as a pattern. Paths on any other root are left to the
// probe, which asks about that root once. Each table is emptied when it reaches its bound, so
// memory stays small however large the registry.
class ExistenceCache {
public:
    explicit ExistenceCache(TTargetProbe& targets) : targets_(targets) {}

    TargetCheck FileOrFolder(const std::string& path) {
        if (path.find_first_of("*?") != std::string::npos || !targets_.OnLocalDrive(path))
            return targets_.FileOrFolder(path);
        const std::string key = UpperAscii(path);
        const auto known = known_.find(key);
        if (known != known_.end()) return known->second;
        const std::string folder = FolderOf(key);
        TargetCheck found;
        if (!folder.empty() && missingFolders_.count(folder)) {
            found = targets_.Judge(path, LookupResult{false, false, ERROR_PATH_NOT_FOUND}, true);
        } else {
            bool folderMissing = false;
            found = Test(path, &folderMissing);
            if (found.Certain() && !folder.empty()) {
                if (folderMissing)
                    Remember(missingFolders_, folder);
                else if (!presentFolders_.count(folder))
                    LearnFolder(path.substr(0, folder.size()), folder);
            }
        }
        if (known_.size() >= kBound) known_.clear();
        known_.emplace(key, found);
        return found;
    }

private:
    static constexpr std::size_t kBound = 1u << 16;

    // When the attribute query says that the path's folder is not there (ERROR_PATH_NOT_FOUND: the
    // folder, or a folder above it, is missing or is a file), no search can find the entry either:
    // the answer is "missing" at once, and *folderMissing says so, which spares two more questions.
    TargetCheck Test(const std::string& path, bool* folderMissing) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) return PresentTarget();
        const DWORD error = GetLastError();
        if (error == ERROR_PATH_NOT_FOUND) {
            *folderMissing = true;
            return targets_.Judge(path, LookupResult{false, false, error}, true);
        }
        return targets_.File(path);
    }
    // The folder part of "X:\folder\name" ("X:\folder"); "" for a name in a drive's root.
    static std::string FolderOf(const std::string& path) {
        const auto slash = path.rfind('\\');
        return (slash == std::string::npos || slash <= 2) ? std::string() : path.substr(0, slash);
    }
    // A folder is remembered as missing only when the file system says that it is not there (or is
    // a file): a folder that merely cannot be asked about is asked about again next time.
    void LearnFolder(const std::string& folder, const std::string& key) {
        const DWORD attributes = GetFileAttributesA(folder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            Remember((attributes & FILE_ATTRIBUTE_DIRECTORY) ? presentFolders_ : missingFolders_, key);
            return;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) Remember(missingFolders_, key);
    }
    static void Remember(std::unordered_set<std::string>& table, const std::string& folder) {
        if (table.size() >= kBound) table.clear();
        table.insert(folder);
    }

    TTargetProbe& targets_;
    std::unordered_map<std::string, TargetCheck> known_;
    std::unordered_set<std::string> missingFolders_;
    std::unordered_set<std::string> presentFolders_;
};

}  // namespace

void ScanStartupEntries(ScanContext& scan, const std::string& keyPath) {
    KeyWalker(scan).Walk(
        keyPath,
        [&scan](const std::string& at, const ValueView& value) {
            if (IsBlank(value.Name()) || !value.IsText()) return;
            std::string data;
            scan.RecordIfListed(StartupRule(value.Name(), value.Text(), data, scan.Targets()), at, value.Name(), data);
        },
        EveryKey, true);
}

void ScanSoundEvents(ScanContext& scan, const std::string& keyPath) {
    KeyWalker(scan).Walk(
        keyPath,
        [&scan](const std::string& at, const ValueView& value) {
            if (!IsBlank(value.Name()) || !value.IsText()) return;
            std::string data;
            scan.RecordIfListed(SoundRule(value.Name(), value.Text(), data, scan.Targets()), at, value.Name(), data);
        },
        EveryKey, false);
}

void ScanFilePaths(ScanContext& scan, const std::string& keyPath) {
    ExistenceCache files(scan.Targets());
    KeyWalker(scan).Walk(
        keyPath,
        [&scan, &files](const std::string& at, const ValueView& value) {
            if (!value.IsText()) return;
            const std::string data = value.Text();
            // The rule of FilePathRule, with the walk's remembered answers.
            if (FilePathExamined(data)) scan.RecordIfListed(files.FileOrFolder(data), at, value.Name(), data);
        },
        // The keys of the other categories (and a few more) are left to their own checks.
        [](const std::string& child) { return KeyNotExcluded(child); }, false);
}

// Visits every key below the argument and looks at each default value, but records nothing: no
// rule turns what it finds into a problem. A default value that is not text ends its key's level.
void ScanDefaultValues(ScanContext& scan, const std::string& keyPath) {
    KeyWalker(scan).Walk(
        keyPath,
        [](const std::string&, const ValueView& value) {
            if (!IsBlank(value.Name())) return;
            const std::string text = value.Text();
            if (!IsBlank(text)) (void)FileExistsWithDrive(ExpandLeadingEnvVar(text));
        },
        EveryKey, false);
}

// Categories 9 and 10 record nothing: they visit their keys so that the scan shows them.
void ScanVirtualDevices(ScanContext& scan, const std::string& keyPath) { ScanDefaultValues(scan, keyPath); }

void ScanConfigFiles(ScanContext& scan, const std::string& keyPath) {
    if (scan.StopRequested()) return;
    TNTRegistry registry;
    scan.OpenKey(keyPath, registry);
}

}  // namespace vsc
