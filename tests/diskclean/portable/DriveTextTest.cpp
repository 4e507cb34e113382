#include <gtest/gtest.h>

#include <map>
#include <string>

#include "diskclean/portable/DriveText.h"

using namespace vsc;

TEST(DriveText, ListsEveryExistingDriveButRemovableAndCdRomInLetterOrder) {
    // A: floppy, C: fixed, D: CD-ROM, R: RAM disk, X: unknown type, Y: no root, Z: network.
    const std::map<char, unsigned> types{{'A', kDriveRemovable}, {'C', 3}, {'D', kDriveCdRom}, {'R', 6},
                                         {'X', 0},              {'Y', 1}, {'Z', 4}};
    std::uint32_t mask = 0;
    for (const auto& t : types) mask |= 1u << (t.first - 'A');
    std::string asked;
    const std::string letters = DriveLettersFromMask(mask, [&](char letter) {
        asked += letter;
        return types.at(letter);
    });
    EXPECT_EQ(letters, "CRXYZ");
    EXPECT_EQ(asked, "ACDRXYZ");
    EXPECT_EQ(DriveLettersFromMask(0, [](char) { return 3u; }), "");
    // Bits above Z are no drives.
    EXPECT_EQ(DriveLettersFromMask(0xFC000000u | 4u, [](char) { return 3u; }), "C");
}

TEST(DriveText, RowCaptionFallsBackToLocalDiskForABlankLabel) {
    EXPECT_EQ(DriveRowCaption("SYSTEM", 'C'), "SYSTEM(C)");
    EXPECT_EQ(DriveRowCaption("", 'D'), "Local Disk(D)");
    EXPECT_EQ(DriveRowCaption("   ", 'E'), "Local Disk(E)");
    EXPECT_EQ(DriveRowCaption(" DATA ", 'F'), " DATA (F)");  // a real label is shown as it is
}

TEST(DriveText, ShortcutNodeCaptionHasNoClosingParenthesis) {
    EXPECT_EQ(ShortcutNodeCaption("Invalid Shortcuts", 'C'), "Invalid Shortcuts( C:\\");
    EXPECT_EQ(ShortcutNodeCaption("Invalid Shortcuts", 'Z'), "Invalid Shortcuts( Z:\\");
}

TEST(DriveText, SizesAreWholeMegabytesFromSixtyFourBitProducts) {
    EXPECT_EQ(MegabyteText(0), "0 MB");
    EXPECT_EQ(MegabyteText(1048575), "0 MB");
    EXPECT_EQ(MegabyteText(1048576), "1 MB");
    // 80 GiB: 4096-byte clusters (8 sectors of 512), 20971520 clusters, 1 GiB free.
    const DriveSpaceTexts space = SpaceTextsFromGeometry(true, 8, 512, 262144, 20971520);
    EXPECT_EQ(space.Capacity, "81920 MB");
    EXPECT_EQ(space.Free, "1024 MB");
    // Products far beyond 32 bits (16 TiB with 64 KiB clusters).
    EXPECT_EQ(SpaceTextsFromGeometry(true, 128, 512, 0xFFFFFFFFu, 0xFFFFFFFFu).Capacity, "268435455 MB");
}

TEST(DriveText, AFailedQueryShowsAQuestionMarkInBothColumns) {
    const DriveSpaceTexts space = SpaceTextsFromGeometry(false, 8, 512, 10, 20);
    EXPECT_EQ(space.Capacity, "?");
    EXPECT_EQ(space.Free, "?");
}
