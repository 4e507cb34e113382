#include "diskclean/portable/DriveText.h"

namespace vsc {

std::string DriveLettersFromMask(std::uint32_t mask, const std::function<unsigned(char letter)>& driveType) {
    std::string letters;
    for (int bit = 0; bit < 26; ++bit) {
        if (!(mask & (std::uint32_t{1} << bit))) continue;
        const char letter = static_cast<char>('A' + bit);
        const unsigned type = driveType(letter);
        if (type != kDriveCdRom && type != kDriveRemovable) letters += letter;
    }
    return letters;
}

std::string DriveRowCaption(const std::string& label, char letter) {
    const bool blank = label.find_first_not_of(" \t\r\n") == std::string::npos;
    return (blank ? std::string("Local Disk") : label) + "(" + letter + ")";
}

std::string ShortcutNodeCaption(const std::string& categoryCaption, char letter) {
    return categoryCaption + "( " + letter + ":\\";
}

std::string MegabyteText(std::uint64_t bytes) { return std::to_string(bytes / 1048576u) + " MB"; }

DriveSpaceTexts SpaceTextsFromGeometry(bool queryOk, std::uint32_t sectorsPerCluster, std::uint32_t bytesPerSector,
                                       std::uint32_t freeClusters, std::uint32_t totalClusters) {
    if (!queryOk) return {"?", "?"};
    const std::uint64_t clusterBytes = std::uint64_t{sectorsPerCluster} * bytesPerSector;
    return {MegabyteText(std::uint64_t{totalClusters} * clusterBytes),
            MegabyteText(std::uint64_t{freeClusters} * clusterBytes)};
}

}  // namespace vsc
