// The registry backup file: plain 8-bit text lines, each ended by CR LF, no header, no trailer.
// Portable (no windows.h), so the reader can be fuzzed natively with sanitizers.
//
// One record per registry entry that a repair changed:
//   --------------------        the separator, twenty hyphen-minus characters
//   <key path>                  for example HKEY_CURRENT_USER\Software\...\Run
//   <value name>                empty for the key's default value
//   <data text>                 see below
//   <category>                  "1" .. "13"
//   type=<N>                    the registry type number; absent in files of older versions
//
// The data text is the value's data as it stood in the registry: for REG_SZ and REG_EXPAND_SZ the
// text up to its first zero byte, for REG_DWORD the signed decimal number, and for any other type
// (REG_BINARY, REG_MULTI_SZ, ...) the bytes as lower-case hexadecimal pairs. A record without a type
// line restores by the old rule: category 6 as REG_DWORD from the decimal text, anything else as
// REG_SZ.
//
// Reading is tolerant: lines that are not a separator are passed over until the next separator, so
// a reader that does not know the type line simply skips it; a separator whose four record lines
// run past the end of the file marks the file truncated. Lines may end in CR LF, CR or LF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vsc {

extern const char* const kBackupSeparator;  // "--------------------"

struct BackupRecord {
    std::string KeyPath;
    std::string ValueName;
    std::string DataText;
    std::string Category;
    bool HasType = false;  // a "type=N" line follows the five lines
    std::uint32_t RegType = 0;

    bool operator==(const BackupRecord& other) const {
        return KeyPath == other.KeyPath && ValueName == other.ValueName && DataText == other.DataText &&
               Category == other.Category && HasType == other.HasType && (!HasType || RegType == other.RegType);
    }
};

// False when a field that goes on a line of its own holds a CR or LF: such a record cannot be
// written without changing what it reads back as.
bool CanWriteBackupRecord(const BackupRecord& record);

// Appends the record's lines (five, or six with the type line), each ended by CR LF. Returns false
// and leaves out untouched when the record cannot be written.
bool AppendBackupRecord(std::string& out, const BackupRecord& record);

// The file's lines. A line break is CR LF, CR or LF; a break at the very end starts no further
// line, so "a\r\n" is one line and "" is none.
std::vector<std::string> SplitBackupLines(const std::string& text);

struct BackupContents {
    std::vector<BackupRecord> Records;  // in file order
    // A separator stood on the second, third or fourth line from the end, so its record was cut
    // off. The records before it are complete.
    bool Truncated = false;
};

// Reads every record of a backup file's text. Never throws on any input (beyond allocation).
BackupContents ReadBackupRecords(const std::string& text);

// "type=N" with N a decimal number of at most 32 bits; nullopt for any other line.
std::optional<std::uint32_t> ParseTypeLine(const std::string& line);

// Decimal integer with an optional sign, nothing else (no blanks). Values from -2^31 to 2^32-1 are
// accepted (a REG_DWORD written as a signed or an unsigned number); nullopt otherwise.
std::optional<std::uint32_t> ParseDwordText(const std::string& text);

// Lower-case hexadecimal pairs, and back. HexToBytes accepts either letter case and gives nullopt
// for an odd length or a character that is not a hexadecimal digit.
std::string BytesToHex(const std::string& bytes);
std::optional<std::string> HexToBytes(const std::string& hex);

// The number of a backup file name: the characters from the tenth (the first after the nine
// letters of "regbackup") up to the first ".", read as a decimal integer with an optional sign.
// nullopt when they do not parse (also when the name is shorter or the dot comes earlier).
std::optional<long long> BackupNumberOf(const std::string& fileName);

// The name the next backup file gets, given the names of the .txt files in the backup folder:
// "regbackup1.txt" for none, otherwise "regbackup" + (largest parsed number + 1, at least 0) +
// ".txt". Names whose number does not parse are passed over.
std::string NextBackupName(const std::vector<std::string>& existingNames);

}  // namespace vsc
