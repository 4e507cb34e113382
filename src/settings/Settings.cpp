#include "settings/Settings.h"

#include <windows.h>

#include <vector>

#include "platform/CodePage.h"
#include "platform/Files.h"
#include "platform/portable/Utf8Text.h"

namespace vsc {

namespace {

// The profile functions read a file without a byte-order mark in the process code page (UTF-8),
// and a byte that is not UTF-8 comes back as U+FFFD. A file in the legacy code page is therefore
// read from a copy converted to UTF-8, in the temporary folder, removed again at the end.
class IniToRead {
public:
    explicit IniToRead(const std::string& fileName) : name_(fileName) {
        std::string bytes;
        if (!ReadWholeFile(fileName, bytes) || GetACP() != CP_UTF8 || IsValidUtf8(bytes)) return;
        char folder[MAX_PATH], temp[MAX_PATH];
        const DWORD n = GetTempPathA(sizeof folder, folder);
        if (n == 0 || n >= sizeof folder || !GetTempFileNameA(folder, "vsc", 0, temp)) return;
        copy_ = temp;
        if (ReplaceFileContents(copy_, FileTextToProcess(bytes))) name_ = copy_;
    }
    ~IniToRead() {
        if (!copy_.empty()) DeleteFileA(copy_.c_str());
    }
    IniToRead(const IniToRead&) = delete;
    IniToRead& operator=(const IniToRead&) = delete;
    const char* Name() const { return name_.c_str(); }

private:
    std::string name_;
    std::string copy_;
};

std::string ReadShort(const char* section, const char* key, const char* def, const IniToRead& file) {
    char buffer[2048];
    const DWORD n = GetPrivateProfileStringA(section, key, def, buffer, sizeof buffer, file.Name());
    return std::string(buffer, n);
}

}  // namespace

std::string ReadIniString(const std::string& section, const std::string& key, const std::string& def,
                          const std::string& fileName) {
    const IniToRead file(fileName);
    std::vector<char> buffer(kIniStringBufferSize);
    const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                             static_cast<DWORD>(buffer.size()), file.Name());
    return std::string(buffer.data(), n);
}

DiskOptions ReadDiskOptions(const std::string& fileName) {
    const IniToRead file(fileName);
    DiskOptions o;
    o.DleteTo = ReadShort("DeleteOptions", "DleteTo", "1", file);
    o.SystemFile = ReadShort("ScanOptions", "SystemFile", "0", file);
    o.ReadFile = ReadShort("ScanOptions", "ReadFile", "0", file);
    o.HideFile = ReadShort("ScanOptions", "HideFile", "0", file);
    return o;
}

TIniFile::~TIniFile() {
    // A flush of the profile cache; writes have already reported their own failures.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, fileName_.c_str());
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    // A read-only file is not written, as Windows refuses it; checked here too because an
    // administrator's write (or a write under Wine as root) would otherwise go through.
    const DWORD attributes = GetFileAttributesA(fileName_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        throw EIniFileException("Unable to write to " + fileName_);
    // A file in the legacy code page becomes UTF-8 before the first write, which would otherwise
    // put U+FFFD in place of each of its non-ASCII bytes, in every value it keeps.
    if (!checkedEncoding_) {
        std::string bytes;
        if (GetACP() == CP_UTF8 && ReadWholeFile(fileName_, bytes) && !IsValidUtf8(bytes) &&
            !ReplaceFileContents(fileName_, FileTextToProcess(bytes)))
            throw EIniFileException("Unable to write to " + fileName_);
        checkedEncoding_ = true;
    }
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), fileName_.c_str()))
        throw EIniFileException("Unable to write to " + fileName_);
}

}  // namespace vsc
