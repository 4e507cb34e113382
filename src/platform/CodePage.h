// The 8-bit text of the program and the code pages it meets.
//
// How it works. Both executables declare UTF-8 as their active code page in the manifest, so the
// 8-bit ("A") calls of the process carry every name of the file system and the registry without
// loss, and every string of the program holds text in the process code page (GetACP). Where the
// system ignores that setting (Windows before version 1903), the process code page is the system's
// legacy one; a name it cannot show comes back with '?' in its place. Text met elsewhere follows
// other rules: GDI draws 8-bit text in the system's code page (the program draws UTF-16 instead),
// and files written before the change (backups, "Config.Ini") hold legacy text.
#pragma once

#include <windows.h>

#include <string>

#include "platform/WideText.h"

namespace vsc {

// The system's legacy ANSI code page, which the UTF-8 setting of a process does not change:
// HKLM\SYSTEM\CurrentControlSet\Control\Nls\CodePage "ACP", else the system locale's default ANSI
// code page, else 1252. Never 65001 (a system set to UTF-8 for all programs gives the locale's).
UINT LegacyAnsiCodePage();

// Text read from a file, in the process code page: bytes that are not valid UTF-8 were written in
// the legacy ANSI code page and are converted from it when the process code page is UTF-8. Any
// other text comes back unchanged.
std::string FileTextToProcess(const std::string& bytes);

// True when the path holds '?' or '*': in the name of an entry these can only stand for characters
// the code page lacks, and the shell and the folder search would take them as wildcards.
bool HasWildcard(const std::string& path);

// True when the path converts to UTF-16 and fits the 8-bit file calls (MAX_PATH - 1 characters).
// These calls count UTF-16 characters, not bytes; a longer path is refused by them, never cut.
bool FitsAnsiPath(const std::string& path);

}  // namespace vsc
