// The built program, started as a user starts it: VSysCleaner.exe from the folder of this test
// binary (build/win), driven through its window from this process. Writes a picture of each page
// to the build folder (build/page-*.bmp).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/CategoryCaptions.h"
#include "app/UFrmMain.h"
#include "diskclean/DriveList.h"
#include "support/TestSupport.h"
#include "app/Pictures.h"
#include "widgets/Gdi.h"

using namespace vsc;

namespace {

const char* const kTitle = "Vemo System Cleaner";

std::string ProgramPath() { return ExecutableFolder() + "\\VSysCleaner.exe"; }

// A started copy of the program; killed on destruction if it is still running.
class Program {
public:
    bool Start() {
        STARTUPINFOA startup{sizeof(startup)};
        std::string command = "\"" + ProgramPath() + "\"";
        if (!CreateProcessA(ProgramPath().c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                            ExecutableFolder().c_str(), &startup, &info_)) {
            return false;
        }
        CloseHandle(info_.hThread);
        return true;
    }
    ~Program() {
        if (info_.hProcess) {
            if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
            CloseHandle(info_.hProcess);
        }
    }
    HANDLE Process() const { return info_.hProcess; }
    DWORD Id() const { return info_.dwProcessId; }
    // Waits for the end; the exit code, or STILL_ACTIVE after the timeout.
    DWORD WaitExit(DWORD ms) const {
        WaitForSingleObject(info_.hProcess, ms);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION info_{};
};

// Top-level windows titled kTitle, of one process (0: of any process).
std::vector<HWND> TitledWindows(DWORD processId) {
    struct Search { DWORD pid; std::vector<HWND> found; } search{processId, {}};
    EnumWindows([](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        char title[64] = {};
        GetWindowTextA(w, title, sizeof(title));
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (std::string(title) == kTitle && IsWindowVisible(w) && (s->pid == 0 || s->pid == pid)) s->found.push_back(w);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Memory inside the program's process, for messages that carry pointers.
class Remote {
public:
    Remote(HANDLE process, size_t size) : process_(process), size_(size) {
        address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~Remote() { if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;
    char* Address(size_t offset = 0) const { return static_cast<char*>(address_) + offset; }
    void Write(const void* data, size_t size, size_t offset = 0) const {
        WriteProcessMemory(process_, Address(offset), data, size, nullptr);
    }
    void Read(void* data, size_t size, size_t offset = 0) const {
        ReadProcessMemory(process_, Address(offset), data, size, nullptr);
    }
    std::string ReadText(size_t offset) const {
        char buffer[512] = {};
        Read(buffer, sizeof(buffer) - 1, offset);
        return buffer;
    }

private:
    HANDLE process_;
    size_t size_;
    void* address_ = nullptr;
};

struct Child {
    HWND handle;
    std::string className;
    std::string text;
};

std::vector<Child> Descendants(HWND window) {
    std::vector<Child> all;
    EnumChildWindows(window, [](HWND w, LPARAM p) -> BOOL {
        char cls[64] = {}, text[256] = {};
        GetClassNameA(w, cls, sizeof(cls));
        GetWindowTextA(w, text, sizeof(text));
        reinterpret_cast<std::vector<Child>*>(p)->push_back({w, cls, text});
        return TRUE;
    }, reinterpret_cast<LPARAM>(&all));
    return all;
}

HWND FindChild(HWND window, const std::string& cls, const std::string& text, bool visibleOnly = true) {
    for (const Child& c : Descendants(window)) {
        if (c.className == cls && c.text == text && (!visibleOnly || IsWindowVisible(c.handle))) return c.handle;
    }
    return nullptr;
}

std::string TreeText(HANDLE process, HWND tree, HTREEITEM node) {
    Remote remote(process, sizeof(TVITEMA) + 512);
    TVITEMA item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = node;
    item.pszText = remote.Address(sizeof(TVITEMA));
    item.cchTextMax = 500;
    remote.Write(&item, sizeof(item));
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.Address()));
    return remote.ReadText(sizeof(TVITEMA));
}

std::string ListText(HANDLE process, HWND list, int row, int column) {
    Remote remote(process, sizeof(LVITEMA) + 512);
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = remote.Address(sizeof(LVITEMA));
    item.cchTextMax = 500;
    remote.Write(&item, sizeof(item));
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote.Address()));
    return remote.ReadText(sizeof(LVITEMA));
}

std::string HeaderText(HANDLE process, HWND list, int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    Remote remote(process, sizeof(HDITEMA) + 256);
    HDITEMA item{};
    item.mask = HDI_TEXT;
    item.pszText = remote.Address(sizeof(HDITEMA));
    item.cchTextMax = 250;
    remote.Write(&item, sizeof(item));
    SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(remote.Address()));
    return remote.ReadText(sizeof(HDITEMA));
}

// Nodes in display order (pre-order over the whole tree).
std::vector<HTREEITEM> TreeNodes(HWND tree) {
    std::vector<HTREEITEM> nodes;
    std::vector<HTREEITEM> pending;
    auto root = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    if (root) pending.push_back(root);
    while (!pending.empty()) {
        HTREEITEM node = pending.back();
        pending.pop_back();
        nodes.push_back(node);
        if (auto next = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(node)))) {
            pending.push_back(next);
        }
        if (auto child = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(node)))) {
            pending.push_back(child);
        }
    }
    return nodes;
}

COLORREF ScreenPixel(HWND control, int x, int y) {
    POINT p{x, y};
    ClientToScreen(control, &p);
    HDC screen = GetDC(nullptr);
    const COLORREF color = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return color;
}

bool Responsive(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

// Lets the program handle what it was sent and repaint.
void Settle(HWND window) {
    Responsive(window);
    test::PumpMessagesFor(300);
    Responsive(window);
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
        if (window_) Settle(window_);
    }
    static void TearDownTestSuite() {
        if (window_ && IsWindow(window_)) PostMessageA(window_, WM_CLOSE, 0, 0);
        if (program_) program_->WaitExit(10000);
        delete program_;
        program_ = nullptr;
        window_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(window_, nullptr) << "the program's window did not appear"; }

    HWND Button(const std::string& caption) const { return FindChild(window_, "Button", caption); }
    void Click(const std::string& caption) const {
        HWND button = Button(caption);
        ASSERT_NE(button, nullptr) << caption;
        PostMessageA(button, BM_CLICK, 0, 0);
        Settle(window_);
    }
    HWND DriveList() const {
        for (const Child& c : Descendants(window_)) {
            if (c.className == "SysListView32" && HeaderText(program_->Process(), c.handle, 0) == "Path") return c.handle;
        }
        return nullptr;
    }

    static Program* program_;
    static HWND window_;
};

Program* EndToEnd::program_ = nullptr;
HWND EndToEnd::window_ = nullptr;

TEST_F(EndToEnd, TheWindowIsBorderlessAndHasTheLayoutsSize) {
    RECT client, outer;
    GetClientRect(window_, &client);
    GetWindowRect(window_, &outer);
    EXPECT_EQ(client.right, 577);
    EXPECT_EQ(client.bottom, 399);
    EXPECT_EQ(outer.right - outer.left, 577);
    EXPECT_EQ(outer.bottom - outer.top, 399);
    EXPECT_FALSE(GetWindowLongPtrA(window_, GWL_STYLE) & WS_CAPTION);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_LE(std::abs((outer.left + outer.right) / 2 - screenWidth / 2), 2);
    for (const char* caption : {"Registy Clean", "Disk Clean", "About", "Scan", "Restore", "Help"}) {
        EXPECT_NE(Button(caption), nullptr) << caption;
    }
    EXPECT_NE(FindChild(window_, "Static", " Sections to Scan"), nullptr);
}

TEST_F(EndToEnd, TheSectionTreeHoldsEveryCategoryAndDriveTickedAndExpanded) {
    Click("Registy Clean");
    HWND tree = FindChild(window_, "SysTreeView32", "Sections to Scan");
    ASSERT_NE(tree, nullptr);
    const std::string drives = ListLocalDrives();
    const auto nodes = TreeNodes(tree);
    ASSERT_EQ(nodes.size(), 15 + drives.size());
    for (size_t i = 0; i < nodes.size(); ++i) {
        const std::string text = TreeText(program_->Process(), tree, nodes[i]);
        const UINT state = static_cast<UINT>(
            SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(nodes[i]), TVIS_STATEIMAGEMASK | TVIS_EXPANDED));
        const int check = static_cast<int>((state & TVIS_STATEIMAGEMASK) >> 12);
        if (i < 15) {
            EXPECT_EQ(text, kCategoryCaptions[i]);
            EXPECT_TRUE(state & TVIS_EXPANDED || (i != 0 && i != 14)) << text;
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
        EXPECT_EQ(TreeText(program_->Process(), tree, nodes[15 + drives.find('C')]), "Invalid Shortcuts( C:\\");
    }
    test::SaveWindowPicture(window_, test::BuildFolder() + "\\page-sections.bmp");
}

TEST_F(EndToEnd, TheDriveListShowsOneCheckedRowPerDrive) {
    Click("Disk Clean");
    HWND list = DriveList();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_EQ(HeaderText(program_->Process(), list, 1), "CapaCity");
    EXPECT_EQ(HeaderText(program_->Process(), list, 2), "Free Space");
    const std::string drives = ListLocalDrives();
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(drives.size()));
    for (size_t row = 0; row < drives.size(); ++row) {
        const char letter = drives[row];
        const int r = static_cast<int>(row);
        EXPECT_EQ(ListText(program_->Process(), list, r, 0), DriveRowCaption(DriveVolumeLabel(letter), letter));
        const DriveSpaceTexts space = DriveSpaceText(letter);
        EXPECT_EQ(ListText(program_->Process(), list, r, 1), space.Capacity);
        const UINT state = static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
        EXPECT_EQ(static_cast<int>(state >> 12) - 1, IsUnixRootDrive(letter) ? 0 : 1) << letter;
    }
    test::SaveWindowPicture(window_, test::BuildFolder() + "\\page-drives.bmp");
}

TEST_F(EndToEnd, NavigationHighlightsThePressedButtonInThePageColour) {
    const COLORREF page = colors::kPageBack;
    const COLORREF nav = colors::kNavButton;
    struct Step { const char* caption; const char* visibleText; const char* picture; };
    const Step steps[] = {{"About", "Current Version: 1.15", "page-about.bmp"},
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
        EXPECT_NE(FindChild(window_, std::string(step.visibleText) == "Current Version: 1.15" ? "Static" : "Button",
                            step.visibleText),
                  nullptr)
            << step.caption;
        test::SaveWindowPicture(window_, test::BuildFolder() + "\\" + step.picture);
    }
    // The Scan button of the section page is not seen on the About page, and the reverse.
    Click("About");
    EXPECT_EQ(FindChild(window_, "Button", "Restore"), nullptr);
    EXPECT_NE(FindChild(window_, "Static", "Vemo System Cleaner"), nullptr);
    Click("Registy Clean");
}

TEST_F(EndToEnd, F1WithoutAHelpFileDoesNothing) {
    const auto before = Descendants(window_).size();
    for (int i = 0; i < 2; ++i) {
        HWND tree = FindChild(window_, "SysTreeView32", "Sections to Scan");
        PostMessageA(tree, WM_KEYDOWN, VK_F1, 1);
        PostMessageA(tree, WM_KEYUP, VK_F1, 0xC0000001);
        Settle(window_);
    }
    EXPECT_TRUE(Responsive(window_));
    EXPECT_EQ(TitledWindows(0).size(), 1u);
    EXPECT_EQ(Descendants(window_).size(), before);
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
    HWND scan = FindChild(window, "Button", "Scan");
    ASSERT_NE(scan, nullptr);
    PostMessageA(scan, BM_CLICK, 0, 0);
    // The scan page is shown while the worker runs.
    ASSERT_TRUE(test::PumpUntil([&] { return FindChild(window, "Button", "Pause") != nullptr; }, 10000));
    const ULONGLONG start = GetTickCount64();
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(20000), 0u);
    EXPECT_LT(GetTickCount64() - start, 10000u);
}

TEST(Resources, NameTheProductVersionAndAskForNoElevation) {
    HMODULE exe = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    HRSRC manifestInfo = FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_NE(manifestInfo, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(exe, manifestInfo))),
                               SizeofResource(exe, manifestInfo));
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("<dpiAware>true</dpiAware>"), std::string::npos);
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
    std::vector<char> data(size(ProgramPath().c_str(), nullptr));
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(info(ProgramPath().c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(query(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwProductVersionMS, static_cast<DWORD>(MAKELONG(15, 1)));
    char* product = nullptr;
    ASSERT_TRUE(query(data.data(), "\\StringFileInfo\\040904E4\\ProductName", reinterpret_cast<void**>(&product), &length));
    EXPECT_EQ(std::string(product), "Vemo System Cleaner");
    FreeLibrary(version);
}
