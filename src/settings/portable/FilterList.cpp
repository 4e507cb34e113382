#include "settings/portable/FilterList.h"

#include "platform/portable/Text.h"

namespace vsc {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Parses a decimal number; true when the whole text is one. `nonZero` tells whether it is not 0.
bool ParseNumber(const std::string& text, bool& nonZero) {
    std::size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ') ++i;
    while (n > i && text[n - 1] == ' ') --n;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    bool digits = false;
    nonZero = false;
    for (; i < n && IsDigit(text[i]); ++i) {
        digits = true;
        nonZero = nonZero || text[i] != '0';
    }
    if (i < n && text[i] == '.') {
        for (++i; i < n && IsDigit(text[i]); ++i) {
            digits = true;
            nonZero = nonZero || text[i] != '0';
        }
    }
    if (!digits) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        if (i >= n || !IsDigit(text[i])) return false;
        while (i < n && IsDigit(text[i])) ++i;
    }
    return i == n;
}

}  // namespace

std::vector<FilterEntry> ParseFilterList(const std::string& stored) {
    std::vector<FilterEntry> entries;
    std::string rest = stored;
    do {
        const std::size_t open = rest.find('<');
        const std::size_t close = rest.find('>');
        if (open == std::string::npos || close == std::string::npos) break;
        // The entry runs from the "<" up to the ">"; a ">" before the "<" makes it empty.
        const std::string entry = close > open ? rest.substr(open, close - open) : std::string();
        const std::size_t colon = entry.find(':');
        if (colon != std::string::npos) entries.push_back({entry.substr(1, colon - 1), entry.substr(colon + 1)});
        rest.erase(0, close + 1);
    } while (rest.size() > 2);
    return entries;
}

std::string FilterListText(const std::vector<FilterEntry>& rows) {
    std::string text;
    for (const FilterEntry& row : rows) {
        const std::string mask = Trim(row.Mask);
        if (mask.empty()) continue;
        text += "<" + mask + ":" + Trim(row.Description) + ">";
    }
    return text;
}

const char InvalidMaskChars[7] = {'\\', '/', ':', '"', '<', '>', '|'};

bool ValidFilterMask(const std::string& mask) {
    for (const char bad : InvalidMaskChars)
        if (mask.find(bad) != std::string::npos) return false;
    return !mask.empty() && mask.find('.') != std::string::npos && mask.back() != '.';
}

bool ValidFilterDescription(const std::string& description) {
    return description.find_first_of("<>") == std::string::npos;
}

std::string FilterMaskList(const std::string& stored) {
    std::string masks;
    for (const FilterEntry& e : ParseFilterList(stored)) masks += e.Mask + ",";
    return masks;
}

bool StrToBool(const std::string& text) {
    bool nonZero = false;
    if (ParseNumber(text, nonZero)) return nonZero;
    if (EqualsNoCaseAscii(text, "true")) return true;
    if (EqualsNoCaseAscii(text, "false")) return false;
    throw EConvertError("'" + text + "' is not a valid boolean value");
}

}  // namespace vsc
