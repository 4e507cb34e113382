// Removing found entries: a folder link, or a folder that holds one, never reaches the recycle bin,
// which would take (or, where the volume has none, empty) the folder the link points at.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "diskclean/JunkFileClean.h"
#include "platform/Files.h"
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

// The one cleaning of the window and the console: only checked records, in list order, each
// failure with its reason; the caller's hooks end it between entries or stop it before one.
TEST(CleanFoundFiles, RemovesTheCheckedRecordsUntilTheCallerEndsIt) {
    ScratchDir dir("clean");
    std::vector<TFileItem> files;
    for (const char* name : {"a.tmp", "b.tmp", "c.tmp", "d.tmp", "gone.tmp"}) {
        if (std::string(name) != "gone.tmp") dir.WriteFile(name);
        TFileItem item;
        item.Name = name;
        item.Path = dir.Path() + "\\";
        item.FileAttrStr = "A-----";
        item.Checked = std::string(name) == "b.tmp" ? 0 : 1;
        files.push_back(item);
    }
    std::vector<std::size_t> tried;
    int indices = 0;
    CleanHooks hooks;
    hooks.Tried = [&](std::size_t i) { tried.push_back(i); };
    hooks.Between = [&] { return ++indices < 3; };  // ends after the third index
    const CleanOutcome first = CleanFoundFiles(files, false, hooks);
    EXPECT_EQ(first.Cleaned, 2);
    EXPECT_EQ(tried, (std::vector<std::size_t>{0, 2}));
    EXPECT_TRUE(first.Failures.empty());
    EXPECT_FALSE(Exists(dir.File("a.tmp")) || Exists(dir.File("c.tmp")));
    EXPECT_TRUE(Exists(dir.File("b.tmp")) && Exists(dir.File("d.tmp")));

    CleanHooks stopped;
    stopped.Stopped = [] { return true; };
    EXPECT_EQ(CleanFoundFiles(files, false, stopped).Cleaned, 0);
    EXPECT_TRUE(Exists(dir.File("d.tmp")));

    // Without hooks it runs to the end; what is gone already is a failure with its reason.
    const CleanOutcome rest = CleanFoundFiles(files, false);
    EXPECT_EQ(rest.Cleaned, 1);
    ASSERT_EQ(rest.Failed(), 3);
    EXPECT_EQ(rest.Failures[0].Name, "a.tmp");
    EXPECT_EQ(rest.Failures[2].Name, "gone.tmp");
    EXPECT_EQ(rest.Failures[2].Folder, dir.Path() + "\\");
    EXPECT_FALSE(rest.Failures[2].Reason.empty());
    EXPECT_FALSE(Exists(dir.File("d.tmp")));
    EXPECT_TRUE(Exists(dir.File("b.tmp")));
}

// Only the exact entry: a name the code page could not show ("??.tmp" for a CJK name) or a path too
// long for the 8-bit calls is reached by its short name or refused, never matched as a pattern.
TEST(RemoveFoundEntry, OnlyTheExactEntryIsEverRemoved) {
    ScratchDir dir("exact");
    const std::string ab = dir.WriteFile("ab.tmp"), cd = dir.WriteFile("cd.tmp");
    std::string longName;  // 83 CJK characters: 253 bytes, a name the 8-bit listing may have cut
    for (int i = 0; i < 83; ++i) longName += "\xE6\x97\xA5";
    const std::string cjk = dir.WriteFile("\xE6\x97\xA5\xE6\x9C\xAC.tmp"), full = dir.WriteFile(longName += ".tmp");
    TSearchFolders search;
    search.ScanOptions = soSpecifiedDir;
    search.ScanDir = dir.Path();
    search.FileMask = "*.tmp";
    search.Messages = false;
    search.Search();
    std::map<std::string, TFileItem> found;
    for (const TFileItem& f : search.FoundFiles()) found[f.Name] = f;
    ASSERT_EQ(found.count(longName), 1u);  // read again whole
    TFileItem lossy = found["\xE6\x97\xA5\xE6\x9C\xAC.tmp"], tooLong = lossy;  // 200 characters of folder, 80 of name
    lossy.Name = "??.tmp";
    const std::string shortName = std::exchange(lossy.ShortName, "");
    tooLong.Path = dir.File(std::string(200 - dir.Path().size(), 'f')) + "\\";
    tooLong.Name = std::string(76, 'n') + ".tmp";
    tooLong.ShortName.clear();
    std::string reason;
    for (const bool toRecycleBin : {true, false}) {
        EXPECT_FALSE(RemoveFoundEntry(lossy, toRecycleBin, &reason));
        EXPECT_EQ(reason, "its name cannot be written in the system's code page and it has no short name");
        EXPECT_FALSE(RemoveFoundEntry(tooLong, toRecycleBin, &reason));
        EXPECT_EQ(reason, "its path is too long for the 8-bit calls and it has no short name");
    }
    EXPECT_FALSE(MoveToRecycleBin(dir.File("??.tmp")));
    EXPECT_TRUE(Exists(ab) && Exists(cd) && Exists(cjk));
    lossy.ShortName = shortName;
    EXPECT_TRUE(RemoveFoundEntry(lossy, true, &reason)) << reason;
    EXPECT_TRUE(RemoveFoundEntry(found[longName], false, &reason)) << reason;
    EXPECT_FALSE(Exists(cjk) || Exists(full));
    EXPECT_TRUE(Exists(ab) && Exists(cd));
}
