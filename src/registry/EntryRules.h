// The rule of each category for one entry, shared by the scan's checks and by the check that
// Repair makes just before it changes an entry: whether the entry is broken, and the data text a
// problem records for it. The category table (registry/Categories.h) names each category's rule.
#pragma once

#include <string>

#include "registry/NTReg.h"
#include "registry/TargetProbe.h"

namespace vsc {

// A category's rule. name is the value's name ("" for a default value), or for a shortcut the
// shortcut file's path; text is the value's data as text (for a shared file its count in decimal;
// not used for a shortcut). Listed (missing or unreachable, with the reason) when the check
// records the entry, with data set to the data text it records; present when the check passes the
// entry over or finds its file (or folder, where the category allows one). targets answers the
// existence tests.
using EntryRule = TargetCheck (*)(const std::string& name, const std::string& text, std::string& data,
                                  TTargetProbe& targets);

// The rules. The categories that record nothing (1, 9, 10, 11) have NoRule, which lists every
// entry as missing as it stands, so that only its data is compared.
TargetCheck NoRule(const std::string& name, const std::string& text, std::string& data, TTargetProbe& targets);
TargetCheck InprocServerRule(const std::string& name, const std::string& text, std::string& data,
                             TTargetProbe& targets);                                                       // 2
TargetCheck AppPathRule(const std::string& name, const std::string& text, std::string& data, TTargetProbe& targets);  // 3
TargetCheck FontRule(const std::string& name, const std::string& text, std::string& data, TTargetProbe& targets);     // 4
TargetCheck HelpFileRule(const std::string& name, const std::string& text, std::string& data,
                         TTargetProbe& targets);                                                           // 5
TargetCheck SharedFileRule(const std::string& name, const std::string& text, std::string& data,
                           TTargetProbe& targets);                                                         // 6
TargetCheck StartupRule(const std::string& name, const std::string& text, std::string& data, TTargetProbe& targets);  // 7
TargetCheck UninstallRule(const std::string& name, const std::string& text, std::string& data,
                          TTargetProbe& targets);                                                          // 8
TargetCheck SoundRule(const std::string& name, const std::string& text, std::string& data, TTargetProbe& targets);    // 12
TargetCheck FilePathRule(const std::string& name, const std::string& text, std::string& data,
                         TTargetProbe& targets);                                                           // 13
TargetCheck ShortcutRule(const std::string& name, const std::string& text, std::string& data,
                         TTargetProbe& targets);                                                           // 14

// The file-path rule's text test: data that is exactly a drive-qualified path ending in a
// three-character extension, with no '?' and longer than seven characters.
bool FilePathExamined(const std::string& text);

// The rule of the category (NoRule outside 1..14) for a string value's text.
TargetCheck TextEntryCheck(int category, const std::string& valueName, const std::string& text, std::string& data,
                           TTargetProbe& targets);

// The same for the named value of the open key of registry, read afresh. Present when the value
// is missing, of another kind than the category reads, or passed over or present by its rule.
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
