// A scan over the program's real key paths, with broken entries seeded into the build's prefix.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "registry/ScanTestUtil.h"
#include "support/TestSupport.h"

using namespace vsc;
using vsc::test::Problem;
using vsc::test::PumpUntil;

namespace {

constexpr UINT kDoneMessage = WM_APP + 9;
bool g_done = false;

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kDoneMessage) {
        g_done = true;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Seeds keys that the guard removes again, also when a test fails half-way.
class SeededKeys {
public:
    ~SeededKeys() {
        for (const std::string& path : paths_) vsc::test::DeleteKeyTree(path);
    }
    void Set(const std::string& keyPath, const std::string& name, const std::string& data) {
        vsc::test::DeleteKeyTree(keyPath);
        paths_.push_back(keyPath);
        HKEY key = vsc::test::CreateKeyPath(keyPath);
        ASSERT_NE(key, nullptr) << keyPath;
        RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1));
        RegCloseKey(key);
    }

private:
    std::vector<std::string> paths_;
};

// Runs categories 2, 3 and 8 over the real table on a started worker and waits for its end.
std::unique_ptr<TRegScanThread> ScanRealKeys(HWND window) {
    auto worker = std::make_unique<TRegScanThread>(true, std::make_shared<ScanResultLists>(), "0110000100000", "");
    worker->SetOnDone(window, kDoneMessage);
    g_done = false;
    worker->Start();
    EXPECT_TRUE(PumpUntil([] { return g_done; }, 60000));
    EXPECT_TRUE(worker->Finished());
    return worker;
}

}  // namespace

TEST(RealKeysScan, FindsSeededBrokenEntriesInTheFixedKeys) {
    SKIP_UNLESS_BUILD_PREFIX();

    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VscRealScanTest";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);

    const std::string missing = "C:\\vsc_seeded_missing";
    const std::string clsKey = "HKEY_CURRENT_USER\\CLSID\\{5EED0000-0000-4000-8000-00000000C1A5}";
    const std::string appKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\vsc_seeded.exe";
    const std::string unKey = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VscSeeded";
    const std::string unLine = "\"" + missing + "\\unins000.exe\" /SILENT";

    // What the prefix itself already reports, so that the seeded entries can be told apart.
    SeededKeys seeds;
    vsc::test::DeleteKeyTree(clsKey);
    vsc::test::DeleteKeyTree(appKey);
    vsc::test::DeleteKeyTree(unKey);
    const auto baseline = ScanRealKeys(window);
    const std::vector<Problem> before = vsc::test::ProblemsOf(*baseline->Lists());

    seeds.Set(clsKey + "\\InprocServer32", "", missing + "\\server.dll");
    seeds.Set(appKey, "", "\"" + missing + "\\app.exe\"");
    seeds.Set(unKey, "UninstallString", unLine);
    const auto worker = ScanRealKeys(window);
    const ScanResultLists& lists = *worker->Lists();
    std::vector<Problem> after = vsc::test::ProblemsOf(lists);

    // The seeded problems, each exactly once, with the key paths as the table writes them.
    const std::vector<Problem> seeded = {
        {clsKey + "\\InprocServer32", "", missing + "\\server.dll", "2"},
        {appKey, "", missing + "\\app.exe", "3"},
        {unKey, "UninstallString", unLine, "8"},
    };
    for (const Problem& p : seeded) {
        EXPECT_EQ(std::count(after.begin(), after.end(), p), 1) << p;
        after.erase(std::remove(after.begin(), after.end(), p), after.end());
    }
    // Nothing else changed.
    EXPECT_EQ(after, before);

    // Counters and lists agree, category by category.
    const ScanProgress progress = worker->Progress();
    EXPECT_EQ(progress.Total, static_cast<int>(lists.Count()));
    EXPECT_EQ(worker->ProblemCount(), static_cast<int>(lists.Count()));
    EXPECT_EQ(progress.Total, baseline->Progress().Total + 3);
    for (int k = 1; k <= kCategoryCount; ++k) {
        const auto inList = std::count(lists.CategoryList.begin(), lists.CategoryList.end(), std::to_string(k));
        EXPECT_EQ(progress.Counts[static_cast<size_t>(k)], inList) << k;
        if (k != 2 && k != 3 && k != 8) {
            EXPECT_EQ(inList, 0) << k;
        }
    }
    EXPECT_EQ(progress.Counts[2], baseline->Progress().Counts[2] + 1);
    EXPECT_EQ(progress.Counts[3], baseline->Progress().Counts[3] + 1);
    EXPECT_EQ(progress.Counts[8], baseline->Progress().Counts[8] + 1);
    DestroyWindow(window);
}
