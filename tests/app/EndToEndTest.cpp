// The built program, started as a user starts it: VSysCleaner.exe from the folder of this test
// binary (build/win), driven through its window from this process. Writes a picture of each page
// to the build folder (build/page-*.bmp).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/Pictures.h"
#include "app/ProgramUnderTest.h"
#include "support/OutsideReader.h"
#include "support/TestSupport.h"
#include "ui/CategoryCaptions.h"
#include "ui/DriveList.h"
#include "ui/UFrmMain.h"
#include "widgets/Dpi.h"
#include "widgets/Gdi.h"
#include "VscVersion.h"

using namespace vsc;
using vsc::test::OutsideReader;
using vsc::test::Program;
using vsc::test::Settle;
using vsc::test::TitledWindows;

namespace {

COLORREF ScreenPixel(HWND control, int x, int y) {
    POINT p{x, y};
    ClientToScreen(control, &p);
    HDC screen = GetDC(nullptr);
    const COLORREF color = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return color;
}

}  // namespace

class EndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SetCursorPos(0, 0);  // no hover effects in the pictures and colour checks
        program_ = new Program;
        if (!program_->Start()) return;
        test::PumpUntil([] { return !TitledWindows(program_->Id()).empty(); }, 30000);
        auto windows = TitledWindows(program_->Id());
        if (windows.size() == 1) window_ = windows[0];
        if (window_) {
            Settle(window_);
            reader_ = new OutsideReader(window_);
        }
    }
    static void TearDownTestSuite() {
        if (window_ && IsWindow(window_)) PostMessageA(window_, WM_CLOSE, 0, 0);
        if (program_) program_->WaitExit(10000);
        delete reader_;
        reader_ = nullptr;
        delete program_;
        program_ = nullptr;
        window_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(window_, nullptr) << "the program's window did not appear"; }

    HWND Button(const std::string& caption) const { return reader_->Find(window_, "Button", caption); }
    void Click(const std::string& caption) const {
        HWND button = Button(caption);
        ASSERT_NE(button, nullptr) << caption;
        PostMessageA(button, BM_CLICK, 0, 0);
        Settle(window_);
    }
    HWND DriveList() const { return reader_->FindList(window_, "Path"); }

    static Program* program_;
    static HWND window_;
    static OutsideReader* reader_;
};

Program* EndToEnd::program_ = nullptr;
HWND EndToEnd::window_ = nullptr;
OutsideReader* EndToEnd::reader_ = nullptr;

TEST_F(EndToEnd, TheWindowIsBorderlessAndHasTheLayoutsSize) {
    RECT client, outer;
    GetClientRect(window_, &client);
    GetWindowRect(window_, &outer);
    const int dpi = SystemDpi();  // the program's, as Wine gives every process the same
    EXPECT_EQ(client.right, ScaleToDpi(577, dpi));
    EXPECT_EQ(client.bottom, ScaleToDpi(399, dpi));
    EXPECT_EQ(outer.right - outer.left, ScaleToDpi(577, dpi));
    EXPECT_EQ(outer.bottom - outer.top, ScaleToDpi(399, dpi));
    EXPECT_FALSE(GetWindowLongPtrA(window_, GWL_STYLE) & WS_CAPTION);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_LE(std::abs((outer.left + outer.right) / 2 - screenWidth / 2), 2);
    for (const char* caption : {"Registy Clean", "Disk Clean", "About", "Scan", "Restore", "Help"}) {
        EXPECT_NE(Button(caption), nullptr) << caption;
    }
    EXPECT_NE(reader_->Find(window_, "Static", " Sections to Scan"), nullptr);
}

TEST_F(EndToEnd, TheSectionTreeHoldsEveryCategoryAndDriveTickedAndExpanded) {
    Click("Registy Clean");
    HWND tree = reader_->Find(window_, "SysTreeView32", "Sections to Scan");
    ASSERT_NE(tree, nullptr);
    const std::string drives = ListLocalDrives();
    const auto nodes = reader_->Nodes(tree);
    ASSERT_EQ(nodes.size(), 15 + drives.size());
    for (size_t i = 0; i < nodes.size(); ++i) {
        const std::string& text = nodes[i].Text;
        const int check = nodes[i].State;
        EXPECT_EQ(nodes[i].Depth, i == 0 ? 0 : (i < 15 ? 1 : 2)) << text;
        if (i < 15) {
            EXPECT_EQ(text, SectionNodeCaption(static_cast<int>(i)));
            EXPECT_TRUE(nodes[i].Expanded || (i != 0 && i != 14)) << text;
            if (i >= 1 && i <= 13) {
                EXPECT_EQ(check, 2) << text;
            }
        } else {
            const char letter = drives[i - 15];
            EXPECT_EQ(text, std::string("Invalid Shortcuts( ") + letter + ":\\");
            EXPECT_EQ(check, IsUnixRootDrive(letter) ? 1 : 2) << text;
        }
    }
    if (drives.find('C') != std::string::npos) {
        EXPECT_EQ(nodes[15 + drives.find('C')].Text, "Invalid Shortcuts( C:\\");
    }
    test::SaveWindowPicture(window_, test::BuildFolder() + "\\page-sections.bmp");
}

TEST_F(EndToEnd, TheDriveListShowsOneCheckedRowPerDrive) {
    Click("Disk Clean");
    HWND list = DriveList();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_EQ(reader_->Headers(list), (std::vector<std::string>{"Path", "CapaCity", "Free Space"}));
    const std::string drives = ListLocalDrives();
    const auto rows = reader_->Rows(list);
    ASSERT_EQ(rows.size(), drives.size());
    for (size_t row = 0; row < drives.size(); ++row) {
        const char letter = drives[row];
        EXPECT_EQ(rows[row].Columns[0], DriveRowCaption(DriveVolumeLabel(letter), letter));
        EXPECT_EQ(rows[row].Columns[1], DriveSpaceText(letter).Capacity);
        EXPECT_EQ(rows[row].Check, IsUnixRootDrive(letter) ? 0 : 1) << letter;
    }
    test::SaveWindowPicture(window_, test::BuildFolder() + "\\page-drives.bmp");
}

TEST_F(EndToEnd, NavigationHighlightsThePressedButtonInThePageColour) {
    const COLORREF page = colors::kPageBack;
    const COLORREF nav = colors::kNavButton;
    struct Step { const char* caption; const char* visibleText; const char* picture; };
    const Step steps[] = {{"About", "Current Version: " VSC_VERSION, "page-about.bmp"},
                          {"Disk Clean", "Option", "page-drives.bmp"},
                          {"Registy Clean", "Restore", "page-sections.bmp"}};
    for (const Step& step : steps) {
        Click(step.caption);
        for (const char* other : {"Registy Clean", "Disk Clean", "About"}) {
            HWND button = Button(other);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(ScreenPixel(button, 6, 4), std::string(other) == step.caption ? page : nav)
                << other << " after pressing " << step.caption;
        }
        EXPECT_NE(reader_->Find(window_, std::string(step.caption) == "About" ? "Static" : "Button",
                                step.visibleText),
                  nullptr)
            << step.caption;
        test::SaveWindowPicture(window_, test::BuildFolder() + "\\" + step.picture);
    }
    // The Scan button of the section page is not seen on the About page, and the reverse.
    Click("About");
    EXPECT_EQ(reader_->Find(window_, "Button", "Restore"), nullptr);
    EXPECT_NE(reader_->Find(window_, "Static", "Vemo System Cleaner"), nullptr);
    Click("Registy Clean");
}

TEST_F(EndToEnd, F1OpensTheHelpFileBesideTheProgram) {
    const std::string help = test::ProgramFolder() + "\\VSysCleaner.chm";
    if (GetFileAttributesA(help.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "no compiled help file";
    auto helpWindow = [] { return FindWindowA(nullptr, "Vemo System Cleaner Help"); };
    HWND tree = reader_->Find(window_, "SysTreeView32", "Sections to Scan");
    PostMessageA(tree, WM_KEYDOWN, VK_F1, 1);
    PostMessageA(tree, WM_KEYUP, VK_F1, 0xC0000001);
    ASSERT_TRUE(test::PumpUntil([&] { return helpWindow() != nullptr; }, 30000)) << "no help window";
    PostMessageA(helpWindow(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return helpWindow() == nullptr; }, 10000));
    EXPECT_TRUE(test::Responsive(window_));
    EXPECT_EQ(TitledWindows(0).size(), 1u);
    EXPECT_EQ(program_->WaitExit(0), static_cast<DWORD>(STILL_ACTIVE));
}

TEST_F(EndToEnd, ASecondStartEndsAtOnceWithoutAWindow) {
    Program second;
    ASSERT_TRUE(second.Start());
    EXPECT_EQ(second.WaitExit(20000), 0u);
    test::PumpMessagesFor(200);
    EXPECT_TRUE(TitledWindows(second.Id()).empty());
    EXPECT_EQ(TitledWindows(program_->Id()).size(), 1u);
}

TEST_F(EndToEnd, ZzTheCloseButtonEndsTheProgram) {
    HWND close = Button("Close");
    ASSERT_NE(close, nullptr);
    PostMessageA(close, BM_CLICK, 0, 0);
    EXPECT_EQ(program_->WaitExit(20000), 0u);
    window_ = nullptr;
}

TEST(EndToEndClosing, ClosingDuringARegistryScanEndsTheProgramAtOnce) {
    Program program;
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(test::PumpUntil([&] { return TitledWindows(program.Id()).size() == 1; }, 30000));
    HWND window = TitledWindows(program.Id())[0];
    Settle(window);
    OutsideReader reader(window);
    HWND scan = reader.Find(window, "Button", "Scan");
    ASSERT_NE(scan, nullptr);
    PostMessageA(scan, BM_CLICK, 0, 0);
    // The scan page is shown while the worker runs.
    ASSERT_TRUE(test::PumpUntil([&] { return reader.Find(window, "Button", "Pause") != nullptr; }, 10000));
    const ULONGLONG start = GetTickCount64();
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(20000), 0u);
    EXPECT_LT(GetTickCount64() - start, 10000u);
}

class Resources : public ::testing::TestWithParam<const char*> {};  // both executables
TEST_P(Resources, NameTheProductVersionAndAskForTheHighestRightsTheUserHas) {
    const std::string path = test::ProgramFolder() + "\\" + GetParam();
    HMODULE exe = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    HRSRC manifestInfo = FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_NE(manifestInfo, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(exe, manifestInfo))),
                               SizeofResource(exe, manifestInfo));
    // An administrator's repair of machine-wide entries works under user account control; a
    // standard user still runs the program.
    EXPECT_NE(manifest.find("level=\"highestAvailable\""), std::string::npos);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    // Per-monitor DPI (v2, then v1), and for systems without it the older per-monitor/system switch.
    EXPECT_NE(manifest.find("<dpiAwareness>PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find("<dpiAware>true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14)), nullptr);  // RT_GROUP_ICON
    FreeLibrary(exe);

    HMODULE version = LoadLibraryA("version.dll");
    ASSERT_NE(version, nullptr);
    using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
    auto size = reinterpret_cast<SizeFn>(reinterpret_cast<void*>(GetProcAddress(version, "GetFileVersionInfoSizeA")));
    auto info = reinterpret_cast<InfoFn>(reinterpret_cast<void*>(GetProcAddress(version, "GetFileVersionInfoA")));
    auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(GetProcAddress(version, "VerQueryValueA")));
    ASSERT_TRUE(size && info && query);
    std::vector<char> data(size(path.c_str(), nullptr));
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(info(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(query(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwProductVersionMS, static_cast<DWORD>(MAKELONG(VSC_VERSION_MINOR, VSC_VERSION_MAJOR)));
    char* product = nullptr;
    ASSERT_TRUE(query(data.data(), "\\StringFileInfo\\040904E4\\ProductName", reinterpret_cast<void**>(&product), &length));
    EXPECT_EQ(std::string(product), "Vemo System Cleaner");
    FreeLibrary(version);
}
INSTANTIATE_TEST_SUITE_P(BothExecutables, Resources, ::testing::Values("VSysCleaner.exe", "VSysScan.exe"));
