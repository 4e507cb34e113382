// Removing found entries: a folder link, or a folder that holds one, never reaches the recycle bin,
// which would take (or, where the volume has none, empty) the folder the link points at; and only
// the exact entry is ever removed, whatever its name holds.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "diskclean/JunkFileClean.h"
#include "support/TestSupport.h"

using namespace vsc;
using vsc::test::ScratchDir;

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

// A record whose name the code page could not show ("??.tmp" for a CJK name), or whose path is too
// long for the 8-bit calls, is reached by its short name or refused; the plain names that "??.tmp"
// matches as a pattern are never touched, by either delete.
TEST(RemoveFoundEntry, OnlyTheExactEntryIsEverRemoved) {
    ScratchDir dir("exact");
    const std::string ab = dir.WriteFile("ab.tmp"), cd = dir.WriteFile("cd.tmp");
    const std::string cjk = dir.WriteFile("\xE6\x97\xA5\xE6\x9C\xAC.tmp");
    WIN32_FIND_DATAA listed;
    HANDLE find = FindFirstFileA(cjk.c_str(), &listed);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    FindClose(find);
    TFileItem lossy;
    lossy.Name = "??.tmp";
    lossy.Path = dir.Path() + "\\";
    lossy.FileAttrStr = "A-----";
    for (const bool toRecycleBin : {true, false}) {
        std::string reason;
        EXPECT_FALSE(RemoveFoundEntry(lossy, toRecycleBin, &reason));
        EXPECT_EQ(reason, "its name cannot be written in the system's code page and it has no short name");
    }
    EXPECT_FALSE(MoveToRecycleBin(dir.File("??.tmp")));
    EXPECT_TRUE(Exists(ab) && Exists(cd) && Exists(cjk));
    if (!listed.cAlternateFileName[0]) GTEST_SKIP() << "the file system gives no short names";
    lossy.ShortName = listed.cAlternateFileName;
    EXPECT_TRUE(RemoveFoundEntry(lossy, true));
    EXPECT_FALSE(Exists(cjk));
    EXPECT_TRUE(Exists(ab) && Exists(cd));

    // 200 characters of folder and 80 of name: the path fits only by its short name.
    const std::string folder = dir.File(std::string(200 - dir.Path().size() - 1, 'f'));
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string name = std::string(76, 'n') + ".tmp";
    const std::wstring wide = L"\\\\?\\" + std::wstring(folder.begin(), folder.end()) + L"\\" +
                              std::wstring(name.begin(), name.end());
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    TSearchFolders search;
    search.ScanOptions = soSpecifiedDir;
    search.ScanDir = folder;
    search.FileMask = "*.tmp";
    search.Messages = false;
    search.Search();
    ASSERT_EQ(search.FoundFiles().size(), 1u);
    TFileItem found = search.FoundFiles()[0];
    EXPECT_EQ(found.Name, name);
    ASSERT_FALSE(found.ShortName.empty());
    TFileItem unnamed = found;
    unnamed.ShortName.clear();
    std::string reason;
    EXPECT_FALSE(RemoveFoundEntry(unnamed, false, &reason));
    EXPECT_EQ(reason, "its path is too long for the 8-bit calls and it has no short name");
    EXPECT_NE(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(RemoveFoundEntry(found, false, &reason)) << reason;
    EXPECT_EQ(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);

    // 83 CJK characters take 253 bytes in UTF-8, near what the 8-bit listing holds (a Unix file
    // system allows 255): the search reads such a name again whole, by its short name, and lists it
    // as it is; the file is removed by that name.
    std::string cjkName;
    for (int i = 0; i < 83; ++i) cjkName += "\xE6\x97\xA5";
    cjkName += ".tmp";
    const std::string longName = dir.WriteFile(cjkName);
    search.ScanDir = dir.Path();
    search.DoRecursive = false;
    search.Search();
    ASSERT_EQ(search.FoundFiles().size(), 3u);  // ab.tmp, cd.tmp and the long one
    const auto whole = std::find_if(search.FoundFiles().begin(), search.FoundFiles().end(),
                                    [](const TFileItem& f) { return f.Name.size() > 200; });
    ASSERT_NE(whole, search.FoundFiles().end());
    EXPECT_EQ(whole->Name, cjkName);
    EXPECT_TRUE(RemoveFoundEntry(*whole, false, &reason)) << reason;
    EXPECT_FALSE(Exists(longName));
    EXPECT_TRUE(Exists(ab) && Exists(cd));
}
