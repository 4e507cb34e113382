#include "settings/IgnoreListStore.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <exception>

#include "platform/CodePage.h"
#include "platform/Files.h"
#include "settings/Settings.h"

namespace vsc {

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// What the profile functions still hold goes to the file first (nothing is created).
void FlushProfileCache(const std::string& iniFileName) {
    if (Exists(iniFileName)) WritePrivateProfileStringA(nullptr, nullptr, nullptr, iniFileName.c_str());
}

std::string FileText(const std::string& iniFileName) {
    std::string bytes;
    if (!ReadWholeFile(iniFileName, bytes)) return std::string();
    return FileTextToProcess(bytes);
}

template <typename Change>
void ChangeFile(const std::string& iniFileName, Change change) {
    FlushProfileCache(iniFileName);
    const DWORD attributes = GetFileAttributesA(iniFileName.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    std::string bytes;
    // A file that is there but cannot be read is never replaced: its other settings would be lost.
    if ((exists && (attributes & FILE_ATTRIBUTE_READONLY)) || (exists && !ReadWholeFile(iniFileName, bytes)))
        throw EIniFileException("Unable to write to " + iniFileName);
    const std::string before = FileTextToProcess(bytes);
    const std::string after = change(before);
    if (exists && after == bytes) return;
    if (!ReplaceFileContents(iniFileName, after)) throw EIniFileException("Unable to write to " + iniFileName);
}

}  // namespace

IgnoreSection ReadIgnoreListFile(const std::string& iniFileName) {
    FlushProfileCache(iniFileName);
    return ReadIgnoreSection(FileText(iniFileName));
}

std::shared_ptr<const TIgnoreList> LoadIgnoreList(const std::string& iniFileName) {
    const IgnoreSection section = ReadIgnoreListFile(iniFileName);
    auto list = std::make_shared<TIgnoreList>(section.Entries(), SystemCaseFold);
    list->UnreadLines = BadIgnoreLinesText(section);
    return list;
}

void AddIgnoreEntries(const std::string& iniFileName, const std::vector<IgnoreEntry>& entries) {
    ChangeFile(iniFileName, [&entries](const std::string& text) { return WithIgnoreEntriesAdded(text, entries); });
}

void RemoveIgnoreEntry(const std::string& iniFileName, const IgnoreEntry& entry) {
    ChangeFile(iniFileName, [&entry](const std::string& text) { return WithIgnoreEntryRemoved(text, entry); });
}

std::function<bool(int, const std::string&, const std::string&)> PassOverTestOf(
    std::shared_ptr<const TIgnoreList> list) {
    if (!list || list->Empty()) return nullptr;
    return [list](int category, const std::string& keyPath, const std::string& valueName) {
        return list->IgnoresProblem(category, keyPath, valueName);
    };
}

std::string SystemCaseFold(const std::string& text) {
    bool ascii = true;
    for (unsigned char c : text) ascii = ascii && c < 0x80;
    if (ascii) return UpperAscii(text);
    std::wstring wide = ToWide(text);
    if (!wide.empty()) CharUpperBuffW(&wide[0], static_cast<DWORD>(wide.size()));
    return FromWide(wide);
}

std::string WithIgnoreNotes(const std::string& message, int ignored, const TIgnoreList* list) {
    std::string text = message;
    if (ignored > 0) text += " (" + std::to_string(ignored) + " ignored)";
    if (!list || list->UnreadLines.empty()) return text;
    // A message box shows the first few; the dialog lists them all.
    constexpr int kShownLines = 10;
    std::string lines = list->UnreadLines;
    std::size_t cut = std::string::npos, from = 0;
    for (int i = 0; i < kShownLines; ++i) {
        cut = lines.find("\r\n", from);
        if (cut == std::string::npos) break;
        from = cut + 2;
    }
    if (cut != std::string::npos) {
        const std::size_t rest = 1 + static_cast<std::size_t>(std::count(
                                         lines.begin() + static_cast<std::ptrdiff_t>(cut) + 2, lines.end(), '\n'));
        lines = lines.substr(0, cut) + "\r\nand " + std::to_string(rest) + " more";
    }
    text += "\r\n\r\nThese lines of the ignore list in Config.Ini were passed over:\r\n" + lines;
    return text;
}

}  // namespace vsc
