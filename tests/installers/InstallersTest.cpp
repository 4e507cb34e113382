// Programs put into the build's prefix by installers built on the spot (CMake's "installers"
// target): NSIS programs of both registry views and an MSI package. One stays installed, one leaves
// through its uninstaller, the others' folders are deleted; then the program scans through its
// window and repairs, and the backup is restored. Runs only in the build's prefix.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/ProgramUnderTest.h"
#include "registry/NTReg.h"
#include "registry/portable/PathText.h"
#include "repair/BackupFiles.h"
#include "repair/Restore.h"
#include "support/OutsideReader.h"

using namespace vsc;
using namespace vsc::test;

namespace {

const std::string kHklm = "HKEY_LOCAL_MACHINE\\SOFTWARE", kCv = "\\Microsoft\\Windows\\CurrentVersion";
const std::string kMsiProduct = "{7E3A9C51-2B64-4F0D-8A16-5C9E0B7D1616}", kMsiVendor = kHklm + "\\VscTestMsi";
const std::string kInstallers = ExecutableFolder() + "\\installers\\";

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return path;
}

DWORD RunCommand(std::string commandLine) {
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION info{};
    DWORD code = DWORD(-1);
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        WaitForSingleObject(info.hProcess, 60000);
        GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    return code;
}

bool KeyExists(const std::string& keyPath) {
    TNTRegistry registry;
    return OpenKeyPath(keyPath, registry, false);
}

struct Entry {
    std::string KeyPath, ValueName;
    int Category;
    std::string Listed;  // the data the results list shows
};

// An entry's value type and bytes, or for a shortcut whether its file is there; kMissing for none.
using Value = std::pair<DWORD, std::string>;
const Value kMissing{REG_NONE, ""};
Value Read(const Entry& e) {
    Value v = kMissing;
    if (e.Category == 14) v.second = PathGone(e.KeyPath) ? "" : "file";
    else if (!ReadValue(e.KeyPath, e.ValueName, v.first, v.second)) v = kMissing;
    return v;
}

// One program of VscTestApp.nsi, and every entry its installer writes.
struct NsisProgram {
    std::string Name;
    bool View32;
    std::string Clsid;

    std::string Folder() const { return ShellFolder(View32 ? CSIDL_PROGRAM_FILESX86 : CSIDL_PROGRAM_FILES) + "\\" + Name; }
    std::string Software() const { return kHklm + (View32 ? "\\Wow6432Node" : ""); }
    std::string Uninstall() const { return Software() + kCv + "\\Uninstall\\" + Name; }
    std::vector<Entry> Entries() const {
        const std::string dir = Folder(), wow = View32 ? "\\Wow6432Node" : "";
        return {
            {Uninstall(), "UninstallString", 8, "\"" + dir + "\\uninst.exe\""},
            {kHklm + kCv + "\\App Paths\\" + Name + ".exe", "", 3, dir + "\\app.exe"},  // one key for both views
            {Software() + kCv + "\\Run", Name, 7, dir + "\\app.exe"},
            {Software() + kCv + "\\SharedDLLs", dir + "\\shared.dll", 6, dir + "\\shared.dll"},
            {"HKEY_CLASSES_ROOT" + wow + "\\CLSID\\" + Clsid + "\\InprocServer32", "", 2, dir + "\\server.dll"},
            {kHklm + "\\Classes" + wow + "\\" + Name + ".Document\\Shell\\Open", "Icon", 13, dir + "\\data.dat"},
            {Software() + "\\Microsoft\\Windows\\Help", Name + ".chm", 5, dir + Name + ".chm"},
            {"HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\" + Name + "\\Ding\\.Current", "", 12, dir + "\\ding.wav"},
            {Software() + "\\" + Name + "Vendor", "DataFile", 13, dir + "\\data.dat"},
            {ShellFolder(CSIDL_COMMON_PROGRAMS) + "\\" + Name + ".lnk", "LinkFiles", 14, dir + "\\app.exe"},
        };
    }
    // Installs (again) and leaves through the uninstaller, which runs on from a copy of itself.
    bool Uninstalls() const {
        RunCommand("\"" + kInstallers + Name + ".exe\" /S");
        return RunCommand("\"" + Folder() + "\\uninst.exe\" /S") == 0 && PumpUntil([&] { return !KeyExists(Uninstall()); }, 30000);
    }
};

const NsisProgram kGone64{"VscGone64", false, "{5C0F8D1E-7A1B-4C6E-9B64-000000001664}"};
const NsisProgram kGone32{"VscGone32", true, "{5C0F8D1E-7A1B-4C6E-9B32-000000001632}"};
const NsisProgram kKept32{"VscKept32", true, "{5C0F8D1E-7A1B-4C6E-9B32-000000001633}"};
const NsisProgram kRemoved64{"VscRemoved64", false, "{5C0F8D1E-7A1B-4C6E-9B64-000000001665}"};

struct Cleanup {
    ~Cleanup() {
        for (const NsisProgram* p : {&kGone64, &kGone32, &kKept32, &kRemoved64}) p->Uninstalls();
        RunCommand("msiexec.exe /x " + kMsiProduct + " /qn");
        DeleteKeyTree(kMsiVendor);
    }
};

}  // namespace

TEST(Installers, BrokenProgramsOfBothViewsAreListedOnceRepairedAndRestored) {
    SKIP_UNLESS_BUILD_PREFIX();
    if (GetFileAttributesA((kInstallers + "VscTestMsi.msi").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "the test installers were not built (makensis and wixl)";
    Cleanup cleanup;
    for (const NsisProgram* p : {&kGone64, &kGone32, &kKept32}) ASSERT_EQ(RunCommand("\"" + kInstallers + p->Name + ".exe\" /S"), 0u);
    ASSERT_EQ(RunCommand("msiexec.exe /i \"" + kInstallers + "VscTestMsi.msi\" /qn"), 0u);
    ASSERT_TRUE(kRemoved64.Uninstalls());

    // The user deletes the others' folders, without their uninstallers.
    const std::string msiFolder = ShellFolder(CSIDL_PROGRAM_FILES) + "\\VscTestMsi";
    std::vector<Entry> entries = kKept32.Entries();
    for (const NsisProgram* p : {&kGone64, &kGone32}) {
        for (const Entry& e : p->Entries()) entries.push_back(e);
        ASSERT_TRUE(RemoveTree(p->Folder()));
    }
    entries.push_back({kMsiVendor, "DataFile", 13, msiFolder + "\\data.dat"});
    ASSERT_TRUE(RemoveTree(msiFolder));
    std::vector<Value> before;
    for (const Entry& e : entries) {
        before.push_back(Read(e));
        ASSERT_NE(before.back(), kMissing) << e.KeyPath;
    }
    auto kept = [](const Entry& e) { return e.Listed.find(kKept32.Name) != std::string::npos; };

    SetCursorPos(0, 0);
    Program program;
    HWND window = StartAndFindWindow(program);
    ASSERT_NE(window, nullptr);
    OutsideReader reader(window);
    auto click = [&](const char* caption) {
        PostMessageA(reader.Find(window, "Button", caption), BM_CLICK, 0, 0);
        Settle(window);
    };
    auto answer = [&](DWORD ms) {
        const auto box = reader.WaitForMessageBox(ms);
        reader.Press(box, "OK");
        Settle(window);
        return box.Text;
    };
    click("Registy Clean");
    click("Scan");
    answer(180000);
    HWND list = reader.FindList(window, "Registry Path");
    const auto rows = reader.Rows(list);

    // Each broken entry once, under its real key; no other row of the test programs, and none of
    // Windows Installer's records.
    auto same = [](const std::string& a, const std::string& b) { return UpperAscii(a) == UpperAscii(b); };
    std::vector<int> rowOf;
    for (const Entry& e : entries) {
        auto is = [&](const OutsideReader::ListRow& r) { return same(r.Columns[0], e.KeyPath) && same(r.Columns[1], e.Listed); };
        EXPECT_EQ(std::count_if(rows.begin(), rows.end(), is), kept(e) ? 0 : 1) << e.KeyPath << " | " << e.Listed;
        if (!kept(e)) rowOf.push_back(static_cast<int>(std::find_if(rows.begin(), rows.end(), is) - rows.begin()));
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string text = UpperAscii(rows[i].Columns[0] + "|" + rows[i].Columns[1]);
        EXPECT_EQ(text.find("\\INSTALLER\\"), std::string::npos) << text;
        bool ours = false;
        for (const char* name : {"VSCGONE", "VSCKEPT", "VSCREMOVED", "VSCTESTMSI"}) ours = ours || text.find(name) != text.npos;
        if (ours) {
            EXPECT_NE(std::find(rowOf.begin(), rowOf.end(), int(i)), rowOf.end()) << text;
        }
    }
    ASSERT_EQ(std::count(rowOf.begin(), rowOf.end(), int(rows.size())), 0);

    // Meanwhile the user puts one program's main file back: what names it is left.
    ASSERT_TRUE(CreateDirectoryA(kGone64.Folder().c_str(), nullptr));
    CloseHandle(CreateFileA((kGone64.Folder() + "\\app.exe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    auto back = [](const Entry& e) { return e.Listed == kGone64.Folder() + "\\app.exe"; };
    ASSERT_EQ(std::count_if(entries.begin(), entries.end(), back), 3);  // App Paths, startup, shortcut

    click("Uncheck All");
    for (int row : rowOf) {
        SendMessageA(list, LVM_ENSUREVISIBLE, WPARAM(row), FALSE);
        const POINT at = reader.CheckBoxPoint(list, row);
        PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        Settle(window);
        ASSERT_EQ(reader.Row(list, row).Check, 1) << row;
    }
    const std::string backup = ProgramFolder() + "\\backup\\" + NextBackupFileName(ProgramFolder() + "\\backup");
    click("Repair");
    EXPECT_EQ(answer(30000), "Total " + std::to_string(rowOf.size() - 3) + " problems have been repaired successfully!\r\n"
                             "3 problems were left as they are, because they changed since the scan.");
    PostMessageA(window, WM_CLOSE, 0, 0);
    program.WaitExit(20000);
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        if (kept(e) || back(e))
            EXPECT_EQ(Read(e), before[i]) << e.KeyPath;
        else if ((e.Category >= 4 && e.Category <= 8) || e.Category == 14)
            EXPECT_EQ(Read(e), kMissing) << e.KeyPath;
        else
            EXPECT_EQ(Read(e).second, std::string(1, '\0')) << e.KeyPath;
    }

    // Windows Installer still removes its program, and the backup puts every changed value back.
    const std::string msiEntry = "HKEY_LOCAL_MACHINE\\Software" + kCv + "\\Uninstall\\" + kMsiProduct;
    ASSERT_TRUE(KeyExists(msiEntry));
    EXPECT_EQ(RunCommand("msiexec.exe /x " + kMsiProduct + " /qn"), 0u);
    EXPECT_FALSE(KeyExists(msiEntry));
    EXPECT_TRUE(RestoreBackupFile(backup).Succeeded()) << backup;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].Category != 14) {
            EXPECT_EQ(Read(entries[i]), before[i]) << entries[i].KeyPath;
        }
}
