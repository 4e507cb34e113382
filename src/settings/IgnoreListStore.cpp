#include "settings/IgnoreListStore.h"

#include <windows.h>

#include "app/Settings.h"
#include "registry/CodePage.h"
#include "repair/BackupFiles.h"

namespace vsc {

namespace {

std::string FileText(const std::string& iniFileName) {
    std::string bytes;
    if (!ReadWholeFile(iniFileName, bytes)) return std::string();
    return FileTextToProcess(bytes);
}


template <typename Change>
void ChangeFile(const std::string& iniFileName, Change change) {
    // What the profile functions still hold goes to the file first.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, iniFileName.c_str());
    const DWORD attributes = GetFileAttributesA(iniFileName.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        throw EIniFileException("Unable to write to " + iniFileName);
    const std::string before = FileText(iniFileName);
    const std::string after = change(before);
    if (after == before && attributes != INVALID_FILE_ATTRIBUTES) return;
    if (!ReplaceFileContents(iniFileName, after)) throw EIniFileException("Unable to write to " + iniFileName);
}

}  // namespace

IgnoreSection ReadIgnoreListFile(const std::string& iniFileName) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, iniFileName.c_str());
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

std::string SystemCaseFold(const std::string& text) {
    bool ascii = true;
    for (unsigned char c : text) ascii = ascii && c < 0x80;
    if (ascii) return FoldAscii(text);
    std::wstring wide = ToWide(text);
    if (!wide.empty()) CharUpperBuffW(&wide[0], static_cast<DWORD>(wide.size()));
    return FromWide(wide);
}

std::string WithIgnoreNotes(const std::string& message, int ignored, const TIgnoreList* list) {
    std::string text = message;
    if (ignored > 0) text += " (" + std::to_string(ignored) + " ignored)";
    if (list && !list->UnreadLines.empty())
        text += "\r\n\r\nThese lines of the ignore list in Config.Ini were passed over:\r\n" + list->UnreadLines;
    return text;
}

}  // namespace vsc
