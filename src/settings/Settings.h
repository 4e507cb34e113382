// The settings file "Config.Ini" beside the executable, read and written through the Windows
// profile-string functions. Nothing is cached: every use reads the file again. The text rules of
// its values are in settings/portable/FilterList.h.
//
// Encoding: text in the process code page (UTF-8). A file that is not valid UTF-8 was written in
// the system's legacy ANSI code page and is read in it; the first write converts it to UTF-8.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

#include "platform/Paths.h"

namespace vsc {

// The value of one key, or `def` when the file, the section or the key is missing. At most 9728
// characters are returned; a longer value is cut.
std::string ReadIniString(const std::string& section, const std::string& key, const std::string& def,
                          const std::string& fileName);
constexpr int kIniStringBufferSize = 9729;

// The four switches of disk clean, as stored; missing keys give the defaults below.
struct DiskOptions {
    std::string DleteTo = "1";     // "1" delete permanently, anything else: to the recycle bin
    std::string SystemFile = "0";  // include system files
    std::string ReadFile = "0";    // include read-only files
    std::string HideFile = "0";    // include hidden files
};
DiskOptions ReadDiskOptions(const std::string& fileName);

// Raised when a value cannot be written: "Unable to write to <path>".
class EIniFileException : public std::runtime_error {
public:
    explicit EIniFileException(const std::string& message) : std::runtime_error(message) {}
};

// Writes values to one INI file, one profile-string write per value; creates the file and the
// section when they are missing. The file is flushed when the object is destroyed. A failed write
// throws EIniFileException; values written before it stay written.
class TIniFile {
public:
    explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
    ~TIniFile();
    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    const std::string& FileName() const { return fileName_; }

private:
    std::string fileName_;
    bool checkedEncoding_ = false;
};

}  // namespace vsc
