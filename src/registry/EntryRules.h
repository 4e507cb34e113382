// The rule of each category for one entry, shared by the scan's checks and by the check that
// Repair makes just before it changes an entry: whether the entry is broken, and the data text a
// problem records for it.
#pragma once

#include <string>

#include "registry/NTReg.h"
#include "registry/TargetProbe.h"

namespace vsc {

// The file-path rule's text test: data that is exactly a drive-qualified path ending in a
// three-character extension, with no '?' and longer than seven characters.
bool FilePathExamined(const std::string& text);

// For a string value (REG_SZ or REG_EXPAND_SZ) of a category whose check reads text (2, 3, 4, 5,
// 7, 8, 12, 13): listed (missing or unreachable, with the reason) when the check records it, with
// data set to the data text it records; present when the check passes the value over or finds its
// file (or folder, where the category allows one). valueName is the value's name (empty for a
// default value). targets answers the existence tests.
TargetCheck TextEntryCheck(int category, const std::string& valueName, const std::string& text, std::string& data,
                           TTargetProbe& targets);

// The same for the named value of the open key of registry, read afresh, for every registry
// category: 6 reads a REG_DWORD count; the categories that record nothing (1, 9, 10, 11) count a
// string value as missing as it stands, so that only its data is compared. Present when the value
// is missing, of another kind, or passed over or present by the category's rule.
TargetCheck EntryCheck(int category, const TNTRegistry& registry, const std::string& valueName, std::string& data,
                       TTargetProbe& targets);

// The same for a value already read: its registry type and its bytes as stored (EntryCheck reads
// the value once and judges it here). A count (6) is a REG_DWORD of at most four bytes; a text is
// read up to its first zero byte.
TargetCheck StoredEntryCheck(int category, const std::string& valueName, DWORD regType, const std::string& raw,
                             std::string& data, TTargetProbe& targets);

// For a shortcut (category 14): listed when the file is still a shortcut whose target is not
// found, with target set to that target as the scan records it.
TargetCheck ShortcutCheck(const std::string& linkPath, std::string& target, TTargetProbe& targets);

}  // namespace vsc
