// TFrmMain inside the test process: start-up state, navigation, help, the drive list's check
// boxes and closing with a worker running.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <tuple>

#include "app/Pictures.h"
#include "support/TestSupport.h"
#include "ui/CategoryCaptions.h"
#include "ui/DriveList.h"
#include "ui/UFrmMain.h"
#include "widgets/CheckStates.h"
#include "widgets/FlatControls.h"

using namespace vsc;

namespace {

// The window is not shown in these tests: look at the controls' own visibility.
bool Shown(HWND control) { return (GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE) != 0; }

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.QuitOnDestroy = false;
        form.CreateMainWindow();
        ASSERT_NE(form.Handle(), nullptr);
    }
    TFrmMain form;
};

std::string HelpPath() { return ExecutableFolder() + "\\VSysCleaner.chm"; }

void PressKey(HWND target, WPARAM key) {
    MSG msg{target, WM_KEYDOWN, key, 1, 0, {}};
    if (!PreTranslateMessage(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Shows a panel (and a page of the main panel, unless -1), lets it paint, and saves a picture of
// the window to the build folder.
void TakePicture(TFrmMain& form, HWND panel, int page, const char* name) {
    form.ShowPanel(panel);
    if (page >= 0) form.ShowPage(page);
    RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    test::PumpMessagesFor(150);
    EXPECT_TRUE(test::SaveWindowPicture(form.Handle(), test::BuildFolder() + "\\" + name)) << name;
}

}  // namespace

TEST_F(MainWindowTest, StartsOnTheSectionPageWithTheTreeTickedAndExpanded) {
    EXPECT_EQ(form.Pages().ActivePageIndex(), TFrmMain::pgRegSelect);
    EXPECT_TRUE(form.Registry().Idle());
    EXPECT_TRUE(form.Disk().Idle());
    EXPECT_FALSE(form.IsClosing());
    EXPECT_EQ(form.Disk().IniFileName(), ExecutableFolder() + "\\Config.Ini");
    EXPECT_EQ(form.ListedDrives(), ListLocalDrives());

    HWND tree = form.Registry().Ui().treRegistry;
    EXPECT_TRUE(GetWindowLongPtrA(tree, GWL_STYLE) & TVS_DISABLEDRAGDROP);
    ASSERT_EQ(TreeNodeCount(tree), 15 + static_cast<int>(form.ListedDrives().size()));
    for (int i = 0; i < 15; ++i) {
        HTREEITEM node = TreeNodeAt(tree, i);
        EXPECT_EQ(node, form.Registry().Ui().CategoryNodes[i]);
        EXPECT_EQ(TreeNodeText(tree, node), SectionNodeCaption(i));
    }
    bool someDriveUnticked = false;
    for (size_t d = 0; d < form.ListedDrives().size(); ++d) {
        const char letter = form.ListedDrives()[d];
        HTREEITEM node = TreeNodeAt(tree, 15 + static_cast<int>(d));
        EXPECT_EQ(TreeView_GetParent(tree, node), form.Registry().Ui().CategoryNodes[14]);
        EXPECT_EQ(TreeNodeText(tree, node), std::string("Invalid Shortcuts( ") + letter + ":\\");
        const int expected = IsUnixRootDrive(letter) ? 1 : 2;
        someDriveUnticked |= expected == 1;
        EXPECT_EQ(TreeNodeState(tree, node), expected) << letter;
        EXPECT_EQ(ListCheckState(form.Disk().Ui().lstPathSelect, static_cast<int>(d)), expected - 1) << letter;
    }
    for (int k = 1; k <= 13; ++k) EXPECT_EQ(TreeNodeState(tree, form.Registry().Ui().CategoryNodes[k]), 2) << k;
    EXPECT_EQ(TreeNodeState(tree, form.Registry().Ui().CategoryNodes[14]),
              SummaryStateOfChildren(tree, form.Registry().Ui().CategoryNodes[14]));
    if (!someDriveUnticked) {
        EXPECT_EQ(TreeNodeState(tree, form.Registry().Ui().CategoryNodes[0]), 2);
    }
    for (int i = 0; i < TreeNodeCount(tree); ++i) {
        HTREEITEM node = TreeNodeAt(tree, i);
        if (TreeView_GetChild(tree, node)) {
            EXPECT_TRUE(TreeView_GetItemState(tree, node, TVIS_EXPANDED) & TVIS_EXPANDED) << i;
        }
    }
    EXPECT_EQ(FlatColor(form.Ui().btnLeft1), colors::kPageBack);
    EXPECT_EQ(FlatColor(form.Ui().btnLeft2), colors::kNavButton);
    EXPECT_TRUE(GetWindowLongPtrA(form.Disk().Ui().lstJunkFile, GWL_STYLE) & LVS_OWNERDATA);
}

TEST_F(MainWindowTest, NavigationShowsPagesAndHighlightsThePressedButton) {
    struct Step { HWND button; int page; };
    const Step steps[] = {{form.Ui().btnLeft2, TFrmMain::pgDiskClean},
                          {form.Ui().btnLeft3, TFrmMain::pgAbout},
                          {form.Ui().btnLeft1, TFrmMain::pgRegSelect}};
    for (const Step& step : steps) {
        SendMessageA(step.button, BM_CLICK, 0, 0);
        EXPECT_EQ(form.Pages().ActivePageIndex(), step.page);
        for (HWND b : {form.Ui().btnLeft1, form.Ui().btnLeft2, form.Ui().btnLeft3}) {
            EXPECT_EQ(FlatColor(b), b == step.button ? colors::kPageBack : colors::kNavButton);
        }
        for (int i = 0; i < form.Pages().PageCount(); ++i) {
            EXPECT_EQ(Shown(form.Pages().Page(i)), i == step.page);
        }
    }
    form.EnableNavigation(false);
    for (HWND b : {form.Ui().btnLeft1, form.Ui().btnLeft2, form.Ui().btnLeft3}) EXPECT_FALSE(IsWindowEnabled(b));

    // "Menu" of the registry results returns to the sections with navigation enabled.
    form.ShowPanel(form.Ui().fltRegDelet);
    form.ShowPage(TFrmMain::pgScanShow);
    SendMessageA(form.Registry().Ui().btnBackMain, BM_CLICK, 0, 0);
    EXPECT_TRUE(Shown(form.Ui().panRegScan));
    EXPECT_FALSE(Shown(form.Ui().fltRegDelet));
    EXPECT_FALSE(Shown(form.Ui().panFileDel));
    EXPECT_EQ(form.Pages().ActivePageIndex(), TFrmMain::pgRegSelect);
    for (HWND b : {form.Ui().btnLeft1, form.Ui().btnLeft2, form.Ui().btnLeft3}) EXPECT_TRUE(IsWindowEnabled(b));
}

TEST_F(MainWindowTest, F1AndTheHelpButtonsOpenTheHelpFileOnlyWhenItExists) {
    // The compiled help file that the build puts beside the binaries is set aside meanwhile.
    struct SetAside {
        std::string saved = HelpPath() + ".saved";
        SetAside() { MoveFileExA(HelpPath().c_str(), saved.c_str(), MOVEFILE_REPLACE_EXISTING); }
        ~SetAside() {
            DeleteFileA(HelpPath().c_str());
            MoveFileExA(saved.c_str(), HelpPath().c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    } setAside;
    std::vector<std::string> opened;
    TFrmMain::SetHelpOpener([&](const std::string& path) { opened.push_back(path); });
    DeleteFileA(HelpPath().c_str());
    PressKey(form.Registry().Ui().treRegistry, VK_F1);
    SendMessageA(form.Registry().Ui().btnHelp, BM_CLICK, 0, 0);
    EXPECT_TRUE(opened.empty());

    { std::ofstream(HelpPath()) << "help"; }
    PressKey(form.Registry().Ui().treRegistry, VK_F1);
    // Modifier keys do not matter.
    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE shifted[256];
    memcpy(shifted, keys, sizeof(keys));
    shifted[VK_SHIFT] = shifted[VK_CONTROL] = 0x80;
    SetKeyboardState(shifted);
    PressKey(form.Disk().Ui().lstPathSelect, VK_F1);
    SetKeyboardState(keys);
    for (HWND help : {form.Registry().Ui().btnHelp, form.Registry().Ui().FlatButton5, form.Disk().Ui().FlatButton8,
                      form.Disk().Ui().FlatButton9}) {
        SendMessageA(help, BM_CLICK, 0, 0);
    }
    // Other keys do nothing.
    PressKey(form.Registry().Ui().treRegistry, VK_F2);
    DeleteFileA(HelpPath().c_str());
    TFrmMain::SetHelpOpener(nullptr);
    ASSERT_EQ(opened.size(), 6u);
    for (const auto& path : opened) EXPECT_EQ(path, HelpPath());
}

TEST_F(MainWindowTest, OnlyTheLeftButtonOnACheckBoxTogglesADriveRow) {
    ASSERT_FALSE(form.ListedDrives().empty());
    SendMessageA(form.Ui().btnLeft2, BM_CLICK, 0, 0);
    HWND list = form.Disk().Ui().lstPathSelect;
    RECT label{};
    label.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&label));
    RECT icon{};
    icon.left = LVIR_ICON;
    SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&icon));
    const int y = (label.top + label.bottom) / 2;
    const POINT onBox{icon.left - 8, y};
    const POINT onText{label.left + 10, y};
    const int before = ListCheckState(list, 0);

    auto press = [&](UINT message, WPARAM keys, POINT p) {
        // The list follows the mouse after a press until the button is released: the release is
        // queued first, so that its tracking loop finds it.
        PostMessageA(list, message + 1, 0, MAKELPARAM(p.x, p.y));
        SendMessageA(list, message, keys, MAKELPARAM(p.x, p.y));
        test::PumpMessagesFor(10);
    };
    press(WM_LBUTTONDOWN, MK_LBUTTON, onText);
    EXPECT_EQ(ListCheckState(list, 0), before);
    press(WM_RBUTTONDOWN, MK_RBUTTON, onBox);
    EXPECT_EQ(ListCheckState(list, 0), before);
    press(WM_LBUTTONDOWN, MK_LBUTTON, onBox);
    EXPECT_EQ(ListCheckState(list, 0), 1 - before);
    EXPECT_EQ(CheckedDriveLetters(list, form.ListedDrives()).find(form.ListedDrives()[0]) != std::string::npos,
              before == 0);
    press(WM_LBUTTONDOWN, MK_LBUTTON, onBox);
    EXPECT_EQ(ListCheckState(list, 0), before);

    // Space toggles the focused row.
    ListView_SetItemState(list, 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    SetFocus(list);
    PressKey(list, VK_SPACE);
    EXPECT_EQ(ListCheckState(list, 0), 1 - before);
}

TEST_F(MainWindowTest, SetSubtreeStateActsOnTheSectionTree) {
    const int topBefore = TreeNodeState(form.Registry().Ui().treRegistry, form.Registry().Ui().CategoryNodes[0]);
    form.Registry().SetSubtreeState(form.Registry().Ui().CategoryNodes[0], 1);
    EXPECT_EQ(TreeNodeState(form.Registry().Ui().treRegistry, form.Registry().Ui().CategoryNodes[0]), topBefore);
    for (int i = 1; i < TreeNodeCount(form.Registry().Ui().treRegistry); ++i) {
        EXPECT_EQ(TreeNodeState(form.Registry().Ui().treRegistry, TreeNodeAt(form.Registry().Ui().treRegistry, i)), 1)
            << i;
    }
    form.Registry().SetSubtreeState(form.Registry().Ui().CategoryNodes[14], 2);
    EXPECT_EQ(TreeNodeState(form.Registry().Ui().treRegistry, form.Registry().Ui().CategoryNodes[14]), 1);
    for (size_t d = 0; d < form.ListedDrives().size(); ++d) {
        EXPECT_EQ(TreeNodeState(form.Registry().Ui().treRegistry,
                                TreeNodeAt(form.Registry().Ui().treRegistry, 15 + static_cast<int>(d))),
                  2);
    }
    EXPECT_EQ(TreeNodeState(form.Registry().Ui().treRegistry, form.Registry().Ui().CategoryNodes[13]), 1);
}

TEST_F(MainWindowTest, ClosingAsksARunningWorkerToStopAndIgnoresItsLateEnd) {
    auto lists = std::make_shared<ScanResultLists>();
    form.Registry().FollowWorker(
        std::make_unique<TRegScanThread>(true, lists, std::string(kSelectionLength, '1'), "C"));
    form.Registry().Worker()->SetOnDone(form.Handle(), TFrmMain::kScanDoneMessage);
    form.Registry().Worker()->Start();
    form.Registry().SetScanRunning(true);
    ASSERT_TRUE(form.FormCloseQuery());
    EXPECT_TRUE(form.IsClosing());
    // The stop was requested: the worker ends soon, whatever it was doing.
    EXPECT_TRUE(form.Registry().Worker()->WaitFor(20000));
    EXPECT_FALSE(form.WorkerStillRunning());
}

TEST_F(MainWindowTest, TheScanPageFollowsTheWorkersProgressOnlyWhileItRuns) {
    auto lists = std::make_shared<ScanResultLists>();
    // Nothing selected: the worker ends at once, leaving its last progress published.
    form.Registry().FollowWorker(std::make_unique<TRegScanThread>(true, lists, std::string(kSelectionLength, '0'), ""));
    form.Registry().Worker()->Start();
    ASSERT_TRUE(form.Registry().Worker()->WaitFor(10000));
    const ScanProgress progress = form.Registry().Worker()->Progress();

    form.Registry().tmrScanProgressTimer();  // idle: nothing changes
    EXPECT_EQ(ControlText(form.Registry().Ui().labTtoalError), "0");
    EXPECT_EQ(ControlText(form.Registry().Ui().labRootKey), "");

    form.Registry().SetScanRunning(true);
    form.Registry().tmrScanProgressTimer();
    EXPECT_EQ(ControlText(form.Registry().Ui().labRootKey), progress.RootKeyText);
    EXPECT_EQ(ControlText(form.Registry().Ui().labTtoalError), std::to_string(progress.Total));
    EXPECT_EQ(ControlText(form.Registry().Ui().ScanCaption[1]), std::to_string(progress.Counts[1]));
    form.Registry().SetScanRunning(false);
}

TEST_F(MainWindowTest, PicturesOfThePagesAndPanelsForReview) {
    form.Show();
    struct Shot { HWND panel; int page; const char* name; };
    const Shot shots[] = {{form.Ui().panRegScan, TFrmMain::pgScanShow, "page-scan-progress.bmp"},
                          {form.Ui().panRegScan, TFrmMain::pgFileScan, "page-search-progress.bmp"}};
    // The two results panels are pictured filled, by the program's own scans (ResultsSeenFromOutside).
    for (const Shot& shot : shots) TakePicture(form, shot.panel, shot.page, shot.name);
}

// High contrast: with a high-contrast palette set (SetSysColors) and the flag reported (Wine cannot
// switch it on), none of the program's own colours is left on screen; the page is the window colour
// and the headers the caption colour. Leaves pictures of the pages (hc-*.bmp) for review.
TEST_F(MainWindowTest, PicturesInHighContrastShowTheSystemColoursOnly) {
    const int elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_HIGHLIGHT,
                            COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT, COLOR_ACTIVECAPTION, COLOR_CAPTIONTEXT, COLOR_HOTLIGHT};
    const COLORREF contrast[] = {RGB(0, 0, 0),     RGB(255, 255, 255), RGB(0, 0, 0),     RGB(255, 255, 255),
                                 RGB(26, 235, 255), RGB(0, 0, 0),      RGB(63, 242, 63), RGB(128, 0, 128),
                                 RGB(255, 255, 255), RGB(255, 255, 0)};
    COLORREF saved[std::size(elements)];
    for (size_t i = 0; i < std::size(elements); ++i) saved[i] = GetSysColor(elements[i]);
    ASSERT_TRUE(SetSysColors(static_cast<int>(std::size(elements)), elements, contrast));
    SendMessageA(form.Handle(), WM_SYSCOLORCHANGE, 0, 0);  // as the system tells its top-level windows
    SetHighContrastForTesting(1);
    form.Show();
    const COLORREF own[] = {colors::kPageBack, colors::kNavColumn, colors::kNavButton, colors::kButtonFace,
                            colors::kTitleStrip, colors::kHeaderStart, colors::kFrame};
    for (const auto& [panel, page, name] : {std::tuple{form.Ui().panRegScan, int(TFrmMain::pgRegSelect), "hc-page-sections.bmp"},
                                            {form.Ui().panRegScan, int(TFrmMain::pgDiskClean), "hc-page-drives.bmp"},
                                            {form.Ui().panRegScan, int(TFrmMain::pgAbout), "hc-page-about.bmp"},
                                            {form.Ui().fltRegDelet, -1, "hc-panel-registry-results.bmp"}}) {
        TakePicture(form, panel, page, name);
        RECT client;
        GetClientRect(form.Handle(), &client);
        POINT origin{0, 0};
        ClientToScreen(form.Handle(), &origin);
        HDC screen = GetDC(nullptr);
        int ownSeen = 0, windowSeen = 0, captionSeen = 0;
        for (int y = 0; y < client.bottom; y += 2) {
            for (int x = 0; x < client.right; x += 2) {
                const COLORREF c = GetPixel(screen, origin.x + x, origin.y + y);
                ownSeen += std::find(std::begin(own), std::end(own), c) != std::end(own);
                windowSeen += c == contrast[0];
                captionSeen += c == contrast[7];
            }
        }
        ReleaseDC(nullptr, screen);
        EXPECT_EQ(ownSeen, 0) << name << ": the program's own colours are drawn";
        EXPECT_GT(windowSeen, client.right * client.bottom / 16) << name;
        EXPECT_GT(captionSeen, 0) << name << ": no title strip or header in the caption colour";
    }
    SetHighContrastForTesting(-1);
    SetSysColors(static_cast<int>(std::size(elements)), elements, saved);
    SendMessageA(form.Handle(), WM_SYSCOLORCHANGE, 0, 0);
}
