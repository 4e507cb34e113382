// The disk clean end to end in the real main window (created in this process, not shown): scan of
// the fixture drive with the filters of a scratch "Config.Ini", the counters, the found-files
// message and list, toggling, Check All, cleaning for good and to the recycle bin, stop during
// cleaning, empty results, errors that keep a scan from starting, and the options dialog.
#include <windows.h>
#include <commctrl.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "DialogTestSupport.h"
#include "platform/Files.h"
#include "support/MenuChoice.h"
#include "support/TestSupport.h"
#include "ui/UFrmFileClearExp.h"
#include "ui/UFrmMain.h"
#include "widgets/CheckStates.h"
#include "widgets/FlatControls.h"

using namespace vsc;
using namespace vsc::test;

namespace {

std::string FixtureDrive() {
    char letter[8] = {};
    if (GetEnvironmentVariableA("VSC_FIXTURE_DRIVE", letter, sizeof letter) != 1) return "";
    return GetFileAttributesA((std::string(letter) + ":\\").c_str()) == INVALID_FILE_ATTRIBUTES ? "" : letter;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Names beyond any legacy code page; a legacy call gives "vscj_??.junk", which matches "vscj_ab.junk".
const char* const kCyrillic = "vscj_\xD0\xBF\xD1\x83.junk";
const char* const kEmoji = "vscj_\xF0\x9F\x98\x80.junk";  // one character, two UTF-16 units

bool Shown(HWND control) { return (GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE) != 0; }

std::string Cell(HWND list, int row, int column) {
    char text[512] = {};
    ListView_GetItemText(list, row, column, text, sizeof text);
    return text;
}

int RowOf(HWND list, const std::string& name) {
    for (int i = 0; i < ListView_GetItemCount(list); ++i)
        if (Cell(list, i, 0) == name) return i;
    return -1;
}

class DiskCleanWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_UNLESS_BUILD_PREFIX();
        drive = FixtureDrive();
        if (drive.empty()) GTEST_SKIP() << "no fixture drive";
        static std::atomic<int> serial{0};
        root = drive + ":\\vscdisk_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(serial++);
        RemoveTree(root);
        ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
        ini = settings.File("Config.Ini");
        WriteIni("0", "0");
        form.QuitOnDestroy = false;
        form.CreateMainWindow();
        form.Disk().SetIniFileName(ini);
        const auto at = form.ListedDrives().find(drive[0]);
        if (at == std::string::npos) GTEST_SKIP() << "the fixture drive is not listed";
        for (int i = 0; i < static_cast<int>(form.ListedDrives().size()); ++i)
            SetListCheckState(form.Disk().Ui().lstPathSelect, i, i == static_cast<int>(at) ? 1 : 0);
        form.btnLeft2Click();
    }
    void TearDown() override {
        if (!root.empty()) RemoveTree(root);
    }

    void WriteIni(const std::string& deleteTo, const std::string& systemFile,
                  const std::string& userExp = "<vscj*.junk:Junk><vscj_fold.jdir:Junk folders>") {
        settings.WriteFile("Config.Ini", "[FileFilters]\r\nUserExp=" + userExp +
                                             "\r\n[ScanOptions]\r\nSystemFile=" + systemFile +
                                             "\r\nReadFile=0\r\nHideFile=0\r\n[DeleteOptions]\r\nDleteTo=" + deleteTo +
                                             "\r\n");
    }
    std::string Put(const std::string& relative, const std::string& contents = "junk") {
        const auto slash = relative.rfind('\\');
        if (slash != std::string::npos) CreateDirectoryA((root + "\\" + relative.substr(0, slash)).c_str(), nullptr);
        const std::string path = root + "\\" + relative;
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << path;
        DWORD written = 0;
        WriteFile(h, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
        CloseHandle(h);
        return path;
    }
    // Scans and checks that the results panel shows `expected` rows.
    void ScanExpecting(int expected, MessageRecorder& messages) {
        messages.shown.clear();
        Click(form.Disk().Ui().btnFileScan);
        ASSERT_EQ(messages.Texts(), std::vector<std::string>{std::to_string(expected) + " files Found"});
        EXPECT_EQ(messages.shown[0].Flags & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
        ASSERT_EQ(ListView_GetItemCount(form.Disk().Ui().lstJunkFile), expected);
        messages.shown.clear();
    }
    void Check(const std::vector<std::string>& names) {
        for (const auto& n : names) {
            const int row = RowOf(form.Disk().Ui().lstJunkFile, n);
            ASSERT_GE(row, 0) << n;
            form.Disk().Search().FoundFiles()[static_cast<size_t>(row)].Checked = 1;
        }
    }
    void ExpectDrivePage() {
        EXPECT_TRUE(Shown(form.Ui().panRegScan));
        EXPECT_FALSE(Shown(form.Ui().panFileDel));
        EXPECT_EQ(form.Pages().ActivePageIndex(), TFrmMain::pgDiskClean);
        EXPECT_TRUE(IsWindowEnabled(form.Ui().btnLeft1));
        EXPECT_TRUE(form.Disk().Idle());
    }

    ScratchDir settings{"diskwin"};
    std::string drive, root, ini;
    TFrmMain form;
};

}  // namespace

TEST_F(DiskCleanWindowTest, ScanListsTheFoundFilesAndRowsToggle) {
    MessageRecorder messages;
    Put("vscj_a.junk", "12345");
    Put("sub\\vscj_b.JUNK", "abc");
    Put("keep.txt");
    SetFileAttributesA(Put("vscj_hidden.junk").c_str(), FILE_ATTRIBUTE_HIDDEN);  // HideFile=0
    CreateDirectoryA((root + "\\vscj_fold.jdir").c_str(), nullptr);

    ScanExpecting(3, messages);
    EXPECT_TRUE(form.Disk().Idle());
    EXPECT_TRUE(Shown(form.Ui().panFileDel));
    EXPECT_FALSE(Shown(form.Ui().panRegScan));
    EXPECT_FALSE(IsWindowEnabled(form.Ui().btnLeft1));  // until Menu
    HWND list = form.Disk().Ui().lstJunkFile;
    const int a = RowOf(list, "vscj_a.junk");
    ASSERT_GE(a, 0);
    EXPECT_EQ(Cell(list, a, 1), root + "\\");
    EXPECT_EQ(Cell(list, a, 2), "5");
    EXPECT_FALSE(Cell(list, a, 3).empty());
    EXPECT_EQ(Cell(list, a, 4), "A-----");
    EXPECT_EQ(Cell(list, RowOf(list, "vscj_b.JUNK"), 1), root + "\\sub\\");
    EXPECT_EQ(Cell(list, RowOf(list, "vscj_fold.jdir"), 4), "-D----");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ListCheckState(list, i), 0);  // rows start unchecked

    // Clean Selected with nothing checked does nothing, not even the question.
    Click(form.Disk().Ui().btnDelFile);
    EXPECT_TRUE(messages.shown.empty());

    // A press on a row's check box toggles it; a press on its text does not.
    RECT bounds{};
    ASSERT_TRUE(ListView_GetItemRect(list, a, &bounds, LVIR_BOUNDS));
    POINT box{-1, (bounds.top + bounds.bottom) / 2};
    for (int x = bounds.left; x < bounds.left + 40 && box.x < 0; ++x) {
        LVHITTESTINFO hit{};
        hit.pt = {x, box.y};
        if (ListView_HitTest(list, &hit) == a && (hit.flags & LVHT_ONITEMSTATEICON)) box.x = x;
    }
    ASSERT_GE(box.x, 0);
    ControlMouseEvent press;
    press.Control = list;
    press.Button = 1;  // any button
    press.Pos = box;
    form.Disk().lstJunkFileMouseDown(press);
    EXPECT_EQ(form.Disk().Search().FoundFiles()[static_cast<size_t>(a)].Checked, 1);
    EXPECT_EQ(ListCheckState(list, a), 1);
    press.Pos = {bounds.left + 100, box.y};
    form.Disk().lstJunkFileMouseDown(press);
    EXPECT_EQ(ListCheckState(list, a), 1);
    press.Pos = box;
    form.Disk().lstJunkFileMouseDown(press);
    EXPECT_EQ(ListCheckState(list, a), 0);

    Click(form.Disk().Ui().btnCheckAllFile);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ListCheckState(list, i), 1);
    Click(form.Disk().Ui().btnUnCheckAllFile);
    for (const auto& f : form.Disk().Search().FoundFiles()) EXPECT_EQ(f.Checked, 0);

    // Menu returns to the drive page and forgets the results.
    Click(form.Disk().Ui().backMain);
    ExpectDrivePage();
    EXPECT_EQ(ListView_GetItemCount(list), 0);
    EXPECT_TRUE(form.Disk().Search().FoundFiles().empty());
}

TEST_F(DiskCleanWindowTest, CountersAndSizeTextOfTheScanPage) {
    form.Disk().FindJunkFileProcess(form.Disk().Search(), "S:\\x\\y", 3, 1023999, 1, 2, 0);
    EXPECT_EQ(ControlText(form.Disk().Ui().labScanPath), "S:\\x\\y");
    EXPECT_EQ(ControlText(form.Disk().Ui().labFileCount), "3 (All)");
    EXPECT_EQ(ControlText(form.Disk().Ui().labHideFileCount), "1 (Hide)");
    EXPECT_EQ(ControlText(form.Disk().Ui().labReadFileCount), "2 (Read)");
    EXPECT_EQ(ControlText(form.Disk().Ui().labSystemFileCount), "0 (System)");
    EXPECT_EQ(ControlText(form.Disk().Ui().labFileSizeCount), "999 Kb");
    form.Disk().FindJunkFileProcess(form.Disk().Search(), "S:\\", 4, 5000000, 0, 0, 0);
    EXPECT_EQ(ControlText(form.Disk().Ui().labFileSizeCount), "4 Mb");
    form.Disk().FindJunkFileProcess(form.Disk().Search(), "S:\\", 4, 3LL << 30, 0, 0, 0);
    EXPECT_EQ(ControlText(form.Disk().Ui().labFileSizeCount), "3145 Mb");
}

TEST_F(DiskCleanWindowTest, CleaningForGoodCountsOnlyWhatIsRemovedAndKeepsFolders) {
    MessageRecorder messages;
    WriteIni("1", "0");
    const std::string a = Put("vscj_a.junk"), b = Put("vscj_b.junk"), c = Put("vscj_c.junk"),
                      locked = Put("vscj_locked.junk"), unchecked = Put("vscj_unchecked.junk");
    const std::string folder = root + "\\vscj_fold.jdir";
    CreateDirectoryA(folder.c_str(), nullptr);
    Put("vscj_fold.jdir\\inside.txt");
    const std::string cyrillic = Put(kCyrillic), plain = Put("vscj_ab.junk");
    ScanExpecting(8, messages);
    Check({"vscj_a.junk", "vscj_b.junk", "vscj_c.junk", "vscj_locked.junk", "vscj_fold.jdir", kCyrillic});
    EXPECT_EQ(form.Disk().DeleteOption(), "1");

    HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);
    Click(form.Disk().Ui().btnDelFile);
    CloseHandle(hold);
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[0].Text, "Are you sure you want to clean the selected files?");
    EXPECT_EQ(messages.shown[0].Flags & MB_ICONMASK, static_cast<UINT>(MB_ICONQUESTION));
    const std::string& failures = messages.shown[1].Text;
    EXPECT_EQ(failures.rfind("2 Files could not be cleaned:\r\n", 0), 0u) << failures;
    EXPECT_NE(failures.find("\r\nvscj_locked.junk in " + root + "\\: Sharing violation"), std::string::npos) << failures;
    EXPECT_NE(failures.find("\r\nvscj_fold.jdir in " + root + "\\: a folder is not deleted permanently"),
              std::string::npos) << failures;
    EXPECT_EQ(messages.shown[1].Flags & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(messages.shown[2].Text, "Total 4 Files have been Clean successfully!");
    EXPECT_FALSE(Exists(a) || Exists(b) || Exists(c) || Exists(cyrillic));
    EXPECT_TRUE(Exists(locked));
    EXPECT_TRUE(Exists(unchecked) && Exists(plain));
    EXPECT_TRUE(Exists(folder + "\\inside.txt"));  // the permanent delete never removes a folder

    ExpectDrivePage();
    EXPECT_EQ(ControlText(form.Disk().Ui().btnDelFile), "Clean Selectd");
    EXPECT_EQ(ControlText(form.Disk().Ui().labFileClean), " Files Clean");
    EXPECT_FALSE(Shown(form.Disk().Ui().prbFileDelele));
    EXPECT_TRUE(IsWindowEnabled(form.Disk().Ui().backMain));
    EXPECT_TRUE(form.Disk().Search().FoundFiles().empty());
}

TEST_F(DiskCleanWindowTest, CleaningToTheRecycleBinTakesFoldersWithTheirContents) {
    MessageRecorder messages;
    WriteIni("0", "0");
    const std::string a = Put("vscj_bin_a.junk"), keep = Put("vscj_bin_keep.junk");
    Put("vscj_fold.jdir\\inside.txt");
    const std::string emoji = Put(kEmoji), plain = Put("vscj_ab.junk");
    ScanExpecting(5, messages);
    Check({"vscj_bin_a.junk", "vscj_fold.jdir", kEmoji});
    Click(form.Disk().Ui().btnDelFile);
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"Are you sure you want to clean the selected files?",
                                                          "Total 3 Files have been Clean successfully!"}));
    EXPECT_FALSE(Exists(a) || Exists(emoji));
    EXPECT_FALSE(Exists(root + "\\vscj_fold.jdir"));
    EXPECT_TRUE(Exists(keep) && Exists(plain));

    // Under Wine the recycle bin is the desktop's trash folder ($XDG_DATA_HOME/Trash, which the
    // test scripts keep inside the build): the entries are there. Remove them again.
    char data[MAX_PATH] = {};
    if (GetEnvironmentVariableA("XDG_DATA_HOME", data, sizeof data) && data[0] == '/') {
        std::string trash = std::string("Z:") + data + "/Trash";
        std::replace(trash.begin(), trash.end(), '/', '\\');
        for (const char* name : {"vscj_bin_a.junk", "vscj_fold.jdir", kEmoji}) {
            WIN32_FIND_DATAA fd;
            HANDLE find = FindFirstFileA((trash + "\\files\\" + name + "*").c_str(), &fd);
            EXPECT_NE(find, INVALID_HANDLE_VALUE) << name << " is not in " << trash;
            if (find == INVALID_HANDLE_VALUE) continue;
            do {
                const std::string entry = trash + "\\files\\" + fd.cFileName;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(entry);
                else
                    DeleteFileA(entry.c_str());
                DeleteFileA((trash + "\\info\\" + fd.cFileName + ".trashinfo").c_str());
            } while (FindNextFileA(find, &fd));
            FindClose(find);
        }
    }
}

TEST_F(DiskCleanWindowTest, StopDuringCleaningAsksFirst) {
    MessageRecorder messages;
    WriteIni("1", "0");
    std::vector<std::string> files;
    for (int i = 0; i < 4; ++i) files.push_back(Put("vscj_stop" + std::to_string(i) + ".junk"));
    const auto remaining = [&] { return std::count_if(files.begin(), files.end(), Exists); };

    // Yes: the loop ends after the file in hand, without the summary.
    ScanExpecting(4, messages);
    Click(form.Disk().Ui().btnCheckAllFile);
    PostMessageA(form.Disk().Ui().btnDelFile, BM_CLICK, 0, 0);  // pressed again while the loop runs
    Click(form.Disk().Ui().btnDelFile);
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>(2, "Are you sure you want to clean the selected files?")));
    EXPECT_EQ(remaining(), 3);
    ExpectDrivePage();
    EXPECT_EQ(ControlText(form.Disk().Ui().btnDelFile), "Clean Selectd");

    // No: the loop goes on.
    ScanExpecting(3, messages);
    Click(form.Disk().Ui().btnCheckAllFile);
    int questions = 0;
    messages.onShow = [&](const std::string& text) {
        if (text.rfind("Are you sure", 0) == 0 && ++questions == 2) messages.Answer(IDNO);
    };
    PostMessageA(form.Disk().Ui().btnDelFile, BM_CLICK, 0, 0);
    Click(form.Disk().Ui().btnDelFile);
    messages.onShow = nullptr;
    EXPECT_EQ(messages.Texts().back(), "Total 3 Files have been Clean successfully!");
    EXPECT_EQ(remaining(), 0);
}

TEST_F(DiskCleanWindowTest, EmptyResultsStopsAndErrorsThatKeepAScanFromStarting) {
    MessageRecorder messages;
    Put("vscj_one.junk");

    // No drive checked: nothing is read, the empty result is announced.
    std::vector<int> checks;
    for (int i = 0; i < static_cast<int>(form.ListedDrives().size()); ++i) {
        checks.push_back(ListCheckState(form.Disk().Ui().lstPathSelect, i));
        SetListCheckState(form.Disk().Ui().lstPathSelect, i, 0);
    }
    Click(form.Disk().Ui().btnFileScan);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Not found files!"});
    ExpectDrivePage();
    for (int i = 0; i < static_cast<int>(checks.size()); ++i)
        SetListCheckState(form.Disk().Ui().lstPathSelect, i, checks[i]);

    // Stopped before anything was found: not announced; the next empty result is again.
    messages.shown.clear();
    PostMessageA(form.Disk().Ui().FlatButton7, BM_CLICK, 0, 0);
    Click(form.Disk().Ui().btnFileScan);
    EXPECT_TRUE(messages.shown.empty());
    ExpectDrivePage();
    WriteIni("0", "0", "");
    Click(form.Disk().Ui().btnFileScan);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Not found files!"});

    // An invalid mask, or a switch that is not a boolean: the message, and the drive page back.
    const std::pair<std::string, std::string> broken[] = {
        {"'[x.junk' is an invalid mask at (8)", "<*.a:A><[x.junk:Bad>"}, {"'yes' is not a valid boolean value", ""}};
    for (const auto& [message, filters] : broken) {
        messages.shown.clear();
        WriteIni("0", filters.empty() ? "yes" : "0", filters.empty() ? "<*.junk:J>" : filters);
        Click(form.Disk().Ui().btnFileScan);
        ASSERT_EQ(messages.Texts(), std::vector<std::string>{message});
        EXPECT_EQ(messages.shown[0].Flags & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
        ExpectDrivePage();
    }
}

TEST_F(DiskCleanWindowTest, AStopThatFoundFilesLeavesTheNextEmptyResultAnnounced) {
    MessageRecorder messages;
    // Two folders with a file each: whichever is read second, a file has been found before it.
    Put("vscj_d1\\vscj_1.junk");
    Put("vscj_d2\\vscj_2.junk");
    const TOnProcessEvent process = form.Disk().Search().OnProcess;
    form.Disk().Search().OnProcess = [&](TSearchFolders& s, const std::string& dir, int count, std::int64_t size,
                                         int hide, int read, int system) {
        process(s, dir, count, size, hide, read, system);
        if (count > 0) form.Disk().FlatButton7Click();  // Stop, pressed once something was found
    };
    Click(form.Disk().Ui().btnFileScan);
    form.Disk().Search().OnProcess = process;
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"1 files Found"});
    Click(form.Disk().Ui().backMain);

    // The next search finds nothing and was not stopped: it says so.
    messages.shown.clear();
    WriteIni("0", "0", "<vscj_none*.nothing:None>");
    Click(form.Disk().Ui().btnFileScan);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Not found files!"});
    ExpectDrivePage();
}

TEST_F(DiskCleanWindowTest, OptionOpensTheDialogOnTheSettingsFile) {
    bool opened = false;
    DialogHook hook([&](TDialog& d) {
        auto* options = dynamic_cast<TFrmFileClearExp*>(&d);
        ASSERT_NE(options, nullptr);
        opened = true;
        EXPECT_EQ(options->IniFileName, ini);
        EXPECT_EQ(ListView_GetItemCount(options->lstFilterFile), 2);
        Click(options->btnClose);
    });
    Click(form.Disk().Ui().FlatButton3);
    EXPECT_TRUE(opened);
}

TEST_F(DiskCleanWindowTest, ClosingTheWindowEndsASearchAndACleaning) {
    MessageRecorder messages;
    WriteIni("1", "0");
    std::vector<std::string> files;
    for (int i = 0; i < 3; ++i) files.push_back(Put("vscj_close" + std::to_string(i) + ".junk"));

    // Closed while cleaning: the loop ends with the file in hand; no summary, nothing more removed.
    ScanExpecting(3, messages);
    Click(form.Disk().Ui().btnCheckAllFile);
    PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
    Click(form.Disk().Ui().btnDelFile);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Are you sure you want to clean the selected files?"});
    EXPECT_EQ(std::count_if(files.begin(), files.end(), Exists), 2);
    EXPECT_TRUE(form.IsClosing());
    EXPECT_EQ(form.Handle(), nullptr);
}

TEST_F(DiskCleanWindowTest, ClosingTheWindowDuringASearchStopsIt) {
    MessageRecorder messages;
    Put("vscj_x.junk");
    PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
    Click(form.Disk().Ui().btnFileScan);
    EXPECT_TRUE(messages.shown.empty());  // the end of the search shows nothing once closing
    EXPECT_TRUE(form.Disk().Idle());
    EXPECT_TRUE(form.Disk().Search().SearchStopped());
    EXPECT_EQ(form.Handle(), nullptr);
}

// A file, a folder and files like one ignored from the right-click menu leave the list at once
// (a sibling folder with a longer name stays), cleaning leaves them on disk, and the next scan
// passes them over and says how many.
TEST_F(DiskCleanWindowTest, FilesIgnoredFromTheMenuAreNeitherCleanedNorFoundAgain) {
    MessageRecorder messages;
    WriteIni("1", "0", "<vscj*.junk:Junk><vscj*.jold:Old>");
    const std::string a = Put("vscj_a.junk"), b = Put("kept\\vscj_b.junk"), c = Put("kept\\deeper\\vscj_c.junk"),
                      d = Put("kept2\\vscj_d.junk"), e = Put("vscj_e.jold"), f = Put("kept2\\vscj_f.jold");
    ScanExpecting(6, messages);
    HWND list = form.Disk().Ui().lstJunkFile;
    MenuChoice menu;
    // A settings file that cannot be read is never replaced: the error, and the row stays.
    HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    menu.RightClick(list, RowOf(list, "vscj_a.junk"), "Ignore this file");
    CloseHandle(held);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Unable to write to " + ini});
    EXPECT_EQ(ListView_GetItemCount(list), 6);
    EXPECT_EQ(menu.RightClick(list, RowOf(list, "vscj_a.junk"), "Ignore this file"), 2);
    EXPECT_EQ(menu.offered, (std::vector<std::string>{"Ignore this file", "Ignore this folder",
                                                      "Ignore files like this", "Open file location", "Copy path"}));
    EXPECT_EQ(RowOf(list, "vscj_a.junk"), -1);
    EXPECT_EQ(menu.MenuKey(list, RowOf(list, "vscj_b.junk"), "Ignore this folder"), 3);
    EXPECT_EQ(RowOf(list, "vscj_c.junk"), -1) << "the folder's sub-folders go with it";
    menu.RightClick(list, RowOf(list, "vscj_e.jold"), "Ignore files like this");
    ASSERT_EQ(ListView_GetItemCount(list), 1);
    EXPECT_EQ(Cell(list, 0, 0), "vscj_d.junk");
    ASSERT_EQ(form.Disk().Search().FoundFiles().size(), 1u);
    menu.RightClick(list, 0, "Copy path");
    EXPECT_EQ(ClipboardText(), d);
    menu.RightClick(list, 0, "Open file location");
    ASSERT_EQ(menu.started.size(), 1u);
    EXPECT_EQ(menu.started[0].first, ExternalView::FileLocation);
    EXPECT_EQ(menu.started[0].second, d);

    Click(form.Disk().Ui().btnCheckAllFile);
    Click(form.Disk().Ui().btnDelFile);
    EXPECT_EQ(messages.Texts().back(), "Total 1 Files have been Clean successfully!");
    EXPECT_FALSE(Exists(d));
    EXPECT_TRUE(Exists(a) && Exists(b) && Exists(c) && Exists(e) && Exists(f));
    messages.shown.clear();
    Click(form.Disk().Ui().btnFileScan);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Not found files! (5 ignored)"});
    std::string stored;
    ASSERT_TRUE(ReadWholeFile(ini, stored));
    EXPECT_NE(stored.find("[IgnoreList]\r\nFile=" + a + "\r\nFolder=" + root + "\\kept\r\nMask=*.jold\r\n"),
              std::string::npos)
        << stored;
}
