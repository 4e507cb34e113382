#include "platform/portable/Text.h"

namespace vsc {

namespace {
bool IsSpaceOrControl(char ch) { return static_cast<unsigned char>(ch) <= ' '; }
}  // namespace

std::string Trim(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsSpaceOrControl(text[first])) ++first;
    while (last > first && IsSpaceOrControl(text[last - 1])) --last;
    return text.substr(first, last - first);
}

bool IsBlank(const std::string& text) {
    for (char ch : text)
        if (!IsSpaceOrControl(ch)) return false;
    return true;
}

std::string UpperAscii(std::string text) {
    for (char& ch : text) ch = UpperAsciiChar(ch);
    return text;
}

bool EqualsNoCaseAscii(const std::string& a, const std::string& b) {
    return a.size() == b.size() && StartsWithNoCaseAscii(a, b);
}

bool StartsWithNoCaseAscii(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (UpperAsciiChar(text[i]) != UpperAsciiChar(prefix[i])) return false;
    return true;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    const char upper = UpperAsciiChar(c);
    return upper >= 'A' && upper <= 'F' ? upper - 'A' + 10 : -1;
}

}  // namespace vsc
