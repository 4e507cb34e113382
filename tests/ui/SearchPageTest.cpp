// The search page of the real main window during a disk scan: it shows the figures at a human
// rate, not once per folder, and when the end message comes it shows the final counts beside the
// last folder the search entered.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "diskclean/portable/FileText.h"
#include "support/TestSupport.h"
#include "ui/UFrmMain.h"
#include "widgets/CheckStates.h"
#include "widgets/FlatControls.h"

using namespace vsc;
using namespace vsc::test;

namespace {

LRESULT CALLBACK CountTexts(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR count) {
    if (message == WM_SETTEXT) ++*reinterpret_cast<int*>(count);
    return DefSubclassProc(window, message, wParam, lParam);
}

void Put(const std::string& path, const std::string& contents) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(h, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(h);
}

}  // namespace

TEST(DiskSearchPage, ShowsFiguresAtAHumanRateAndTheFinalOnesAtTheEnd) {
    SKIP_UNLESS_BUILD_PREFIX();
    char letter[8] = {};
    if (GetEnvironmentVariableA("VSC_FIXTURE_DRIVE", letter, sizeof letter) != 1) GTEST_SKIP() << "no fixture drive";
    const std::string root = std::string(letter) + ":\\vscpage_" + std::to_string(GetCurrentProcessId());
    RemoveTree(root);
    ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
    constexpr int kFolders = 150;
    for (int i = 0; i < kFolders; ++i) {
        const std::string folder = root + "\\f" + std::to_string(i);
        CreateDirectoryA(folder.c_str(), nullptr);
        Put(folder + "\\vscj_" + std::to_string(i) + ".junk", std::string(static_cast<size_t>(i % 7 + 1), 'x'));
        Put(folder + "\\keep.txt", "keep");
    }
    ScratchDir settings("diskpage");
    settings.WriteFile("Config.Ini", "[FileFilters]\r\nUserExp=<vscj*.junk:Junk>\r\n[ScanOptions]\r\nSystemFile=0\r\n"
                                     "ReadFile=0\r\nHideFile=0\r\n[DeleteOptions]\r\nDleteTo=0\r\n");

    TFrmMain form;
    form.QuitOnDestroy = false;
    form.CreateMainWindow();
    form.Disk().SetIniFileName(settings.File("Config.Ini"));
    const auto at = form.ListedDrives().find(letter[0]);
    if (at == std::string::npos) GTEST_SKIP() << "the fixture drive is not listed";
    for (int i = 0; i < static_cast<int>(form.ListedDrives().size()); ++i)
        SetListCheckState(form.Disk().Ui().lstPathSelect, i, i == static_cast<int>(at) ? 1 : 0);
    form.btnLeft2Click();

    // The search still reports every folder; the window's handler sees each of them.
    int folders = 0;
    std::string lastFolder;
    const TOnProcessEvent shown = form.Disk().Search().OnProcess;
    form.Disk().Search().OnProcess = [&](TSearchFolders& sender, const std::string& dir, int count, std::int64_t size,
                                         int hide, int read, int system) {
        ++folders;
        lastFolder = dir;
        shown(sender, dir, count, size, hide, read, system);
    };
    int pathTexts = 0;
    ASSERT_TRUE(
        SetWindowSubclass(form.Disk().Ui().labScanPath, CountTexts, 1, reinterpret_cast<DWORD_PTR>(&pathTexts)));

    MessageRecorder messages;
    std::vector<std::string> page;
    messages.onShow = [&](const std::string&) {
        for (HWND label : {form.Disk().Ui().labScanPath, form.Disk().Ui().labFileCount,
                           form.Disk().Ui().labHideFileCount, form.Disk().Ui().labReadFileCount,
                           form.Disk().Ui().labSystemFileCount, form.Disk().Ui().labFileSizeCount})
            page.push_back(ControlText(label));
    };
    const ULONGLONG start = GetTickCount64();
    Click(form.Disk().Ui().btnFileScan);
    const ULONGLONG elapsed = GetTickCount64() - start;
    RemoveWindowSubclass(form.Disk().Ui().labScanPath, CountTexts, 1);
    RemoveTree(root);

    ASSERT_EQ(messages.Texts(), std::vector<std::string>{std::to_string(kFolders) + " files Found"});
    EXPECT_GT(folders, kFolders);  // the drive's other folders too
    std::int64_t bytes = 0;
    for (int i = 0; i < kFolders; ++i) bytes += i % 7 + 1;
    EXPECT_EQ(page, (std::vector<std::string>{lastFolder, std::to_string(kFolders) + " (All)", "0 (Hide)", "0 (Read)",
                                              "0 (System)", ScanSizeText(bytes)}));
    // One showing when the search starts, one per 100 ms (the timer's and the handler's), one at the end.
    EXPECT_LE(pathTexts, static_cast<int>(2 * (elapsed / 100) + 3)) << folders << " folders in " << elapsed << " ms";
    EXPECT_LT(pathTexts, folders);
}
