// Fuzzing the backup record reader: an input generator that builds files out of the pieces the
// reader cares about (separators, type lines, every kind of line break, empty lines, random bytes),
// and the property check that every input must pass. Shared by the short fixed-seed run in the
// tests and the long run of scripts/fuzz-backup (libFuzzer or a plain loop).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "repair/portable/BackupFormat.h"

namespace vsc::fuzz {

inline std::string RandomBytes(std::mt19937& rng, std::size_t maxLength) {
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string s(length(rng), '\0');
    for (char& c : s) c = static_cast<char>(byte(rng));
    return s;
}

// One backup-like file: a random mix of the pieces that steer the reader.
inline std::string MakeInput(std::mt19937& rng) {
    static const char* const pieces[] = {
        "--------------------", "type=", "type=1", "type=4294967295", "type=4294967296", "type=-1", "\r\n",
        "\r", "\n", "", "HKEY_CURRENT_USER\\Software\\X", "6", "-", "0", "regbackup1.txt"};
    constexpr int kPieces = sizeof pieces / sizeof pieces[0];
    std::uniform_int_distribution<int> count(0, 40);
    std::uniform_int_distribution<int> pick(0, kPieces + 2);
    std::string text;
    for (int n = count(rng); n > 0; --n) {
        const int p = pick(rng);
        if (p < kPieces)
            text += pieces[p];
        else if (p == kPieces)
            text += RandomBytes(rng, 12);
        else
            text += "\r\n";
    }
    return text;
}

// Aborts (so that libFuzzer and the sanitizers report it) when the reader breaks a promise:
// a record field holding a line break, a record that does not read back the same after writing,
// or an unstable second reading.
inline void CheckReader(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const BackupContents contents = ReadBackupRecords(text);
    std::string rewritten;
    for (const BackupRecord& record : contents.Records) {
        if (!CanWriteBackupRecord(record)) std::abort();
        if (!AppendBackupRecord(rewritten, record)) std::abort();
    }
    const BackupContents again = ReadBackupRecords(rewritten);
    if (again.Truncated || !(again.Records == contents.Records)) std::abort();
    // The other text helpers see the same hostile lines.
    for (const BackupRecord& record : contents.Records) {
        (void)ParseDwordText(record.DataText);
        (void)HexToBytes(record.DataText);
        (void)BackupNumberOf(record.KeyPath);
    }
}

}  // namespace vsc::fuzz
