// Text helpers every layer uses, on 8-bit text in the process code page. Portable (no windows.h).
#pragma once

#include <string>

namespace vsc {

// The text with spaces and control characters (bytes <= ' ') trimmed from both ends; bytes above
// 127 are text.
std::string Trim(const std::string& text);
// Empty after trimming as Trim does.
bool IsBlank(const std::string& text);
// ASCII-only upper case.
std::string UpperAscii(std::string text);

}  // namespace vsc
