#include "settings/portable/IgnoreList.h"

#include <algorithm>
#include <cstddef>

#include "platform/portable/Mask.h"
#include "platform/portable/Text.h"
#include "registry/portable/KeyPath.h"
#include "settings/portable/FilterList.h"

namespace vsc {

const char* const kIgnoreSection = "IgnoreList";

namespace {

const IgnoreKind kKinds[] = {IgnoreKind::Value, IgnoreKind::Key, IgnoreKind::File, IgnoreKind::Folder,
                             IgnoreKind::Mask};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimBlanks(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}


std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 && HexDigitValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string EscapeByte(unsigned char c) {
    static const char digits[] = "0123456789ABCDEF";
    return std::string{'%', digits[c >> 4], digits[c & 15]};
}

// One part of a stored entry; `bar` escapes "|" too (the parts of a value entry).
std::string Escape(const std::string& text, bool bar) {
    std::string out;
    for (unsigned char c : text) {
        if (c == '%' || c < 0x20 || c == 0x7F || (bar && c == '|'))
            out += EscapeByte(c);
        else
            out += static_cast<char>(c);
    }
    return out;
}

// Blanks at the ends of the whole stored entry, which the reader would trim.
std::string GuardEnds(std::string text) {
    if (!text.empty() && IsBlank(text.back()))
        text = text.substr(0, text.size() - 1) + EscapeByte(static_cast<unsigned char>(text.back()));
    if (!text.empty() && IsBlank(text.front()))
        text = EscapeByte(static_cast<unsigned char>(text.front())) + text.substr(1);
    return text;
}

bool IsFullPath(const std::string& path) {
    const bool drive = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                       path[1] == ':' && path[2] == '\\';
    const bool share = path.size() >= 5 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\' &&
                       path.find('\\', 2) != std::string::npos;
    return drive || share;
}

std::string KeyPathProblem(const std::string& keyPath) {
    const SplitPath split = SplitKeyPath(keyPath);
    for (int i = 0; i < kRootKeyCount; ++i)
        if (EqualsNoCaseAscii(split.root.empty() ? keyPath : split.root, RootKeyNames[i])) return "";
    return "the key path does not begin with a root key such as HKEY_LOCAL_MACHINE";
}

std::string FilePathProblem(const std::string& path) {
    if (!IsFullPath(path)) return "not a full path such as C:\\Folder\\File.ext";
    if (path.find_first_of("*?") != std::string::npos) return "a path may not hold * or ? (use a mask)";
    return "";
}

// The mask rules of the junk-file filters, and the mask compiles.
std::string MaskProblem(const std::string& mask) {
    if (!ValidFilterMask(mask)) return "Invalid Characters";
    try {
        SplitMasks(mask);
    } catch (const EMaskException& e) {
        return e.what();
    }
    return "";
}

bool ParseKind(const std::string& word, IgnoreKind& kind) {
    for (IgnoreKind k : kKinds)
        if (EqualsNoCaseAscii(word, IgnoreKindWord(k))) {
            kind = k;
            return true;
        }
    return false;
}

// Splits the text into lines: each without its CR LF (or LF); `ending` gets the file's line break.
std::vector<std::string> SplitLines(const std::string& text, std::string& ending) {
    ending = text.find("\r\n") != std::string::npos || text.find('\n') == std::string::npos ? "\r\n" : "\n";
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

bool IsSectionHeader(const std::string& line) {
    const std::string t = TrimBlanks(line);
    return !t.empty() && t[0] == '[';
}

// As the system's profile functions read a header: the name runs from the "[" to the last "]" of
// the line, blanks around it do not count, and what follows that "]" (a comment) is not looked at.
bool IsOurHeader(const std::string& line) {
    const std::string t = TrimBlanks(line);
    const std::size_t close = t.rfind(']');
    return !t.empty() && t.front() == '[' && close != std::string::npos && close > 0 &&
           EqualsNoCaseAscii(TrimBlanks(t.substr(1, close - 1)), kIgnoreSection);
}

// The index range [first, end) of the section's lines (after its header) in `lines`; false when the
// file has no section.
bool FindSection(const std::vector<std::string>& lines, std::size_t& header, std::size_t& end) {
    for (header = 0; header < lines.size(); ++header)
        if (IsOurHeader(lines[header])) break;
    if (header == lines.size()) return false;
    for (end = header + 1; end < lines.size() && !IsSectionHeader(lines[end]);) ++end;
    return true;
}

IgnoreLine ReadLine(const std::string& text, int number) {
    IgnoreLine line;
    line.Number = number;
    line.Text = text;
    const std::string trimmed = TrimBlanks(text);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') return line;
    const std::size_t equals = trimmed.find('=');
    IgnoreKind kind;
    if (equals == std::string::npos || !ParseKind(TrimBlanks(trimmed.substr(0, equals)), kind)) {
        line.Problem = "no kind: write Value=, Key=, File=, Folder= or Mask= before the entry";
        return line;
    }
    const std::string stored = TrimBlanks(trimmed.substr(equals + 1));
    IgnoreEntry entry;
    entry.Kind = kind;
    if (kind == IgnoreKind::Value) {
        const std::size_t bar = stored.find('|');
        if (bar == std::string::npos) {
            line.Problem = "a value entry needs the key path, | and the value name";
            return line;
        }
        entry.Path = Unescape(stored.substr(0, bar));
        entry.ValueName = Unescape(stored.substr(bar + 1));
    } else {
        entry.Path = Unescape(stored);
    }
    line.Problem = IgnoreEntryProblem(entry);
    if (!line.Problem.empty()) return line;
    line.IsEntry = true;
    line.Entry = NormalIgnoreEntry(entry);
    return line;
}

std::string StripTrailingBackslashes(std::string path, std::size_t keep) {
    while (path.size() > keep && path.back() == '\\') path.pop_back();
    return path;
}

bool CoveredBelow(const std::string& folded, const std::string& top) {
    if (folded.size() < top.size() || folded.compare(0, top.size(), top) != 0) return false;
    // Whole names only: the text goes on with a backslash, or the entry itself ended in one.
    return folded.size() == top.size() || top.back() == '\\' || folded[top.size()] == '\\';
}

}  // namespace

bool IgnoreEntry::operator==(const IgnoreEntry& other) const {
    return Kind == other.Kind && EqualsNoCaseAscii(Path, other.Path) && EqualsNoCaseAscii(ValueName, other.ValueName);
}

const char* IgnoreKindWord(IgnoreKind kind) {
    switch (kind) {
    case IgnoreKind::Value: return "Value";
    case IgnoreKind::Key: return "Key";
    case IgnoreKind::File: return "File";
    case IgnoreKind::Folder: return "Folder";
    case IgnoreKind::Mask: return "Mask";
    }
    return "";
}

const char* IgnoreKindCaption(IgnoreKind kind) {
    switch (kind) {
    case IgnoreKind::Value: return "Registry value";
    case IgnoreKind::Key: return "Registry key";
    default: return IgnoreKindWord(kind);
    }
}

std::string IgnoreEntryProblem(const IgnoreEntry& entry) {
    switch (entry.Kind) {
    case IgnoreKind::Value:
    case IgnoreKind::Key: return KeyPathProblem(entry.Path);
    case IgnoreKind::File:
    case IgnoreKind::Folder: return FilePathProblem(entry.Path);
    case IgnoreKind::Mask: return MaskProblem(entry.Path);
    }
    return "unknown kind";
}

IgnoreEntry NormalIgnoreEntry(const IgnoreEntry& entry) {
    IgnoreEntry e = entry;
    if (e.Kind == IgnoreKind::Value || e.Kind == IgnoreKind::Key) {
        SplitPath split = SplitKeyPath(e.Path);
        if (split.root.empty()) split = {e.Path, ""};
        for (int i = 0; i < kRootKeyCount; ++i)
            if (EqualsNoCaseAscii(split.root, RootKeyNames[i])) split.root = RootKeyNames[i];
        e.Path = split.root + "\\" + StripTrailingBackslashes(split.subKey, 0);
    } else if (e.Kind == IgnoreKind::Folder) {
        e.Path = StripTrailingBackslashes(e.Path, e.Path.size() > 1 && e.Path[1] == ':' ? 3 : 2);
    }
    return e;
}

std::string MaskOfFileName(const std::string& name) {
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot + 1 == name.size()) return "";
    const std::string mask = "*" + name.substr(dot);
    return MaskProblem(mask).empty() ? mask : "";
}

std::string IgnoreLineText(const IgnoreEntry& entry) {
    std::string stored = entry.Kind == IgnoreKind::Value
                             ? Escape(entry.Path, true) + "|" + Escape(entry.ValueName, true)
                             : Escape(entry.Path, false);
    return std::string(IgnoreKindWord(entry.Kind)) + "=" + GuardEnds(stored);
}

std::vector<IgnoreEntry> IgnoreSection::Entries() const {
    std::vector<IgnoreEntry> entries;
    for (const IgnoreLine& line : Lines)
        if (line.IsEntry) entries.push_back(line.Entry);
    return entries;
}

std::vector<IgnoreLine> IgnoreSection::BadLines() const {
    std::vector<IgnoreLine> bad;
    for (const IgnoreLine& line : Lines)
        if (!line.Problem.empty()) bad.push_back(line);
    return bad;
}

IgnoreSection ReadIgnoreSection(const std::string& fileText) {
    std::string ending;
    const std::vector<std::string> lines = SplitLines(fileText, ending);
    IgnoreSection section;
    std::size_t header, end;
    if (!FindSection(lines, header, end)) return section;
    for (std::size_t i = header + 1; i < end; ++i) section.Lines.push_back(ReadLine(lines[i], static_cast<int>(i + 1)));
    return section;
}

std::string WithIgnoreEntriesAdded(const std::string& fileText, const std::vector<IgnoreEntry>& entries) {
    std::string ending;
    std::vector<std::string> lines = SplitLines(fileText, ending);
    std::size_t header, end;
    if (!FindSection(lines, header, end)) {
        if (!lines.empty() && TrimBlanks(lines.back()).empty()) lines.pop_back();
        lines.push_back(std::string("[") + kIgnoreSection + "]");
        header = lines.size() - 1;
        end = lines.size();
    }
    std::vector<IgnoreEntry> kept = ReadIgnoreSection(fileText).Entries();
    // New lines go after the section's last non-blank line.
    std::size_t at = end;
    while (at > header + 1 && TrimBlanks(lines[at - 1]).empty()) --at;
    std::vector<std::string> added;
    for (const IgnoreEntry& raw : entries) {
        if (!IgnoreEntryProblem(raw).empty()) continue;
        const IgnoreEntry entry = NormalIgnoreEntry(raw);
        if (std::find(kept.begin(), kept.end(), entry) != kept.end()) continue;
        kept.push_back(entry);
        added.push_back(IgnoreLineText(entry));
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
    std::string text;
    for (const std::string& line : lines) text += line + ending;
    return text;
}

std::string WithIgnoreEntryRemoved(const std::string& fileText, const IgnoreEntry& entry) {
    std::string ending;
    const std::vector<std::string> lines = SplitLines(fileText, ending);
    std::size_t header, end;
    if (!FindSection(lines, header, end)) return fileText;
    const IgnoreEntry wanted = NormalIgnoreEntry(entry);
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > header && i < end) {
            const IgnoreLine line = ReadLine(lines[i], static_cast<int>(i + 1));
            if (line.IsEntry && line.Entry == wanted) continue;
        }
        text += lines[i] + ending;
    }
    return text;
}

std::string BadIgnoreLinesText(const IgnoreSection& section) {
    std::string text;
    for (const IgnoreLine& line : section.BadLines()) {
        if (!text.empty()) text += "\r\n";
        text += "Line " + std::to_string(line.Number) + ": " + TrimBlanks(line.Text) + " (" + line.Problem + ")";
    }
    return text;
}

struct TIgnoreList::Prepared {
    CaseFold Fold;
    std::vector<std::string> Values;  // folded key path, "\n", folded value name
    std::vector<std::string> Keys;    // folded, each ending in a backslash
    std::vector<std::string> Files;   // folded
    std::vector<std::string> Folders; // folded
    std::vector<TMaskList> Masks;
};

TIgnoreList::TIgnoreList(const std::vector<IgnoreEntry>& entries, CaseFold fold) {
    auto p = std::make_shared<Prepared>();
    p->Fold = fold ? std::move(fold) : CaseFold(UpperAscii);
    for (const IgnoreEntry& raw : entries) {
        if (!IgnoreEntryProblem(raw).empty()) continue;
        const IgnoreEntry e = NormalIgnoreEntry(raw);
        switch (e.Kind) {
        case IgnoreKind::Value: p->Values.push_back(p->Fold(e.Path) + "\n" + p->Fold(e.ValueName)); break;
        case IgnoreKind::Key: p->Keys.push_back(p->Fold(e.Path)); break;
        case IgnoreKind::File: p->Files.push_back(p->Fold(e.Path)); break;
        case IgnoreKind::Folder: p->Folders.push_back(p->Fold(e.Path)); break;
        case IgnoreKind::Mask: p->Masks.push_back(SplitMasks(e.Path)); break;
        }
        ++count_;
    }
    prepared_ = std::move(p);
}

bool TIgnoreList::IgnoresValue(const std::string& keyPath, const std::string& valueName) const {
    if (!prepared_ || (prepared_->Values.empty() && prepared_->Keys.empty())) return false;
    const std::string key = prepared_->Fold(keyPath);
    if (std::find(prepared_->Values.begin(), prepared_->Values.end(), key + "\n" + prepared_->Fold(valueName)) !=
        prepared_->Values.end())
        return true;
    return std::any_of(prepared_->Keys.begin(), prepared_->Keys.end(),
                       [&key](const std::string& top) { return CoveredBelow(key, top); });
}

bool TIgnoreList::IgnoresFile(const std::string& fullPath) const {
    if (!prepared_ || count_ == 0) return false;
    const std::size_t slash = fullPath.find_last_of('\\');
    const std::string name = slash == std::string::npos ? fullPath : fullPath.substr(slash + 1);
    for (const TMaskList& masks : prepared_->Masks)
        if (MatchesAny(masks, name)) return true;
    if (prepared_->Files.empty() && prepared_->Folders.empty()) return false;
    const std::string path = prepared_->Fold(fullPath);
    if (std::find(prepared_->Files.begin(), prepared_->Files.end(), path) != prepared_->Files.end()) return true;
    return std::any_of(prepared_->Folders.begin(), prepared_->Folders.end(),
                       [&path](const std::string& top) { return CoveredBelow(path, top); });
}

}  // namespace vsc
