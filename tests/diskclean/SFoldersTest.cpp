#include "diskclean/SFolders.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <map>

#include "diskclean/portable/FileText.h"
#include "support/TestSupport.h"

using namespace vsc;
using vsc::test::ScratchDir;

namespace {

struct Events {
    std::vector<std::string> processed;
    int changedCalls = 0;
    int changed[5] = {};
    std::int64_t changedSize = 0;
    std::vector<std::string> foundNames;

    void Attach(TSearchFolders& s) {
        s.OnProcess = [this](TSearchFolders&, const std::string& dir, int, std::int64_t, int, int, int) {
            processed.push_back(dir);
        };
        s.OnChanged = [this](TSearchFolders&, int count, std::int64_t size, int hide, int read, int system) {
            ++changedCalls;
            changed[0] = count;
            changedSize = size;
            changed[2] = hide;
            changed[3] = read;
            changed[4] = system;
        };
        s.OnFindFile = [this](TSearchFolders&, const std::string& name, const std::string& path, std::int64_t,
                              std::uint32_t, std::uint32_t, const std::string&) { foundNames.push_back(path + name); };
    }
};

void SetAttributes(const std::string& path, DWORD attributes) {
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << path;
}

// Found entries as "relative path|attribute string", sorted.
std::vector<std::string> Found(const TSearchFolders& s, const std::string& base) {
    std::vector<std::string> out;
    for (const TFileItem& f : s.FoundFiles()) {
        std::string full = f.Path + f.Name;
        if (full.compare(0, base.size() + 1, base + "\\") == 0) full = full.substr(base.size() + 1);
        out.push_back(full + "|" + f.FileAttrStr);
    }
    std::sort(out.begin(), out.end());
    return out;
}

void SearchDir(TSearchFolders& s, const std::string& dir, const std::string& mask) {
    s.ScanOptions = soSpecifiedDir;
    s.ScanDir = dir;
    s.FileMask = mask;
    s.Messages = false;
    s.Search();
}

}  // namespace

TEST(SearchFolders, AttributeFiltersHiddenFoldersAreStillSearched) {
    ScratchDir dir("attrs");
    dir.WriteFile("plain.tmp", "12345");
    SetAttributes(dir.WriteFile("hidden.tmp"), FILE_ATTRIBUTE_HIDDEN);
    SetAttributes(dir.WriteFile("readonly.tmp"), FILE_ATTRIBUTE_READONLY);
    SetAttributes(dir.WriteFile("system.tmp"), FILE_ATTRIBUTE_SYSTEM);
    SetAttributes(dir.WriteFile("all.tmp"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
    dir.WriteFile("keep.txt");
    dir.WriteFile("hid\\inner.tmp", "ab");
    SetAttributes(dir.File("hid"), FILE_ATTRIBUTE_HIDDEN);

    TSearchFolders s;
    Events ev;
    ev.Attach(s);
    SearchDir(s, dir.Path(), "*.tmp");
    EXPECT_EQ(Found(s, dir.Path()), (std::vector<std::string>{"hid\\inner.tmp|A-----", "plain.tmp|A-----"}));
    EXPECT_EQ(s.CountFiles(), 2);
    EXPECT_EQ(s.SizeOfFiles(), 7);
    EXPECT_EQ(s.CountFilesHide() + s.CountFilesRead() + s.CountFilesSystem(), 0);
    EXPECT_EQ(ev.changedCalls, 1);
    EXPECT_EQ(ev.changed[0], 2);
    EXPECT_EQ(ev.foundNames.size(), 2u);

    s.ScanHideFile = true;
    SearchDir(s, dir.Path(), "*.tmp");
    EXPECT_EQ(s.CountFiles(), 3);  // + hidden.tmp
    EXPECT_EQ(s.CountFilesHide(), 1);

    s.ScanReadFile = s.ScanSystemFile = true;
    SearchDir(s, dir.Path(), "*.tmp");
    EXPECT_EQ(s.CountFiles(), 6);
    EXPECT_EQ(s.CountFilesHide(), 2);
    EXPECT_EQ(s.CountFilesRead(), 2);
    EXPECT_EQ(s.CountFilesSystem(), 2);
    const auto found = Found(s, dir.Path());
    EXPECT_NE(std::find(found.begin(), found.end(), "all.tmp|A-HRS-"), found.end());

    // The hidden folder itself matches "*" only when hidden entries are included.
    s.ScanHideFile = false;
    SearchDir(s, dir.Path(), "hid");
    EXPECT_EQ(s.CountFiles(), 0);
    s.ScanHideFile = true;
    SearchDir(s, dir.Path(), "hid");
    EXPECT_EQ(Found(s, dir.Path()), (std::vector<std::string>{"hid|-DH---"}));
}

TEST(SearchFolders, FoldersAreFoundByNameAndRecordsAreComplete) {
    ScratchDir dir("names");
    dir.MakeDir("x.tmp\\deeper");
    dir.WriteFile("x.tmp\\deeper\\y.TMP", "abc");
    dir.WriteFile("other.log");

    TSearchFolders s;
    Events ev;
    ev.Attach(s);
    SearchDir(s, dir.Path(), " *.tmp , *.nothing ,");
    ASSERT_EQ(s.FoundFiles().size(), 2u);
    const TFileItem& folder = s.FoundFiles()[0];  // listed before its contents
    EXPECT_EQ(folder.Name, "x.tmp");
    EXPECT_EQ(folder.Path, dir.Path() + "\\");
    EXPECT_EQ(folder.FileAttrStr[1], 'D');
    EXPECT_EQ(folder.Size, 0);
    const TFileItem& file = s.FoundFiles()[1];
    EXPECT_EQ(file.Name, "y.TMP");
    EXPECT_EQ(file.Path, dir.Path() + "\\x.tmp\\deeper\\");
    EXPECT_EQ(file.Size, 3);
    EXPECT_EQ(file.Checked, 0);
    // The packed time is today's local date.
    SYSTEMTIME now;
    GetLocalTime(&now);
    const unsigned date = file.Time >> 16;
    EXPECT_EQ((date >> 9) + 1980, now.wYear);
    EXPECT_EQ((date >> 5) & 15, now.wMonth);
    // One OnProcess per folder, before it is read, in walk order.
    EXPECT_EQ(ev.processed, (std::vector<std::string>{dir.Path(), dir.Path() + "\\x.tmp", dir.Path() + "\\x.tmp\\deeper"}));

    s.DoRecursive = false;
    SearchDir(s, dir.Path(), "*.tmp");
    EXPECT_EQ(s.CountFiles(), 1);

    // Without UpdateList entries are counted but not kept.
    s.DoRecursive = true;
    s.UpdateList = false;
    SearchDir(s, dir.Path(), "*.tmp");
    EXPECT_EQ(s.CountFiles(), 2);
    EXPECT_TRUE(s.FoundFiles().empty());
}

TEST(SearchFolders, EmptyMasksEmptyDriveListsAndInvalidMasks) {
    ScratchDir dir("empty");
    dir.WriteFile("a.tmp");
    TSearchFolders s;
    Events ev;
    ev.Attach(s);
    SearchDir(s, dir.Path(), "");
    EXPECT_EQ(s.CountFiles(), 0);
    EXPECT_EQ(ev.changedCalls, 1);
    EXPECT_EQ(ev.changed[0] + ev.changed[2] + ev.changed[3] + ev.changed[4], 0);

    ev = Events();
    ev.Attach(s);
    s.ScanOptions = soDriveList;
    s.ScanDir = "";
    s.FileMask = "*";
    s.Search();
    EXPECT_TRUE(ev.processed.empty());
    EXPECT_EQ(ev.changedCalls, 1);

    ev = Events();
    ev.Attach(s);
    s.ScanOptions = soSpecifiedDir;
    s.ScanDir = dir.Path();
    s.FileMask = "*.tmp,[x";
    try {
        s.Search();
        FAIL() << "no error for an invalid mask";
    } catch (const EMaskException& e) {
        EXPECT_STREQ(e.what(), "'[x' is an invalid mask at (3)");
    }
    EXPECT_TRUE(ev.processed.empty());
    EXPECT_EQ(ev.changedCalls, 0);
    EXPECT_FALSE(s.Searching());

    // A folder that cannot be listed yields nothing and is no error.
    s.FileMask = "*";
    SearchDir(s, dir.File("missing"), "*");
    EXPECT_EQ(ev.processed, std::vector<std::string>{dir.File("missing")});
    EXPECT_EQ(ev.changedCalls, 1);
}

TEST(SearchFolders, StopFromOnProcessKeepsThePartialCounts) {
    ScratchDir dir("stop");
    for (int i = 0; i < 6; ++i) {
        const std::string d = "d" + std::to_string(i);
        dir.WriteFile(d + "\\a.tmp");
        dir.WriteFile(d + "\\b.tmp");
    }
    TSearchFolders s;
    Events ev;
    ev.Attach(s);
    int calls = 0;
    s.OnProcess = [&](TSearchFolders& sender, const std::string& d, int, std::int64_t, int, int, int) {
        ev.processed.push_back(d);
        if (++calls == 3) sender.StopSearch();
    };
    SearchDir(s, dir.Path(), "*.tmp");
    EXPECT_EQ(ev.processed.size(), 3u);
    EXPECT_EQ(ev.changedCalls, 1);
    EXPECT_EQ(ev.changed[0], 2);  // the two files of the first folder
    EXPECT_EQ(s.FoundFiles().size(), 2u);
    EXPECT_TRUE(s.SearchStopped());

    // The next search starts afresh.
    s.OnProcess = nullptr;
    SearchDir(s, dir.Path(), "*.tmp");
    EXPECT_EQ(s.CountFiles(), 12);
    EXPECT_FALSE(s.SearchStopped());
}

TEST(SearchFolders, StopFromAHandlerRunWhileMessagesAreDispatched) {
    ScratchDir dir("msgstop");
    for (int i = 0; i < 30; ++i) dir.WriteFile("f" + std::to_string(i) + ".tmp");
    TSearchFolders s;
    Events ev;
    ev.Attach(s);
    // A message-only window whose procedure stops the search, as a Stop button does.
    static TSearchFolders* target = nullptr;
    target = &s;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_APP) target->StopSearch();
        return DefWindowProcA(h, m, w, l);
    };
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VscSearchStopTest";
    RegisterClassA(&wc);
    HWND w = CreateWindowA("VscSearchStopTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(w);
    int found = 0;
    s.OnFindFile = [&](TSearchFolders&, const std::string&, const std::string&, std::int64_t, std::uint32_t,
                       std::uint32_t, const std::string&) {
        if (++found == 5) PostMessageA(w, WM_APP, 0, 0);
    };
    s.ScanOptions = soSpecifiedDir;
    s.ScanDir = dir.Path();
    s.FileMask = "*.tmp";
    s.Messages = true;
    s.YieldIntervalMs = 0;  // dispatch after every entry
    s.Search();
    DestroyWindow(w);
    EXPECT_EQ(s.CountFiles(), 5);  // the message is handled right after the fifth entry
    EXPECT_EQ(ev.changedCalls, 1);
}

TEST(SearchFolders, SizesAreSixtyFourBit) {
    ScratchDir dir("sparse");
    const std::string path = dir.File("big.tmp");
    {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD ret = 0;
        DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ret, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = 3LL << 30;
        SetFilePointerEx(h, end, nullptr, FILE_BEGIN);
        const BOOL ok = SetEndOfFile(h);
        CloseHandle(h);
        if (!ok) GTEST_SKIP() << "no room for a 3 GiB sparse file";
    }
    dir.WriteFile("small.tmp", "1234");
    TSearchFolders s;
    SearchDir(s, dir.Path(), "*.tmp");
    ASSERT_EQ(s.CountFiles(), 2);
    std::int64_t bigSize = 0;
    for (const auto& f : s.FoundFiles())
        if (f.Name == "big.tmp") bigSize = f.Size;
    EXPECT_EQ(bigSize, 3221225472LL);
    EXPECT_EQ(s.SizeOfFiles(), 3221225476LL);
    EXPECT_EQ(ScanSizeText(s.SizeOfFiles()), "3145 Mb");
}

TEST(SearchFolders, DeepTreesDoNotRecurseOnTheStack) {
    ScratchDir dir("deep");
    std::string rel;
    for (int i = 0; i < 90; ++i) rel += (i ? "\\" : "") + std::string("d");
    dir.WriteFile(rel + "\\bottom.tmp");
    TSearchFolders s;
    SearchDir(s, dir.Path(), "*.tmp");
    ASSERT_EQ(s.CountFiles(), 1);
    EXPECT_EQ(s.FoundFiles()[0].Path, dir.Path() + "\\" + rel + "\\");
}

namespace {

// The fixture drive of the build's prefix (scripts/lib.sh), or "" when the tests run elsewhere.
std::string FixtureDrive() {
    char letter[8] = {};
    if (GetEnvironmentVariableA("VSC_FIXTURE_DRIVE", letter, sizeof letter) != 1) return "";
    const std::string root = std::string(letter) + ":\\";
    return GetFileAttributesA((root + "loops").c_str()) == INVALID_FILE_ATTRIBUTES ? "" : std::string(letter);
}

}  // namespace

TEST(SearchFolders, LinkLoopsOnAFixtureDriveEndAndNoFolderIsEnteredTwice) {
    SKIP_UNLESS_BUILD_PREFIX();
    const std::string drive = FixtureDrive();
    if (drive.empty()) GTEST_SKIP() << "no fixture drive";
    const std::string loops = drive + ":\\loops";

    TSearchFolders s;
    Events ev;
    ev.Attach(s);
    SearchDir(s, loops, "*");
    EXPECT_EQ(ev.changedCalls, 1);
    std::map<std::string, int> entered;
    for (const auto& d : ev.processed) ++entered[d];
    for (const auto& [d, n] : entered) EXPECT_EQ(n, 1) << d;
    // loops, self-dir, parent-dir, inner, twice and one of twice's two names for the same folder.
    EXPECT_EQ(ev.processed.size(), 6u);
    EXPECT_EQ(entered.count(loops + "\\self-dir\\self"), 0u);
    EXPECT_EQ(entered.count(loops + "\\parent-dir\\inner\\up"), 0u);
    EXPECT_EQ(entered.count(loops + "\\twice\\alias") + entered.count(loops + "\\twice\\target"), 1u);
    // What tells them apart: one identity for both names of a folder, and "S:" is the drive's root.
    FolderIdentity alias, target, root, rootNamed, parent;
    ASSERT_TRUE(ReadFolderIdentity(loops + "\\twice\\alias", alias));
    ASSERT_TRUE(ReadFolderIdentity(loops + "\\twice\\target", target));
    ASSERT_TRUE(ReadFolderIdentity(loops + "\\twice", parent));
    ASSERT_TRUE(ReadFolderIdentity(drive + ":", root));
    ASSERT_TRUE(ReadFolderIdentity(drive + ":\\", rootNamed));
    EXPECT_EQ(alias, target);
    EXPECT_NE(alias, parent);
    EXPECT_EQ(root, rootNamed);
    EXPECT_NE(root, parent);
    EXPECT_FALSE(ReadFolderIdentity(loops + "\\no such folder", parent));
    // The visits of a walk ask the full identity only when a file number comes back: a folder's
    // second and third names are still told apart from a folder met once.
    TFolderVisits visits;
    EXPECT_TRUE(visits.FirstVisit(drive + ":"));
    EXPECT_TRUE(visits.FirstVisit(loops + "\\twice\\target"));
    EXPECT_TRUE(visits.FirstVisit(loops + "\\twice"));
    EXPECT_FALSE(visits.FirstVisit(loops + "\\twice\\alias"));
    EXPECT_FALSE(visits.FirstVisit(loops + "\\twice\\target\\"));
    EXPECT_FALSE(visits.FirstVisit(drive + ":\\"));
    EXPECT_TRUE(visits.FirstVisit(loops + "\\no such folder"));
    EXPECT_TRUE(visits.FirstVisit(loops + "\\self-dir"));
    EXPECT_FALSE(visits.FirstVisit(loops + "\\self-dir\\self"));
    // The same folder through Wine's drive Z: (the Unix root), and another drive's root.
    char prefix[MAX_PATH] = {};
    const std::string build = GetEnvironmentVariableA("VSC_BUILD_PREFIX", prefix, MAX_PATH) ? prefix : "";
    if (build.size() > 6 && build.compare(build.size() - 6, 6, "prefix") == 0) {
        std::string viaZ = "Z:" + build.substr(0, build.size() - 6) + "fixtures/drive-s/loops/parent-dir";
        std::replace(viaZ.begin(), viaZ.end(), '/', '\\');
        EXPECT_TRUE(visits.FirstVisit(loops + "\\parent-dir"));
        EXPECT_FALSE(visits.FirstVisit(viaZ)) << viaZ;
    }
    EXPECT_TRUE(visits.FirstVisit("C:"));
    // The links themselves are entries like any other.
    const auto found = Found(s, loops);
    EXPECT_NE(std::find(found.begin(), found.end(), "self-dir\\self|-D----"), found.end());

    // A drive searched from its list: files in its root have the path "S:\".
    const std::string rootFile = drive + ":\\vsc-disk-root.tmp";
    HANDLE h = CreateFileA(rootFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    // Listed twice, the drive is still walked once.
    s.ScanOptions = soDriveList;
    s.ScanDir = drive + drive;
    s.FileMask = "vsc-disk-root.tmp";
    s.Search();
    DeleteFileA(rootFile.c_str());
    ASSERT_EQ(s.FoundFiles().size(), 1u);
    EXPECT_EQ(s.FoundFiles()[0].Path, drive + ":\\");
    EXPECT_NE(std::find(ev.processed.begin(), ev.processed.end(), drive + ":"), ev.processed.end());
}
