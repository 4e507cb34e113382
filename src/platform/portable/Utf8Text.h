// Telling UTF-8 text from text in an 8-bit legacy code page. Portable (no windows.h).
#pragma once

#include <cstddef>
#include <string>

namespace vsc {

// True when the bytes are well-formed UTF-8: no stray continuation byte, no sequence cut short,
// no over-long form, no surrogate half and nothing above U+10FFFF. Plain ASCII (and "") is valid.
bool IsValidUtf8(const char* text, std::size_t length);
inline bool IsValidUtf8(const std::string& text) { return IsValidUtf8(text.data(), text.size()); }

// The longest length, at most room, at which UTF-8 text can be cut without splitting a character.
std::size_t Utf8CutLength(const std::string& text, std::size_t room);

}  // namespace vsc
