#include "app/Settings.h"

#include <windows.h>

#include <vector>

namespace vsc {

std::string DefaultIniFileName() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return "Config.Ini";
        if (n < path.size()) {
            std::string exe(path.data(), n);
            const auto slash = exe.find_last_of("\\/");
            return (slash == std::string::npos ? std::string() : exe.substr(0, slash + 1)) + "Config.Ini";
        }
        path.resize(path.size() * 2);
    }
}

std::string ReadIniString(const std::string& section, const std::string& key, const std::string& def,
                          const std::string& fileName) {
    std::vector<char> buffer(kIniStringBufferSize);
    const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                             static_cast<DWORD>(buffer.size()), fileName.c_str());
    return std::string(buffer.data(), n);
}

namespace {

std::string ReadShort(const char* section, const char* key, const char* def, const std::string& fileName) {
    char buffer[2048];
    const DWORD n = GetPrivateProfileStringA(section, key, def, buffer, sizeof buffer, fileName.c_str());
    return std::string(buffer, n);
}

}  // namespace

DiskOptions ReadDiskOptions(const std::string& fileName) {
    DiskOptions o;
    o.DleteTo = ReadShort("DeleteOptions", "DleteTo", "1", fileName);
    o.SystemFile = ReadShort("ScanOptions", "SystemFile", "0", fileName);
    o.ReadFile = ReadShort("ScanOptions", "ReadFile", "0", fileName);
    o.HideFile = ReadShort("ScanOptions", "HideFile", "0", fileName);
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
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), fileName_.c_str()))
        throw EIniFileException("Unable to write to " + fileName_);
}

}  // namespace vsc
