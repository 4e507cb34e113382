#include "registry/PublicOpt.h"
#include "registry/TargetProbe.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <thread>

#include "support/TestSupport.h"

using namespace vsc;
using vsc::test::ScratchDir;

namespace {

// Sets (or with unset, removes) an environment variable for one test and puts the old value back.
class EnvGuard {
public:
    EnvGuard(const char* name, const char* value) : name_(name) {
        char buffer[32768];
        const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
        had_ = n > 0 && n < sizeof buffer;
        if (had_) old_.assign(buffer, n);
        SetEnvironmentVariableA(name, value);
    }
    ~EnvGuard() { SetEnvironmentVariableA(name_.c_str(), had_ ? old_.c_str() : nullptr); }

private:
    std::string name_;
    std::string old_;
    bool had_ = false;
};

class CurrentDirGuard {
public:
    explicit CurrentDirGuard(const std::string& dir) {
        char buffer[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, buffer);
        old_ = buffer;
        SetCurrentDirectoryA(dir.c_str());
    }
    ~CurrentDirGuard() { SetCurrentDirectoryA(old_.c_str()); }

private:
    std::string old_;
};

// Writes a shortcut file to the target with the shell link object.
bool MakeShortcut(const std::string& linkPath, const std::string& target) {
    CoInitialize(nullptr);
    bool ok = false;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        link->SetPath(target.c_str());
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            WCHAR wide[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
            ok = SUCCEEDED(file->Save(wide, TRUE));
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return ok;
}

std::string WindowsDir() {
    char buffer[MAX_PATH];
    GetWindowsDirectoryA(buffer, MAX_PATH);
    return buffer;
}

}  // namespace

TEST(PublicOpt, FileExistsWithDriveNeedsAColonAndAFile) {
    const std::string notepad = WindowsDir() + "\\notepad.exe";
    ASSERT_NE(GetFileAttributesA(notepad.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(FileExistsWithDrive(notepad));
    EXPECT_FALSE(FileExistsWithDrive(WindowsDir()));  // a folder is not a file
    EXPECT_FALSE(FileExistsWithDrive(""));
    EXPECT_FALSE(FileExistsWithDrive("\\\\server\\share\\a.exe"));

    // A bare name is missing even when it exists in the current folder.
    ScratchDir dir("fewd");
    dir.WriteFile("here.exe");
    CurrentDirGuard cd(dir.Path());
    EXPECT_FALSE(FileExistsWithDrive("here.exe"));
    EXPECT_TRUE(FileExistsWithDrive(dir.File("here.exe")));
    EXPECT_FALSE(FileExistsWithDrive(dir.File("gone.exe")));
    // Wildcards match as patterns, through FindFirstFile.
    EXPECT_TRUE(FileExistsWithDrive(dir.File("h*.exe")));
}

// The three answers against the drives of the build's prefix (scripts/lib.sh, make_drive_kinds):
// what is certainly gone, and what could not be reached.
TEST(PublicOpt, TargetsOnEveryKindOfDriveAnswerPresentMissingOrUnreachable) {
    ScratchDir dir("probe");
    dir.WriteFile("here.exe");
    const bool realDrives = vsc::test::InBuildPrefix();
    if (realDrives) ASSERT_EQ(GetDriveTypeA("R:\\"), static_cast<UINT>(DRIVE_REMOVABLE)) << "see make_drive_kinds";
    const Existence P = Existence::Present, M = Existence::Missing, U = Existence::Unreachable;
    struct Row {
        std::string path;
        bool folderCounts;
        Existence state;
        const char* reason;
        bool needsDrives;
    };
    const Row rows[] = {
        {dir.File("here.exe"), false, P, "", false},
        {dir.File("gone.exe"), false, M, "file not found", false},
        {dir.File("gone\\a.exe"), true, M, "folder not found", false},
        {dir.Path(), false, M, "folder, not a file", false},
        {"U:\\Data\\unplugged.dat", true, U, "drive U: is not there", true},
        {"R:\\Data\\present.dat", false, P, "", true},
        {"R:\\Data\\usb.dat", false, U, "removable drive R: (not checked)", true},
        {"\\\\vscserver\\share\\Data\\present.exe", false, P, "", true},
        {"\\\\?\\UNC\\vscserver\\share\\Data\\present.exe", false, P, "", true},
        {"\\\\vscserver\\share\\Data\\gone.exe", false, U, "network path (not checked)", true},
    };
    TTargetProbe probe;
    for (const Row& row : rows) {
        if (row.needsDrives && !realDrives) continue;
        const TargetCheck check = row.folderCounts ? probe.FileOrFolder(row.path) : probe.File(row.path);
        EXPECT_EQ(check.State, row.state) << row.path;
        EXPECT_EQ(check.Reason, row.reason) << row.path;
    }
    // A bare program name: found in a folder of "path", or certainly not there.
    EnvGuard path("path", (dir.Path() + ";" + WindowsDir()).c_str());
    EXPECT_EQ(probe.OnPath("here.exe").State, P);
    EXPECT_EQ(probe.OnPath("gone.exe").Reason, "not found on the path");
}

TEST(PublicOpt, ExpandLeadingEnvVarExpandsOnlyASingleLeadingReference) {
    EnvGuard root("VscRoot", "C:\\WINDOWS");
    EnvGuard unset("VscUnset", nullptr);
    EnvGuard blank("VscBlank", "   ");
    EnvGuard other("VscOther", "C:\\T");
    EXPECT_EQ(ExpandLeadingEnvVar("%VscRoot%\\system32\\a.dll"), "C:\\WINDOWS\\system32\\a.dll");
    EXPECT_EQ(ExpandLeadingEnvVar("C:\\%VscRoot%\\a.dll"), "C:\\%VscRoot%\\a.dll");
    EXPECT_EQ(ExpandLeadingEnvVar("%VscUnset%\\a.dll"), "%VscUnset%\\a.dll");
    EXPECT_EQ(ExpandLeadingEnvVar("%VscRoot%\\%VscOther%\\a.dll"), "%VscRoot%\\%VscOther%\\a.dll");
    EXPECT_EQ(ExpandLeadingEnvVar("%VscBlank%\\a.dll"), "%VscBlank%\\a.dll");
    EXPECT_EQ(ExpandLeadingEnvVar("%%a"), "%%a");
    EXPECT_EQ(ExpandLeadingEnvVar("%VscRoot"), "%VscRoot");
    EXPECT_EQ(ExpandLeadingEnvVar("%"), "%");
    EXPECT_EQ(ExpandLeadingEnvVar(""), "");
    // Every occurrence of the reference is replaced, the value as read.
    EnvGuard spaced("VscSpaced", " x ");
    EXPECT_EQ(ExpandLeadingEnvVar("%VscSpaced%"), " x ");
    // The name matches case-sensitively in the replacement, though Windows reads variables
    // case-insensitively.
    EXPECT_EQ(ExpandLeadingEnvVar("%VSCROOT%\\a"), "C:\\WINDOWS\\a");
    // A value longer than a path buffer.
    const std::string longValue(5000, 'v');
    EnvGuard big("VscLong", longValue.c_str());
    EXPECT_EQ(ExpandLeadingEnvVar("%VscLong%\\a"), longValue + "\\a");
}

TEST(PublicOpt, SearchPathListKeepsEveryPieceAsItStands) {
    {
        EnvGuard path("path", "C:\\A;;C:\\B;");
        EXPECT_EQ(GetSearchPathList(), (std::vector<std::string>{"C:\\A", "", "C:\\B", ""}));
    }
    {
        EnvGuard path("path", " \"C:\\A\" ;%X%");
        EXPECT_EQ(GetSearchPathList(), (std::vector<std::string>{" \"C:\\A\" ", "%X%"}));
    }
    {
        EnvGuard path("path", nullptr);
        EXPECT_EQ(GetSearchPathList(), (std::vector<std::string>{""}));
    }
}

TEST(PublicOpt, FileExistsOnPathSearchesPathForBareNamesOnly) {
    ScratchDir onPath("onpath");
    ScratchDir cwd("cwd");
    onPath.WriteFile("tool.exe");
    onPath.MakeDir("folder.exe");
    cwd.WriteFile("sub\\a.exe");
    cwd.WriteFile("local.exe");
    EnvGuard path("path", ("C:\\nowhere;" + onPath.Path()).c_str());
    CurrentDirGuard cd(cwd.Path());

    EXPECT_TRUE(FileExistsOnPath("tool.exe"));
    EXPECT_FALSE(FileExistsOnPath("missing.exe"));
    EXPECT_FALSE(FileExistsOnPath("folder.exe"));
    // The current folder is searched only when "path" names it.
    EXPECT_FALSE(FileExistsOnPath("local.exe"));
    // A text with a backslash is tested as it stands, relative to the current folder.
    EXPECT_TRUE(FileExistsOnPath("sub\\a.exe"));
    EXPECT_FALSE(FileExistsOnPath("sub\\b.exe"));
    EXPECT_TRUE(FileExistsOnPath(onPath.File("tool.exe")));
    EXPECT_FALSE(FileExistsOnPath(""));
}

TEST(PublicOpt, FolderAndSystemDirectory) {
    ScratchDir dir("folder");
    const std::string file = dir.WriteFile("f.txt");
    EXPECT_TRUE(FolderExists(dir.Path()));
    EXPECT_TRUE(FolderExists(dir.Path() + "\\"));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_FALSE(FolderExists(dir.File("none")));
    EXPECT_FALSE(FolderExists(""));

    const std::string system = GetSystemDir();
    ASSERT_FALSE(system.empty());
    EXPECT_TRUE(FolderExists(system));
    EXPECT_NE(system.back(), '\0');
}

TEST(PublicOpt, ShortcutTargetReadsTheLinkOrGivesNothing) {
    ScratchDir dir("lnk");
    const std::string target = dir.WriteFile("target.exe");
    const std::string link = dir.File("a.lnk");
    ASSERT_TRUE(MakeShortcut(link, target));
    EXPECT_EQ(UpperAscii(GetShortcutTarget(link)), UpperAscii(target));

    // Not a shortcut, missing, empty and over-long names: an empty target, no error.
    EXPECT_EQ(GetShortcutTarget(dir.WriteFile("junk.lnk", "not a link")), "");
    EXPECT_EQ(GetShortcutTarget(dir.File("missing.lnk")), "");
    EXPECT_EQ(GetShortcutTarget(""), "");
    EXPECT_EQ(GetShortcutTarget(std::string(600, 'x')), "");

    // A dangling shortcut still names its target.
    const std::string gone = dir.WriteFile("gone.exe");
    const std::string dangling = dir.File("dangling.lnk");
    ASSERT_TRUE(MakeShortcut(dangling, gone));
    DeleteFileA(gone.c_str());
    EXPECT_EQ(UpperAscii(GetShortcutTarget(dangling)), UpperAscii(gone));
}

TEST(PublicOpt, ShortcutTargetLeavesTheCallersApartmentAlone) {
    ScratchDir dir("lnkmta");
    const std::string target = dir.WriteFile("t.exe");
    const std::string link = dir.File("t.lnk");
    ASSERT_TRUE(MakeShortcut(link, target));
    // On a thread already in the multithreaded apartment, CoInitialize fails; the call still works
    // and must not undo the thread's own initialisation.
    std::string got;
    HRESULT after = E_FAIL;
    std::thread worker([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        got = GetShortcutTarget(link);
        got = GetShortcutTarget(link);
        after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);  // S_FALSE: still initialised
        if (SUCCEEDED(after)) CoUninitialize();
        CoUninitialize();
    });
    worker.join();
    EXPECT_EQ(UpperAscii(got), UpperAscii(target));
    EXPECT_EQ(after, S_FALSE);
}
