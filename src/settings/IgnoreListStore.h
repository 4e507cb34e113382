// The ignore list in "Config.Ini": read for every scan, changed by the results lists' menus and the
// ignore-list dialog. The stored form is in settings/portable/IgnoreList.h.
//
// The section is read and rewritten as lines of the file, not through the profile functions,
// which trim values, strip their quotes and cannot hold one key twice. A rewrite first flushes the
// profile cache, so values other writers left there are in the file before it is read, and keeps
// every other line of the file as it is. A file in the legacy code page becomes UTF-8, as the first
// save of the options dialog does.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings/portable/IgnoreList.h"

namespace vsc {

// The section as the file holds it now; a missing file or section gives no lines.
IgnoreSection ReadIgnoreListFile(const std::string& iniFileName);

// The list a scan matches against, with the system's case folding and the lines passed over.
std::shared_ptr<const TIgnoreList> LoadIgnoreList(const std::string& iniFileName);

// Add entries to the list or remove one from it. Throw EIniFileException ("Unable to write to
// <path>") when the file cannot be written; it is then left as it was.
void AddIgnoreEntries(const std::string& iniFileName, const std::vector<IgnoreEntry>& entries);
void RemoveIgnoreEntry(const std::string& iniFileName, const IgnoreEntry& entry);

// The scan worker's pass-over test for the list (which it keeps alive); empty for a null or
// empty list.
std::function<bool(int, const std::string&, const std::string&)> PassOverTestOf(
    std::shared_ptr<const TIgnoreList> list);

// Letters upper-cased as the system compares names (every script, not only ASCII).
std::string SystemCaseFold(const std::string& text);

// The end message of a scan: the text, " (N ignored)" when entries were passed over, and the
// list's unreadable lines, when there are any, on lines of their own. A null list adds nothing.
std::string WithIgnoreNotes(const std::string& message, int ignored, const TIgnoreList* list);

}  // namespace vsc
