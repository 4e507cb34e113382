// Text helpers every layer uses, on 8-bit text in the process code page. Portable (no windows.h).
#pragma once

#include <string>

namespace vsc {

// The text with spaces and control characters (bytes <= ' ') trimmed from both ends; bytes above
// 127 are text.
std::string Trim(const std::string& text);
// Empty after trimming as Trim does.
bool IsBlank(const std::string& text);
// ASCII-only upper case of one byte; every other byte (including those above 127) is unchanged.
inline unsigned char UpperAsciiChar(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c; }
inline char UpperAsciiChar(char c) { return static_cast<char>(UpperAsciiChar(static_cast<unsigned char>(c))); }
// ASCII-only upper case.
std::string UpperAscii(std::string text);
// The same text when ASCII letter case is ignored (bytes above 127 must match exactly).
bool EqualsNoCaseAscii(const std::string& a, const std::string& b);
// True when text begins with prefix, ASCII letter case ignored.
bool StartsWithNoCaseAscii(const std::string& text, const std::string& prefix);

// The value of one hexadecimal digit (either letter case); -1 for any other character.
int HexDigitValue(char c);

}  // namespace vsc
