// The text rules of the settings file "Config.Ini": the stored filter list and the switch values.
// Portable (no windows.h).
//
// A filter list is a run of entries with nothing between them, each "<" mask ":" description ">",
// for example "<*.tmp:Temporary files><*.bak:Backup files>". A mask may itself be a comma-separated
// list of masks.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/portable/Text.h"

namespace vsc {

struct FilterEntry {
    std::string Mask;
    std::string Description;
};

// The entries of a stored list, in stored order. Text before the first "<" is ignored; an entry
// without ":" yields nothing; a ">" inside a description ends its entry there; a last entry cut
// short (no ">") is dropped. Mask and description are not trimmed.
std::vector<FilterEntry> ParseFilterList(const std::string& stored);

// The stored form of the rows: "<" trimmed mask ":" trimmed description ">" for each row whose
// trimmed mask is not empty. No rows give an empty text.
std::string FilterListText(const std::vector<FilterEntry>& rows);

// The characters a mask may not contain, in the order they are tested: \ / : " < > |
extern const char InvalidMaskChars[7];

// True when the mask (already trimmed) is acceptable as a filter or an ignore-list mask: none of
// InvalidMaskChars, not empty, holds a "." and does not end with one. Whether it compiles is asked
// apart (SplitMasks).
bool ValidFilterMask(const std::string& mask);
// True when the description (already trimmed) can be stored: no "<" or ">", which would break
// the stored filter list.
bool ValidFilterDescription(const std::string& description);

// The mask-list text a scan searches with: every entry's mask, each followed by ",".
std::string FilterMaskList(const std::string& stored);

// Raised by StrToBool: "'<text>' is not a valid boolean value".
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const std::string& message) : std::runtime_error(message) {}
};

// A switch value as a boolean: a decimal number (blanks around it, a sign, a fraction and an
// exponent allowed) is true unless it is zero; "True" and "False" are accepted in any letter case.
// Anything else, the empty text included, throws EConvertError.
bool StrToBool(const std::string& text);

}  // namespace vsc
