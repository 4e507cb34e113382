// The broken-shortcut check on real .lnk files written with the shell link object.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <thread>

#include "CheckTestSupport.h"
#include "registry/PublicOpt.h"
#include "repair/Repair.h"
#include "support/TestSupport.h"

using namespace vsc;
using namespace vsc::test;

namespace {

// A shortcut whose target existed when it was written and is gone now.
std::string WriteBrokenShortcut(const ScratchDir& dir, const std::string& link, const std::string& target,
                                bool folder = false) {
    const std::string full = folder ? dir.MakeDir(target) : dir.WriteFile(target);
    EXPECT_TRUE(WriteShortcut(dir.File(link), full)) << link;
    if (folder)
        RemoveDirectoryA(full.c_str());
    else
        DeleteFileA(full.c_str());
    return full;
}

}  // namespace

TEST(ScanShortcuts, ReportsShortcutsWhoseFileOrFolderTargetIsGone) {
    ScratchDir dir("links");
    const std::string file = dir.WriteFile("targets\\present.exe");
    const std::string folder = dir.MakeDir("targets\\folder");
    ASSERT_TRUE(WriteShortcut(dir.File("good.lnk"), file));
    ASSERT_TRUE(WriteShortcut(dir.File("to-folder.lnk"), folder));
    const std::string goneFile = WriteBrokenShortcut(dir, "broken.lnk", "targets\\gone.exe");
    const std::string goneFolder = WriteBrokenShortcut(dir, "broken-folder.lnk", "targets\\gone-dir", true);
    const std::string upper = WriteBrokenShortcut(dir, "UPPER.LNK", "targets\\upper.exe");
    // Not shortcuts by name: a copy of a broken link with another extension, and a name without a dot.
    CopyFileA(dir.File("broken.lnk").c_str(), dir.File("broken.lnk.txt").c_str(), FALSE);
    CopyFileA(dir.File("broken.lnk").c_str(), dir.File("lnk").c_str(), FALSE);
    dir.WriteFile("garbage.lnk", "this is not a shell link");
    // On the drives of the build's prefix: a file on a share that is there is found; one on a
    // removable drive that is not there now is listed, but not as certain.
    const bool realDrives = InBuildPrefix();
    const std::string usb = "R:\\vsc-links-usb.exe";
    if (realDrives) {
        ASSERT_TRUE(WriteShortcut(dir.File("share.lnk"), "\\\\vscserver\\share\\Data\\present.exe"));
        CloseHandle(CreateFileA(usb.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(WriteShortcut(dir.File("usb.lnk"), usb));
        DeleteFileA(usb.c_str());
    }

    CheckRun run(14);
    ScanShortcuts(run.scan(), dir.Path());
    std::vector<Problem> expected = {
        {dir.File("broken.lnk"), "LinkFiles", goneFile, "14"},
        {dir.File("broken-folder.lnk"), "LinkFiles", goneFolder, "14"},
        {dir.File("UPPER.LNK"), "LinkFiles", upper, "14"},
    };
    if (realDrives) expected.push_back({dir.File("usb.lnk"), "LinkFiles", usb, "14"});
    EXPECT_EQ(SortedByName(run.Problems()), SortedByName(expected));
    for (std::size_t i = 0; i < run.Lists().Count(); ++i) {
        const bool onUsb = run.Lists().KeyPathList[i] == dir.File("usb.lnk");
        EXPECT_EQ(run.Lists().Certain(i), !onUsb) << i;
        EXPECT_EQ(run.Lists().Reason(i), onUsb ? "removable drive R: (not checked)" : "file not found") << i;
    }
}

TEST(ScanShortcuts, ShellObjectWebAndUnreadableShortcutsHaveNoTarget) {
    ScratchDir dir("links");
    ASSERT_TRUE(WriteShellItemShortcut(dir.File("computer.lnk"), ""));
    EXPECT_EQ(GetShortcutTarget(dir.File("computer.lnk")), "");
    // Not every shell can parse a web address into an item; where it can, the link has no
    // file-system target either.
    if (WriteShellItemShortcut(dir.File("web.lnk"), "http://www.example.com/index.html")) {
        EXPECT_EQ(GetShortcutTarget(dir.File("web.lnk")), "");
    }
    dir.WriteFile("empty.lnk", "");
    EXPECT_EQ(GetShortcutTarget(dir.File("empty.lnk")), "");
    EXPECT_EQ(GetShortcutTarget(dir.File("missing.lnk")), "");

    CheckRun run(14);
    ScanShortcuts(run.scan(), dir.Path());
    EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());

    // One shell link object reads them all as fresh ones would: a file that fails to load or has no
    // file-system target leaves nothing of the link before it, and does not spoil the one after.
    ASSERT_TRUE(WriteShortcut(dir.File("good.lnk"), dir.WriteFile("t\\present.exe")));
    dir.WriteFile("junk.lnk", "this is not a shell link");
    TShortcutReader reader;
    for (const char* name : {"good.lnk", "empty.lnk", "good.lnk", "junk.lnk", "good.lnk", "computer.lnk", "missing.lnk",
                             "good.lnk", "web.lnk", "good.lnk"})
        EXPECT_EQ(reader.Target(dir.File(name)), GetShortcutTarget(dir.File(name))) << name;
}

TEST(ScanShortcuts, SearchesEveryFolderHiddenSystemAndDotLnkOnesIncluded) {
    ScratchDir dir("links");
    dir.MakeDir("Folder.lnk");
    const std::string inDotLnk = WriteBrokenShortcut(dir, "Folder.lnk\\inner.lnk", "t\\a.exe");
    const std::string hidden = dir.MakeDir("Hidden\\Deeper");
    const std::string inHidden = WriteBrokenShortcut(dir, "Hidden\\Deeper\\deep.lnk", "t\\b.exe");
    SetFileAttributesA(dir.File("Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);

    CheckRun run(14);
    ScanShortcuts(run.scan(), dir.Path());
    EXPECT_EQ(SortedByName(run.Problems()), SortedByName(std::vector<Problem>{
                                          {dir.File("Folder.lnk\\inner.lnk"), "LinkFiles", inDotLnk, "14"},
                                          {dir.File("Hidden\\Deeper\\deep.lnk"), "LinkFiles", inHidden, "14"},
                                      }));
}

TEST(ScanShortcuts, StopAndMissingFoldersRecordNothing) {
    ScratchDir dir("links");
    WriteBrokenShortcut(dir, "broken.lnk", "gone.exe");
    IdleWorker stopped;
    stopped.worker.RequestStop();
    stopped.worker.RunCheck(14, dir.Path());
    EXPECT_TRUE(stopped.Problems().empty());
    EXPECT_EQ(stopped.worker.Progress().RegKeyText, dir.Path());
    EXPECT_EQ(stopped.worker.Progress().RootKeyText, "Invalid Shortcuts");

    CheckRun missing(14);
    ScanShortcuts(missing.scan(), dir.File("no such folder"));
    ScanShortcuts(missing.scan(), "Q:");
    EXPECT_TRUE(missing.Problems().empty());
}

// A broken shortcut named in Cyrillic is found, and the repair takes that file alone, never "??.lnk"
// as a pattern (which would take "ab.lnk" too); a working shortcut to a CJK folder is not reported.
TEST(ScanShortcuts, NamesBeyondTheCodePageAreFoundExactly) {
    if (GetACP() != CP_UTF8) GTEST_SKIP() << "the process code page is not UTF-8";
    ScratchDir dir("links");
    const std::string gone = WriteBrokenShortcut(dir, "broken.lnk", "gone.exe");
    const std::string named = dir.File("\xD0\xBF\xD1\x83.lnk"), plain = dir.WriteFile("ab.lnk");
    const std::string goneToo = WriteBrokenShortcut(dir, "\xD0\xBF\xD1\x83.lnk", "\xD0\xB4.exe");
    const std::wstring folder = std::wstring(dir.Path().begin(), dir.Path().end()) + L"\\\x4E00";
    const std::wstring target = folder + L"\\app.exe";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    const bool written = WriteWideShortcut(dir.File("works.lnk"), target);

    CheckRun run(14);
    ScanShortcuts(run.scan(), dir.Path());
    DeleteFileW(target.c_str());
    RemoveDirectoryW(folder.c_str());
    ASSERT_TRUE(written);
    EXPECT_EQ(SortedByName(run.Problems()), SortedByName(std::vector<Problem>{
                                                {dir.File("broken.lnk"), "LinkFiles", gone, "14"}, {named, "LinkFiles", goneToo, "14"}}));
    EXPECT_FALSE(RecycleShortcutFile(dir.File("??.lnk"), nullptr));
    EXPECT_TRUE(RecycleShortcutFile(named, nullptr));
    EXPECT_EQ(GetFileAttributesA(named.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA(plain.c_str()), INVALID_FILE_ATTRIBUTES);
}

// A paused worker neither opens a folder nor reads a shortcut: it waits before either, and the
// progress shows nothing new until it is continued.
TEST(ScanShortcuts, APausedSearchOpensNothingUntilContinued) {
    ScratchDir dir("links");
    const std::string gone = WriteBrokenShortcut(dir, "broken.lnk", "gone.exe");
    IdleWorker run;
    run.worker.Pause();
    std::thread search([&] { run.worker.RunCheck(14, dir.Path()); });
    EXPECT_TRUE(PumpUntil([&] { return run.worker.Parked(); }, 10000));
    Sleep(100);
    EXPECT_EQ(run.worker.Progress().RegKeyText, "");
    EXPECT_TRUE(run.Problems().empty());
    run.worker.Continue();
    search.join();
    EXPECT_EQ(run.Problems(), (std::vector<Problem>{{dir.File("broken.lnk"), "LinkFiles", gone, "14"}}));
}

// The whole fixture drive: its "loops" folder holds Unix symbolic links to the folder itself, to
// a parent and a second name for a folder. The search ends, and a shortcut reachable by several
// paths is reported once.
TEST(ScanShortcuts, SearchesAWholeDriveAndEndsOnLinkLoops) {
    const char letter = FixtureDrive();
    if (!letter) GTEST_SKIP() << "no fixture drive (run through scripts/test)";
    const std::string drive = std::string(1, letter) + ":";
    const std::string loops = drive + "\\loops";
    ASSERT_EQ(GetFileAttributesA((loops + "\\self-dir\\self").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));

    struct Cleanup {
        std::vector<std::string> files;
        ~Cleanup() {
            for (const auto& f : files) DeleteFileA(f.c_str());
        }
    } cleanup;
    auto broken = [&](const std::string& link) {
        const std::string target = drive + "\\vsc-gone-" + std::to_string(cleanup.files.size()) + ".exe";
        const std::string full = drive + "\\" + link;
        HANDLE h = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(h);
        EXPECT_TRUE(WriteShortcut(full, target)) << full;
        DeleteFileA(target.c_str());
        cleanup.files.push_back(full);
        return target;
    };
    const std::string atRoot = broken("root.lnk");
    const std::string inSelf = broken("loops\\self-dir\\a.lnk");
    const std::string inInner = broken("loops\\parent-dir\\inner\\b.lnk");
    const std::string inTwice = broken("loops\\twice\\target\\c.lnk");

    CheckRun run(14);
    const std::size_t peak = RunMeasuringStack(256 * 1024, [&] { ScanShortcuts(run.scan(), drive); });
    std::printf("[ stack    ] whole-drive shortcut search used %zu bytes of stack\n", peak);
    EXPECT_LT(peak, 128u * 1024u);
    std::vector<Problem> problems = SortedByName(run.Problems());
    ASSERT_EQ(problems.size(), 4u) << ::testing::PrintToString(problems);
    EXPECT_EQ(problems[0], (Problem{drive + "\\loops\\parent-dir\\inner\\b.lnk", "LinkFiles", inInner, "14"}));
    EXPECT_EQ(problems[1], (Problem{drive + "\\loops\\self-dir\\a.lnk", "LinkFiles", inSelf, "14"}));
    // Reached under either of its two names, whichever the listing gives first.
    EXPECT_TRUE(problems[2].KeyPath == drive + "\\loops\\twice\\alias\\c.lnk" ||
                problems[2].KeyPath == drive + "\\loops\\twice\\target\\c.lnk")
        << problems[2];
    EXPECT_EQ(problems[2].ValueData, inTwice);
    EXPECT_EQ(problems[3], (Problem{drive + "\\root.lnk", "LinkFiles", atRoot, "14"}));
}
