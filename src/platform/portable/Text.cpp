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
    for (char& ch : text)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    return text;
}

}  // namespace vsc
