// The ignore list: registry values, registry keys, files, folders and file masks that the scans
// pass over. Portable (no windows.h): the stored form, its reading and writing, and the matching.
//
// Stored form. The list is the section "[IgnoreList]" of "Config.Ini" (its header found as the
// system's profile functions find it: blanks inside the brackets and a comment after them are
// allowed), one entry a line:
//
//     [IgnoreList]
//     ; a comment
//     Value=HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Fonts|Courier 10,12,15
//     Key=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\CLSID\{0000-...}
//     File=C:\windows\system32\drivers\gm.dls
//     Folder=C:\Program Files\Kept
//     Mask=*.bak
//
// The word before the first "=" is the kind (any letter case, blanks around it allowed); the rest
// of the line, without blanks at its ends, is the entry: a key path, a key path, "|" and a value
// name (the empty name is the key's default value), a full file or folder path, or a mask. Inside
// the entry "%" and two hexadecimal digits stand for that byte: the program writes "%25" for "%",
// "%7C" for a "|" of a value entry, "%0D" and "%0A" for line breaks, and "%20" for a blank at
// either end; every other character ("=", ";", "[", "<", ">", "\") stands as it is. A "%" that is
// not followed by two hexadecimal digits is itself. Blank lines and lines beginning with ";" or "#"
// are comments. A line that cannot be read is reported with its number and passed over; it stays
// in the file when the program rewrites the section. A file without the section is an empty list.
//
// Matching ignores letter case, as Windows does for paths and registry names. A key entry covers
// the key and every key below it; a folder entry covers the folder and everything below it. In
// both, only whole names count: "C:\A" covers "C:\A\x" but not "C:\AB".
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/portable/Text.h"
#include "registry/portable/CategoryNumbers.h"

namespace vsc {

extern const char* const kIgnoreSection;  // "IgnoreList"

enum class IgnoreKind { Value, Key, File, Folder, Mask };

struct IgnoreEntry {
    IgnoreKind Kind = IgnoreKind::File;
    std::string Path;       // key path, file or folder path, or the mask
    std::string ValueName;  // Value entries only

    bool operator==(const IgnoreEntry& other) const;
};

// The kind's word in the file ("Value", "Key", "File", "Folder", "Mask").
const char* IgnoreKindWord(IgnoreKind kind);
// The kind as the dialog shows it ("Registry value", "Registry key", "File", "Folder", "Mask").
const char* IgnoreKindCaption(IgnoreKind kind);

// Why the entry cannot be stored or matched ("" when it can). Key paths must begin with one of the
// seven root names; file and folder paths must be full paths ("C:\..." or "\\server\share..."),
// without "*" or "?"; masks follow the rules of the junk-file filters.
std::string IgnoreEntryProblem(const IgnoreEntry& entry);
// The entry in the form the list keeps: the root name spelled as in the table, no backslash at the
// end of a key or folder path (except a root key "HKEY_LOCAL_MACHINE\" or a drive "C:\").
IgnoreEntry NormalIgnoreEntry(const IgnoreEntry& entry);
// The mask "Ignore files like this" makes of a file name: "*." and its extension; "" when the
// name has no extension.
std::string MaskOfFileName(const std::string& name);

// The stored line of an entry (without line break).
std::string IgnoreLineText(const IgnoreEntry& entry);

// One line of the section as read.
struct IgnoreLine {
    int Number = 0;         // line number in the file, from 1
    std::string Text;       // the line as it stands, without its line break
    bool IsEntry = false;   // holds an entry
    IgnoreEntry Entry;      // with IsEntry
    std::string Problem;    // why the line is passed over ("" for entries and comments)
};

struct IgnoreSection {
    std::vector<IgnoreLine> Lines;
    std::vector<IgnoreEntry> Entries() const;
    // The lines passed over because they cannot be read.
    std::vector<IgnoreLine> BadLines() const;
};

// The section of an INI file's text (the first "[IgnoreList]", if several); no section gives no lines.
IgnoreSection ReadIgnoreSection(const std::string& fileText);

// The file's text with the entries added at the end of the section (the section is appended to
// the file when it has none). Entries already in the list are not added twice; entries that
// cannot be stored are left out. Every other line of the file stays as it is.
std::string WithIgnoreEntriesAdded(const std::string& fileText, const std::vector<IgnoreEntry>& entries);
// The file's text without the lines that hold the entry.
std::string WithIgnoreEntryRemoved(const std::string& fileText, const IgnoreEntry& entry);

// "Line 7: File=x (not a full path)" and so on, one line per bad line; "" when there are none.
std::string BadIgnoreLinesText(const IgnoreSection& section);

// Case folding used for matching: by default ASCII letters only; the Windows side supplies one that
// folds every letter as the system does.
using CaseFold = std::function<std::string(const std::string&)>;

// The entries prepared for matching. Call the questions from one thread at a time.
class TIgnoreList {
public:
    TIgnoreList() = default;
    explicit TIgnoreList(const std::vector<IgnoreEntry>& entries, CaseFold fold = UpperAscii);

    bool Empty() const { return count_ == 0; }
    std::size_t Count() const { return count_; }
    // A registry value: a value entry of this key path and name, or a key entry of the key or of
    // one above it.
    bool IgnoresValue(const std::string& keyPath, const std::string& valueName) const;
    // A file or folder by its full path: a file entry of it, a folder entry of it or of a folder
    // above it, or a mask that its name (the text after the last "\") matches.
    bool IgnoresFile(const std::string& fullPath) const;
    // A result of a registry scan: a broken shortcut (kShortcutCategory) by its path, any other by
    // its key path and value name.
    bool IgnoresProblem(int category, const std::string& keyPath, const std::string& valueName) const {
        return category == kShortcutCategory ? IgnoresFile(keyPath) : IgnoresValue(keyPath, valueName);
    }

    // The lines of the stored list that were passed over (BadIgnoreLinesText), for the scans' end
    // messages; "" when there were none.
    std::string UnreadLines;

private:
    struct Prepared;
    std::shared_ptr<const Prepared> prepared_;
    std::size_t count_ = 0;
};

}  // namespace vsc
