// Text between the program's 8-bit strings and UTF-16, for the calls that only take UTF-16
// (drawing, the clipboard, the shell's wide entry points, the console).
#pragma once

#include <windows.h>

#include <string>

namespace vsc {

// The text between the code page (the process code page, CP_ACP, unless told) and UTF-16; ""
// when it cannot be converted.
std::wstring ToWide(const std::string& text, UINT codePage = CP_ACP);
std::string FromWide(const std::wstring& text, UINT codePage = CP_ACP);

}  // namespace vsc
