// Programs put into the build's prefix by real installer engines: NSIS installers for the 64-bit
// and the 32-bit registry view and an MSI package, all built on the spot (CMake's "installers"
// target). One program stays installed, one is removed by its own uninstaller, and the folders of
// the others are deleted by hand. The built program then scans through its window, repairs and
// restores, as a user would. Writes real registry locations: runs only in the build's prefix, and
// removes every trace of the test programs again.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/ProgramUnderTest.h"
#include "registry/portable/PathText.h"
#include "repair/Repair.h"
#include "support/OutsideReader.h"
#include "support/TestSupport.h"

using namespace vsc;
using namespace vsc::test;

namespace {

const std::string kMachine = "HKEY_LOCAL_MACHINE\\SOFTWARE";
const std::string kCurrentVersion = "\\Microsoft\\Windows\\CurrentVersion";
const std::string kMsiProduct = "{7E3A9C51-2B64-4F0D-8A16-5C9E0B7D1616}";

std::string Env(const char* name) {
    char buffer[1024] = {};
    const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n < sizeof buffer ? std::string(buffer, n) : std::string();
}

std::string CommonPrograms() {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, path);
    return path;
}

// Runs a command line and waits for its end; its exit code, or STILL_ACTIVE after the time.
DWORD RunCommand(std::string commandLine, DWORD ms = 60000) {
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return static_cast<DWORD>(-1);
    CloseHandle(info.hThread);
    WaitForSingleObject(info.hProcess, ms);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    return code;
}

bool KeyExists(const std::string& keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(RootKeyHandle(keyPath), SplitKeyPath(keyPath).subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// One NSIS test program (tests/installers/VscTestApp.nsi) and the entries its installer writes.
struct NsisProgram {
    std::string Name;
    bool View32;
    std::string Clsid;

    std::string Folder() const { return Env(View32 ? "ProgramFiles(x86)" : "ProgramFiles") + "\\" + Name; }
    std::string Software() const { return kMachine + (View32 ? "\\Wow6432Node" : ""); }
    std::string Classes() const { return kMachine + "\\Classes" + (View32 ? "\\Wow6432Node" : ""); }
    std::string Uninstall() const {
        return "HKEY_LOCAL_MACHINE\\Software" + std::string(View32 ? "\\Wow6432Node" : "") + kCurrentVersion +
               "\\Uninstall\\" + Name;
    }
    std::string Shortcut() const { return CommonPrograms() + "\\" + Name + ".lnk"; }

    // Every value the installer writes: key path, value name, category, the results list's texts.
    struct Entry {
        std::string KeyPath, ValueName;
        int Category;
        std::string InvalidValue;
    };
    std::vector<Entry> Entries() const {
        const std::string dir = Folder();
        const std::string com = "HKEY_CLASSES_ROOT" + std::string(View32 ? "\\Wow6432Node" : "") + "\\CLSID\\" + Clsid;
        return {
            {Uninstall(), "UninstallString", 8, "\"" + dir + "\\uninst.exe\""},
            // Windows keeps one App Paths key for both views (the 32-bit one is a link to it).
            {kMachine + kCurrentVersion + "\\App Paths\\" + Name + ".exe", "", 3, dir + "\\app.exe"},
            {Software() + kCurrentVersion + "\\Run", Name, 7, dir + "\\app.exe"},
            {Software() + kCurrentVersion + "\\SharedDLLs", dir + "\\shared.dll", 6, dir + "\\shared.dll"},
            {com + "\\InprocServer32", "", 2, dir + "\\server.dll"},
            {Classes() + "\\" + Name + ".Document\\Shell\\Open", "Icon", 13, dir + "\\data.dat"},
            {Software() + "\\Microsoft\\Windows\\Help", Name + ".chm", 5, dir + Name + ".chm"},
            {"HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\" + Name + "\\Ding\\.Current", "", 12, dir + "\\ding.wav"},
            {Software() + "\\" + Name + "Vendor", "DataFile", 13, dir + "\\data.dat"},
        };
    }
    // Removes whatever the installer left, with or without its uninstaller.
    void Remove() const {
        for (const Entry& e : Entries()) DeleteRegValue(e.KeyPath, e.ValueName);
        for (const std::string& key :
             {Uninstall(), kMachine + kCurrentVersion + "\\App Paths\\" + Name + ".exe",
              "HKEY_CLASSES_ROOT" + std::string(View32 ? "\\Wow6432Node" : "") + "\\CLSID\\" + Clsid,
              Classes() + "\\" + Name + ".Document", "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\" + Name,
              Software() + "\\" + Name + "Vendor"})
            DeleteKeyTree(key);
        RemoveTree(Folder());
        DeleteFileA(Shortcut().c_str());
    }
};

const NsisProgram kGone64{"VscGone64", false, "{5C0F8D1E-7A1B-4C6E-9B64-000000001664}"};
const NsisProgram kGone32{"VscGone32", true, "{5C0F8D1E-7A1B-4C6E-9B32-000000001632}"};
const NsisProgram kKept32{"VscKept32", true, "{5C0F8D1E-7A1B-4C6E-9B32-000000001633}"};
const NsisProgram kRemoved64{"VscRemoved64", false, "{5C0F8D1E-7A1B-4C6E-9B64-000000001665}"};
const NsisProgram* const kPrograms[] = {&kGone64, &kGone32, &kKept32, &kRemoved64};

std::string MsiFolder() { return Env("ProgramFiles") + "\\VscTestMsi"; }
const std::string kMsiVendor = kMachine + "\\VscTestMsi";

void RemoveEverything() {
    for (const NsisProgram* p : kPrograms) p->Remove();
    RunCommand("msiexec.exe /x " + kMsiProduct + " /qn");
    DeleteKeyTree(kMsiVendor);
    RemoveTree(MsiFolder());
}

struct Cleanup {
    Cleanup() { RemoveEverything(); }
    ~Cleanup() { RemoveEverything(); }
};

// The raw data of a value ("" with type REG_NONE when it is missing).
struct Stored {
    DWORD Type = REG_NONE;
    std::string Data;
    bool operator==(const Stored& o) const { return Type == o.Type && Data == o.Data; }
};
Stored Read(const std::string& keyPath, const std::string& name) {
    Stored s;
    if (!ReadValue(keyPath, name, s.Type, s.Data)) s = Stored();
    return s;
}

bool SameText(const std::string& a, const std::string& b) { return UpperAscii(a) == UpperAscii(b); }

class Installers : public ::testing::Test {
protected:
    void Click(HWND owner, const std::string& caption) {
        HWND button = reader->Find(owner, "Button", caption);
        ASSERT_NE(button, nullptr) << caption;
        PostMessageA(button, BM_CLICK, 0, 0);
        Settle(window);
    }
    void ClickAt(HWND control, POINT at) {
        PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        Settle(window);
    }
    std::string Answer(DWORD ms, char icon = 'i') {
        const auto box = reader->WaitForMessageBox(ms);
        if (!box.Handle) return "(no message)";
        EXPECT_EQ(box.Icon, icon) << box.Text;
        reader->Press(box, "OK");
        Settle(window);
        return box.Text;
    }

    Program program;
    HWND window = nullptr;
    std::unique_ptr<OutsideReader> reader;
};

}  // namespace

TEST_F(Installers, BrokenProgramsOfBothViewsAreListedOnceRepairedAndRestored) {
    SKIP_UNLESS_BUILD_PREFIX();
    const std::string installers = ExecutableFolder() + "\\installers\\";
    if (GetFileAttributesA((installers + "VscTestMsi.msi").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "the test installers were not built (makensis and wixl)";
    Cleanup cleanup;

    // Install everything; one program leaves again through its own uninstaller.
    for (const NsisProgram* p : kPrograms) ASSERT_EQ(RunCommand("\"" + installers + p->Name + ".exe\" /S"), 0u) << p->Name;
    ASSERT_EQ(RunCommand("msiexec.exe /i \"" + installers + "VscTestMsi.msi\" /qn"), 0u);
    ASSERT_TRUE(KeyExists(kRemoved64.Uninstall()));
    ASSERT_EQ(RunCommand("\"" + kRemoved64.Folder() + "\\uninst.exe\" /S"), 0u);
    // The uninstaller runs on from a copy of itself.
    ASSERT_TRUE(PumpUntil([] { return !KeyExists(kRemoved64.Uninstall()); }, 30000));
    for (const auto& e : kRemoved64.Entries()) EXPECT_EQ(Read(e.KeyPath, e.ValueName).Type, DWORD(REG_NONE)) << e.KeyPath;

    std::map<std::string, Stored> kept;
    for (const auto& e : kKept32.Entries()) {
        kept[e.KeyPath + "|" + e.ValueName] = Read(e.KeyPath, e.ValueName);
        ASSERT_NE(kept[e.KeyPath + "|" + e.ValueName].Type, DWORD(REG_NONE)) << e.KeyPath << " | " << e.ValueName;
    }

    // The user deletes the folders of the other programs, without their uninstallers.
    std::vector<NsisProgram::Entry> broken;
    for (const NsisProgram* p : {&kGone64, &kGone32}) {
        ASSERT_TRUE(RemoveTree(p->Folder()));
        for (const auto& e : p->Entries()) broken.push_back(e);
        broken.push_back({p->Shortcut(), "LinkFiles", 14, p->Folder() + "\\app.exe"});
    }
    ASSERT_TRUE(RemoveTree(MsiFolder()));
    broken.push_back({kMsiVendor, "DataFile", 13, MsiFolder() + "\\data.dat"});
    std::map<std::string, Stored> before;
    for (const auto& e : broken) before[e.KeyPath + "|" + e.ValueName] = Read(e.KeyPath, e.ValueName);

    // Scan through the window.
    SetCursorPos(0, 0);
    window = StartAndFindWindow(program);
    ASSERT_NE(window, nullptr);
    reader = std::make_unique<OutsideReader>(window);
    Click(window, "Registy Clean");
    Click(window, "Scan");
    Answer(180000);
    HWND list = reader->FindList(window, "Registry Path");
    ASSERT_NE(list, nullptr);
    const auto rows = reader->Rows(list);

    // Each broken entry exactly once, under its real key; nothing of the other programs, and none of
    // Windows Installer's records.
    std::vector<int> rowOf;
    for (const auto& e : broken) {
        std::vector<int> found;
        for (size_t i = 0; i < rows.size(); ++i)
            if (SameText(rows[i].Columns[0], e.KeyPath) && SameText(rows[i].Columns[1], e.InvalidValue))
                found.push_back(static_cast<int>(i));
        EXPECT_EQ(found.size(), 1u) << e.KeyPath << " | " << e.InvalidValue;
        rowOf.push_back(found.empty() ? -1 : found[0]);
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string text = UpperAscii(rows[i].Columns[0] + "|" + rows[i].Columns[1]);
        EXPECT_EQ(text.find("VSCKEPT"), std::string::npos) << text;
        EXPECT_EQ(text.find("VSCREMOVED"), std::string::npos) << text;
        EXPECT_EQ(text.find("\\INSTALLER\\"), std::string::npos) << text;
        if (text.find("VSCGONE") != std::string::npos || text.find("VSCTESTMSI") != std::string::npos) {
            EXPECT_NE(std::find(rowOf.begin(), rowOf.end(), static_cast<int>(i)), rowOf.end()) << text;
        }
    }
    ASSERT_EQ(std::count(rowOf.begin(), rowOf.end(), -1), 0);

    // The user reinstalls one program's main file meanwhile: what names it is left as it is.
    ASSERT_TRUE(CreateDirectoryA(kGone64.Folder().c_str(), nullptr));
    CloseHandle(CreateFileA((kGone64.Folder() + "\\app.exe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    auto namesApp = [](const NsisProgram::Entry& e) { return SameText(e.InvalidValue, kGone64.Folder() + "\\app.exe"); };
    const long left = std::count_if(broken.begin(), broken.end(), namesApp);
    ASSERT_EQ(left, 3);  // App Paths, startup and the shortcut

    // Repair the test programs' rows only.
    Click(window, "Uncheck All");
    for (int row : rowOf) {
        SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
        ClickAt(list, reader->CheckBoxPoint(list, row));
        ASSERT_EQ(reader->Row(list, row).Check, 1) << row;
    }
    Click(window, "Repair");
    EXPECT_EQ(Answer(30000), "Total " + std::to_string(broken.size() - left) +
                                 " problems have been repaired successfully!\r\n" + std::to_string(left) +
                                 " problems were left as they are, because they changed since the scan.");
    for (const auto& e : broken) {
        const Stored now = Read(e.KeyPath, e.ValueName);
        const Stored& was = before[e.KeyPath + "|" + e.ValueName];
        if (e.Category == 14) {
            EXPECT_EQ(GetFileAttributesA(e.KeyPath.c_str()) != INVALID_FILE_ATTRIBUTES, namesApp(e)) << e.KeyPath;
        } else if (namesApp(e)) {
            EXPECT_TRUE(now == was) << e.KeyPath;
        } else if (e.Category >= 4 && e.Category <= 8) {
            EXPECT_EQ(now.Type, DWORD(REG_NONE)) << e.KeyPath;
        } else {
            EXPECT_EQ(now.Data, std::string(1, '\0')) << e.KeyPath;
        }
    }
    for (const auto& e : kKept32.Entries()) EXPECT_TRUE(Read(e.KeyPath, e.ValueName) == kept[e.KeyPath + "|" + e.ValueName]) << e.KeyPath;
    EXPECT_TRUE(KeyExists(kKept32.Uninstall()));

    // Windows Installer can still remove its program.
    ASSERT_TRUE(KeyExists("HKEY_LOCAL_MACHINE\\Software" + kCurrentVersion + "\\Uninstall\\" + kMsiProduct));
    EXPECT_EQ(RunCommand("msiexec.exe /x " + kMsiProduct + " /qn"), 0u);
    EXPECT_FALSE(KeyExists("HKEY_LOCAL_MACHINE\\Software" + kCurrentVersion + "\\Uninstall\\" + kMsiProduct));

    // Restore the backup the repair wrote, through the restore dialog: every changed value is back.
    Click(window, "Restore");
    struct Search {
        DWORD pid;
        HWND found;
    } search{program.Id(), nullptr};
    HWND files = nullptr;
    PumpUntil([&] {
        EnumWindows([](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == s->pid && IsWindowVisible(w) && TextOf(w) != kProgramTitle) s->found = w;
            return TRUE;
        }, reinterpret_cast<LPARAM>(&search));
        return search.found && (files = reader->FindList(search.found, "File Name")) != nullptr;
    }, 10000);
    HWND dialog = search.found;
    ASSERT_NE(files, nullptr) << "the restore dialog did not open";
    const auto backups = reader->Rows(files);
    int newest = -1, number = -1;
    for (size_t i = 0; i < backups.size(); ++i) {
        const int n = std::atoi(backups[i].Columns[0].c_str() + 9);
        if (n > number) number = n, newest = static_cast<int>(i);
    }
    ASSERT_GE(newest, 0);
    const RECT cell = reader->CellRect(files, newest, 0);
    ClickAt(files, POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2});
    Click(dialog, "Restore");
    EXPECT_EQ(Answer(10000), "Selected backups were restored");
    Click(dialog, "Close");
    for (const auto& e : broken) {
        if (e.Category == 14) continue;
        EXPECT_TRUE(Read(e.KeyPath, e.ValueName) == before[e.KeyPath + "|" + e.ValueName]) << e.KeyPath;
    }

    PostMessageA(window, WM_CLOSE, 0, 0);
    program.WaitExit(20000);
}
