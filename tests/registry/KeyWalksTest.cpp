// The recursive key walks (startup entries, sound events, file paths, the recording-free walk) on
// scratch key trees.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <set>

#include "CheckTestSupport.h"
#include "registry/portable/PathText.h"
#include "support/TestSupport.h"

using namespace vsc;
using namespace vsc::test;

// ---- Startup entries ----

TEST(ScanStartupEntries, ReportsMissingProgramsWithTheDataAsStored) {
    ScratchDir dir("startup");
    dir.WriteFile("onpath.exe");
    const std::string present = dir.WriteFile("App\\app.exe");
    EnvOverride path("path", "C:\\vsc-gone;" + dir.Path());
    EnvOverride var("VSCTEST_APPDIR", dir.Path() + "\\App");

    ScratchKey run("run");
    run.SetString("", "Quoted", "\"C:\\vsc-gone\\App\\app.exe\"");
    run.SetString("", "Present", "\"" + present + "\"");
    run.SetString("", "Args", "C:\\vsc-gone\\app.exe /min");  // arguments: never examined
    run.SetString("", "Bare", "missing.exe");                  // looked for in "path" only
    run.SetString("", "OnPath", "onpath.exe");
    run.SetString("", "Expanded", "%VSCTEST_APPDIR%\\app.exe", REG_EXPAND_SZ);
    run.SetString("", "ExpandedGone", "%VSCTEST_APPDIR%\\gone.exe", REG_EXPAND_SZ);
    run.SetString("", "Library", "C:\\vsc-gone\\hook.DlL");
    run.SetString("", "", "C:\\vsc-gone\\default.exe");  // the default value is not an entry
    run.SetString("", "Lost", "C:\\vsc-?\\lost.exe");
    run.SetString("", "Short", "\"a.e\"");
    run.SetBytes("", "Binary", "C:\\vsc-gone\\b.exe", 18, REG_BINARY);
    run.SetString("Sub", "Nested", "C:\\vsc-gone\\nested.exe");  // a RunOnceEx-style sub-key

    CheckRun check(7);
    ScanStartupEntries(check.scan(), run.Path());
    EXPECT_EQ(SortedByName(check.Problems()), (std::vector<Problem>{
                                    {run.Path(), "Bare", "missing.exe", "7"},
                                    {run.Path(), "ExpandedGone", "%VSCTEST_APPDIR%\\gone.exe", "7"},
                                    {run.Path(), "Library", "C:\\vsc-gone\\hook.DlL", "7"},
                                    {run.Path(), "Quoted", "\"C:\\vsc-gone\\App\\app.exe\"", "7"},
                                    {run.Child("Sub"), "Nested", "C:\\vsc-gone\\nested.exe", "7"},
                                }));
}

// ---- Sound events ----

TEST(ScanSoundEvents, TestsDefaultWaveFilesInTheMediaFolderOrAsExpanded) {
    ScratchDir windir("windir");
    windir.WriteFile("Media\\chord.wav");
    EnvOverride env("windir", windir.Path());
    EnvOverride var("VSCTEST_MEDIA", windir.Path() + "\\Media");

    ScratchKey apps("apps");
    apps.SetString(".Default\\SystemAsterisk\\.Current", "", "chord.wav");
    apps.SetString(".Default\\SystemHand\\.Current", "", "gone.wav");
    apps.SetString(".Default\\Ding\\.Current", "", "%VSCTEST_MEDIA%\\ding.WAV", REG_EXPAND_SZ);
    apps.SetString(".Default\\Song\\.Current", "", "gone.mp3");
    apps.SetString(".Default\\Named\\.Current", "Other", "gone.wav");  // named values never count
    apps.SetString(".Default\\Lost\\.Current", "", "?.wav");

    CheckRun check(12);
    ScanSoundEvents(check.scan(), apps.Path());
    EXPECT_EQ(SortedByName(check.Problems()), (std::vector<Problem>{
                            {apps.Child(".Default\\Ding\\.Current"), "", windir.Path() + "\\Media\\ding.WAV", "12"},
                            {apps.Child(".Default\\SystemHand\\.Current"), "", windir.Path() + "\\Media\\gone.wav", "12"},
                        }));
}

// ---- File paths ----

TEST(ScanFilePaths, ReportsDriveRootedPathsMissingAsFileAndFolder) {
    ScratchDir dir("paths");
    const std::string file = dir.WriteFile("readme.txt");
    const std::string folder = dir.MakeDir("Data.dat");

    ScratchKey key("paths");
    key.SetString("", "Gone", "C:\\vsc-gone\\readme.txt");
    key.SetString("", "File", file);
    key.SetString("", "Folder", folder);
    key.SetString("", "Trailing", "C:\\vsc-gone\\Old\\");
    key.SetString("", "Quoted", "\"C:\\vsc-gone\\readme.txt\"");
    key.SetString("", "Seven", "C:\\.abc");  // seven characters: too short to be examined
    key.SetString("", "Eight", "C:\\a.bcd");
    key.SetString("", "TwoLetterExt", "C:\\vsc-gone\\a.cd");
    key.SetString("", "Expand", "C:\\vsc-gone\\x.ini", REG_EXPAND_SZ);
    key.SetString("", "Lost", "C:\\vsc-?\\x.ini");
    key.SetString("", "Relative", "vsc-gone\\readme.txt");
    key.SetBytes("", "Binary", "C:\\vsc-gone\\b.txt", 18, REG_BINARY);
    key.SetString("", "", "C:\\vsc-gone\\default.txt");  // the default value counts like any other

    CheckRun check(13);
    ScanFilePaths(check.scan(), key.Path());
    EXPECT_EQ(SortedByName(check.Problems()), (std::vector<Problem>{
                            {key.Path(), "", "C:\\vsc-gone\\default.txt", "13"},
                            {key.Path(), "Eight", "C:\\a.bcd", "13"},
                            {key.Path(), "Expand", "C:\\vsc-gone\\x.ini", "13"},
                            {key.Path(), "Gone", "C:\\vsc-gone\\readme.txt", "13"},
                        }));
}

TEST(ScanFilePaths, AnswersAlikeForPathsThatShareFolders) {
    ScratchDir dir("paths");
    const std::string present = dir.WriteFile("present.txt");
    dir.MakeDir("Sub.dir");
    ScratchKey key("shared-folders");
    // Missing files below one missing folder, and a missing file beside an existing one; each path
    // appears in two keys, in different letter case, and is reported wherever it appears.
    key.SetString("A", "gone1", "C:\\vsc-gone\\app\\one.txt");
    key.SetString("A", "gone2", "C:\\vsc-gone\\app\\two.txt");
    key.SetString("A", "present", present);
    key.SetString("A", "beside", dir.File("absent.txt"));
    key.SetString("A", "subdir", dir.File("Sub.dir"));
    key.SetString("B", "gone1", "c:\\VSC-GONE\\APP\\ONE.TXT");
    key.SetString("B", "present", UpperAscii(present));
    key.SetString("B", "beside", dir.File("absent.txt"));
    key.SetString("B", "below", present + "\\x.txt");  // below a file: missing
    key.SetString("B", "subfile", dir.File("Sub.dir\\in.txt"));

    dir.WriteFile("Sub.dir\\in.txt");
    CheckRun check(13);
    ScanFilePaths(check.scan(), key.Path());
    EXPECT_EQ(SortedByName(check.Problems()), (std::vector<Problem>{
                                                  {key.Child("A"), "beside", dir.File("absent.txt"), "13"},
                                                  {key.Child("A"), "gone1", "C:\\vsc-gone\\app\\one.txt", "13"},
                                                  {key.Child("A"), "gone2", "C:\\vsc-gone\\app\\two.txt", "13"},
                                                  {key.Child("B"), "below", present + "\\x.txt", "13"},
                                                  {key.Child("B"), "beside", dir.File("absent.txt"), "13"},
                                                  {key.Child("B"), "gone1", "c:\\VSC-GONE\\APP\\ONE.TXT", "13"},
                                              }));
}

// A value name that the ANSI code page cannot spell is enumerated with a '?' in its place. The
// walks know such a value only by that name, as the registry resolves it: a problem never names
// one value while showing another value's data (repair would then act on the wrong value). Under
// the UTF-8 code page the name is read as it is and the value checked like any other.
TEST(KeyWalk, NamesSpoiledByTheCodePageAreTakenByName) {
    ScratchDir dir("qnames");
    const std::string present = dir.WriteFile("present.exe");
    ScratchKey key("qnames");
    key.SetString("", "Plain", "C:\\vsc-gone\\plain.exe");
    key.SetString("", "Seen?", present);  // a real '?' in the name; its file exists
    HKEY open = CreateKeyPath(key.Path());
    ASSERT_NE(open, nullptr);
    const WCHAR gone[] = L"C:\\vsc-gone\\\x0434.exe";
    for (const WCHAR* name : {L"Seen\x4E00", L"Gone\x4E00"})
        ASSERT_EQ(RegSetValueExW(open, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(gone), sizeof gone), ERROR_SUCCESS);
    RegCloseKey(open);

    for (int category : {7, 13}) {
        CheckRun check(category);
        if (category == 7)
            ScanStartupEntries(check.scan(), key.Path());
        else
            ScanFilePaths(check.scan(), key.Path());
        const std::string c = std::to_string(category), data = "C:\\vsc-gone\\\xD0\xB4.exe";
        std::vector<Problem> found = check.Problems(), expected{{key.Path(), "Plain", "C:\\vsc-gone\\plain.exe", c}};
        if (GetACP() == CP_UTF8) expected = {{key.Path(), "Gone\xE4\xB8\x80", data, c}, expected[0], {key.Path(), "Seen\xE4\xB8\x80", data, c}};
        std::sort(found.begin(), found.end(), [](const Problem& a, const Problem& b) { return a.ValueName < b.ValueName; });
        EXPECT_EQ(found, expected);
    }
}

// ---- The walk frame ----

// A registry link is never entered: what it leads to is listed once, where it really lives, also
// when a category's key path is the link (alone, or with its target). The links of a Wine prefix
// are the installer test's.
TEST(KeyWalk, RegistryLinksAreNotFollowed) {
    ScratchKey root("links");
    root.SetString("target", "File", "C:\\vsc-gone\\linked.txt");
    root.CreateKey("walk");
    ScratchLink link(root.Child("walk\\link"), root.Child("target"));
    ASSERT_TRUE(link.ok());
    const std::vector<Problem> once{{root.Child("target"), "File", "C:\\vsc-gone\\linked.txt", "13"}};
    CheckRun check(13);
    ScanFilePaths(check.scan(), root.Path());
    EXPECT_EQ(check.Problems(), once);
    for (const auto& keyPaths : {std::vector<std::string>{root.Child("walk\\link"), root.Child("target")},
                                 std::vector<std::string>{root.Child("walk\\link")}}) {
        auto lists = std::make_shared<ScanResultLists>();
        TRegScanThread worker(true, lists, "0000000000001", "");
        worker.OverrideKeyPaths(13, keyPaths);
        worker.RunScan();
        EXPECT_EQ(ProblemsOf(*lists), once) << keyPaths.size();
    }
}

TEST(KeyWalk, VisitsValuesBeforeSubKeysDepthFirstInIndexOrder) {
    ScratchKey root("order");
    root.SetString("", "v1", "C:\\vsc-gone\\1.txt");
    root.SetString("A", "a1", "C:\\vsc-gone\\a1.txt");
    root.SetString("A\\Deep", "d1", "C:\\vsc-gone\\d1.txt");
    root.SetString("A", "a2", "C:\\vsc-gone\\a2.txt");
    root.SetString("B", "b1", "C:\\vsc-gone\\b1.txt");
    root.SetString("", "v2", "C:\\vsc-gone\\2.txt");

    CheckRun check(13);
    ScanFilePaths(check.scan(), root.Path());
    std::vector<std::string> order;
    for (const Problem& p : check.Problems()) order.push_back(p.KeyPath + "|" + p.ValueName);
    EXPECT_EQ(order, (std::vector<std::string>{root.Path() + "|v1", root.Path() + "|v2", root.Child("A") + "|a1",
                                               root.Child("A") + "|a2", root.Child("A\\Deep") + "|d1",
                                               root.Child("B") + "|b1"}));
}

TEST(KeyWalk, RecordingFreeWalkVisitsEverythingAndRecordsNothing) {
    ScratchKey root("defaults");
    root.SetString("", "", "C:\\vsc-gone\\a.exe");
    root.SetBytes("Binary", "", "\1\2\3", 3, REG_BINARY);  // a default of another kind ends its level only
    root.SetString("Binary\\Below", "", "C:\\vsc-gone\\b.exe");
    root.SetString("Last", "", "%windir%\\c.exe", REG_EXPAND_SZ);

    for (int category : {1, 9, 11}) {
        CheckRun check(category);
        if (category == 9)
            ScanVirtualDevices(check.scan(), root.Path());
        else
            ScanDefaultValues(check.scan(), root.Path());
        EXPECT_TRUE(check.Problems().empty());
        EXPECT_EQ(check.Place(), SplitKeyPath(root.Child("Last")).subKey) << category;
    }
    IdleWorker config;
    config.worker.RunCheck(10, "HKEY_LOCAL_MACHINE\\");
    EXPECT_TRUE(config.Problems().empty());
    EXPECT_EQ(config.worker.Progress().RegKeyText, "");
    EXPECT_EQ(config.worker.Progress().RootKeyText, "Configuration Files");
}

TEST(KeyWalk, StopEndsTheWalkAfterOpeningTheStartKey) {
    ScratchKey root("stop");
    root.SetString("", "v", "C:\\vsc-gone\\1.txt");
    root.SetString("A", "a", "C:\\vsc-gone\\a.txt");
    CheckRun check(13);
    check.RequestStop();
    ScanFilePaths(check.scan(), root.Path());
    ScanStartupEntries(check.scan(), root.Path());
    EXPECT_TRUE(check.Problems().empty());
    EXPECT_EQ(check.Place(), root.SubKey());
}

namespace {

// A chain of `depth` keys named "k" below the scratch key, with a missing path at every level.
// Made one level at a time below the level above: the 8-bit registry calls of Wine take a path of
// at most MAX_PATH characters. Returns the chain's path below the scratch key.
std::string MakeChain(const ScratchKey& root, int depth) {
    HKEY parent = CreateKeyPath(root.Path());
    std::string relative;
    for (int i = 0; i < depth && parent; ++i) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(parent, "k", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
            key = nullptr;
        RegCloseKey(parent);
        parent = key;
        if (!key) return std::string();
        const std::string data = "C:\\vsc-gone\\" + std::to_string(i) + ".txt";
        RegSetValueExA(key, "p", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), static_cast<DWORD>(data.size() + 1));
        relative += (i ? "\\k" : "k");
    }
    if (parent) RegCloseKey(parent);
    return relative;
}

}  // namespace

TEST(KeyWalk, ChainAsDeepAsTheRegistryAllowsCompletesOnTheWorker) {
    ScratchKey root("deep");
    const std::string chain = MakeChain(root, 512);
    ASSERT_FALSE(chain.empty());

    auto lists = std::make_shared<ScanResultLists>();
    TRegScanThread worker(true, lists, "0000000000001", "");
    worker.OverrideKeyPaths(13, {root.Path()});
    worker.Start();
    ASSERT_TRUE(worker.WaitFor(120000));
    ASSERT_EQ(lists->Count(), 512u);
    EXPECT_EQ(lists->KeyPathList.back(), root.Child(chain));
    EXPECT_EQ(lists->ValueDataList.back(), "C:\\vsc-gone\\511.txt");

    // The walk's stack does not grow with the depth: the whole chain runs in a small stack.
    CheckRun check(13);
    const std::size_t peak = RunMeasuringStack(256 * 1024, [&] { ScanFilePaths(check.scan(), root.Path()); });
    EXPECT_EQ(check.Problems().size(), 512u);
    std::printf("[ stack    ] 512-level walk used %zu bytes of stack\n", peak);
    EXPECT_LT(peak, 128u * 1024u);
}

TEST(KeyWalk, EndsAndStaysConsistentWhileKeysVanishUnderIt) {
    ScratchKey root("churn");
    for (int k = 0; k < 60; ++k)
        for (int v = 0; v < 15; ++v)
            root.SetString("key" + std::to_string(k), "v" + std::to_string(v),
                           "C:\\vsc-gone\\" + std::to_string(k) + "_" + std::to_string(v) + ".txt");

    auto lists = std::make_shared<ScanResultLists>();
    TRegScanThread worker(true, lists, "0000000000001", "");
    worker.OverrideKeyPaths(13, {root.Path()});
    worker.Start();
    // Delete values and whole keys while the walk runs.
    for (int k = 0; k < 60; k += 2) {
        HKEY key = CreateKeyPath(root.Child("key" + std::to_string(k + 1)));
        if (key) {
            for (int v = 0; v < 15; v += 3) RegDeleteValueA(key, ("v" + std::to_string(v)).c_str());
            RegCloseKey(key);
        }
        DeleteKeyTree(root.Child("key" + std::to_string(k)));
    }
    ASSERT_TRUE(worker.WaitFor(60000));
    std::set<std::string> seen;
    for (const Problem& p : ProblemsOf(*lists)) {
        EXPECT_EQ(p.ValueData.rfind("C:\\vsc-gone\\", 0), 0u) << p;
        EXPECT_TRUE(seen.insert(p.KeyPath + "|" + p.ValueName).second) << "twice: " << p;
    }
    EXPECT_EQ(static_cast<std::size_t>(worker.ProblemCount()), lists->Count());
}
