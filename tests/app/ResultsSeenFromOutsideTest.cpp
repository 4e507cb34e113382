// Both workflows of the built program as a user and a screen reader meet them: the program runs in
// a process of its own, this test presses its buttons, and reads every result only through the
// controls' own messages (OutsideReader) and through what the screen shows. Leaves pictures of the
// two filled results panels in the build folder.
//
// The registry scan runs over the whole registry of the build's prefix, seeded here with broken
// entries under fixed keys (removed again afterwards), so it only runs in the build's prefix. The
// program runs from a copy whose "Config.Ini" adds a hand-written ignore list to the shipped one:
// one value and one file, named with "=" and ";", and a line that cannot be read.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "app/Pictures.h"
#include "app/ProgramUnderTest.h"
#include "support/OutsideReader.h"
#include "support/TestSupport.h"
#include "ui/DriveList.h"

using namespace vsc;
using namespace vsc::test;

namespace {

// Pixels of a part of a control that differ clearly from that part's most common colour: text,
// check marks and icons drawn over a plain background.
int DrawnPixels(HWND control, const RECT& part) {
    POINT origin{part.left, part.top};
    ClientToScreen(control, &origin);
    const int width = part.right - part.left, height = part.bottom - part.top;
    if (width <= 0 || height <= 0) return 0;
    HDC screen = GetDC(nullptr);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(screen, origin.x + x, origin.y + y));
    ReleaseDC(nullptr, screen);
    std::map<COLORREF, int> counts;
    for (COLORREF c : pixels) ++counts[c];
    const COLORREF back =
        std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    int drawn = 0;
    for (COLORREF c : pixels) {
        const int d = std::abs(GetRValue(c) - GetRValue(back)) + std::abs(GetGValue(c) - GetGValue(back)) +
                      std::abs(GetBValue(c) - GetBValue(back));
        if (d > 120) ++drawn;
    }
    return drawn;
}

// A registry value written for one test under a fixed key, removed on destruction, with its key
// when the key was made for it.
class SeededValue {
public:
    SeededValue(std::string keyPath, std::string name, const std::string& data)
        : keyPath_(std::move(keyPath)), name_(std::move(name)) {
        HKEY probe = nullptr;
        const auto split = keyPath_.find('\\');
        ownKey_ = RegOpenKeyExA(keyPath_.rfind("HKEY_CURRENT_USER", 0) == 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                                keyPath_.substr(split + 1).c_str(), 0, KEY_READ, &probe) != ERROR_SUCCESS;
        if (probe) RegCloseKey(probe);
        HKEY key = CreateKeyPath(keyPath_);
        if (key) {
            RegSetValueExA(key, name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>(data.size() + 1));
            RegCloseKey(key);
        }
    }
    ~SeededValue() {
        if (ownKey_) {
            DeleteKeyTree(keyPath_);
            return;
        }
        HKEY key = CreateKeyPath(keyPath_);
        if (key) {
            RegDeleteValueA(key, name_.c_str());
            RegCloseKey(key);
        }
    }
    SeededValue(const SeededValue&) = delete;
    SeededValue& operator=(const SeededValue&) = delete;

private:
    std::string keyPath_, name_;
    bool ownKey_ = false;
};

const char* const kIgnoredValue = "VscOutside=Kept;1";
// The folder of the disk test's files on the fixture drive ("" without one).
std::string OutsideRoot() {
    char letter[8] = {};
    if (GetEnvironmentVariableA("VSC_FIXTURE_DRIVE", letter, sizeof letter) != 1) return "";
    return std::string(letter) + ":\\vscoutside_" + std::to_string(GetCurrentProcessId());
}
std::string IgnoredFile() { return OutsideRoot() + "\\cache\\vscoutside_a=b;c.tmp"; }

class ResultsSeenFromOutside : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_UNLESS_BUILD_PREFIX();
        SetCursorPos(0, 0);  // no hover effects in the pictures and pixel checks
        std::string shipped;
        std::ifstream in(ProgramFolder() + "\\Config.Ini", std::ios::binary);
        shipped.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        copy.WriteFile("Config.Ini", shipped +
                                         "[IgnoreList]\r\nValue=HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\"
                                         "CurrentVersion\\Run|" +
                                         kIgnoredValue + "\r\nthis line is broken\r\nFile=" + IgnoredFile() + "\r\n");
        ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), copy.File("VSysCleaner.exe").c_str(), FALSE));
        window = StartAndFindWindow(program, copy.Path());
        ASSERT_NE(window, nullptr) << "the program's window did not appear";
        reader = std::make_unique<OutsideReader>(window);
        ASSERT_TRUE(reader->Usable());
    }
    void TearDown() override {
        if (window && IsWindow(window)) PostMessageA(window, WM_CLOSE, 0, 0);
        program.WaitExit(20000);
    }

    void Click(const std::string& caption) {
        HWND button = reader->Find(window, "Button", caption);
        ASSERT_NE(button, nullptr) << caption;
        PostMessageA(button, BM_CLICK, 0, 0);
        Settle(window);
    }
    // A real left click at a point of a control's client area.
    void ClickAt(HWND control, POINT at) {
        PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        Settle(window);
    }
    // A key pressed and released on the real keyboard, for the foreground window; the window must
    // answer afterwards (a key that hangs it fails here instead of timing out later).
    void Key(WORD key) {
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_KEYBOARD;
        input[0].ki.wVk = input[1].ki.wVk = key;
        input[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof(INPUT));
        ASSERT_TRUE(Responsive(window)) << "the window hangs after key " << key;
        PumpMessagesFor(250);
    }
    HWND Focused() const { return reader->Focus(window); }
    // Tab until the focus is on the visible control with that caption (window text).
    void TabTo(const std::string& caption) {
        for (int i = 0; i < 30 && TextOf(Focused()) != caption; ++i) Key(VK_TAB);
        ASSERT_EQ(TextOf(Focused()), caption);
        ASSERT_TRUE(IsWindowVisible(Focused())) << caption;
    }
    // Return on a button that opens a message box, the box read, and answered with Return.
    std::string AnswerWithReturn(DWORD ms) {
        const auto box = reader->WaitForMessageBox(ms);
        if (!box.Handle) return "(no message)";
        Key(VK_RETURN);
        PumpUntil([&] { return !IsWindow(box.Handle); }, 5000);
        Settle(window);
        return box.Text;
    }
    void PressKey(HWND control, WPARAM key) {
        PostMessageA(control, WM_KEYDOWN, key, 1);
        PostMessageA(control, WM_KEYUP, key, 0xC0000001);
        Settle(window);
    }
    std::vector<int> Checks(HWND list) const {
        std::vector<int> checks;
        for (const auto& row : reader->Rows(list)) checks.push_back(row.Check);
        return checks;
    }
    // The announcement at the end of a scan: read, checked for its look, then answered with OK.
    std::string TakeAnnouncement(DWORD ms) {
        const auto box = reader->WaitForMessageBox(ms);
        if (!box.Handle) return "(no message)";
        EXPECT_EQ(box.Title, kProgramTitle);
        EXPECT_EQ(box.Icon, 'i') << box.Text;
        EXPECT_EQ(box.Buttons, std::vector<std::string>{"OK"});
        reader->Press(box, "OK");
        Settle(window);
        return box.Text;
    }
    // Every cell of a visible row holds drawn text, and its check box is drawn.
    void ExpectRowDrawn(HWND list, int row, int columns) {
        for (int column = 0; column < columns; ++column) {
            EXPECT_GE(DrawnPixels(list, reader->CellRect(list, row, column)), 6)
                << "row " << row << ", column " << column << " shows no text";
        }
        const POINT box = reader->CheckBoxPoint(list, row);
        ASSERT_GE(box.x, 0) << "row " << row << " has no check box";
        EXPECT_GE(DrawnPixels(list, RECT{box.x - 7, box.y - 7, box.x + 7, box.y + 7}), 6) << "row " << row;
    }

    ScratchDir copy{"outside"};
    Program program;
    HWND window = nullptr;
    std::unique_ptr<OutsideReader> reader;
};

// The note the end message carries for the unreadable line of the ignore list.
const char* const kUnreadNote =
    "\r\n\r\nThese lines of the ignore list in Config.Ini were passed over:\r\nLine \\d+: this line is broken \\(no "
    "kind[^)]*\\)";

}  // namespace

TEST_F(ResultsSeenFromOutside, ARegistryScanShowsEachProblemWithItsTextsCheckBoxAndColour) {
    const std::string run = "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::string appPath =
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\vscoutside.exe";
    const std::string help = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help";
    SeededValue tray(run, "VscOutsideTray", "C:\\VscOutside\\tray.exe");
    SeededValue program(appPath, "", "C:\\VscOutside\\v1.2.exe");
    SeededValue manual(help, "vscoutside.hlp", "C:\\VscOutside\\");
    SeededValue kept(run, kIgnoredValue, "C:\\VscOutside\\kept.exe");
    // On the removable drive R: the file may be on another medium: listed, but not certain.
    SeededValue stick(run, "VscOutsideStick", "R:\\VscOutside\\stick.exe");
    struct Expected { std::string path, value; int colour; std::string reason; int check; };
    const Expected seeded[] = {{run, "C:\\VscOutside\\tray.exe", 0, "folder not found", 1},
                               {appPath, "C:\\VscOutside\\v1.2.exe", 1, "folder not found", 1},  // two dots
                               {help, "C:\\VscOutside\\vscoutside.hlp", 0, "folder not found", 1},
                               {run, "R:\\VscOutside\\stick.exe", 0, "removable drive R: (not checked)", 0}};
    // The reasons of the rows that start checked: a target certainly gone from a drive that is there.
    const auto certain = [](const std::string& reason) {
        return reason == "file not found" || reason == "folder not found" || reason == "folder, not a file" ||
               reason == "not found on the path";
    };

    Click("Registy Clean");
    Click("Scan");
    const std::string announced = TakeAnnouncement(120000);
    std::smatch count;
    ASSERT_TRUE(std::regex_match(announced, count,
                                 std::regex(std::string("(\\d+) Problem\\(s\\) Found \\((\\d+) not certain\\) \\(1 ignored\\)") +
                                            kUnreadNote)))
        << announced;

    HWND list = reader->FindList(window, "Registry Path");
    ASSERT_NE(list, nullptr) << "the results panel is not shown";
    EXPECT_EQ(reader->Headers(list), (std::vector<std::string>{"Registry Path", "Invalid Value", "Reason"}));
    const auto rows = reader->Rows(list);
    ASSERT_EQ(rows.size(), std::stoul(count[1].str()));
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].Columns[0].rfind("HKEY_", 0), 0u) << "row " << i << ": " << rows[i].Columns[0];
        EXPECT_FALSE(rows[i].Columns[1].empty()) << "row " << i;
        EXPECT_FALSE(rows[i].Columns.at(2).empty()) << "row " << i << ": every row says why";
        EXPECT_EQ(rows[i].Check, certain(rows[i].Columns[2]) ? 1 : 0) << "row " << i << ": " << rows[i].Columns[2];
        EXPECT_TRUE(rows[i].Image == 0 || rows[i].Image == 1) << "row " << i;
    }
    const auto uncertainRows = std::count_if(rows.begin(), rows.end(), [&](const OutsideReader::ListRow& r) {
        return !certain(r.Columns[2]);
    });
    EXPECT_EQ(std::to_string(uncertainRows), count[2].str()) << "the end message counts the rows not certain";
    for (const Expected& e : seeded) {
        auto row = std::find_if(rows.begin(), rows.end(), [&](const OutsideReader::ListRow& r) {
            return r.Columns[0] == e.path && r.Columns[1] == e.value;
        });
        ASSERT_NE(row, rows.end()) << e.path << " | " << e.value;
        EXPECT_EQ(row->Image, e.colour) << e.value;
        EXPECT_EQ(row->Columns[2], e.reason) << e.value;
        EXPECT_EQ(row->Check, e.check) << e.value;
    }
    for (const auto& r : rows) EXPECT_NE(r.Columns[1], "C:\\VscOutside\\kept.exe") << "an ignored value is listed";
    ExpectRowDrawn(list, 0, 3);
    SaveWindowPicture(window, BuildFolder() + "\\panel-registry-results.bmp");

    // Uncheck All, Check All, a click on a box and Space change what is read.
    const size_t n = rows.size();
    Click("Uncheck All");
    EXPECT_EQ(Checks(list), std::vector<int>(n, 0));
    Click("Check All");
    std::vector<int> asScanned;  // Check All leaves the rows that are not certain unchecked
    for (const auto& r : rows) asScanned.push_back(certain(r.Columns[2]) ? 1 : 0);
    EXPECT_EQ(Checks(list), asScanned);
    ASSERT_GE(n, 3u);
    ClickAt(list, reader->CheckBoxPoint(list, 1));
    const RECT third = reader->CellRect(list, 2, 1);
    ClickAt(list, POINT{(third.left + third.right) / 2, (third.top + third.bottom) / 2});  // selects the row
    EXPECT_EQ(reader->Row(list, 2).Check, 1) << "a click on the row's text left its box alone";
    PressKey(list, VK_SPACE);
    std::vector<int> expected = asScanned;
    expected[1] = asScanned[1] ? 0 : 1;
    expected[2] = asScanned[2] ? 0 : 1;
    EXPECT_EQ(Checks(list), expected);

    // Scrolled to the end, the last row is drawn as fully as the first.
    PostMessageA(list, WM_KEYDOWN, VK_END, 1);
    Settle(window);
    ExpectRowDrawn(list, static_cast<int>(n) - 1, 2);
    EXPECT_EQ(reader->Row(list, static_cast<int>(n) - 1).Columns, rows.back().Columns);
    Click("Menu");
    const auto captions = reader->VisibleCaptions(window);
    for (const char* caption : {" Sections to Scan", "Scan", "Restore", "Help"}) {
        EXPECT_NE(std::find(captions.begin(), captions.end(), caption), captions.end()) << caption;
    }
    EXPECT_EQ(std::find(captions.begin(), captions.end(), "Repair"), captions.end());
}

TEST_F(ResultsSeenFromOutside, ADiskScanShowsEachFoundFileWithNameFolderSizeTimeAndAttributes) {
    char letter[8] = {};
    if (GetEnvironmentVariableA("VSC_FIXTURE_DRIVE", letter, sizeof letter) != 1) GTEST_SKIP() << "no fixture drive";
    const std::string drives = ListLocalDrives();
    if (drives.find(letter[0]) == std::string::npos) GTEST_SKIP() << "the fixture drive is not listed";
    const std::string root = OutsideRoot();
    RemoveTree(root);
    ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((root + "\\cache").c_str(), nullptr));
    // Cyrillic, CJK and emoji names and a Cyrillic folder: the list shows them as they are.
    const std::string cyrillicFolder = root + "\\\xD0\xBA\xD1\x8D\xD1\x88\\";  // "кэш"
    ASSERT_TRUE(CreateDirectoryA(cyrillicFolder.c_str(), nullptr));
    struct Seed { std::string folder, name; size_t size; };
    const Seed seeds[] = {{root + "\\", "vscoutside_setup.tmp", 4096},
                          {root + "\\cache\\", "vscoutside_report.bak", 2048},
                          {root + "\\cache\\", "thumbs.db", 512},
                          {cyrillicFolder, "\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82.tmp", 1024},  // "отчёт.tmp"
                          {root + "\\", "\xE6\x97\xA5\xE6\x9C\xAC.bak", 300},
                          {root + "\\cache\\", "\xF0\x9F\x98\x80.tmp", 100}};
    for (const Seed& s : seeds) {
        HANDLE file = CreateFileA((s.folder + s.name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, std::string(s.size, 'j').data(), static_cast<DWORD>(s.size), &written, nullptr);
        CloseHandle(file);
    }
    std::ofstream(root + "\\keep.txt") << "not junk";
    std::ofstream(IgnoredFile()) << "junk, but on the ignore list";

    // Only the fixture drive stays ticked, unticked with clicks on the other rows' boxes.
    Click("Disk Clean");
    HWND drivesList = reader->FindList(window, "Path");
    ASSERT_NE(drivesList, nullptr);
    for (int row = 0; row < static_cast<int>(drives.size()); ++row) {
        if ((drives[static_cast<size_t>(row)] == letter[0]) != (reader->Row(drivesList, row).Check == 1)) {
            ClickAt(drivesList, reader->CheckBoxPoint(drivesList, row));
        }
    }
    for (int row = 0; row < static_cast<int>(drives.size()); ++row) {
        EXPECT_EQ(reader->Row(drivesList, row).Check, drives[static_cast<size_t>(row)] == letter[0] ? 1 : 0) << row;
    }
    Click("Scan");
    const std::string announced = TakeAnnouncement(60000);
    EXPECT_TRUE(std::regex_match(announced, std::regex(std::string("6 files Found \\(1 ignored\\)") + kUnreadNote)))
        << announced;

    HWND list = reader->FindList(window, "Filename");
    ASSERT_NE(list, nullptr) << "the file results panel is not shown";
    EXPECT_EQ(reader->Headers(list),
              (std::vector<std::string>{"Filename", "Location", "Size(Bytes)", "Time", "Attribute"}));
    const auto rows = reader->Rows(list);
    ASSERT_EQ(rows.size(), 6u);
    for (const Seed& s : seeds) {
        auto row = std::find_if(rows.begin(), rows.end(),
                                [&](const OutsideReader::ListRow& r) { return r.Columns[0] == s.name; });
        ASSERT_NE(row, rows.end()) << s.name;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ASSERT_TRUE(GetFileAttributesExA((s.folder + s.name).c_str(), GetFileExInfoStandard, &data));
        FILETIME local{};
        SYSTEMTIME date{};
        FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
        FileTimeToSystemTime(&local, &date);
        char day[64] = {};
        GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, day, sizeof day);
        const std::string attributes = (data.dwFileAttributes & FILE_ATTRIBUTE_ARCHIVE) ? "A-----" : "------";
        EXPECT_EQ(row->Columns, (std::vector<std::string>{s.name, s.folder, std::to_string(s.size), day, attributes}));
        EXPECT_EQ(row->Check, 0) << s.name;  // found files start unchecked
        EXPECT_GE(row->Image, 0) << s.name;
    }
    Click("Check All");
    EXPECT_EQ(Checks(list), std::vector<int>(6, 1));
    ExpectRowDrawn(list, 0, 5);
    for (int row = 0; row < 6; ++row)
        if (rows[static_cast<size_t>(row)].Columns[1] == cyrillicFolder) ExpectRowDrawn(list, row, 5);
    SaveWindowPicture(window, BuildFolder() + "\\panel-file-results.bmp");
    Click("Uncheck All");
    ClickAt(list, reader->CheckBoxPoint(list, 2));
    const RECT second = reader->CellRect(list, 1, 1);
    ClickAt(list, POINT{(second.left + second.right) / 2, (second.top + second.bottom) / 2});
    EXPECT_EQ(reader->Row(list, 1).Check, 0) << "a click on the row's text left its box alone";
    PressKey(list, VK_SPACE);
    EXPECT_EQ(Checks(list), (std::vector<int>{0, 1, 1, 0, 0, 0}));

    Click("Menu");
    RemoveTree(root);
}

// Events a screen reader hears from the program: tick changes (EVENT_OBJECT_STATECHANGE) per control.
std::map<HWND, int> g_stateChanges;
void CALLBACK HearStateChange(HWINEVENTHOOK, DWORD, HWND control, LONG object, LONG, DWORD, DWORD) {
    if (object == OBJID_CLIENT) ++g_stateChanges[control];
}

// One keyboard-only session with real key presses (SendInput, so each key's character follows its
// press as on a real keyboard), reading after every step where the focus is and what a screen
// reader is told.
TEST_F(ResultsSeenFromOutside, AKeyboardUserDoesEveryTaskAndAScreenReaderHearsEveryTickAndName) {
    const std::string run = "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    SeededValue repaired(run, "VscKeysRepaired", "C:\\VscKeys\\gone.exe");
    SeededValue kept(run, "VscKeysKept", "C:\\VscKeys\\kept.exe");
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_STATECHANGE, nullptr,
                                               HearStateChange, program.Id(), 0, WINEVENT_OUTOFCONTEXT);
    SetForegroundWindow(window);
    Settle(window);

    // At start the focus is on the section tree, which says it has three-state check boxes; Tab
    // goes round the page, each stop seen, and back to it.
    HWND tree = reader->Find(window, WC_TREEVIEWA, "Sections to Scan");
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(Focused(), tree);
    EXPECT_TRUE(reader->SaysCheckBoxes(tree));
    std::string stops;
    for (int i = 0; i < 20 && (i == 0 || Focused() != tree); ++i) {
        Key(VK_TAB);
        ASSERT_TRUE(IsWindowVisible(Focused())) << TextOf(Focused());
        stops += TextOf(Focused()) + "|";
    }
    EXPECT_EQ(Focused(), tree);
    for (const char* stop : {"Scan|", "Ignore List|", "Restore|", "Help|", "Registy Clean|", "Disk Clean|", "About|"})
        EXPECT_NE(stops.find(stop), std::string::npos) << stop;

    // Space on "My Computer" unticks everything, then on "Startup Programs" ticks that alone.
    Key(VK_HOME);
    Key(VK_SPACE);
    if (reader->Nodes(tree)[0].State != 1) Key(VK_SPACE);
    for (int i = 0; i < 7; ++i) Key(VK_DOWN);
    Key(VK_SPACE);
    const auto nodes = reader->Nodes(tree);
    EXPECT_EQ(nodes[7].Text + " " + std::to_string(nodes[7].State) + std::to_string(nodes[6].State) +
                  std::to_string(nodes[0].State),
              "Startup Programs 213");  // ticked; its neighbour not; "My Computer" partly

    // Return on "Scan" scans, the message is answered with Return, and the focus is on the results.
    TabTo("Scan");
    Key(VK_RETURN);
    EXPECT_NE(AnswerWithReturn(60000).find("Problem(s) Found"), std::string::npos);
    HWND list = reader->FindList(window, "Registry Path");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Focused(), list);
    EXPECT_TRUE(reader->SaysCheckBoxes(list));
    EXPECT_EQ(reader->AccessibleName(list), "Registry Repair");

    // Uncheck All, then the arrows and Space tick the one row to repair.
    TabTo("Uncheck All");
    Key(VK_RETURN);
    TabTo("Registry Repair");
    const auto rows = reader->Rows(list);
    const auto target = std::find_if(rows.begin(), rows.end(), [](const OutsideReader::ListRow& r) {
        return r.Columns[1] == "C:\\VscKeys\\gone.exe";
    });
    ASSERT_NE(target, rows.end());
    Key(VK_HOME);
    for (auto row = rows.begin(); row != target; ++row) Key(VK_DOWN);
    Key(VK_SPACE);
    std::vector<int> expected(rows.size(), 0);
    expected[static_cast<size_t>(target - rows.begin())] = 1;
    EXPECT_EQ(Checks(list), expected);
    PumpMessagesFor(300);
    EXPECT_GT(g_stateChanges[tree], 0) << "the tree's ticks were not announced";
    EXPECT_GT(g_stateChanges[list], 0) << "the rows' ticks were not announced";

    // "Repair" and its message by Return: back on the section page, on the button that left it.
    TabTo("Repair");
    Key(VK_RETURN);
    EXPECT_EQ(AnswerWithReturn(10000), "Total 1 problems have been repaired successfully!");
    EXPECT_EQ(TextOf(Focused()), "Scan");
    // Scan again (the kept value is found), then "Menu" by Return: the focus returns to Scan.
    Key(VK_RETURN);
    AnswerWithReturn(60000);
    ASSERT_EQ(Focused(), list);
    TabTo("Menu");
    Key(VK_RETURN);
    EXPECT_EQ(TextOf(Focused()), "Scan");

    // Each dialog opens by Return and closes by Escape or its "Close" button; the focus comes back
    // to the button that opened it. Close buttons and lists have names.
    struct Dialog { const char* page; const char* opener; const char* firstHeader; const char* listName; };
    const Dialog dialogs[] = {{nullptr, "Ignore List", "Kind", "Ignore List"},
                              {nullptr, "Restore", "File Name", "Backup files"},
                              {"Disk Clean", "Option", "File Type", "Filters"}};
    for (const Dialog& d : dialogs) {
        if (d.page) { TabTo(d.page); Key(VK_RETURN); }
        TabTo(d.opener);
        Key(VK_RETURN);
        HWND dialog = GetForegroundWindow();
        ASSERT_NE(dialog, window) << d.opener;
        HWND close = reader->Find(dialog, "Button", "Close");
        ASSERT_NE(close, nullptr) << d.opener;
        EXPECT_EQ(reader->AccessibleName(close), "Close");
        EXPECT_EQ(reader->AccessibleName(reader->FindList(dialog, d.firstHeader)), d.listName);
        if (std::string(d.opener) == "Restore") TabTo("Close");  // the strip's or the dialog's own
        Key(std::string(d.opener) == "Restore" ? VK_RETURN : VK_ESCAPE);
        PumpUntil([&] { return !IsWindow(dialog); }, 5000);
        Settle(window);
        EXPECT_FALSE(IsWindow(dialog)) << d.opener;
        EXPECT_EQ(TextOf(Focused()), d.opener);
    }
    EXPECT_TRUE(reader->SaysCheckBoxes(reader->FindList(window, "Path")));
    UnhookWinEvent(hook);
}

