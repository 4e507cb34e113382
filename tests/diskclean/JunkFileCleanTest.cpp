// Removing found entries: a folder link, or a folder that holds one, never reaches the recycle bin,
// which would take (or, where the volume has none, empty) the folder the link points at.
#include <windows.h>

#include <gtest/gtest.h>

#include "diskclean/JunkFileClean.h"
#include "support/TestSupport.h"

using namespace vsc;

namespace {

// The "links" folder of the fixture drive (scripts/lib.sh), or "" when the tests run elsewhere.
std::string LinksFolder() {
    char letter[8] = {};
    if (GetEnvironmentVariableA("VSC_FIXTURE_DRIVE", letter, sizeof letter) != 1) return "";
    const std::string links = std::string(letter) + ":\\links";
    return GetFileAttributesA((links + "\\target\\keep.txt").c_str()) == INVALID_FILE_ATTRIBUTES ? "" : links;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TFileItem FolderRecord(const std::string& folder, const std::string& name) {
    TFileItem item;
    item.Name = name;
    item.Path = folder + "\\";
    item.FileAttrStr = "-D----";
    return item;
}

}  // namespace

TEST(RemoveFoundEntry, FolderLinksAndFoldersHoldingThemAreNotRecycled) {
    SKIP_UNLESS_BUILD_PREFIX();
    const std::string links = LinksFolder();
    if (links.empty()) GTEST_SKIP() << "no fixture drive";
    ASSERT_TRUE(GetFileAttributesA((links + "\\link.jdir").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);

    // Neither to the recycle bin nor for good: both stay, and so does what the links point at.
    for (const bool toRecycleBin : {true, false}) {
        EXPECT_FALSE(RemoveFoundEntry(FolderRecord(links, "holder.jdir"), toRecycleBin));
        EXPECT_FALSE(RemoveFoundEntry(FolderRecord(links, "link.jdir"), toRecycleBin));
    }
    EXPECT_TRUE(Exists(links + "\\holder.jdir\\sub\\link"));
    EXPECT_TRUE(Exists(links + "\\link.jdir"));
    EXPECT_TRUE(Exists(links + "\\target\\keep.txt"));
}
