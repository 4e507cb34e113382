// The registry side of the main window, end to end in the real window: the section tree toggled by
// real mouse messages, scans of seeded scratch keys to the results list, pause, stop, stale end
// messages, repair with its messages, and the restore button.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <future>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/Files.h"
#include "repair/BackupFiles.h"
#include "support/MenuChoice.h"
#include "support/TestSupport.h"
#include "ui/UFrmIgnoreList.h"
#include "ui/UFrmMain.h"
#include "ui/UfrmRestore.h"
#include "widgets/CheckStates.h"
#include "widgets/FlatControls.h"
#include "widgets/Messages.h"

using namespace vsc;
using vsc::test::PumpUntil;
using vsc::test::ScratchDir;
using vsc::test::ScratchKey;

namespace {

struct Shown {
    std::string Text;
    UINT Flags;
};

class RegistryWindow : public ::testing::Test {
protected:
    void SetUp() override {
        oldPresenter_ = SetMessagePresenter([this](HWND, const std::string& text, UINT flags) {
            shown.push_back({text, flags});
            return IDOK;
        });
        form.QuitOnDestroy = false;
        form.CreateMainWindow();
        form.Show();
        form.Registry().SetBackupFolder(dir.File("backup"));
    }
    void TearDown() override {
        TRegistryCleanPage::SetScanWorkerPreparer(nullptr);
        form.Destroy();
        SetMessagePresenter(oldPresenter_);
    }

    HWND tree() const { return form.Registry().Ui().treRegistry; }
    int State(int node) const { return TreeNodeState(tree(), TreeNodeAt(tree(), node)); }

    // A real click (button press and release messages) on the node's text.
    void ClickNode(int node) {
        HTREEITEM item = TreeNodeAt(tree(), node);
        TreeView_EnsureVisible(tree(), item);
        RECT rect = {};
        TreeView_GetItemRect(tree(), item, &rect, TRUE);
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        PostMessageA(tree(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(tree(), WM_LBUTTONUP, 0, at);
        vsc::test::PumpMessagesFor(80);
    }

    // A press and release on the node's expand button, then on empty space below the nodes; false
    // when the button was not found.
    bool ReleaseBeside(int node) {
        bool found = false;
        HTREEITEM item = TreeNodeAt(tree(), node);
        RECT text = {};
        TreeView_GetItemRect(tree(), item, &text, TRUE);
        const int y = (text.top + text.bottom) / 2;
        for (int x = 0; x < text.left; ++x) {
            TVHITTESTINFO hit = {};
            hit.pt = {x, y};
            if (TreeView_HitTest(tree(), &hit) == item && (hit.flags & TVHT_ONITEMBUTTON)) {
                PostMessageA(tree(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
                PostMessageA(tree(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
                vsc::test::PumpMessagesFor(80);
                // The button folded the node: unfold it again.
                TreeView_Expand(tree(), item, TVE_EXPAND);
                found = true;
                break;
            }
        }
        RECT client = {};
        GetClientRect(tree(), &client);
        RECT last = {};
        TreeView_GetItemRect(tree(), TreeNodeAt(tree(), TreeNodeCount(tree()) - 1), &last, FALSE);
        if (last.bottom + 4 < client.bottom) {
            const LPARAM at = MAKELPARAM(client.right / 2, (last.bottom + client.bottom) / 2);
            PostMessageA(tree(), WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageA(tree(), WM_LBUTTONUP, 0, at);
            vsc::test::PumpMessagesFor(80);
        }
        return found;
    }

    // Ticks exactly the given categories and no drive.
    void Choose(const std::set<int>& categories) {
        SetSubtreeState(tree(), TreeNodeAt(tree(), 0), 1);
        for (int k : categories) SetTreeNodeState(tree(), TreeNodeAt(tree(), k), 2);
    }

    // Points the chosen categories' checks at scratch keys. While pauseAtStart holds, every new
    // worker starts paused, so that a test can act on a scan that has certainly not ended.
    void PointAt(std::vector<std::pair<int, std::string>> keys) {
        TRegistryCleanPage::SetScanWorkerPreparer([this, keys](TRegScanThread& worker) {
            for (const auto& [category, path] : keys) worker.OverrideKeyPaths(category, {path});
            if (pauseAtStart) worker.Pause();
        });
    }
    bool pauseAtStart = false;

    bool ResultsShown() const { return IsWindowVisible(form.Ui().fltRegDelet) != FALSE; }
    bool OnSectionPage() const {
        return IsWindowVisible(form.Ui().panRegScan) && form.Pages().ActivePageIndex() == TFrmMain::pgRegSelect;
    }
    std::string Text(int row, int column) const {
        char buffer[512] = {};
        ListView_GetItemText(form.Registry().Ui().lstJunkReg, row, column, buffer, sizeof buffer);
        return buffer;
    }
    // The row whose "Invalid Value" is the text, or -1.
    int RowShowing(const std::string& invalidValue) const {
        for (int row = 0; row < ListView_GetItemCount(form.Registry().Ui().lstJunkReg); ++row)
            if (Text(row, 1) == invalidValue) return row;
        return -1;
    }
    void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

    ScratchDir dir{"regwin"};
    ScratchKey key{"regwin"};
    TFrmMain form;
    std::vector<Shown> shown;

private:
    MessagePresenter oldPresenter_;
};

}  // namespace

TEST_F(RegistryWindow, TheTreeTogglesWithRealMouseClicks) {
    const int drives = TreeNodeCount(tree()) - 15;
    SetSubtreeState(tree(), TreeNodeAt(tree(), 0), 2);
    SetTreeNodeState(tree(), TreeNodeAt(tree(), 0), 2);

    ClickNode(3);  // "Software Locations" off: "My Computer" partly ticked
    EXPECT_EQ(State(3), 1);
    EXPECT_EQ(State(0), 3);
    ClickNode(3);  // on again: "My Computer" ticked
    EXPECT_EQ(State(3), 2);
    EXPECT_EQ(State(0), 2);

    ClickNode(14);  // "Invalid Shortcuts" off, with every drive below it
    EXPECT_EQ(State(14), 1);
    for (int d = 0; d < drives; ++d) EXPECT_EQ(State(15 + d), 1);
    EXPECT_EQ(State(0), 3);
    if (drives > 0) {
        ClickNode(15);  // one drive on: its parent follows, the grandparent does not
        EXPECT_EQ(State(15), 2);
        EXPECT_EQ(State(14), drives == 1 ? 2 : 3);
        EXPECT_EQ(State(0), 3);
    }

    // A release on an expand button or on empty space toggles nothing, not even the selected node.
    EXPECT_TRUE(ReleaseBeside(14));
    EXPECT_EQ(State(0), 3);
    EXPECT_EQ(State(14), drives > 1 ? 3 : (drives == 1 ? 2 : 1));
    // Space toggles the selected node from the keyboard.
    TreeView_SelectItem(tree(), TreeNodeAt(tree(), 5));
    SetFocus(tree());
    for (int expected : {1, 2}) {
        PostMessageA(tree(), WM_KEYDOWN, VK_SPACE, 1);
        PostMessageA(tree(), WM_KEYUP, VK_SPACE, 0xC0000001);
        vsc::test::PumpMessagesFor(80);
        EXPECT_EQ(State(5), expected);
    }

    ClickNode(0);  // "My Computer" partly ticked: a click unticks the whole tree
    for (int i = 0; i < TreeNodeCount(tree()); ++i) EXPECT_EQ(State(i), 1) << i;
    ClickNode(0);
    for (int i = 0; i < TreeNodeCount(tree()); ++i) EXPECT_EQ(State(i), 2) << i;
}

TEST_F(RegistryWindow, NothingTickedStartsNoScan) {
    Choose({});
    SetTreeNodeState(tree(), TreeNodeAt(tree(), 14), 2);  // "Invalid Shortcuts" alone adds nothing
    Click(form.Registry().Ui().btnRegistryScan);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Text, "Please select a section to scan before continuing!");
    EXPECT_FALSE(form.Registry().Worker());
    EXPECT_TRUE(OnSectionPage());
}

// Rows whose target could not be reached (a drive that is not there, a removable or network drive,
// a network path) are listed, say why, start unchecked, stay unchecked on "Check All", and a repair
// with the rows as the scan left them changes none of them. A network path that is there is found.
TEST_F(RegistryWindow, AScanShowsItsProblemsCheckedAndRepairWritesTheBackupFirst) {
    key.SetString("AppPaths\\gone.exe", "", "C:\\VscGone\\gone.exe");
    key.SetString("AppPaths\\v1.2.exe", "", "C:\\VscGone\\v1.2.exe");
    key.SetString("Help", "manual.hlp", "C:\\VscGoneHelp");
    const DWORD count = 1;
    key.SetBytes("Shared", "C:\\VscGone\\shared.dll", &count, sizeof count, REG_DWORD);
    key.SetString("Run", "tray", "C:\\VscGone\\tray.exe");
    const bool realDrives = vsc::test::InBuildPrefix() && GetDriveTypeA("R:\\") == DRIVE_REMOVABLE;
    struct Away {
        const char* value;
        const char* reason;
    };
    const Away away[] = {
        {"Q:\\Data\\absent.dat", "drive Q: is not there"},
        {"U:\\Data\\unplugged.dat", "drive U: is not there"},
        {"R:\\Data\\usb.dat", "removable drive R: (not checked)"},
        {"N:\\Data\\net.dat", "network drive N: (not checked)"},
    };
    if (realDrives) {
        for (const Away& a : away) key.SetBytes("Shared", a.value, &count, sizeof count, REG_DWORD);
        key.SetString("Run", "offline", "\\\\vscoffline\\share\\Data\\off.exe");
        key.SetString("Run", "online", "\\\\vscserver\\share\\Data\\present.exe");
    }
    Choose({3, 5, 6, 7});
    PointAt({{3, key.Child("AppPaths")}, {5, key.Child("Help")}, {6, key.Child("Shared")}, {7, key.Child("Run")}});

    Click(form.Registry().Ui().btnRegistryScan);
    EXPECT_EQ(form.Pages().ActivePageIndex(), TFrmMain::pgScanShow);
    EXPECT_FALSE(IsWindowEnabled(form.Ui().btnLeft1));
    ASSERT_TRUE(PumpUntil([&] { return ResultsShown(); }, 20000));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Text, realDrives ? "10 Problem(s) Found (5 not certain)" : "5 Problem(s) Found");
    EXPECT_EQ(shown[0].Flags & MB_ICONINFORMATION, static_cast<UINT>(MB_ICONINFORMATION));
    const int rows = realDrives ? 10 : 5;
    ASSERT_EQ(ListView_GetItemCount(form.Registry().Ui().lstJunkReg), rows);
    std::vector<std::string> texts;
    for (int row = 0; row < rows; ++row) {
        const bool certain = Text(row, 1).rfind("C:\\VscGone", 0) == 0;
        EXPECT_EQ(ListCheckState(form.Registry().Ui().lstJunkReg, row), certain ? 1 : 0) << row;
        if (certain) texts.push_back(Text(row, 1));
    }
    EXPECT_EQ(Text(0, 0), key.Child("AppPaths\\gone.exe"));
    EXPECT_EQ(Text(0, 2), "folder not found");
    EXPECT_EQ(texts, (std::vector<std::string>{"C:\\VscGone\\gone.exe", "C:\\VscGone\\v1.2.exe",
                                               "C:\\VscGoneHelpmanual.hlp", "C:\\VscGone\\shared.dll",
                                               "C:\\VscGone\\tray.exe"}));
    if (realDrives) {
        for (const Away& a : away) EXPECT_EQ(Text(RowShowing(a.value), 2), a.reason) << a.value;
        EXPECT_EQ(Text(RowShowing("\\\\vscoffline\\share\\Data\\off.exe"), 2), "network path (not checked)");
        EXPECT_EQ(RowShowing("\\\\vscserver\\share\\Data\\present.exe"), -1) << "a share that is there is looked at";
    }
    EXPECT_EQ(form.Registry().ResultsList().Icon(1), 1) << "two dots";
    EXPECT_EQ(form.Registry().ResultsList().Icon(0), 0);
    EXPECT_FALSE(IsWindowEnabled(form.Ui().btnLeft1)) << "navigation stays off on the results";
    for (int k = 1; k <= 14; ++k) EXPECT_EQ(ControlText(form.Registry().Ui().ScanCaption[k]), "0");

    // Uncheck All, then Repair: nothing happens.
    shown.clear();
    Click(form.Registry().Ui().btnUnCheck);
    Click(form.Registry().Ui().btnDeleteItems);
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(ResultsShown());

    // Check All (which leaves the uncertain rows), spare the help row, tick the removable drive's
    // row by hand, repair.
    Click(form.Registry().Ui().btnCheck);
    form.Registry().ResultsList().SetChecked(2, false);
    if (realDrives) form.Registry().ResultsList().SetChecked(static_cast<std::size_t>(RowShowing("R:\\Data\\usb.dat")), true);
    Click(form.Registry().Ui().btnDeleteItems);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Text, realDrives ? "Total 5 problems have been repaired successfully!"
                                        : "Total 4 problems have been repaired successfully!");
    EXPECT_TRUE(OnSectionPage());
    EXPECT_TRUE(IsWindowEnabled(form.Ui().btnLeft1));
    EXPECT_TRUE(vsc::test::ValueExists(key.Child("Help"), "manual.hlp"));
    EXPECT_FALSE(vsc::test::ValueExists(key.Child("Run"), "tray"));
    if (realDrives) {
        for (const Away& a : away)
            EXPECT_EQ(vsc::test::ValueExists(key.Child("Shared"), a.value), a.value[0] != 'R') << a.value;
        EXPECT_TRUE(vsc::test::ValueExists(key.Child("Run"), "offline"));
    }
    std::vector<std::string> names;
    ListBackupFiles(form.Registry().BackupFolder(), names);
    EXPECT_EQ(names, std::vector<std::string>{"regbackup1.txt"});
}

TEST_F(RegistryWindow, ARepairWhoseBackupCannotBeWrittenKeepsTheResults) {
    key.SetString("Run", "tray", "C:\\VscGone\\tray.exe");
    Choose({7});
    PointAt({{7, key.Child("Run")}});
    Click(form.Registry().Ui().btnRegistryScan);
    ASSERT_TRUE(PumpUntil([&] { return ResultsShown(); }, 20000));
    form.Registry().SetBackupFolder(dir.WriteFile("blocker", "a file, not a folder"));
    shown.clear();
    Click(form.Registry().Ui().btnDeleteItems);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Text, "Repair failing!");
    EXPECT_TRUE(ResultsShown());
    EXPECT_TRUE(vsc::test::ValueExists(key.Child("Run"), "tray"));
}

// The entries left are named with the reason; a key whose security refuses writes says "access
// denied", and nothing refused is counted or kept in the backup.
TEST_F(RegistryWindow, ARepairWithFailuresSaysSoOnceThenCountsOnlyWhatWasRepaired) {
    key.SetString("Run", "tray", "C:\\VscGone\\tray.exe");
    key.SetString("Run", "helper", "C:\\VscGone\\helper.exe");
    key.SetString("Run", "agent", "C:\\VscGone\\agent.exe");
    key.SetString("AppPaths\\locked.exe", "", "C:\\VscGone\\locked.exe");
    Choose({3, 7});
    PointAt({{3, key.Child("AppPaths")}, {7, key.Child("Run")}});
    Click(form.Registry().Ui().btnRegistryScan);
    ASSERT_TRUE(PumpUntil([&] { return ResultsShown(); }, 20000));
    // Two values now hold line breaks, which no backup line can carry: they stay as they are.
    key.SetString("Run", "tray", "C:\\VscGone\\tray.exe\r\n-x");
    key.SetString("Run", "agent", "C:\\VscGone\\agent.exe\n");
    const vsc::test::LockedKey locked(key.SubKey() + "\\AppPaths\\locked.exe");
    ASSERT_TRUE(locked.ok());
    shown.clear();
    Click(form.Registry().Ui().btnDeleteItems);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].Text, "there are not all selected problems have been Deleted successfully!\r\n\r\n"
                             "Left as they are:\r\n" +
                                 key.Child("AppPaths\\locked.exe") + ", default value: access denied\r\n" +
                                 key.Child("Run") + ", value \"agent\": the value's data cannot be kept in a backup file\r\n" +
                                 key.Child("Run") + ", value \"tray\": the value's data cannot be kept in a backup file\r\n");
    EXPECT_EQ(shown[0].Flags & MB_ICONERROR, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(shown[1].Text, "Total 1 problems have been repaired successfully!");
    DWORD type = 0;
    std::string data;
    EXPECT_TRUE(vsc::test::ReadValue(key.Child("AppPaths\\locked.exe"), "", type, data));
    EXPECT_EQ(data, std::string("C:\\VscGone\\locked.exe") + '\0');
    std::string backup;
    ASSERT_TRUE(ReadWholeFile(form.Registry().BackupFolder() + "\\regbackup1.txt", backup));
    EXPECT_EQ(backup.find("locked"), std::string::npos) << backup;
    EXPECT_EQ(shown[1].Flags & MB_ICONINFORMATION, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_TRUE(OnSectionPage());
    EXPECT_TRUE(vsc::test::ValueExists(key.Child("Run"), "tray"));
    EXPECT_TRUE(vsc::test::ValueExists(key.Child("Run"), "agent"));
    EXPECT_FALSE(vsc::test::ValueExists(key.Child("Run"), "helper"));
}

TEST_F(RegistryWindow, AScanFindingNothingReturnsToTheSections) {
    key.CreateKey("Run");
    Choose({7});
    PointAt({{7, key.Child("Run")}});
    Click(form.Registry().Ui().btnRegistryScan);
    ASSERT_TRUE(PumpUntil([&] { return form.Registry().Idle(); }, 20000));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Text, "0 Problem(s) Found");
    EXPECT_TRUE(OnSectionPage());
    EXPECT_FALSE(ResultsShown());
    EXPECT_TRUE(IsWindowEnabled(form.Ui().btnLeft1));
}

// A section whose check fails is named in the end message, beside the count of what the other
// sections found, and what they found is listed as after any scan.
TEST_F(RegistryWindow, AScanThatFailedSaysWhichSectionItCouldNotFinish) {
    key.SetString("Run", "agent", dir.File("gone.exe"));
    Choose({3, 7});
    TRegistryCleanPage::SetScanWorkerPreparer([this](TRegScanThread& worker) {
        worker.OverrideKeyPaths(7, {key.Child("Run")});
        worker.OverrideCheck(3, [](ScanContext&, const std::string&) { throw std::runtime_error("the disk went away"); });
    });
    Click(form.Registry().Ui().btnRegistryScan);
    ASSERT_TRUE(PumpUntil([&] { return form.Registry().Idle(); }, 20000));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Text,
              "1 Problem(s) Found\r\n\r\nThe section \"Software Locations\" could not be finished: the disk went away");
    EXPECT_EQ(shown[0].Flags & MB_ICONERROR, static_cast<UINT>(MB_ICONERROR));
    EXPECT_TRUE(ResultsShown());
    EXPECT_EQ(RowShowing(dir.File("gone.exe")), 0);
}

TEST_F(RegistryWindow, StopWhilePausedEndsTheScanAndTheNextScanStartsWithPause) {
    for (int i = 0; i < 50; ++i) key.SetString("Run", "entry" + std::to_string(i), "C:\\VscGone\\x.exe");
    Choose({7});
    PointAt({{7, key.Child("Run")}});
    pauseAtStart = true;
    Click(form.Registry().Ui().btnRegistryScan);
    pauseAtStart = false;
    Click(form.Registry().Ui().btnPause);
    EXPECT_EQ(ControlText(form.Registry().Ui().btnPause), "Continue");
    EXPECT_TRUE(form.Registry().Worker()->Paused());
    SetControlText(form.Registry().Ui().ScanCaption[7], "12");  // as the progress timer would show them
    SetControlText(form.Registry().Ui().labTtoalError, "12");
    Click(form.Registry().Ui().btnScanStop);
    EXPECT_TRUE(OnSectionPage());
    EXPECT_TRUE(IsWindowEnabled(form.Ui().btnLeft1));
    for (int k = 1; k <= 14; ++k) EXPECT_EQ(ControlText(form.Registry().Ui().ScanCaption[k]), "0");
    EXPECT_EQ(ControlText(form.Registry().Ui().labTtoalError), "0");
    // The paused worker ends, and its end shows nothing.
    ASSERT_TRUE(PumpUntil([&] { return form.Registry().Idle(); }, 10000));
    EXPECT_TRUE(form.Registry().Worker()->Finished());
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(ResultsShown());
    EXPECT_EQ(ListView_GetItemCount(form.Registry().Ui().lstJunkReg), 0);

    Click(form.Registry().Ui().btnRegistryScan);
    EXPECT_EQ(ControlText(form.Registry().Ui().btnPause), "Pause");
    ASSERT_TRUE(PumpUntil([&] { return ResultsShown(); }, 20000));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Text, "50 Problem(s) Found");
}

TEST_F(RegistryWindow, AnOlderWorkersEndIsNeverTakenForTheEndOfTheNewScan) {
    key.SetString("Run", "tray", "C:\\VscGone\\tray.exe");
    Choose({7});
    PointAt({{7, key.Child("Run")}});
    pauseAtStart = true;
    Click(form.Registry().Ui().btnRegistryScan);
    Click(form.Registry().Ui().btnPause);
    const unsigned first = form.Registry().Worker()->Id();
    Click(form.Registry().Ui().btnScanStop);
    // A new scan at once, while the stopped worker may still be winding down.
    Click(form.Registry().Ui().btnRegistryScan);
    pauseAtStart = false;
    Click(form.Registry().Ui().btnPause);
    ASSERT_NE(form.Registry().Worker()->Id(), first);
    // The old worker's end message (real or repeated) changes nothing for the paused new scan.
    PostMessageA(form.Handle(), TFrmMain::kScanDoneMessage, first, 0);
    vsc::test::PumpMessagesFor(300);
    EXPECT_FALSE(form.Registry().Idle());
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(form.Pages().ActivePageIndex(), TFrmMain::pgScanShow);
    Click(form.Registry().Ui().btnPause);
    ASSERT_TRUE(PumpUntil([&] { return ResultsShown(); }, 20000));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Text, "1 Problem(s) Found");
}

TEST_F(RegistryWindow, TheRestoreButtonOpensTheRestoreDialogOnTheBackupFolder) {
    dir.WriteFile("backup\\regbackup1.txt", "");
    std::string folder;
    int rows = -1;
    TDialog::SetShownHook([&](TDialog& d) {
        auto* restore = dynamic_cast<TfrmRestore*>(&d);
        if (restore) {
            folder = restore->BackupFolder();
            rows = ListView_GetItemCount(restore->lstBackupFile);
        }
        d.EndModal(IDCANCEL);
    });
    Click(form.Registry().Ui().FlatButton1);
    TDialog::SetShownHook(nullptr);
    EXPECT_EQ(folder, form.Registry().BackupFolder());
    EXPECT_EQ(rows, 1);
}

// Values and keys ignored from the right-click menu leave the list at once, are neither repaired
// nor backed up, stay ignored in the next scans, and come back once the dialog removes them.
TEST_F(RegistryWindow, IgnoredFromTheMenuStayIgnoredUntilTheDialogRemovesThem) {
    form.Registry().SetIniFileName(dir.WriteFile("Config.Ini", "[FileFilters]\r\nUserExp=\r\n"));
    for (const char* name : {"tray", "helper", "agent"})
        key.SetString("Run", name, std::string("C:\\VscGone\\") + name + ".exe");
    key.SetString("AppPaths\\gone.exe", "", "C:\\VscGone\\gone.exe");
    key.SetString("AppPaths\\other.exe", "", "C:\\VscGone\\other.exe");
    Choose({3, 7});
    PointAt({{3, key.Child("AppPaths")}, {7, key.Child("Run")}});
    auto scan = [&] {
        shown.clear();
        Click(form.Registry().Ui().btnRegistryScan);
        EXPECT_TRUE(PumpUntil([&] { return form.Registry().Idle(); }, 20000));
        return shown.empty() ? std::string() : shown[0].Text;
    };
    ASSERT_EQ(scan(), "5 Problem(s) Found");
    HWND list = form.Registry().Ui().lstJunkReg;
    vsc::test::MenuChoice menu;

    // A right click on a row: the registry commands; "Ignore this entry" takes that value alone.
    EXPECT_EQ(menu.RightClick(list, RowShowing("C:\\VscGone\\tray.exe"), "Ignore this entry"), 1);
    EXPECT_EQ(menu.offered, (std::vector<std::string>{"Ignore this entry", "Ignore this key", "Open in Registry Editor",
                                                      "Copy key path"}));
    EXPECT_EQ(ListView_GetItemCount(list), 4);
    EXPECT_EQ(RowShowing("C:\\VscGone\\tray.exe"), -1);
    // The context-menu key, for the focused row: "Ignore this key".
    EXPECT_EQ(menu.MenuKey(list, RowShowing("C:\\VscGone\\gone.exe"), "Ignore this key"), 2);
    EXPECT_EQ(ListView_GetItemCount(list), 3);
    EXPECT_EQ(RowShowing("C:\\VscGone\\gone.exe"), -1);

    // Two rows selected: copying takes both; the editor opens at the row's key.
    const int helper = RowShowing("C:\\VscGone\\helper.exe"), agent = RowShowing("C:\\VscGone\\agent.exe");
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list, helper, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(list, agent, LVIS_SELECTED, LVIS_SELECTED);
    menu.RightClick(list, helper, "Copy key path");
    EXPECT_EQ(vsc::test::ClipboardText(), key.Child("Run") + "\r\n" + key.Child("Run"));
    // While another program holds the clipboard open, the copy says it failed.
    shown.clear();
    std::promise<bool> opened;
    std::promise<void> done;
    std::thread holder([&] {
        const bool held = OpenClipboard(nullptr) != FALSE;
        opened.set_value(held);
        done.get_future().wait();
        if (held) CloseClipboard();
    });
    const bool held = opened.get_future().get();
    menu.RightClick(list, helper, "Copy key path");
    done.set_value();
    holder.join();
    ASSERT_TRUE(held);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Text, "Unable to copy to the clipboard.");
    menu.RightClick(list, helper, "Open in Registry Editor");
    ASSERT_EQ(menu.started.size(), 1u);
    EXPECT_EQ(menu.started[0].first, ExternalView::RegistryEditor);
    EXPECT_EQ(menu.started[0].second, key.Child("Run"));
    EXPECT_EQ(ListView_GetItemCount(list), 3);

    // Repair of every row left: the ignored entries stay, and no backup names them.
    Click(form.Registry().Ui().btnDeleteItems);
    EXPECT_EQ(shown.back().Text, "Total 3 problems have been repaired successfully!");
    EXPECT_TRUE(vsc::test::ValueExists(key.Child("Run"), "tray"));
    EXPECT_TRUE(vsc::test::ValueExists(key.Child("AppPaths\\gone.exe"), ""));
    std::string backup;
    ASSERT_TRUE(ReadWholeFile(form.Registry().BackupFolder() + "\\regbackup1.txt", backup));
    EXPECT_EQ(backup.find("tray"), std::string::npos);
    EXPECT_EQ(backup.find("gone.exe"), std::string::npos);

    EXPECT_EQ(scan(), "0 Problem(s) Found (2 ignored)");

    // The dialog lists both with their kinds, refuses a key path without a known root, and removes
    // the value: the next scan shows it again.
    std::vector<std::string> kinds, refusal;
    TDialog::SetShownHook([&](TDialog& d) {
        auto* dialog = dynamic_cast<TFrmIgnoreList*>(&d);
        if (!dialog) return;
        for (int row = 0; row < ListView_GetItemCount(dialog->lstIgnoreList); ++row) {
            char kind[64] = {}, entry[512] = {}, name[128] = {};
            ListView_GetItemText(dialog->lstIgnoreList, row, 0, kind, sizeof kind);
            ListView_GetItemText(dialog->lstIgnoreList, row, 1, entry, sizeof entry);
            ListView_GetItemText(dialog->lstIgnoreList, row, 2, name, sizeof name);
            kinds.push_back(std::string(kind) + "|" + entry + "|" + name);
            if (std::string(name) == "tray")
                ListView_SetItemState(dialog->lstIgnoreList, row, LVIS_SELECTED, LVIS_SELECTED);
        }
        SetControlText(dialog->edtEntry, "HKLM\\Software\\VscTest");
        shown.clear();
        Click(dialog->btnAddKey);
        for (const auto& m : shown) refusal.push_back(m.Text);
        Click(dialog->btnRemove);
        EXPECT_EQ(ListView_GetItemCount(dialog->lstIgnoreList), 1);
        dialog->EndModal(IDCANCEL);
    });
    Click(form.Registry().Ui().btnIgnoreList);
    TDialog::SetShownHook(nullptr);
    EXPECT_EQ(kinds, (std::vector<std::string>{"Registry value|" + key.Child("Run") + "|tray",
                                               "Registry key|" + key.Child("AppPaths\\gone.exe") + "|"}));
    ASSERT_EQ(refusal.size(), 1u);
    EXPECT_NE(refusal[0].find("does not begin with a root key"), std::string::npos) << refusal[0];

    EXPECT_EQ(scan(), "1 Problem(s) Found (1 ignored)");
    EXPECT_EQ(Text(0, 1), "C:\\VscGone\\tray.exe");
}
