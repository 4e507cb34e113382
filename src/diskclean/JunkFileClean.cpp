#include "diskclean/JunkFileClean.h"

#include <windows.h>
#include <shellapi.h>

namespace vsc {

bool MoveToRecycleBin(const std::string& path) {
    std::string from = path;
    from.push_back('\0');  // a one-item list: the string's own terminator ends it
    SHFILEOPSTRUCTA op{};
    op.hwnd = nullptr;
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT;  // 0x54
    return SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted;
}

bool RemoveFoundEntry(const TFileItem& record, bool toRecycleBin) {
    const std::string path = record.Path + record.Name;
    const bool isFolder = record.FileAttrStr.size() > 1 && record.FileAttrStr[1] == 'D';
    if (toRecycleBin) {
        if (!MoveToRecycleBin(path)) return false;
    } else {
        if (isFolder) return false;
        if (!DeleteFileA(path.c_str())) return false;
    }
    // The shell can report success for an entry it did not move (gone already, or refused
    // quietly); count only what is really gone.
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

std::string FileSizeColumn(const TFileItem& record) { return std::to_string(record.Size); }

std::string FileDateColumn(std::uint32_t packedTime) {
    FILETIME local;
    SYSTEMTIME date;
    if (!DosDateTimeToFileTime(static_cast<WORD>(packedTime >> 16), static_cast<WORD>(packedTime & 0xFFFF), &local) ||
        !FileTimeToSystemTime(&local, &date))
        return std::string();
    char text[64];
    const int n = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, text, sizeof text);
    return n > 0 ? std::string(text) : std::string();
}

}  // namespace vsc
