#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <thread>

#include "registry/ScanTestUtil.h"
#include "registry/portable/PathText.h"
#include "support/TestSupport.h"

using namespace vsc;
using vsc::test::IdleWorker;
using vsc::test::Problem;
using vsc::test::PumpUntil;
using vsc::test::ScratchDir;
using vsc::test::ScratchKey;

namespace {

// Fills an application-path key with count sub-keys "e<i>"; every `missingEvery`-th one names a
// missing program, the others an existing file.
void FillAppPaths(const ScratchKey& key, int count, const std::string& present, const std::string& missingDir,
                  int missingEvery) {
    HKEY parent = vsc::test::CreateKeyPath(key.Path());
    ASSERT_NE(parent, nullptr);
    for (int i = 0; i < count; ++i) {
        HKEY child = nullptr;
        const std::string name = "e" + std::to_string(i);
        ASSERT_EQ(RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
                  ERROR_SUCCESS);
        const std::string data = (i % missingEvery == 0) ? missingDir + "\\gone" + std::to_string(i) + ".exe" : present;
        RegSetValueExA(child, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1));
        RegCloseKey(child);
    }
    RegCloseKey(parent);
}

// A large application-path tree shared by the tests that need a worker held busy.
class HeldWorker : public ::testing::Test {
protected:
    static constexpr int kEntries = 1500;
    static void SetUpTestSuite() {
        dir_ = new ScratchDir("held");
        key_ = new ScratchKey("held");
        present_ = dir_->WriteFile("present.exe");
        FillAppPaths(*key_, kEntries, present_, dir_->Path(), 10);
    }
    static void TearDownTestSuite() {
        delete key_;
        delete dir_;
    }

    // A worker on category 3 that walks the tree many times over (far longer than any test waits).
    std::unique_ptr<TRegScanThread> MakeWorker() {
        lists_ = std::make_shared<ScanResultLists>();
        auto worker = std::make_unique<TRegScanThread>(true, lists_, "0010000000000", "");
        worker->OverrideKeyPaths(3, std::vector<std::string>(2000, key_->Path()));
        return worker;
    }

    static bool WaitForProblems(const TRegScanThread& worker, int count) {
        return PumpUntil([&] { return worker.Progress().Total >= count; }, 20000);
    }

    static ScratchDir* dir_;
    static ScratchKey* key_;
    static std::string present_;
    std::shared_ptr<ScanResultLists> lists_;
};

ScratchDir* HeldWorker::dir_ = nullptr;
ScratchKey* HeldWorker::key_ = nullptr;
std::string HeldWorker::present_;

void ExpectCountersMatchLists(const TRegScanThread& worker) {
    const ScanProgress progress = worker.Progress();
    const ScanResultLists& lists = *worker.Lists();
    EXPECT_EQ(lists.KeyPathList.size(), lists.ValueNameList.size());
    EXPECT_EQ(lists.KeyPathList.size(), lists.ValueDataList.size());
    EXPECT_EQ(lists.KeyPathList.size(), lists.CategoryList.size());
    EXPECT_EQ(progress.Total, static_cast<int>(lists.Count()));
    EXPECT_EQ(worker.ProblemCount(), static_cast<int>(lists.Count()));
    for (int k = 1; k <= kCategoryCount; ++k)
        EXPECT_EQ(progress.Counts[static_cast<size_t>(k)],
                  std::count(lists.CategoryList.begin(), lists.CategoryList.end(), std::to_string(k)))
            << "category " << k;
}

// A message-only window that notes the end messages it receives.
constexpr UINT kDoneMessage = WM_APP + 7;
std::vector<WPARAM> g_doneIds;

LRESULT CALLBACK DoneWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kDoneMessage) {
        g_doneIds.push_back(wParam);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class DoneWindow {
public:
    DoneWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DoneWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VscScanDoneTest";
        RegisterClassA(&wc);  // a second registration fails harmlessly
        hwnd_ = CreateWindowExA(0, "VscScanDoneTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        g_doneIds.clear();
    }
    ~DoneWindow() { DestroyWindow(hwnd_); }
    HWND get() const { return hwnd_; }

private:
    HWND hwnd_;
};

}  // namespace

TEST(RegScanThread, CategoryTableIsFixed) {
    const auto& table = CategoryTable();
    ASSERT_EQ(table.size(), 14u);
    for (int k = 1; k <= 14; ++k) EXPECT_EQ(table[static_cast<size_t>(k - 1)].Number, k);
    EXPECT_STREQ(CategoryProgressName(2), "Custom Control ");
    EXPECT_STREQ(CategoryProgressName(13), "Invalad Files Path");
    EXPECT_STREQ(CategoryProgressName(14), "Invalid Shortcuts");
    EXPECT_STREQ(CategoryProgressName(0), "");
    EXPECT_STREQ(CategoryProgressName(15), "");
    // The tree's captions differ from the progress names in three places.
    EXPECT_STREQ(CategoryCaption(1), "Registry integrity");
    EXPECT_STREQ(CategoryCaption(2), "Custom Control");
    EXPECT_STREQ(CategoryCaption(13), "Invalid Files Path");
    EXPECT_EQ(CategoryOf(15), nullptr);
    // Repair deletes the values of 4 to 8, recycles the shortcut files of 14 (and of any category
    // above the table) and empties every other value.
    for (int k = 0; k <= 15; ++k) {
        const RepairAction expected = k >= 14 ? RepairAction::RecycleFile
                                      : (k >= 4 && k <= 8) ? RepairAction::DeleteValue
                                                           : RepairAction::ClearValue;
        EXPECT_EQ(ActionOfCategory(k), expected) << k;
    }
    EXPECT_EQ(table[1].KeyPaths, (std::vector<std::string>{"HKEY_CLASSES_ROOT\\CLSID", "HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID",
                                                           "HKEY_CURRENT_USER\\CLSID"}));
    for (size_t k : {2u, 4u, 5u, 6u, 7u}) EXPECT_EQ(WithoutWow64Node(table[k].KeyPaths.at(1)), table[k].KeyPaths[0]) << k;
    EXPECT_EQ(table[9].KeyPaths, (std::vector<std::string>{"HKEY_LOCAL_MACHINE\\"}));
    EXPECT_TRUE(table[13].KeyPaths.empty());
}

TEST(RegScanThread, RunsOnlyTheSelectedCategories) {
    ScratchKey com("selcom"), apps("selapps"), uninstall("seluninst");
    ScratchDir dir("sel");
    com.SetString("{X}\\InprocServer32", "", dir.File("gone.dll"));
    apps.SetString("x.exe", "", dir.File("gone.exe"));
    uninstall.SetString("X", "UninstallString", dir.File("gone.exe"));

    struct Case {
        std::string selection;
        std::vector<std::string> categories;
    };
    const std::vector<Case> cases = {
        {"0000000000000", {}},
        {"0100000000000", {"2"}},
        {"0010000100000", {"3", "8"}},
        {"1111111111111", {"2", "3", "8"}},
        {"", {}},
        {"01", {"2"}},              // missing characters count as "0"
        {"0x1Y00001", {"3"}},       // only "1" selects
        {"0000000100000111", {"8"}},  // characters past the thirteenth choose nothing
    };
    for (const Case& c : cases) {
        auto lists = std::make_shared<ScanResultLists>();
        TRegScanThread worker(true, lists, c.selection, "");
        worker.OverrideKeyPaths(2, {com.Path()});
        worker.OverrideKeyPaths(3, {apps.Path()});
        worker.OverrideKeyPaths(8, {uninstall.Path()});
        // Keep the real keys out of the categories whose checks are being filled in elsewhere.
        for (int k : {1, 4, 5, 6, 7, 9, 10, 11, 12, 13}) worker.OverrideKeyPaths(k, {com.Child("none")});
        worker.RunScan();
        EXPECT_EQ(lists->CategoryList, c.categories) << c.selection;
        EXPECT_TRUE(lists->Failures.empty());
        ExpectCountersMatchLists(worker);
    }
}

// A check that throws ends its own category only: what it found before stays, the next category
// runs, and the result names the category and the error's text.
TEST(RegScanThread, ACheckThatThrowsEndsItsCategoryAndIsNoted) {
    ScratchKey uninstall("throws");
    ScratchDir dir("throws");
    uninstall.SetString("X", "UninstallString", dir.File("gone.exe"));
    struct Case {
        CategoryCheck check;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {[](ScanContext& scan, const std::string& keyPath) {
             scan.RecordIfListed(TargetCheck{Existence::Missing, "file not found"}, keyPath, "", "C:\\gone.exe");
             throw std::runtime_error("the disk went away");
         },
         "the disk went away"},
        {[](ScanContext&, const std::string&) { throw 42; }, "unknown error"},
    };
    for (const Case& c : cases) {
        auto lists = std::make_shared<ScanResultLists>();
        TRegScanThread worker(true, lists, "0010000100000", "");
        worker.OverrideKeyPaths(3, {uninstall.Path(), uninstall.Path()});
        worker.OverrideKeyPaths(8, {uninstall.Path()});
        worker.OverrideCheck(3, c.check);
        worker.RunScan();
        ASSERT_EQ(lists->Failures.size(), 1u) << c.reason;
        EXPECT_EQ(lists->Failures[0].Category, 3);
        EXPECT_EQ(lists->Failures[0].Reason, c.reason);
        EXPECT_EQ(UnfinishedText(lists->Failures),
                  "The section \"Software Locations\" could not be finished: " + c.reason);
        // The second key path of 3 was never handed over; 8 ran in full.
        EXPECT_EQ(lists->CategoryList.back(), "8");
        EXPECT_EQ(std::count(lists->CategoryList.begin(), lists->CategoryList.end(), "3"), c.reason == "unknown error" ? 0 : 1);
        ExpectCountersMatchLists(worker);
    }
    EXPECT_EQ(UnfinishedText({}), "");
}

TEST(RegScanThread, ProgressFollowsTheCategoryAndTheDrivePass) {
    {
        // Category 10 opens the root key itself: the sub-key shown is empty.
        TRegScanThread worker(true, nullptr, "0000000001000", "");
        worker.RunScan();
        EXPECT_EQ(worker.Progress().RootKeyText, "Configuration Files");
        EXPECT_EQ(worker.Progress().RegKeyText, "");
    }
    {
        TRegScanThread worker(true, nullptr, "0000000000000", "CD");
        worker.RunScan();
        EXPECT_EQ(worker.Progress().RootKeyText, "Invalid Shortcuts");
        EXPECT_TRUE(worker.Lists()->KeyPathList.empty());
    }
    {
        // Without drive letters the drive pass does not run.
        TRegScanThread worker(true, nullptr, "0000000000000", "");
        worker.RunScan();
        EXPECT_EQ(worker.Progress().RootKeyText, "Registry Integrity");
        EXPECT_EQ(worker.Progress().Total, 0);
    }
}

TEST(RegScanThread, AValueReachedTwiceIsListedTwice) {
    ScratchKey apps("twice");
    ScratchDir dir("twice");
    apps.SetString("x.exe", "", dir.File("gone.exe"));
    auto lists = std::make_shared<ScanResultLists>();
    TRegScanThread worker(true, lists, "0010000000000", "");
    worker.OverrideKeyPaths(3, {apps.Path(), apps.Path()});
    worker.RunScan();
    ASSERT_EQ(lists->Count(), 2u);
    EXPECT_EQ(vsc::test::ProblemsOf(*lists)[0], vsc::test::ProblemsOf(*lists)[1]);
    EXPECT_EQ(worker.Progress().Counts[3], 2);
}

TEST(RegScanThread, BadKeyPathsInTheTableEndNothing) {
    ScratchKey apps("badpaths");
    ScratchDir dir("badpaths");
    apps.SetString("x.exe", "", dir.File("gone.exe"));
    auto lists = std::make_shared<ScanResultLists>();
    TRegScanThread worker(true, lists, "0110000100000", "");
    const std::vector<std::string> bad = {"", "\\", "HKCU\\Software", "HKEY_NOWHERE\\x",
                                          "HKEY_CURRENT_USER\\" + std::string(100000, 'k'),
                                          "HKEY_DYN_DATA\\x", "HKEY_PERFORMANCE_DATA\\x"};
    std::vector<std::string> paths = bad;
    paths.push_back(apps.Path());  // still reached after all the bad ones
    for (int k : {2, 3, 8}) worker.OverrideKeyPaths(k, paths);
    worker.RunScan();
    ASSERT_EQ(lists->Count(), 1u);
    EXPECT_EQ(lists->KeyPathList[0], apps.Child("x.exe"));
}

TEST(RegScanThread, EndMessageCarriesTheWorkersId) {
    DoneWindow window;
    ASSERT_NE(window.get(), nullptr);
    auto first = std::make_unique<TRegScanThread>(true, nullptr, "0000000000000", "");
    auto second = std::make_unique<TRegScanThread>(true, nullptr, "0000000000000", "");
    EXPECT_NE(first->Id(), second->Id());
    first->SetOnDone(window.get(), kDoneMessage);
    second->SetOnDone(window.get(), kDoneMessage);
    EXPECT_FALSE(first->Finished());
    second->Start();
    ASSERT_TRUE(PumpUntil([] { return g_doneIds.size() == 1; }));
    EXPECT_EQ(g_doneIds[0], second->Id());
    EXPECT_TRUE(second->Finished());
    EXPECT_TRUE(second->WaitFor(5000));
    first->Start();
    first->Start();  // a second start does nothing
    ASSERT_TRUE(PumpUntil([] { return g_doneIds.size() == 2; }));
    EXPECT_EQ(g_doneIds[1], first->Id());
    vsc::test::PumpMessagesFor(50);
    EXPECT_EQ(g_doneIds.size(), 2u);
}

TEST_F(HeldWorker, StopEndsTheScanAndNothingIsAddedAfterIt) {
    DoneWindow window;
    auto worker = MakeWorker();
    worker->SetOnDone(window.get(), kDoneMessage);
    worker->Start();
    ASSERT_TRUE(WaitForProblems(*worker, 5));
    worker->RequestStop();
    ASSERT_TRUE(worker->WaitFor(10000));
    EXPECT_TRUE(worker->Finished());
    ASSERT_TRUE(PumpUntil([] { return g_doneIds.size() == 1; }));
    EXPECT_EQ(g_doneIds[0], worker->Id());
    EXPECT_LT(lists_->Count(), static_cast<size_t>(2000 * kEntries / 10));
    ExpectCountersMatchLists(*worker);
    // Every entry is a seeded one.
    for (size_t i = 0; i < lists_->Count(); ++i) {
        EXPECT_EQ(lists_->KeyPathList[i].rfind(key_->Path() + "\\e", 0), 0u);
        EXPECT_EQ(lists_->CategoryList[i], "3");
    }
    // A stop makes recording do nothing, even when a check still records.
    const size_t count = lists_->Count();
    TTargetProbe targets;
    ScanContext scan(3, *worker, targets);
    scan.RecordIfListed(TargetCheck{Existence::Missing, "file not found"}, key_->Path(), "", "C:\\gone.exe");
    EXPECT_EQ(lists_->Count(), count);
}

TEST_F(HeldWorker, APausedWorkerRecordsNothingAndShowsNoProgressUntilContinued) {
    auto worker = MakeWorker();
    worker->Start();
    ASSERT_TRUE(WaitForProblems(*worker, 3));
    worker->Pause();
    EXPECT_TRUE(worker->Paused());
    ASSERT_TRUE(PumpUntil([&] { return worker->Parked(); }, 10000));
    const ScanProgress before = worker->Progress();
    const size_t countBefore = lists_->Count();
    Sleep(300);
    const ScanProgress after = worker->Progress();
    EXPECT_EQ(after.Total, before.Total);
    EXPECT_EQ(after.RegKeyText, before.RegKeyText);
    EXPECT_EQ(after.Counts, before.Counts);
    EXPECT_EQ(lists_->Count(), countBefore);
    EXPECT_FALSE(worker->WaitFor(0));

    worker->Continue();
    EXPECT_FALSE(worker->Paused());
    EXPECT_TRUE(WaitForProblems(*worker, before.Total + 3));
    EXPECT_FALSE(worker->Parked());

    // Pause and continue again, then stop.
    worker->Pause();
    ASSERT_TRUE(PumpUntil([&] { return worker->Parked(); }, 10000));
    worker->Continue();
    worker->RequestStop();
    ASSERT_TRUE(worker->WaitFor(10000));
    ExpectCountersMatchLists(*worker);
}

TEST_F(HeldWorker, AStopWhilePausedEndsTheScan) {
    DoneWindow window;
    auto worker = MakeWorker();
    worker->SetOnDone(window.get(), kDoneMessage);
    worker->Start();
    ASSERT_TRUE(WaitForProblems(*worker, 2));
    worker->Pause();
    ASSERT_TRUE(PumpUntil([&] { return worker->Parked(); }, 10000));
    const int total = worker->Progress().Total;
    worker->RequestStop();
    ASSERT_TRUE(worker->WaitFor(10000));
    ASSERT_TRUE(PumpUntil([] { return g_doneIds.size() == 1; }));
    EXPECT_EQ(worker->Progress().Total, total);
    ExpectCountersMatchLists(*worker);
    // A stopped worker is no longer paused, and pausing it does nothing.
    EXPECT_FALSE(worker->Paused());
    worker->Pause();
    EXPECT_FALSE(worker->Paused());
}

TEST_F(HeldWorker, DestroyingAWorkerJoinsItsThread) {
    {
        auto worker = MakeWorker();
        worker->Start();
        ASSERT_TRUE(WaitForProblems(*worker, 2));
        worker.reset();  // running
    }
    const size_t count = lists_->Count();
    Sleep(100);
    EXPECT_EQ(lists_->Count(), count);  // no thread writes to the lists any more
    {
        auto worker = MakeWorker();
        worker->Start();
        ASSERT_TRUE(WaitForProblems(*worker, 2));
        worker->Pause();
        worker.reset();  // paused
    }
    {
        DoneWindow window;
        auto worker = MakeWorker();
        worker->SetOnDone(window.get(), kDoneMessage);
        worker.reset();  // never started: ends without scanning
        EXPECT_EQ(lists_->Count(), 0u);
    }
}

TEST(RegScanThread, CountersEqualTheListsAfterACompleteScan) {
    DoneWindow window;
    ScratchKey com("fullcom"), apps("fullapps"), uninstall("fulluninst");
    ScratchDir dir("full");
    const std::string present = dir.WriteFile("present.exe");
    FillAppPaths(apps, 120, present, dir.Path(), 3);
    for (int i = 0; i < 30; ++i) {
        com.SetString("{C" + std::to_string(i) + "}\\InprocServer32", "", i % 2 ? present : dir.File("gone.dll"));
        uninstall.SetString("U" + std::to_string(i), "UninstallString", i % 5 ? present : dir.File("gone.exe"));
    }
    auto lists = std::make_shared<ScanResultLists>();
    TRegScanThread worker(true, lists, "0110000100000", "");
    worker.OverrideKeyPaths(2, {com.Path(), com.Child("missing")});
    worker.OverrideKeyPaths(3, {apps.Path()});
    worker.OverrideKeyPaths(8, {uninstall.Path()});
    worker.SetOnDone(window.get(), kDoneMessage);
    worker.Start();
    ASSERT_TRUE(PumpUntil([] { return !g_doneIds.empty(); }, 30000));
    EXPECT_EQ(worker.Progress().Counts[2], 15);
    EXPECT_EQ(worker.Progress().Counts[3], 40);
    EXPECT_EQ(worker.Progress().Counts[8], 6);
    EXPECT_EQ(worker.Progress().Total, 61);
    ExpectCountersMatchLists(worker);
    // Problems come in the order found: category by category.
    EXPECT_TRUE(std::is_sorted(lists->CategoryList.begin(), lists->CategoryList.end(),
                               [](const std::string& a, const std::string& b) { return std::stoi(a) < std::stoi(b); }));
}

TEST(RegScanThread, SubKeysDeletedDuringTheWalkArePassedOver) {
    ScratchKey apps("deleted");
    ScratchDir dir("deleted");
    const std::string present = dir.WriteFile("present.exe");
    constexpr int kEntries = 1500;
    FillAppPaths(apps, kEntries, present, dir.Path(), 1);  // every entry is a problem
    auto lists = std::make_shared<ScanResultLists>();
    TRegScanThread worker(true, lists, "0010000000000", "");
    worker.OverrideKeyPaths(3, std::vector<std::string>(4, apps.Path()));
    worker.Start();
    while (worker.Progress().Total < 1) Sleep(0);
    worker.Pause();
    ASSERT_TRUE(PumpUntil([&] { return worker.Parked(); }, 10000));
    const size_t atPause = lists->Count();
    ASSERT_LT(atPause, static_cast<size_t>(4 * kEntries - 1)) << "the walk ran too far before the pause";
    // The worker holds the whole sub-key list; the keys go away under it.
    ASSERT_TRUE(vsc::test::DeleteKeyTree(apps.Path()));
    worker.Continue();
    ASSERT_TRUE(worker.WaitFor(30000));
    // At most the entry it was about to record when it stopped comes after the pause.
    EXPECT_LE(lists->Count(), atPause + 1);
    ExpectCountersMatchLists(worker);
}
