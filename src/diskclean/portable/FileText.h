// Text helpers of the folder search and the junk-file results. Portable (no windows.h).
#pragma once

#include <cstdint>
#include <string>

namespace vsc {

// File attribute bits as the directory listing reports them.
constexpr std::uint32_t kAttrReadOnly = 0x01;
constexpr std::uint32_t kAttrHidden = 0x02;
constexpr std::uint32_t kAttrSystem = 0x04;
constexpr std::uint32_t kAttrVolume = 0x08;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrArchive = 0x20;
constexpr std::uint32_t kAttrReparsePoint = 0x400;

// Six letters, "A" archive, "D" directory, "H" hidden, "R" read-only, "S" system, "V" volume
// label, each "-" when its bit is clear: an archived hidden file gives "A-H---".
std::string AttrString(std::uint32_t attributes);

// Folder and name joined with one backslash: "" for an empty folder, folder + name when the folder
// already ends in a backslash, folder + "\" + name otherwise.
std::string JoinPath(const std::string& folder, const std::string& name);

// The size counter as the scan page shows it: below 1,024,000 bytes the whole kilobytes
// (bytes / 1024) and " Kb", otherwise bytes / 1,024,000 and " Mb".
std::string ScanSizeText(std::int64_t bytes);

}  // namespace vsc
