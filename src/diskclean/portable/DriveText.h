// The texts of the drive list and of the drive nodes of the section tree (pure text logic).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vsc {

// Drive types as the system reports them (GetDriveType); only the two that are left out matter.
constexpr unsigned kDriveRemovable = 2;
constexpr unsigned kDriveCdRom = 5;

// The letters of the drives that a scan may search, from the bit mask of existing drives (bit 0 is
// A:) and a query of each drive's type: every existing drive except removable and CD-ROM drives,
// in ascending letter order. The query is asked once per existing drive.
std::string DriveLettersFromMask(std::uint32_t mask, const std::function<unsigned(char letter)>& driveType);

// "SYSTEM(C)": the label, or "Local Disk" when the label is empty or only blanks, then "(", the
// letter and ")".
std::string DriveRowCaption(const std::string& label, char letter);

// The caption of a drive's node in the section tree, below the shortcut category's node:
// "Invalid Shortcuts( C:\" for the caption "Invalid Shortcuts" and the letter C.
std::string ShortcutNodeCaption(const std::string& categoryCaption, char letter);

// Whole megabytes (rounded down) followed by " MB".
std::string MegabyteText(std::uint64_t bytes);

struct DriveSpaceTexts {
    std::string Capacity;  // "CapaCity" column
    std::string Free;      // "Free Space" column
};

// Capacity and free space from the free-space geometry, with 64-bit products. When the query
// failed (queryOk false) both texts are "?": no number is made up.
DriveSpaceTexts SpaceTextsFromGeometry(bool queryOk, std::uint32_t sectorsPerCluster, std::uint32_t bytesPerSector,
                                       std::uint32_t freeClusters, std::uint32_t totalClusters);

}  // namespace vsc
