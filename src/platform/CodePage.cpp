#include "platform/CodePage.h"

#include <cstdlib>

#include "platform/Handles.h"
#include "platform/portable/Utf8Text.h"

namespace vsc {

UINT LegacyAnsiCodePage() {
    char value[16] = {};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    UniqueKey key;
    UINT codePage = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage", 0, KEY_QUERY_VALUE,
                      key.put()) == ERROR_SUCCESS) {
        if (RegQueryValueExA(key.get(), "ACP", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ)
            codePage = static_cast<UINT>(strtoul(value, nullptr, 10));
    }
    if (codePage == 0 || codePage == CP_UTF8) {
        DWORD fromLocale = 0;
        if (GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                           reinterpret_cast<char*>(&fromLocale), sizeof fromLocale / sizeof(char)))
            codePage = fromLocale;
    }
    if (codePage == 0 || codePage == CP_UTF8 || !IsValidCodePage(codePage)) codePage = 1252;
    return codePage;
}

std::string FileTextToProcess(const std::string& bytes) {
    if (GetACP() != CP_UTF8 || IsValidUtf8(bytes)) return bytes;
    return FromWide(ToWide(bytes, LegacyAnsiCodePage()), CP_UTF8);
}

bool HasWildcard(const std::string& path) { return path.find_first_of("?*") != std::string::npos; }

bool FitsAnsiPath(const std::string& path) {
    if (path.empty()) return true;
    const int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.data(), static_cast<int>(path.size()), nullptr, 0);
    return n > 0 && n < MAX_PATH;
}

}  // namespace vsc
