#include "repair/portable/BackupFormat.h"

#include <algorithm>
#include <limits>

#include "platform/portable/Text.h"

namespace vsc {

const char* const kBackupSeparator = "--------------------";

namespace {

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

void AppendLine(std::string& out, const std::string& line) {
    out += line;
    out += "\r\n";
}

// Optional sign and at least one decimal digit, nothing else; the magnitude must not pass limit.
std::optional<long long> ParseDecimal(const std::string& text, unsigned long long limit) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    unsigned long long value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > limit) return std::nullopt;
    }
    return negative ? -static_cast<long long>(value) : static_cast<long long>(value);
}

}  // namespace

bool CanWriteBackupRecord(const BackupRecord& record) {
    return !HasLineBreak(record.KeyPath) && !HasLineBreak(record.ValueName) && !HasLineBreak(record.DataText) &&
           !HasLineBreak(record.Category);
}

bool AppendBackupRecord(std::string& out, const BackupRecord& record) {
    if (!CanWriteBackupRecord(record)) return false;
    AppendLine(out, kBackupSeparator);
    AppendLine(out, record.KeyPath);
    AppendLine(out, record.ValueName);
    AppendLine(out, record.DataText);
    AppendLine(out, record.Category);
    if (record.HasType) AppendLine(out, "type=" + std::to_string(record.RegType));
    return true;
}

std::vector<std::string> SplitBackupLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

std::optional<std::uint32_t> ParseTypeLine(const std::string& line) {
    static const std::string prefix = "type=";
    if (line.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    const std::string digits = line.substr(prefix.size());
    if (digits.empty() || digits[0] == '-' || digits[0] == '+') return std::nullopt;
    const auto value = ParseDecimal(digits, std::numeric_limits<std::uint32_t>::max());
    if (!value) return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

BackupContents ReadBackupRecords(const std::string& text) {
    BackupContents contents;
    const std::vector<std::string> lines = SplitBackupLines(text);
    const std::size_t count = lines.size();
    std::size_t i = 0;
    // A separator on the very last line starts no record and is not looked at.
    while (i + 1 < count) {
        if (lines[i] != kBackupSeparator) {
            ++i;
            continue;
        }
        if (i + 4 >= count) {
            contents.Truncated = true;
            break;
        }
        BackupRecord record;
        record.KeyPath = lines[i + 1];
        record.ValueName = lines[i + 2];
        record.DataText = lines[i + 3];
        record.Category = lines[i + 4];
        i += 5;
        if (i < count) {
            if (const auto type = ParseTypeLine(lines[i])) {
                record.HasType = true;
                record.RegType = *type;
                ++i;
            }
        }
        contents.Records.push_back(std::move(record));
    }
    return contents;
}

std::optional<std::uint32_t> ParseDwordText(const std::string& text) {
    const auto value = ParseDecimal(text, std::numeric_limits<std::uint32_t>::max());
    if (!value) return std::nullopt;
    if (*value < std::numeric_limits<std::int32_t>::min()) return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

std::string BytesToHex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 0x0F];
    }
    return hex;
}

std::optional<std::string> HexToBytes(const std::string& hex) {
    if (hex.size() % 2 != 0) return std::nullopt;
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigitValue(hex[i]);
        const int low = HexDigitValue(hex[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes += static_cast<char>((high << 4) | low);
    }
    return bytes;
}

std::optional<long long> BackupNumberOf(const std::string& fileName) {
    constexpr std::size_t kNumberStart = 9;  // after "regbackup"
    const std::size_t dot = fileName.find('.');
    if (dot == std::string::npos || dot <= kNumberStart) return std::nullopt;
    return ParseDecimal(fileName.substr(kNumberStart, dot - kNumberStart),
                        static_cast<unsigned long long>(std::numeric_limits<std::int32_t>::max()));
}

std::string NextBackupName(const std::vector<std::string>& existingNames) {
    long long next = 1;
    if (!existingNames.empty()) {
        next = 0;
        for (const std::string& name : existingNames)
            if (const auto number = BackupNumberOf(name)) next = std::max(next, *number + 1);
    }
    return "regbackup" + std::to_string(next) + ".txt";
}

}  // namespace vsc
